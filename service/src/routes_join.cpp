// Joining a class by its class code.
#include "sample_service/SampleService.h"

namespace sample_service {

void addJoinRoutes(SampleService&) {}

}  // namespace sample_service
