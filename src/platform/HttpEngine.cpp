#include "platform/HttpEngine.h"

#include "platform/HttpBodyStream.h"
#include "platform/RunLoop.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <future>
#include <limits>

namespace platform {

using SteadyClock = std::chrono::steady_clock;

struct HttpEngine::Transfer {
    TransferId id = 0;
    CURL* easy = nullptr;
    UrlRequest request;
    std::size_t maxBytes = kDefaultMaxResponseBytes;
    Callbacks callbacks;
    curl_slist* headerList = nullptr;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    bool tooLarge = false;
    curl_off_t lastProgress[4] = {-1, -1, -1, -1};
    char errorText[CURL_ERROR_SIZE] = {};

    // The request body when it is a stream.
    std::unique_ptr<HttpBodyStream::Reader> upload;
    // The reply body's file, when it goes to one; removed unless the transfer succeeds.
    std::filesystem::path sinkPath;
    std::FILE* sink = nullptr;
    std::uintmax_t sinkBytes = 0;
    std::string fileError;
    // The idle limit: when data last moved, and the limit itself (0: none).
    SteadyClock::time_point lastActivity = SteadyClock::now();
    SteadyClock::duration idleLimit{};

    void moved() { lastActivity = SteadyClock::now(); }

    // Closes the file at the end; false when its last bytes could not be written.
    bool closeSink() {
        bool ok = !sink || std::fclose(sink) == 0;
        sink = nullptr;
        if (!ok) fileError = "cannot write " + sinkPath.string();
        return ok;
    }

    ~Transfer() {
        if (easy) curl_easy_cleanup(easy);
        if (headerList) curl_slist_free_all(headerList);
        if (sink) std::fclose(sink);
        std::error_code ec;
        if (!sinkPath.empty()) std::filesystem::remove(sinkPath, ec);
    }
};

namespace {

size_t onBody(char* data, size_t size, size_t count, void* context) {
    auto& transfer = *static_cast<HttpEngine::Transfer*>(context);
    size_t n = size * count;
    transfer.moved();
    if (transfer.sink) {
        if (std::fwrite(data, 1, n, transfer.sink) != n) {
            transfer.fileError = "cannot write " + transfer.sinkPath.string();
            return 0;
        }
        transfer.sinkBytes += n;
        return n;
    }
    if (transfer.body.size() + n > transfer.maxBytes) {
        // Refuse rather than grow without bound; curl then ends the transfer.
        transfer.tooLarge = true;
        transfer.body.clear();
        transfer.body.shrink_to_fit();
        return 0;
    }
    transfer.body.append(data, n);
    return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* context) {
    auto& transfer = *static_cast<HttpEngine::Transfer*>(context);
    size_t n = size * count;
    transfer.moved();
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        // A new response (after a redirect or an interim reply): only the last one counts.
        transfer.headers.clear();
        if (transfer.sink && transfer.sinkBytes > 0) {
            std::fflush(transfer.sink);
            if (::ftruncate(::fileno(transfer.sink), 0) != 0) {
                transfer.fileError = "cannot write " + transfer.sinkPath.string();
                return 0;
            }
            std::rewind(transfer.sink);
            transfer.sinkBytes = 0;
        }
    } else if (auto colon = line.find(':'); colon != std::string::npos && colon > 0) {
        std::string value = line.substr(colon + 1);
        size_t start = value.find_first_not_of(" \t");
        value = start == std::string::npos ? std::string() : value.substr(start);
        transfer.headers.emplace_back(line.substr(0, colon), value);
    }
    return n;
}

int onProgress(void* context, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow) {
    auto& transfer = *static_cast<HttpEngine::Transfer*>(context);
    curl_off_t values[4] = {upNow, upTotal, downNow, downTotal};
    if (std::equal(values, values + 4, transfer.lastProgress)) return 0;
    // Bytes counted as sent (or received) are data on the move.
    if (upNow != transfer.lastProgress[0] || downNow != transfer.lastProgress[2]) transfer.moved();
    std::copy(values, values + 4, transfer.lastProgress);
    if (transfer.callbacks.progress) transfer.callbacks.progress(upNow, upTotal, downNow, downTotal);
    return 0;
}

size_t onUploadRead(char* out, size_t size, size_t count, void* context) {
    auto& transfer = *static_cast<HttpEngine::Transfer*>(context);
    size_t n = transfer.upload->read(out, size * count);
    if (transfer.upload->failed()) {
        transfer.fileError = transfer.upload->error();
        return CURL_READFUNC_ABORT;
    }
    return n;
}

int onUploadSeek(void* context, curl_off_t offset, int origin) {
    auto& transfer = *static_cast<HttpEngine::Transfer*>(context);
    if (origin != SEEK_SET || offset < 0) return CURL_SEEKFUNC_CANTSEEK;
    return transfer.upload->seek(static_cast<std::uintmax_t>(offset)) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

bool methodCarriesBody(const std::string& method) {
    return method != "GET" && method != "HEAD";
}

}  // namespace

HttpEngine& HttpEngine::shared() {
    // The run loop is made first so that it outlives the network thread at exit.
    RunLoop::main();
    static HttpEngine engine;
    return engine;
}

HttpEngine::HttpEngine() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = curl_multi_init();
    CURLM* multi = static_cast<CURLM*>(multi_);
    // A few connections per host, reused from one request to the next, like a browser.
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 6L);
    thread_ = std::thread([this] { run(); });
}

HttpEngine::~HttpEngine() {
    stopping_ = true;
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
    if (thread_.joinable()) thread_.join();
    for (auto& [id, transfer] : active_) curl_multi_remove_handle(static_cast<CURLM*>(multi_), transfer->easy);
    active_.clear();
    curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

HttpEngine::TransferId HttpEngine::start(UrlRequest request, std::size_t maxResponseBytes, Callbacks callbacks,
                                         std::filesystem::path bodyFile) {
    auto transfer = std::make_unique<Transfer>();
    transfer->request = std::move(request);
    transfer->maxBytes = maxResponseBytes;
    transfer->callbacks = std::move(callbacks);
    transfer->sinkPath = std::move(bodyFile);
    TransferId id;
    {
        std::lock_guard lock(mutex_);
        id = transfer->id = nextId_++;
        incoming_.push_back(std::move(transfer));
        ++count_;
    }
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
    return id;
}

void HttpEngine::cancel(TransferId id) {
    {
        std::lock_guard lock(mutex_);
        cancels_.push_back(id);
    }
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

std::size_t HttpEngine::activeCount() { return count_.load(); }

HttpResponse HttpEngine::fetch(UrlRequest request, std::size_t maxResponseBytes) {
    auto promise = std::make_shared<std::promise<HttpResponse>>();
    auto future = promise->get_future();
    start(std::move(request), maxResponseBytes,
          {[promise](HttpResponse response) { promise->set_value(std::move(response)); }, nullptr});
    return future.get();
}

void HttpEngine::addTransfer(std::unique_ptr<Transfer> transfer) {
    CURL* easy = curl_easy_init();
    transfer->easy = easy;
    transfer->moved();  // the idle limit counts from here: first the connection
    const UrlRequest& request = transfer->request;
    Transfer* raw = transfer.get();

    curl_easy_setopt(easy, CURLOPT_PRIVATE, raw);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, raw->errorText);
    curl_easy_setopt(easy, CURLOPT_URL, request.url().c_str());
    // Only the web: no file://, ftp:// or other schemes, also not through a redirect.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // No limit on the whole transfer: the connect limit here, the idle limit in the loop.
    if (request.timeoutInterval() > 0) {
        long ms = static_cast<long>(std::max(1.0, std::ceil(request.timeoutInterval() * 1000)));
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, ms);
        raw->idleLimit = std::chrono::milliseconds(ms);
    }
    curl_off_t maxBody = static_cast<curl_off_t>(raw->maxBytes);
    if (!raw->sinkPath.empty()) {
        // A reply announced larger than the free space is refused before it comes.
        std::error_code ec;
        const std::filesystem::path folder = raw->sinkPath.has_parent_path() ? raw->sinkPath.parent_path() : ".";
        const auto space = std::filesystem::space(folder, ec);
        const std::uintmax_t limit = std::numeric_limits<curl_off_t>::max();
        maxBody = ec ? 0 : static_cast<curl_off_t>(std::min(space.available, limit));
        raw->sink = std::fopen(raw->sinkPath.c_str(), "wb");
        if (!raw->sink) raw->fileError = "cannot create " + raw->sinkPath.string();
    }
    if (maxBody > 0) curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, maxBody);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, raw);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, raw);
    // Always on: the byte counts tell the idle limit that data moves.
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, raw);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    const std::string& method = request.httpMethod();
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (methodCarriesBody(method)) {
        if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.httpBodyLength()));
        if (request.httpBodyStream()) {
            raw->upload = std::make_unique<HttpBodyStream::Reader>(request.httpBodyStream());
            curl_easy_setopt(easy, CURLOPT_POST, 1L);
            curl_easy_setopt(easy, CURLOPT_READFUNCTION, onUploadRead);
            curl_easy_setopt(easy, CURLOPT_READDATA, raw);
            curl_easy_setopt(easy, CURLOPT_SEEKFUNCTION, onUploadSeek);
            curl_easy_setopt(easy, CURLOPT_SEEKDATA, raw);
        } else {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.httpBody().data());
        }
    } else if (method != "GET") {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    for (const auto& [name, value] : request.allHttpHeaderFields())
        raw->headerList = curl_slist_append(raw->headerList, (name + ": " + value).c_str());
    // curl would add a form Content-Type to every body on its own; a request without one
    // must go without. And no "Expect: 100-continue" round trip before large bodies.
    if (methodCarriesBody(method) && !request.hasHttpHeaderField("Content-Type"))
        raw->headerList = curl_slist_append(raw->headerList, "Content-Type:");
    raw->headerList = curl_slist_append(raw->headerList, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, raw->headerList);

    TransferId id = raw->id;
    if (!raw->fileError.empty() || curl_multi_add_handle(static_cast<CURLM*>(multi_), easy) != CURLM_OK) {
        active_[id] = std::move(transfer);
        finish(*raw, CURLE_FAILED_INIT);
        return;
    }
    active_[id] = std::move(transfer);
}

void HttpEngine::finish(Transfer& transfer, int curlCode) {
    HttpResponse response;
    long status = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    response.statusCode = static_cast<int>(status);
    response.headers = std::move(transfer.headers);
    response.body = std::move(transfer.body);

    auto code = static_cast<CURLcode>(curlCode);
    if (code == CURLE_OK) transfer.closeSink();
    if (!transfer.fileError.empty()) {
        response.error = HttpError{HttpError::Kind::File, response.statusCode, transfer.fileError};
    } else if (code == CURLE_FILESIZE_EXCEEDED && !transfer.sinkPath.empty()) {
        response.error = HttpError{HttpError::Kind::TooLarge, response.statusCode, "reply larger than the free space"};
    } else if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        response.body.clear();
        response.error = HttpError{HttpError::Kind::TooLarge, response.statusCode,
                                   "reply larger than " + std::to_string(transfer.maxBytes) + " bytes"};
    } else if (code != CURLE_OK) {
        HttpError::Kind kind = HttpError::Kind::Network;
        if (code == CURLE_OPERATION_TIMEDOUT) kind = HttpError::Kind::Timeout;
        else if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL) kind = HttpError::Kind::BadUrl;
        std::string text = transfer.errorText[0] ? transfer.errorText : curl_easy_strerror(code);
        response.error = HttpError{kind, response.statusCode, text};
    } else if (response.statusCode >= 400) {
        response.error = HttpError{HttpError::Kind::HttpStatus, response.statusCode,
                                   "HTTP status " + std::to_string(response.statusCode)};
    }
    if (!response.error) transfer.sinkPath.clear();  // the file stays; otherwise it goes with the transfer

    auto done = std::move(transfer.callbacks.done);
    curl_multi_remove_handle(static_cast<CURLM*>(multi_), transfer.easy);
    active_.erase(transfer.id);  // destroys `transfer`
    // Counted until its answer is handed on: whoever waits for the count to reach zero
    // then finds the answer already posted, never a moment with neither.
    if (done) done(std::move(response));
    --count_;
}

void HttpEngine::run() {
    CURLM* multi = static_cast<CURLM*>(multi_);
    while (!stopping_) {
        std::vector<std::unique_ptr<Transfer>> incoming;
        std::vector<TransferId> cancels;
        {
            std::lock_guard lock(mutex_);
            incoming.swap(incoming_);
            cancels.swap(cancels_);
        }
        for (auto& transfer : incoming) addTransfer(std::move(transfer));
        for (TransferId id : cancels) {
            auto it = active_.find(id);
            if (it == active_.end()) continue;  // already finished
            curl_multi_remove_handle(multi, it->second->easy);
            active_.erase(it);
            --count_;
        }

        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            CURLcode result = message->data.result;
            if (transfer) finish(*transfer, result);
        }
        curl_multi_poll(multi, nullptr, 0, endIdleTransfers(1000), nullptr);
    }
}

int HttpEngine::endIdleTransfers(int longest) {
    const auto now = SteadyClock::now();
    auto wait = std::chrono::milliseconds(longest);
    std::vector<Transfer*> idle;
    for (auto& [id, transfer] : active_) {
        if (transfer->idleLimit.count() <= 0) continue;
        const auto deadline = transfer->lastActivity + transfer->idleLimit;
        if (deadline <= now)
            idle.push_back(transfer.get());
        else
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    }
    for (Transfer* transfer : idle) {
        const double seconds = std::chrono::duration<double>(transfer->idleLimit).count();
        std::snprintf(transfer->errorText, sizeof transfer->errorText, "no data moved for %.1f s", seconds);
        finish(*transfer, CURLE_OPERATION_TIMEDOUT);
    }
    return idle.empty() ? static_cast<int>(std::max<long long>(1, wait.count())) : 0;
}

}  // namespace platform
