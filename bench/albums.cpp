// Albums: a 4032 x 3024 camera JPEG decoded into a picture ready to show, beside djpeg
// decoding the same file (its time includes starting the process); the square crop's turn
// and cut of that picture at 30°; one photo-grid row filled from three cached thumbnails;
// full-screen frames (320 x 568 points at scale 2) of the photo grid and of the recent
// photos. The aims: decoding ≤ 1.3 × djpeg, the cut ≤ 0.25 s, the row ≤ 4 ms, a frame ≤ 8 ms.
// The run ends with the two decoding times and their ratio; without djpeg (package
// libjpeg-turbo-progs) the peer is skipped with a message saying so.
#include "support/ScreenBench.h"

#include "albums/AlbumCommon.h"
#include "albums/ImageCropperView.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTClassAlbumViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

using namespace platform;

namespace {

namespace fs = std::filesystem;
using BenchClock = std::chrono::steady_clock;

// A camera-sized photo: a sky, hills, a few hundred soft shapes and fine grain, so the
// JPEG carries detail as a real photo does (about as many bytes per pixel).
std::string cameraJpeg() {
    const double w = 4032, h = 3024;
    auto ctx = makeImageContext({w, h}, 1, true);
    ctx->fillRect({0, 0, w, h * 0.55}, Color::rgb255(120, 170, 225));
    ctx->fillRect({0, h * 0.55, w, h * 0.45}, Color::rgb255(70, 130, 60));
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 600; ++i) {
        const double side = 20 + 260 * unit(rng);
        ctx->fillRect({unit(rng) * w, unit(rng) * h, side, side * (0.3 + unit(rng))},
                      Color::rgba(unit(rng), unit(rng), unit(rng), 0.35 + 0.5 * unit(rng)));
    }
    auto picture = ctx->image();
    // Grain: every pixel nudged, as a sensor's noise does.
    auto grainy = makeImageContext({w, h}, 1, true);
    grainy->drawImage(*picture, {0, 0, w, h});
    for (int y = 0; y < int(h); y += 3)
        for (int x = 0; x < int(w); x += 7)
            grainy->fillRect({double(x), double(y), 2, 1}, Color::rgba(unit(rng), unit(rng), unit(rng), 0.12));
    return grainy->image()->jpegData(0.9);
}

struct PhotoFile {
    fs::path folder = makeTemporaryFolder("tirra-bench-albums-photo");
    fs::path jpeg = folder / "camera.jpg";
    PhotoFile() { writeFileAtomically(jpeg, cameraJpeg()); }
    ~PhotoFile() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

PhotoFile& photo() {
    static PhotoFile file;
    return file;
}

std::map<std::string, double>& meanMs() {
    static std::map<std::string, double> m;
    return m;
}

void record(const std::string& what, BenchClock::duration spent, benchmark::IterationCount iterations) {
    if (iterations > 0) meanMs()[what] = std::chrono::duration<double, std::milli>(spent).count() / double(iterations);
}

bool runQuietly(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool djpegThere() {
    static const bool there = runQuietly("command -v djpeg");
    return there;
}

void BM_DecodeCameraJpeg(benchmark::State& state) {
    const auto file = photo().jpeg;
    const auto start = BenchClock::now();
    for (auto _ : state) {
        auto picture = Image::imageWithContentsOfFile(file);
        if (!picture || picture->pixelWidth() != 4032) state.SkipWithError("the photo did not decode");
        benchmark::DoNotOptimize(picture);
    }
    record("ours", BenchClock::now() - start, state.iterations());
}
BENCHMARK(BM_DecodeCameraJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DjpegCameraJpeg(benchmark::State& state) {
    if (!djpegThere()) {
        state.SkipWithError("peer skipped: djpeg is not installed (libjpeg-turbo-progs)");
        return;
    }
    const std::string command = "djpeg -outfile /dev/null '" + photo().jpeg.string() + "'";
    const auto start = BenchClock::now();
    for (auto _ : state) {
        if (!runQuietly(command)) {
            state.SkipWithError("djpeg failed");
            return;
        }
    }
    record("djpeg", BenchClock::now() - start, state.iterations());
}
BENCHMARK(BM_DjpegCameraJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TurnAndCutAt30Degrees(benchmark::State& state) {
    auto picture = Image::imageWithContentsOfFile(photo().jpeg);
    auto cropper = std::make_shared<ImageCropperView>(Rect(0, 154, 320, 320));
    cropper->setImage(picture);
    cropper->imageView()->setTransform(AffineTransform::rotation(M_PI / 6));
    for (auto _ : state) {
        cropper->finishCropping();
        if (!cropper->cropImage()) state.SkipWithError("the cut gave no picture");
        benchmark::DoNotOptimize(cropper->cropImage());
    }
}
BENCHMARK(BM_TurnAndCutAt30Degrees)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sample service with its albums, a home of its own and 王老师 signed in.
class AlbumBench {
public:
    Window& window() { return app_.window(); }
    template <class Screen>
    void show(std::shared_ptr<Screen> screen) {
        app_.window().setRootViewController(myNavigationController::withRoot(screen));
    }
    // Turns the run loop until the condition holds and every picture came.
    static void settle(const std::function<bool()>& condition) {
        RunLoop::main().runUntil(condition, 10);
        BackgroundQueue::shared().waitIdle();
        RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
        RunLoop::main().runUntil([] { return false; }, 0.2);
    }

private:
    bench_support::ScreenBench app_{"albums", {"1001", "teacher", "11,12", "王老师"}};
};

void BM_GridRowFromCachedThumbnails(benchmark::State& state) {
    AlbumBench bench;
    // Three thumbnails of 240 x 180 points in their cache files, as the grid left them.
    Json photos = Json::array();
    for (int i = 0; i < 3; ++i) {
        const std::string id = std::to_string(990001 + i);
        auto ctx = makeImageContext({240, 180}, 1, true);
        ctx->fillRect({0, 0, 240, 180}, Color::rgb255(40 * i, 120, 200));
        ctx->fillRect({30, 40, 120, 80}, Color::rgb255(230, 180, 60));
        writeFileAtomically(albums::thumbnailFile(id), ctx->image()->jpegData(0.8));
        photos.push_back({{"id", 880001 + i}, {"resourceId", id}, {"resourceModuleId", std::to_string(995001 + i)}});
    }
    auto cell = MVTAlbumDetailsCell::make();
    for (auto _ : state) {
        cell->reloadDataWith(photos);
        benchmark::DoNotOptimize(cell.get());
    }
}
BENCHMARK(BM_GridRowFromCachedThumbnails)->Unit(benchmark::kMillisecond);

void BM_PhotoGridFrame(benchmark::State& state) {
    AlbumBench bench;
    auto grid = std::make_shared<MVTAlbumDetalsViewController>();
    grid->setAlbumId("502");
    grid->setNameStr("春游");
    grid->setIsmanagerStr("1");
    grid->setAlbumDic(std::make_shared<Json>(Json{{"id", "502"}, {"name", "春游"}}));
    bench.show(grid);
    AlbumBench::settle([&] { return grid->picDataArr().size() == 15; });
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_PhotoGridFrame)->Unit(benchmark::kMillisecond);

void BM_RecentPhotosFrame(benchmark::State& state) {
    AlbumBench bench;
    auto album = std::make_shared<MVTClassAlbumViewController>();
    bench.show(album);
    AlbumBench::settle([&] { return album->picDataArr().size() == 15; });
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_RecentPhotosFrame)->Unit(benchmark::kMillisecond);

void printComparison() {
    auto& m = meanMs();
    if (!m.count("ours")) return;
    std::printf("\n4032 x 3024 JPEG, mean wall time per decode:\n");
    if (m.count("djpeg"))
        std::printf("  ours %.2f ms, djpeg %.2f ms (process start included), ours/djpeg %.2f\n", m["ours"], m["djpeg"],
                    m["ours"] / m["djpeg"]);
    else
        std::printf("  ours %.2f ms, djpeg not measured%s\n", m["ours"],
                    djpegThere() ? "" : " (not installed: libjpeg-turbo-progs)");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printComparison();
    return 0;
}
