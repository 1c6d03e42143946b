#include "support/ServiceFixture.h"

#include "platform/HttpRequestOperation.h"
#include "platform/Reachability.h"

#include <cstdlib>

namespace testing_support {

void ServiceTest::SetUp() {
    AppTest::SetUp();
    service_ = std::make_unique<sample_service::SampleService>(
        sample_service::SampleService::Options{sample_service::SampleService::defaultDataDirectory(), true});
    ASSERT_TRUE(service_->start()) << "the sample service could not listen on loopback";
    setenv("TIRRA_BASE_URL", service_->baseUrl().c_str(), 1);
    platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
}

void ServiceTest::TearDown() {
    platform::HttpRequestOperation::cancelAllOperations();
    if (service_) service_->stop();
    unsetenv("TIRRA_BASE_URL");
    platform::Reachability::setOverride(std::nullopt);
    AppTest::TearDown();
}

std::string ServiceTest::serviceUrl(const std::string& path) const {
    return service_->baseUrl() + sample_service::kServicePrefix + path;
}

}  // namespace testing_support
