// The school's stages, grades and classes; school search and joining a school.
#include "sample_service/SampleService.h"

namespace sample_service {

void addSchoolRoutes(SampleService&) {}

}  // namespace sample_service
