// Registration of new users.
#include "sample_service/SampleService.h"

namespace sample_service {

void addRegisterRoutes(SampleService&) {}

}  // namespace sample_service
