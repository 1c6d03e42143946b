#pragma once

#include "platform/HttpResponse.h"
#include "platform/UrlRequest.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// The one network thread: every transfer of the process runs on it through libcurl's multi
// interface. It is created on first use and lives until the process ends. Callbacks run on
// the network thread; the request operations hand them on to the main run loop.
//
// A request's timeout is an idle limit, measured in real time on the network thread: a
// transfer fails (Timeout) once connecting takes longer, or once no byte has gone out or
// come in for longer, however long the transfer as a whole has been running.
class HttpEngine {
public:
    using TransferId = unsigned long long;
    struct Callbacks {
        // Called once when the transfer ends, unless it was cancelled first.
        std::function<void(HttpResponse)> done;
        // Optional: bytes sent / expected to send, received / expected to receive
        // (expected 0 when unknown). Called only when a value changed.
        std::function<void(long long, long long, long long, long long)> progress;
    };

    static HttpEngine& shared();
    ~HttpEngine();
    HttpEngine(const HttpEngine&) = delete;
    HttpEngine& operator=(const HttpEngine&) = delete;

    // Thread-safe. Replies with a body larger than `maxResponseBytes` fail (TooLarge).
    // With a `bodyFile`, the body is written to that file (created or truncated) instead of
    // memory, `maxResponseBytes` does not apply and the free space of its disk does; a
    // transfer that fails or is cancelled removes the file.
    TransferId start(UrlRequest request, std::size_t maxResponseBytes, Callbacks callbacks,
                     std::filesystem::path bodyFile = {});
    // Thread-safe. Stops the transfer; its `done` is not called afterwards (it may already be
    // running on the network thread at this moment).
    void cancel(TransferId id);

    // Blocks the calling thread until the reply is complete (never call it on the network
    // thread, i.e. from a callback).
    HttpResponse fetch(UrlRequest request, std::size_t maxResponseBytes = kDefaultMaxResponseBytes);

    // Transfers started and not yet finished or cancelled (tests).
    std::size_t activeCount();

    struct Transfer;  // one running exchange (defined with the engine)

private:
    HttpEngine();
    void run();
    void addTransfer(std::unique_ptr<Transfer> transfer);
    void finish(Transfer& transfer, int curlCode);
    // Ends the transfers that have been idle for longer than their timeout; answers the
    // milliseconds until the next one could run out (for the poll), at most `longest`.
    int endIdleTransfers(int longest);

    void* multi_ = nullptr;  // CURLM*
    std::mutex mutex_;
    std::vector<std::unique_ptr<Transfer>> incoming_;
    std::vector<TransferId> cancels_;
    std::map<TransferId, std::unique_ptr<Transfer>> active_;  // network thread only
    std::atomic<std::size_t> count_{0};
    TransferId nextId_ = 1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace platform
