// The chat under load: a conversation of 10,000 cached messages opened to its first screen
// (the local rows read, the list laid out, scrolled to the newest message), and one
// full-screen frame of the message centre and of a chat (320 x 568 points at scale 2).
// The aims are 20 ms to the first screen and 8 ms a frame.
#include "support/ScreenBench.h"

#include "chat/MVTChatViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "core/MVTtirraDataBase.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;
using Json = nlohmann::json;

namespace {

constexpr int kCachedMessages = 10000;

// A home with the sample service (its sample conversations), a signed-in teacher and a
// window.
class ChatBench {
public:
    void cacheConversation() {
        Json all = Json::array();
        for (int n = 0; n < kCachedMessages; ++n)
            all.push_back({{"id", 100000 + n},
                           {"uid", "2001"},
                           {"status", n % 3 ? "0" : "1"},
                           {"msg", n % 5 ? "第三题我不太会，老师能再讲一遍吗" : "好的[em:1:]"},
                           {"sendTime", std::to_string(1767000000 + n * 60)},
                           {"isReaded", "1"},
                           {"name", "李明"},
                           {"role", "student"}});
        MVTtirraDataBase::insertMSGtable(all, "1001");
    }
    std::shared_ptr<MVTChatViewController> openChat() {
        auto chat = std::make_shared<MVTChatViewController>();
        chat->setMyDict({{"uid", "2001"}, {"name", "李明"}, {"role", "student"}});
        chat->setMsgType("person");
        chat->setTitle("李明");
        app_.window().setRootViewController(myNavigationController::withRoot(chat));
        chat->tableView()->layoutIfNeeded();
        return chat;
    }
    std::shared_ptr<MVTInteractionViewController> openCentre() {
        auto centre = std::make_shared<MVTInteractionViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(centre));
        RunLoop::main().runUntil([&] { return centre->dataArray().size() >= 10; }, 10);
        centre->mytableview()->layoutIfNeeded();
        return centre;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"chat", {"1001", "teacher", "11,12", "王老师"}};
};

void BM_ChatTenThousandCachedToFirstScreen(benchmark::State& state) {
    ChatBench bench;
    bench.cacheConversation();
    std::shared_ptr<MVTChatViewController> previous;
    for (auto _ : state) {
        auto chat = bench.openChat();
        benchmark::DoNotOptimize(chat->tableView()->visibleCells().size());
        // The chat is closed (its messages marked read) and let go outside the timing:
        // opening one is measured, not closing another.
        state.PauseTiming();
        bench.window().setRootViewController(std::make_shared<platform::ViewController>());
        previous.reset();
        previous = chat;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChatTenThousandCachedToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MessageCentreFrame(benchmark::State& state) {
    ChatBench bench;
    bench.openCentre();
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_MessageCentreFrame)->Unit(benchmark::kMillisecond);

void BM_ChatFrame(benchmark::State& state) {
    ChatBench bench;
    auto chat = bench.openChat();
    RunLoop::main().runUntil([&] { return !chat->dataArray().empty(); }, 10);
    chat->tableView()->layoutIfNeeded();
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_ChatFrame)->Unit(benchmark::kMillisecond);

}  // namespace


BENCHMARK_MAIN();
