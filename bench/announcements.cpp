// The announcements of a group under load. Timed: a page of 15 announcements, each with a
// nine-picture grid whose thumbnails are in the cache, every card built twice as the list
// builds it (once for its height, once to show it). The aim is 10 ms.
#include "support/ScreenBench.h"

#include "contacts/MVTGongGaoTableViewCell.h"
#include "contacts/MVTGongGaoViewController.h"
#include "shell/myNavigationController.h"

#include "platform/RunLoop.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <benchmark/benchmark.h>

using namespace platform;
using Json = nlohmann::json;

namespace {

const bench_support::BenchUser kTeacher{"1001", "teacher", "11,12", "王老师"};

void BM_AnnouncementPageCellsBuiltTwice(benchmark::State& state) {
    bench_support::ScreenBench app("announcements", kTeacher);
    const std::string thumbnail = Image::imageWithColor(Color::rgb255(40, 120, 200), {240, 240})->pngData();
    Json rows = Json::array();
    for (int row = 0; row < 15; ++row) {
        Json attachments = Json::array();
        for (int i = 0; i < 9; ++i) {
            const std::string id = std::to_string(700000 + row * 10 + i);
            writeFileAtomically(MVTGongGaoTableViewCell::thumbnailFile(id), thumbnail);
            attachments.push_back({{"type", "image"}, {"id", id}});
        }
        attachments.push_back({{"type", "audio"}, {"resModuleId", "880002"}, {"duration", 3}});
        attachments.push_back({{"type", "docx"}, {"resModuleId", "880005"}, {"name", "致家长的一封信"}});
        rows.push_back({{"id", 9000 + row}, {"rescourseId", 9500 + row}, {"title", "第" + std::to_string(row) + "期读书小报"},
                        {"name", "王老师"}, {"dateline", 1765000000 - row * 3600},
                        {"content", "本期内容：</br>每位组员分享一本喜欢的书。</br>周五下午在图书馆二楼。"},
                        {"attachmentList", attachments}});
    }
    app.service().setReply("GET", "services/norvo/forum/1001/601/3/notice/list",
                           sample_service::Reply::json({{"list", rows}}));
    auto list = std::make_shared<MVTGongGaoViewController>();
    list->setUserType("2");
    list->setForumId("601");
    list->setFieldId("3");
    app.window().setRootViewController(myNavigationController::withRoot(list));
    if (!RunLoop::main().runUntil([&] { return list->dataArray().size() == 15 && !list->refreshing(); })) {
        state.SkipWithError("the announcements did not load");
        return;
    }
    // The thumbnails are decoded once, off the timed loop, as a page shown once would have.
    for (int row = 0; row < 15; ++row) list->buildCell(row);
    BackgroundQueue::shared().waitIdle();
    auto lastShown = [&] {
        auto cell = list->buildCell(14);
        for (auto& view : cell->card()->subviews())
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view); picture && !picture->accessibilityValue().empty())
                return picture->image() != nullptr;
        return false;
    };
    if (!RunLoop::main().runUntil(lastShown)) {
        state.SkipWithError("the thumbnails were not decoded");
        return;
    }
    for (auto _ : state) {
        for (int row = 0; row < 15; ++row) {
            benchmark::DoNotOptimize(list->buildCell(row)->frame().height());
            benchmark::DoNotOptimize(list->buildCell(row));
        }
    }
}
BENCHMARK(BM_AnnouncementPageCellsBuiltTwice)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
