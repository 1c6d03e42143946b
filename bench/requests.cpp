// Requests to the service: building one, a JSON round trip on loopback, and many at once.
#include "core/MVTPublicMethod.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/Reachability.h"
#include "platform/RunLoop.h"
#include "sample_service/SampleService.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using nlohmann::json;

json feedPage() {
    json list = json::array();
    for (int i = 0; i < 15; ++i)
        list.push_back({{"id", std::to_string(52000 + i)},
                        {"uid", "1001"},
                        {"name", "王老师"},
                        {"role", "teacher"},
                        {"className", "三年级一班"},
                        {"dateline", 1767600000 + i * 60},
                        {"type", 1},
                        {"content", "今天下午三点在操场集合，带好水杯和帽子。第" + std::to_string(i) + "条。"},
                        {"likeUsers", json::array({{{"uid", "2001"}, {"name", "李明"}}})},
                        {"comments", json::array()},
                        {"attachments", json::array({{{"id", "9001"}, {"name", "photo.jpg"}, {"type", "image"}}})}});
    return list;
}

// One service for the whole program, on a free loopback port.
sample_service::SampleService& service() {
    static auto instance = [] {
        auto created = std::make_unique<sample_service::SampleService>();
        created->start();
        created->setReply("GET", "services/norvo/feed/1001/list/1", sample_service::Reply::json(feedPage()));
        setenv("TIRRA_BASE_URL", created->baseUrl().c_str(), 1);
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        platform::RunLoop::main().reset();
        return created;
    }();
    return *instance;
}

std::string feedUrl() { return service().baseUrl() + "services/norvo/feed/1001/list/1"; }

void startFeedRequest(int& finished, int& failed) {
    auto request = MVTPublicMethod::requestWithMethod("GET", feedUrl(),
                                                      {{"limit", 15}, {"minIdNotIncludeSelf", 51999}, {"dateline", 0}});
    auto operation = platform::HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [&finished, &failed](platform::HttpJsonRequestOperation&, const json& posts) {
            ++finished;
            if (posts.size() != 15) ++failed;
        },
        [&finished, &failed](platform::HttpRequestOperation&, const platform::HttpError&) {
            ++finished;
            ++failed;
        });
    operation->start();
}

void BM_BuildRequest(benchmark::State& state) {
    service();
    std::string url = feedUrl();
    for (auto _ : state) {
        auto request = MVTPublicMethod::requestWithMethod(
            "GET", url, {{"limit", 15}, {"minIdNotIncludeSelf", 51999}, {"dateline", "2026-01-05 08:00:00"}});
        benchmark::DoNotOptimize(request);
    }
}
BENCHMARK(BM_BuildRequest);

// Latency of one JSON GET with a 15-post reply, from building the request to the handler.
void BM_JsonRoundTrip(benchmark::State& state) {
    service();
    int failed = 0;
    for (auto _ : state) {
        int finished = 0;
        startFeedRequest(finished, failed);
        platform::RunLoop::main().runUntil([&] { return finished == 1; }, 30);
    }
    if (failed) state.SkipWithError("a request failed");
}
BENCHMARK(BM_JsonRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Throughput with 1,000 requests in flight at once.
void BM_ThousandInFlight(benchmark::State& state) {
    service();
    const int count = 1000;
    int failed = 0;
    for (auto _ : state) {
        int finished = 0;
        for (int i = 0; i < count; ++i) startFeedRequest(finished, failed);
        platform::RunLoop::main().runUntil([&] { return finished == count; }, 120);
    }
    state.SetItemsProcessed(state.iterations() * count);
    if (failed) state.SkipWithError("a request failed");
}
BENCHMARK(BM_ThousandInFlight)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
