// The answer sheet: a sheet of 30 questions, five of each of the six kinds, every fourth
// one with a formula picture already cached under gongshi<key>.png. One loopback reply
// of the sample service to the first screen (the reply parsed, every question's text
// prepared and its cell filled and measured, the first screen laid out), and one frame of
// the sheet while it scrolls (320 x 568 points at scale 2). The aims are 40 ms and 8 ms.
#include "support/ScreenBench.h"

#include "shell/myNavigationController.h"
#include "shell/myTableView.h"
#include "tests/MVTCourseListViewController.h"
#include "tests/QuestionText.h"

#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

using namespace platform;

namespace {

constexpr const char* kSheetBenchExam = "9001";
constexpr int kSheetBenchQuestions = 30;

// Question `i` of the sheet, of kind `i % 6`; `formula` is the address of a formula picture.
Json sheetBenchQuestion(int i, const std::string& formula) {
    std::string id = "q";
    id += std::to_string(i);
    const std::string picture = i % 4 == 0 ? "<img src=\"" + formula + "\" width=\"120\" height=\"40\">" : "";
    const std::string number = std::to_string(i + 1);
    switch (i % 6) {
    case 0:
        return {{"id", id},
                {"questionType", 0},
                {"questionTitle", "<p>第" + number + "题：下列词语中，书写正确的是哪一个？" + picture + "</p>"},
                {"options", Json::array({{{"text", "<p>迫不急待</p>"}}, {{"text", "<p>迫不及待</p>"}},
                                         {{"text", "<p>迫不极待</p>"}}, {{"text", "<p>迫不既待</p>"}}})},
                {"answer", "1"},
                {"analysis", "“及”是赶上的意思。"}};
    case 1:
        return {{"id", id},
                {"questionType", 1},
                {"questionTitle", "<p>第" + number + "题：下面哪些是描写春天的诗句？" + picture + "</p>"},
                {"options", Json::array({{{"text", "<p>春色满园关不住</p>"}}, {{"text", "<p>接天莲叶无穷碧</p>"}},
                                         {{"text", "<p>二月春风似剪刀</p>"}}})},
                {"answer", "0|2"}};
    case 2:
        return {{"id", id},
                {"questionType", 2},
                {"options", "<p>第" + number + "题：用一句话写写你喜欢的季节。" + picture + "</p>"},
                {"answer", "言之有理即可"}};
    case 3:
        return {{"id", id},
                {"questionType", 3},
                {"questionTitle", "<p>第" + number + "题：床前明月光，疑是_霜。举头望_，低头思_。" + picture + "</p>"},
                {"answer", Json::array({{{"text", "地上"}}, {{"text", "明月"}}, {{"text", "故乡"}}})},
                {"analysis", "李白《静夜思》。"}};
    case 4:
        return {{"id", id},
                {"questionType", 4},
                {"questionTitle", "<p>第" + number + "题：把作者和作品连起来。" + picture + "</p>"},
                {"options", Json::array({{{"text", "李白"}, {"value", "A"}}, {{"text", "杜甫"}, {"value", "B"}},
                                         {{"text", "孟浩然"}, {"value", "C"}}})},
                {"answer", Json::array({{{"text", "静夜思"}}, {{"text", "春夜喜雨"}}, {{"text", "春晓"}}})}};
    default:
        return {{"id", id},
                {"questionType", 5},
                {"options", "<p>第" + number + "题：“春眠不觉晓”的作者是孟浩然。" + picture + "</p>"},
                {"answer", "1"},
                {"fileType", "image"},
                {"resourceModuleId", "881001"}};
    }
}

// The sample service with its school (李明 signed in) answering the sheet with 30
// questions, and the formula picture fetched once into the cache.
class SheetBench {
public:
    SheetBench() {
        const std::string formula = app_.service().baseUrl() + "img_src/formula-1.png";
        Json sheet = Json::array();
        for (int i = 0; i < kSheetBenchQuestions; ++i) sheet.push_back(sheetBenchQuestion(i, formula));
        app_.service().setReply("GET", std::string("/services/norvo/course/exam/2001/") + kSheetBenchExam + "/new",
                                sample_service::Reply::json(sheet));
        // The first sheet fetches the formula picture and writes it; later ones read it.
        const auto cached = Paths::documentsDirectory() / quiz::formulaFileName("formula-1.png");
        showSheet();
        RunLoop::main().runUntil([&] { return std::filesystem::exists(cached); }, 10);
        if (!std::filesystem::exists(cached)) std::abort();
    }

    // A new sheet in the window, with its questions shown and its first screen laid out.
    std::shared_ptr<MVTCourseListViewController> showSheet() {
        auto sheet = std::make_shared<MVTCourseListViewController>();
        sheet->setWhereShow(MVTCourseListViewController::kHomeView);
        sheet->setExamId(kSheetBenchExam);
        sheet->setTitleStr("单元测验");
        sheet->view()->setTag(1);
        app_.window().setRootViewController(myNavigationController::withRoot(sheet));
        RunLoop::main().runUntil(
            [&] { return static_cast<int>(sheet->dataArr().size()) == kSheetBenchQuestions && sheet->mytableview(); },
            10);
        if (!sheet->mytableview()) std::abort();
        sheet->mytableview()->layoutIfNeeded();
        return sheet;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"tests", {"2001", "student", "11", ""}};
};

void BM_TestSheetFirstScreen(benchmark::State& state) {
    SheetBench bench;
    for (auto _ : state) {
        TextMeasure::clearCache();  // every question's text measured for real
        auto sheet = bench.showSheet();
        benchmark::DoNotOptimize(sheet->mytableview()->visibleCells().size());
    }
}
BENCHMARK(BM_TestSheetFirstScreen)->Unit(benchmark::kMillisecond);

void BM_TestSheetScrollFrame(benchmark::State& state) {
    SheetBench bench;
    auto sheet = bench.showSheet();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    auto table = sheet->mytableview();
    const double bottom = table->contentSize().height - table->bounds().height();
    if (bottom <= 0) std::abort();  // a sheet of 30 questions always scrolls
    Screen& main = Screen::mainScreen();
    auto frame = makeImageContext(main.bounds().size, main.scale(), true);
    Renderer::renderInto(*frame, bench.window());
    // A finger's scroll: 40 points a frame, down the whole sheet and back to the top.
    double y = 0;
    for (auto _ : state) {
        y += 40;
        if (y > bottom) y = 0;
        table->setContentOffset({0, y});
        table->layoutIfNeeded();
        Renderer::renderInto(*frame, bench.window());
        benchmark::DoNotOptimize(frame->pixels());
    }
}
BENCHMARK(BM_TestSheetScrollFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
