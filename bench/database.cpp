// The local database under the loads the screens put on it: a feed refresh stores a page of
// 15 posts and reads the first page back; the chat stores 10,000 messages as one page (one
// transaction, one prepared insert; the aim is 0.5 s) and reads a whole conversation.

#include "core/MVTtirraDataBase.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using Json = nlohmann::json;

namespace {

constexpr int kMessages = 10000;
constexpr int kConversation = 200;  // messages per friend
const std::string kUser = "1001";

// A fresh home folder for this program, removed at exit.
struct BenchHome {
    BenchHome() : path(platform::makeTemporaryFolder("tirra-bench-db")) {
        setenv("TIRRA_QUIET", "1", 1);
        platform::Paths::setHome(path);
    }
    ~BenchHome() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};
BenchHome& home() {
    static BenchHome instance;
    return instance;
}

Json post(long long id) {
    return {{"id", id},
            {"uid", "12"},
            {"name", "张老师"},
            {"role", "teacher"},
            {"className", "三年级二班"},
            {"dateline", "1700000000"},
            {"perm", "0"},
            {"type", "1"},
            {"title", ""},
            {"content", "今天的作业是第三课的练习, it's due tomorrow. 今天的作业是第三课的练习。"},
            {"likeCount", 3},
            {"commentCount", 2},
            {"love", "0"},
            {"likeUsers", Json::array({{{"uid", "3"}, {"name", "王"}}, {{"uid", "4"}, {"name", "李"}}})},
            {"comments", Json::array({{{"id", 5}, {"uid", "3"}, {"content", "好的"}},
                                      {{"id", 6}, {"uid", "4"}, {"content", "收到"}}})},
            {"attachments", Json::array({{{"id", "a1"}, {"type", "image"}, {"name", "1.jpg"}}})},
            {"links", Json::array()},
            {"vote", Json::object()},
            {"decoration", Json::object()},
            {"lesson", Json::object()},
            {"activity", Json::object()},
            {"share", Json::object()},
            {"more", "0"}};
}

Json message(int n) {
    char sendTime[32];
    std::snprintf(sendTime, sizeof sendTime, "2024-05-%02d %02d:%02d:%02d", 1 + n / 3600 % 28, n / 60 % 24,
                  n % 60, n % 60);
    return {{"id", 5000000000LL + n},
            {"uid", std::to_string(2000 + n % (kMessages / kConversation))},
            {"msg", "消息 " + std::to_string(n)},
            {"sendTime", sendTime},
            {"status", n % 2},
            {"isReaded", 1}};
}

void BM_FeedStorePageAndReadFirstPage(benchmark::State& state) {
    home();
    static long long nextId = 1;
    for (auto _ : state) {
        Json page = Json::array();
        for (int i = 0; i < 15; ++i) page.push_back(post(nextId++));
        MVTtirraDataBase::insertDynamicWithArr(page, kUser);
        Json first = MVTtirraDataBase::selectDynamicData(kUser, 0);
        if (first.size() != 15) state.SkipWithError("first page is not full");
        benchmark::DoNotOptimize(first);
    }
}
BENCHMARK(BM_FeedStorePageAndReadFirstPage)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

bool messagesStored = false;

void BM_StoreTenThousandMessagesInOnePage(benchmark::State& state) {
    home();
    Json all = Json::array();
    for (int n = 0; n < kMessages; ++n) all.push_back(message(n));
    for (auto _ : state) {
        MVTtirraDataBase::dropMSList();
        if (MVTtirraDataBase::insertMSGtable(all, kUser) < 0) {
            state.SkipWithError("the messages were not stored");
            break;
        }
    }
    messagesStored = true;
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_StoreTenThousandMessagesInOnePage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadOneConversation(benchmark::State& state) {
    home();
    if (!messagesStored) {
        Json all = Json::array();
        for (int n = 0; n < kMessages; ++n) all.push_back(message(n));
        MVTtirraDataBase::insertMSGtable(all, kUser);
        messagesStored = true;
    }
    for (auto _ : state) {
        Json conversation = MVTtirraDataBase::selectMSGListwith(kUser, "2007", std::nullopt, "");
        if (conversation.size() != kConversation) state.SkipWithError("conversation is not complete");
        benchmark::DoNotOptimize(conversation);
    }
}
BENCHMARK(BM_ReadOneConversation)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
