#include "platform/StatisticsKit.h"

namespace platform {

StatisticsKit& StatisticsKit::shared() {
    static auto* kit = new StatisticsKit();
    return *kit;
}

void StatisticsKit::reset() {
    debug_ = false;
    appKey_.clear();
    events_.clear();
}

}  // namespace platform
