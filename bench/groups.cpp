// The group screens under load. Timed: one full-screen frame of the forward picker with a
// full page of recent rows, of the member list of the sample user group and of its profile
// (320 x 568 points at scale 2), all loaded from the sample service, and the receiver list's
// sort and letter sections for 3,000 people. The aims are 8 ms, 8 ms, 8 ms and 30 ms.
#include "support/ScreenBench.h"

#include "chat/MVTForwardMsgViewController.h"
#include "contacts/MVTAllListViewController.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "contacts/MVTGroupMemberViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;
using Json = nlohmann::json;

namespace {

const bench_support::BenchUser kTeacher{"1001", "teacher", "11,12", "王老师"};

void BM_ForwardPickerFrame(benchmark::State& state) {
    bench_support::ScreenBench app("groups-forward", kTeacher);
    Json recent = Json::array();
    for (int i = 1; i <= 10; ++i)
        recent.push_back({{"id", i}, {"type", i % 3 == 0 ? "forum" : "person"}, {"uid", 5000 + i},
                          {"forumId", 600 + i}, {"name", "最近联系人" + std::to_string(i)}, {"role", "student"}});
    auto picker = std::make_shared<MVTForwardMsgViewController>();
    picker->setForwardDictionary({{"id", "81"}, {"msg", "转给你看"}, {"issuccess", "1"}});
    picker->setRecelentArray(recent);
    app.window().setRootViewController(myNavigationController::withRoot(picker));
    if (!RunLoop::main().runUntil([&] { return picker->mytableView() != nullptr; })) {
        state.SkipWithError("the forward picker did not show");
        return;
    }
    picker->mytableView()->layoutIfNeeded();
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_ForwardPickerFrame)->Unit(benchmark::kMillisecond);

void BM_GroupMemberListFrame(benchmark::State& state) {
    bench_support::ScreenBench app("groups-members", kTeacher);
    auto list = std::make_shared<MVTGroupMemberViewController>();
    list->setForumId("601");
    list->setFieldId("3");
    list->setGroupId("601");
    list->setGroupName("读书兴趣小组");
    list->setUserRole("system");
    list->setIsSupportToCommand(true);
    list->setIsUserGroup(true);
    app.window().setRootViewController(myNavigationController::withRoot(list));
    if (!RunLoop::main().runUntil([&] { return list->mytableview() && !list->HUD(); })) {
        state.SkipWithError("the member list did not load");
        return;
    }
    list->mytableview()->layoutIfNeeded();
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_GroupMemberListFrame)->Unit(benchmark::kMillisecond);

void BM_GroupProfileFrame(benchmark::State& state) {
    bench_support::ScreenBench app("groups-profile", kTeacher);
    auto profile = std::make_shared<MVTGroupDetailViewController>();
    profile->setGroupId("601");
    profile->setGroupType("3");
    app.window().setRootViewController(myNavigationController::withRoot(profile));
    if (!RunLoop::main().runUntil([&] { return profile->userType() == "2" && !profile->isLoadIng(); })) {
        state.SkipWithError("the profile did not load");
        return;
    }
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_GroupProfileFrame)->Unit(benchmark::kMillisecond);

void BM_ReceiverLetterSections(benchmark::State& state) {
    const char* surnames[] = {"张", "李", "王", "赵", "陈", "刘", "孙", "周", "吴", "郑", "安", "Tom", "zoe", "5"};
    const char* given[] = {"小明", "芳", "磊", "悦", "Anna", "bob", "5号", "雨", "洋", "Zoe"};
    Json people = Json::array();
    for (int n = 0; n < 3000; ++n)
        people.push_back({{"userId", 10000 + n},
                          {"name", std::string(surnames[n % 14]) + given[(n / 14) % 10] + std::to_string(n % 7)},
                          {"role", "student"}});
    for (auto _ : state) {
        Json sorted = MVTAllListViewController::sortedPeople(people);
        Json sections = MVTAllListViewController::letterSections(sorted);
        benchmark::DoNotOptimize(sections.size());
    }
}
BENCHMARK(BM_ReceiverLetterSections)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
