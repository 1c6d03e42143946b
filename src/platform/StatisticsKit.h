#pragma once

#include <string>
#include <utility>
#include <vector>

namespace platform {

// Stand-in for the usage-statistics kit: nothing is sent anywhere; the kit records what it
// was asked (its key, the debug switch, page views begun and ended) so tests can read it.
class StatisticsKit {
public:
    static StatisticsKit& shared();

    void setDebugMode(bool on) { debug_ = on; }
    bool debugMode() const { return debug_; }
    void startWithAppkey(const std::string& appKey) { appKey_ = appKey; }
    const std::string& appKey() const { return appKey_; }

    void beginLogPageView(const std::string& page) { events_.emplace_back("begin", page); }
    void endLogPageView(const std::string& page) { events_.emplace_back("end", page); }
    // ("begin" or "end", page) in the order asked.
    const std::vector<std::pair<std::string, std::string>>& pageEvents() const { return events_; }

    void reset();

private:
    bool debug_ = false;
    std::string appKey_;
    std::vector<std::pair<std::string, std::string>> events_;
};

}  // namespace platform
