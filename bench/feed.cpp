// The home feed: a refresh cycle (a loopback reply of 15 new posts of every kind, parsed,
// cached, the first cache page read back and its 15 cells built), one full-screen frame
// of the list (320 x 568 points at scale 2), 1,000 cached posts listed (the process's
// resident memory reported as "rss_mb"), 10,000 posts written to the cache in one
// transaction, and a reload after one praise with 100 posts listed (one row measured).
// Aims: 10 ms, 8 ms, 150 MB, 0.5 s and 2 ms.
#include "support/ScreenBench.h"

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "feed/MVTHomeViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace platform;

namespace {

// A post of kind `i % 6`: text with emoticons, pictures, a voice, a vote, a forward, files.
Json mixedPost(long long id) {
    // Authors of the sample school, whose avatars the service has (cached after the first).
    static const int authors[] = {1001, 1002, 2001, 2003, 2004, 3001};
    Json post = {{"id", id},
                 {"uid", authors[id % 6]},
                 {"name", "同学" + std::to_string(id % 7)},
                 {"role", id % 2 ? "student" : "teacher"},
                 {"className", "三年级一班"},
                 {"dateline", 1767500000 + id},
                 {"type", "essay"},
                 {"content", "第" + std::to_string(id) + "条动态：今天的作业做完了[em:" + std::to_string(id % 30 + 1) +
                                 ":]</br>明天继续加油"},
                 {"commentCount", "2"},
                 {"likeCount", "1"},
                 {"love", "0"},
                 {"likeUsers", Json::array({{{"name", "王老师"}, {"uid", 1001}}})},
                 {"comments", Json::array({{{"name", "王老师"}, {"content", "很好[em:2:]"}},
                                           {{"name", "李明"}, {"content", "谢谢老师"}}})},
                 {"attachments", Json::array()}};
    switch (id % 6) {
    case 1:
        for (int k = 1; k <= 3; ++k) post["attachments"].push_back({{"id", 55}, {"type", "image"}});
        break;
    case 2:
        post["attachments"].push_back({{"type", "audio"}, {"resModuleId", 880001}, {"duration", 1}});
        break;
    case 3:
        post["vote"] = {{"id", id},
                        {"title", "选一个"},
                        {"showResult", 1},
                        {"count", 3},
                        {"answerList", Json::array({{{"id", 1}, {"title", "甲"}, {"count", 1}},
                                                    {{"id", 2}, {"title", "乙"}, {"count", 2}}})}};
        break;
    case 4:
        post["type"] = "share";
        post["share"] = {{"name", "赵小红"}, {"content", "被转发的动态[em:12:]"}};
        break;
    case 5:
        post["attachments"].push_back({{"type", "txt"}, {"name", "班级公约"}, {"resModuleId", 880003}});
        post["links"] = Json::array({{{"url", "http://127.0.0.1:1/"}, {"text", "学习园地"}}});
        break;
    default: break;
    }
    return post;
}

double residentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A home of its own, the sample service answering every list request with 15 posts newer
// than the one asked above, the signed-in teacher and a window.
class FeedBench {
public:
    FeedBench() {
        app_.service().route("GET", "services/norvo/feed/%@/list/1", [](const sample_service::RecordedRequest& request) {
            Json page = Json::array();
            const auto above = request.queryValue("minIdNotIncludeSelf");
            if (!above) return sample_service::Reply::json(page);
            const long long first = std::stoll(*above) + 15;
            for (long long id = first; id > first - 15; --id) page.push_back(mixedPost(id));
            page[0]["updateTime"] = "1767600000";
            page[0]["totalCount"] = "15";
            return sample_service::Reply::json(page);
        });
        MVTAccount::sharedInstance().setHideSquare("y");
    }

    // The home screen listing the cache (filled with `count` posts first), laid out.
    std::shared_ptr<MVTHomeViewController> show(int count) {
        Json posts = Json::array();
        for (int id = count; id >= 1; --id) posts.push_back(mixedPost(id));
        MVTtirraDataBase::insertDynamicWithArr(posts, "1001");
        auto home = std::make_shared<MVTHomeViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(home));
        RunLoop::main().runUntil([&] { return !home->dataArray().empty(); }, 10);
        home->myTable()->layoutIfNeeded();
        return home;
    }
    Window& window() { return app_.window(); }

private:
    // The sample data's routes too (avatars, thumbnails); nothing recorded.
    bench_support::ScreenBench app_{"feed", {"1001", "teacher", "11,12", "王老师"}};
};

long long newestId(const MVTHomeViewController& home) {
    return home.dataArray().empty() ? 0 : integerValue(valueFor(*home.dataArray().front(), "id"));
}

void BM_FeedRefreshCycle(benchmark::State& state) {
    FeedBench bench;
    auto home = bench.show(15);
    for (auto _ : state) {
        const long long expected = newestId(*home) + 15;
        home->reloadNewData();
        RunLoop::main().runUntil([&] { return newestId(*home) == expected; }, 10);
        home->myTable()->layoutIfNeeded();
        benchmark::DoNotOptimize(home->myTable()->visibleCells().size());
    }
}
BENCHMARK(BM_FeedRefreshCycle)->Unit(benchmark::kMillisecond);

void BM_FeedFrame(benchmark::State& state) {
    FeedBench bench;
    bench.show(15);
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_FeedFrame)->Unit(benchmark::kMillisecond);

void BM_FeedThousandCachedPosts(benchmark::State& state) {
    for (auto _ : state) {
        FeedBench bench;
        auto home = bench.show(1000);
        while (home->dataArray().size() < 1000) {
            home->getData();
            RunLoop::main().pump();
        }
        home->myTable()->layoutIfNeeded();
        state.counters["rss_mb"] = residentMegabytes();
        state.counters["posts"] = double(home->dataArray().size());
    }
}
BENCHMARK(BM_FeedThousandCachedPosts)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FeedCacheTenThousandPosts(benchmark::State& state) {
    auto home = makeTemporaryFolder("tirra-bench-feed-cache");
    Paths::setHome(home);
    Json posts = Json::array();
    for (int id = 1; id <= 10000; ++id) posts.push_back(mixedPost(id));
    int round = 0;
    for (auto _ : state) {
        MVTtirraDataBase::insertDynamicWithArr(posts, "user" + std::to_string(round++));
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
}
BENCHMARK(BM_FeedCacheTenThousandPosts)->Unit(benchmark::kMillisecond);

void BM_FeedReloadAfterOnePraise(benchmark::State& state) {
    FeedBench bench;
    auto home = bench.show(100);
    while (home->dataArray().size() < 100) {
        home->getData();
        RunLoop::main().pump();
    }
    home->myTable()->reloadData();
    home->myTable()->layoutIfNeeded();
    int count = 0;
    for (auto _ : state) {
        (*home->dataArray()[50])["likeCount"] = std::to_string(++count);
        home->myTable()->reloadData();
        home->myTable()->layoutIfNeeded();
        state.counters["rows_measured"] = home->myTable()->rowsMeasuredInLastLoad();
    }
}
BENCHMARK(BM_FeedReloadAfterOnePraise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
