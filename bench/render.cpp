// Rendering a full screen (320 x 568 points at scale 2) that shows a navigation bar and a
// 20-row table of two labels each: time per frame.
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

class Rows : public TableViewDataSource {
public:
    int numberOfRowsInSection(TableView&, int) override { return 20; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "row");
        cell->textLabel()->setText("第" + std::to_string(path.row + 1) + "条班级动态 Class post");
        cell->detailTextLabel()->setText("三年级二班 · 王老师");
        return cell;
    }
};

void BM_RenderScreenWithTable(benchmark::State& state) {
    auto window = std::make_shared<Window>();
    window->setFrame(Screen::mainScreen().bounds());
    auto screen = std::make_shared<ViewController>();
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(screen);
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
    auto rows = std::make_shared<Rows>();
    auto table = std::make_shared<TableView>(Rect{0, 64, 320, 504});
    table->setRowHeight(25);  // 20 rows fill the screen
    table->setDataSource(rows);
    screen->view()->addSubview(table);
    // The window's frame loop: one picture drawn over on every frame.
    Screen& main = Screen::mainScreen();
    auto frame = makeImageContext(main.bounds().size, main.scale(), true);
    Renderer::renderInto(*frame, *window);  // warm the font caches
    for (auto _ : state) {
        Renderer::renderInto(*frame, *window);
        benchmark::DoNotOptimize(frame->pixels());
    }
}
BENCHMARK(BM_RenderScreenWithTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
