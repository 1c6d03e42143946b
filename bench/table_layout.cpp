// Laying out a table of 1,000 rows of two labels each, text measurement included: the
// rows' heights are measured from their texts, then the list is scrolled from top to
// bottom so every row gets a cell laid out. Reports the time per row.

#include "platform/Clock.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextMeasure.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

struct Rows : TableViewDataSource, TableViewDelegate {
    std::vector<std::pair<std::string, std::string>> texts;
    Font titleFont = Font::boldSystemFontOfSize(15);
    Font bodyFont = Font::systemFontOfSize(13);

    int numberOfRowsInSection(TableView&, int) override { return int(texts.size()); }
    double heightForRowAtIndexPath(TableView&, const IndexPath& ip) override {
        auto& [title, body] = texts[size_t(ip.row)];
        return 10 + TextMeasure::size(title, titleFont, 290, LineBreakMode::TruncateTail, 1).height +
               TextMeasure::size(body, bodyFont, 290, LineBreakMode::WordWrap, 0).height + 10;
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& ip) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "row");
        auto& [title, body] = texts[size_t(ip.row)];
        cell->textLabel()->setFont(titleFont);
        cell->textLabel()->setText(title);
        cell->detailTextLabel()->setFont(bodyFont);
        cell->detailTextLabel()->setNumberOfLines(0);
        cell->detailTextLabel()->setText(body);
        return cell;
    }
};

void BM_TableLayout(benchmark::State& state) {
    auto rows = std::make_shared<Rows>();
    for (int i = 0; i < 1000; ++i)
        rows->texts.emplace_back("张老师 " + std::to_string(i),
                                 "今天的作业是第" + std::to_string(i) +
                                     "页的练习, please hand it in before Friday; 家长请签字确认。");
    for (auto _ : state) {
        TextMeasure::clearCache();  // measure every text for real each round
        auto table = std::make_shared<TableView>(Rect(0, 0, 320, 480));
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->reloadData();
        double height = table->contentSize().height;
        for (double y = 0; y < height; y += 240) table->setContentOffset({0, y});
        benchmark::DoNotOptimize(table->visibleCells().size());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["per_row"] =
        benchmark::Counter(double(state.iterations()) * 1000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TableLayout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
