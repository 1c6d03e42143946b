// The contacts under load: a cache file of 3,000 people in 60 sections. Timed: the contact
// list's data half (sections, sort keys and sort of a parsed reply), the friends list shown
// from the file (read, parse, sections, keys, sort, reload), a search over all of them, and
// one full-screen frame of the member picker with its first sections open (320 x 568
// points at scale 2). The aims are 30 ms, 30 ms, 5 ms and 8 ms.
#include "support/ScreenBench.h"

#include "contacts/ContactsCacheStore.h"
#include "contacts/MVTContactListViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "contacts/ReceiverSections.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;
using Json = nlohmann::json;

namespace {

constexpr int kSections = 60;
constexpr int kPeople = 3000;

// A teacher's reply: friends and colleagues, then the parents and students of 29 classes
// each; names mix characters, Latin letters and digits, and one person in ten is in two
// sections.
Json bigReceiverReply() {
    const char* surnames[] = {"张", "李", "王", "赵", "陈", "刘", "孙", "周", "吴", "郑"};
    const char* given[] = {"小明", "芳", "磊", "悦", "Anna", "bob", "5号", "雨", "洋", "Zoe"};
    auto people = [&](int first, int count, const char* role) {
        Json list = Json::array();
        for (int n = first; n < first + count; ++n) {
            const int id = n % 10 == 0 && n > 0 ? 10000 + n - 1 : 10000 + n;
            list.push_back({{"userId", id},
                            {"name", std::string(surnames[n % 10]) + given[(n / 10) % 10] + std::to_string(n % 7)},
                            {"role", role}});
        }
        return list;
    };
    const int perSection = kPeople / kSections;
    Json reply = {{"friend", people(0, perSection, "teacher")}, {"teacher", people(perSection, perSection, "teacher")}};
    Json parents = Json::array(), students = Json::array();
    const int classes = (kSections - 2) / 2;
    for (int c = 0; c < classes; ++c) {
        const int base = (2 + 2 * c) * perSection;
        parents.push_back({{"className", std::to_string(c + 1) + "班"}, {"parent", people(base, perSection, "parent")}});
        students.push_back(
            {{"className", std::to_string(c + 1) + "班"}, {"student", people(base + perSection, perSection, "student")}});
    }
    reply["parent"] = parents;
    reply["student"] = students;
    return reply;
}

const bench_support::BenchUser kTeacher{"1001", "teacher", "11,12", "王老师"};

void BM_ContactSectionsAndSort(benchmark::State& state) {
    const Json reply = bigReceiverReply();
    for (auto _ : state) {
        ReceiverSections sections;
        buildReceiverSections(reply, "teacher", sections, false);
        addNewFriendEntry("teacher", sections);
        sortReceiverSections(sections);
        benchmark::DoNotOptimize(sections.myFriendArray.size());
    }
}
BENCHMARK(BM_ContactSectionsAndSort)->Unit(benchmark::kMillisecond);

void BM_ContactListShownFromTheCache(benchmark::State& state) {
    bench_support::ScreenBench app("contacts-list", kTeacher);
    ContactsCacheStore::writeObject(kTeacher.id, bigReceiverReply());
    auto list = std::make_shared<MVTContactListViewController>();
    list->setIspresent(true);
    list->setIsFormInreractionClick(true);
    app.window().setRootViewController(myNavigationController::withRoot(list));
    if (!list->mytableview()) {
        state.SkipWithError("the list shows no table");
        return;
    }
    list->mytableview()->layoutIfNeeded();
    for (auto _ : state) {
        list->getData();
        list->mytableview()->layoutIfNeeded();
        benchmark::DoNotOptimize(list->sections().count());
    }
    if (list->sections().count() != kSections + 1) state.SkipWithError("the sections are not all there");
}
BENCHMARK(BM_ContactListShownFromTheCache)->Unit(benchmark::kMillisecond);

void BM_ContactSearch(benchmark::State& state) {
    ReceiverSections sections;
    buildReceiverSections(bigReceiverReply(), "teacher", sections, false);
    addNewFriendEntry("teacher", sections);
    sortReceiverSections(sections);
    for (auto _ : state) {
        Json found = searchReceiverSections(sections, "张");
        benchmark::DoNotOptimize(found.size());
    }
}
BENCHMARK(BM_ContactSearch)->Unit(benchmark::kMillisecond);

void BM_MemberPickerFrame(benchmark::State& state) {
    bench_support::ScreenBench app("contacts-picker", kTeacher);
    ContactsCacheStore::writeObject(kTeacher.id, bigReceiverReply());
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kGroupNew);
    picker->setIspresent(true);
    app.window().setRootViewController(myNavigationController::withRoot(picker));
    // Two people picked (the strip shows) and the first sections open.
    picker->selectMember(3, 0);
    picker->selectMember(3, 1);
    for (int section = 1; section < 4; ++section) {
        Button header;
        header.setTag(section);
        picker->btnClick(header);
    }
    if (!picker->mytableview()) {
        state.SkipWithError("the picker shows no table");
        return;
    }
    picker->mytableview()->layoutIfNeeded();
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_MemberPickerFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
