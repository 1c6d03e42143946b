// The post detail screen: opening it to its first frame (the state and the first comment
// page answered on loopback, a header with nine pictures and a long text, 15 comments of
// text, faces and voices, laid out and drawn once), and one full-screen frame of the
// comments afterwards (320 x 568 points at scale 2). Aims: 20 ms and 8 ms.
#include "support/ScreenBench.h"

#include "details/MVTDetailsViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace platform;

namespace {

Json benchPost() {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "运动会的精彩瞬间，同学们都很努力[em:" + std::to_string(i + 1) + ":]</br>";
    Json post = {{"id", 9001},        {"uid", 1002},          {"name", "张老师"}, {"role", "teacher"},
                 {"dateline", 1767500000}, {"type", "essay"}, {"content", text},  {"commentCount", "15"},
                 {"likeCount", "2"},  {"love", "0"},          {"attachments", Json::array()}};
    for (int i = 0; i < 9; ++i) post["attachments"].push_back({{"id", 881001 + i % 6}, {"type", "image"}});
    return post;
}

Json benchComments() {
    Json page = Json::array();
    for (int i = 0; i < 15; ++i) {
        Json comment = {{"id", 500 - i}, {"uid", "2001"}, {"name", "李明"}, {"role", "student"},
                        {"createDate", 1767500000 - i * 60}, {"attachmentList", Json::array()}};
        if (i % 5 == 4) {
            comment["content"] = "";
            comment["attachmentList"] = Json::array({{{"resModuleId", "880001"}, {"duration", 3}}});
        } else {
            comment["content"] = "写得真好[em:" + std::to_string(i + 1) + ":]，谢谢老师的分享";
        }
        if (i % 3 == 0) comment["replyName"] = "张老师";
        page.push_back(comment);
    }
    return page;
}

class DetailBench {
public:
    DetailBench() {
        auto& service = app_.service();
        service.setReply("GET", "/services/norvo/user/1001/feed/9001/stateCount",
                         sample_service::Reply::json({{"success", 1}, {"commentCount", "15"}, {"likeCount", "2"},
                                                      {"love", "0"}, {"likeUser", "王老师,李明"}}));
        service.setReply("GET", "/services/norvo/feed/9001/comments/1", sample_service::Reply::json(benchComments()));
        Screen& main = Screen::mainScreen();
        frame_ = makeImageContext(main.bounds().size, main.scale(), true);
    }

    // Opens the screen, waits for its comments and draws its first frame.
    std::shared_ptr<MVTDetailsViewController> open() {
        auto details = std::make_shared<MVTDetailsViewController>();
        details->setMyDict(std::make_shared<Json>(benchPost()));
        details->setModelName("feed");
        details->setModelID("9001");
        app_.window().setRootViewController(myNavigationController::withRoot(details));
        RunLoop::main().runUntil([&] { return !details->dataArray().empty(); }, 10);
        details->mytableview()->layoutIfNeeded();
        Renderer::renderInto(*frame_, app_.window());
        return details;
    }
    void drawFrame() { Renderer::renderInto(*frame_, app_.window()); }
    ImageGraphicsContext& frame() { return *frame_; }

private:
    bench_support::ScreenBench app_{"detail", {"1001", "teacher", "11,12", "王老师"}};
    std::unique_ptr<ImageGraphicsContext> frame_;
};

void BM_DetailOpenToFirstFrame(benchmark::State& state) {
    DetailBench bench;
    bench.open();  // the pictures and avatars reach their caches once
    for (auto _ : state) {
        auto details = bench.open();
        benchmark::DoNotOptimize(details->dataArray().size());
    }
}
BENCHMARK(BM_DetailOpenToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_DetailCommentsFrame(benchmark::State& state) {
    DetailBench bench;
    auto details = bench.open();
    // Scrolled to the comments below the header.
    details->mytableview()->setContentOffset({0, details->headView()->frame().height()});
    details->mytableview()->layoutIfNeeded();
    bench.drawFrame();
    for (auto _ : state) {
        bench.drawFrame();
        benchmark::DoNotOptimize(bench.frame().pixels());
    }
}
BENCHMARK(BM_DetailCommentsFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
