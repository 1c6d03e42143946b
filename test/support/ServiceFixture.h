#pragma once

#include "support/AppTest.h"

#include "sample_service/SampleService.h"

#include <memory>
#include <string>

namespace testing_support {

// An AppTest with its own sample service on 127.0.0.1 (a free port), serving the sample
// data; TIRRA_BASE_URL points at it and the network reads as up over WiFi. Tests set the
// replies they need (service().setReply / route) and read back the requests that came.
// At the end every request still running is cancelled and the service stops.
class ServiceTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    sample_service::SampleService& service() { return *service_; }
    // "http://127.0.0.1:<port>/"
    std::string baseUrl() const { return service_->baseUrl(); }
    // baseUrl() + "services/norvo/" + path
    std::string serviceUrl(const std::string& path) const;

    std::unique_ptr<sample_service::SampleService> service_;
};

}  // namespace testing_support
