// The school circle and the mentions list: a school circle refresh (a loopback reply of 15
// new posts of several kinds, parsed, listed and their 15 cells built), one full-screen
// frame of the school circle and one of the mentions list on the sample mentions (320 x 568
// points at scale 2). Aims: 10 ms, 8 ms and 8 ms.
#include "support/ScreenBench.h"

#include "details/ReferMeViewController.h"
#include "feed/MVTSquareViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace platform;

namespace {

// A school post: text with faces, and every third one pictures, a voice or a vote.
Json schoolPost(long long id) {
    Json post = {{"id", id},
                 {"uid", 1001 + id % 3},
                 {"name", id % 3 ? "张老师" : "学校管理员"},
                 {"role", "teacher"},
                 {"className", id % 2 ? "三年级一班" : "三年级二班"},
                 {"dateline", 1767500000 + id},
                 {"type", "essay"},
                 {"content", "全校通知第" + std::to_string(id) + "条：下周一举行升旗仪式[em:" +
                                 std::to_string(id % 30 + 1) + ":]</br>请穿好校服"},
                 {"commentCount", "1"},
                 {"likeCount", "3"},
                 {"love", "0"},
                 {"likeUsers", Json::array({{{"name", "李明"}, {"uid", 2001}}})},
                 {"comments", Json::array({{{"name", "李明家长"}, {"content", "收到[em:3:]"}}})},
                 {"attachments", Json::array()}};
    if (id % 3 == 1) {
        for (int k = 0; k < 3; ++k) post["attachments"].push_back({{"id", 55}, {"type", "image"}});
    } else if (id % 3 == 2) {
        post["attachments"].push_back({{"type", "audio"}, {"resModuleId", 880001}, {"duration", 2}});
    } else {
        post["vote"] = {{"id", id}, {"title", "运动会项目"}, {"showResult", 1}, {"count", 4},
                        {"answerList", Json::array({{{"id", 1}, {"title", "跳绳"}, {"count", 3}},
                                                    {{"id", 2}, {"title", "拔河"}, {"count", 1}}})}};
    }
    return post;
}

// The school circle alone in a window, its list requests answered with 15 posts newer
// than the newest listed (a first page of 15 without one).
class SchoolBench {
public:
    SchoolBench() {
        app_.service().route("GET", "services/norvo/feed/%@/list/1", [](const sample_service::RecordedRequest& request) {
            Json page = Json::array();
            const auto above = request.queryValue("minIdNotIncludeSelf");
            const long long first = above ? std::stoll(*above) + 15 : 15;
            for (long long id = first; id > first - 15; --id) page.push_back(schoolPost(id));
            page[0]["updateTime"] = "1767600000";
            page[0]["totalCount"] = "15";
            return sample_service::Reply::json(page);
        });
    }
    std::shared_ptr<MVTSquareViewController> showSquare() {
        auto square = std::make_shared<MVTSquareViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(square));
        RunLoop::main().runUntil([&] { return square->squareArray().size() >= 15; }, 10);
        square->squareTable()->layoutIfNeeded();
        return square;
    }
    std::shared_ptr<ReferMeViewController> showMentions() {
        auto mentions = std::make_shared<ReferMeViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(mentions));
        RunLoop::main().runUntil([&] { return !mentions->dataArray().empty(); }, 10);
        // The row pictures and avatars reach their files once.
        BackgroundQueue::shared().waitIdle();
        RunLoop::main().pump();
        mentions->view()->layoutIfNeeded();
        return mentions;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"school", {"1001", "teacher", "11,12", "王老师"}};
};

long long newestId(const MVTSquareViewController& square) {
    return square.squareArray().empty() ? 0 : integerValue(valueFor(*square.squareArray().front(), "id"));
}

void BM_SchoolCircleRefresh(benchmark::State& state) {
    SchoolBench bench;
    auto square = bench.showSquare();
    for (auto _ : state) {
        const long long expected = newestId(*square) + 15;
        square->reloadNewData();
        RunLoop::main().runUntil([&] { return newestId(*square) == expected; }, 10);
        square->squareTable()->layoutIfNeeded();
        benchmark::DoNotOptimize(square->squareTable()->visibleCells().size());
    }
}
BENCHMARK(BM_SchoolCircleRefresh)->Unit(benchmark::kMillisecond);

void BM_SchoolCircleFrame(benchmark::State& state) {
    SchoolBench bench;
    bench.showSquare();
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_SchoolCircleFrame)->Unit(benchmark::kMillisecond);

void BM_MentionsFrame(benchmark::State& state) {
    SchoolBench bench;
    bench.showMentions();
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_MentionsFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
