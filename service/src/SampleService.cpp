#include "sample_service/SampleService.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/UrlRequest.h"
#include "platform/Values.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <regex>

namespace sample_service {

namespace {

Pairs splitPairs(const std::string& text) {
    Pairs pairs;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        std::string item = text.substr(start, end - start);
        if (!item.empty()) {
            size_t equals = item.find('=');
            std::string name = item.substr(0, equals);
            std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
            pairs.emplace_back(platform::percentDecode(name, true), platform::percentDecode(value, true));
        }
        start = end + 1;
    }
    return pairs;
}

std::optional<std::string> find(const Pairs& pairs, const std::string& name) {
    for (const auto& [key, value] : pairs)
        if (key == name) return value;
    return std::nullopt;
}

// The app escapes the non-ASCII text of some queries as "%uXXXX" (UTF-16 units) and marks
// such a query with "_app_encoding_tag_=1"; once the percent escapes are undone, "%uXXXX"
// is left to read back.
std::string decodeAppEscapes(const std::string& text) {
    std::u16string units;
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "%u") == 0 && i + 6 <= text.size() &&
            std::all_of(text.begin() + i + 2, text.begin() + i + 6, [](unsigned char c) { return std::isxdigit(c); })) {
            units += platform::toUtf16(plain);
            plain.clear();
            units += static_cast<char16_t>(std::stoul(text.substr(i + 2, 4), nullptr, 16));
            i += 5;
        } else {
            plain += text[i];
        }
    }
    return platform::fromUtf16(units + platform::toUtf16(plain));
}

std::string mediaType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    type.erase(std::remove_if(type.begin(), type.end(), [](unsigned char c) { return std::isspace(c); }),
               type.end());
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    return type;
}

// "services/norvo/auth/%@/%@" -> ^services/norvo/auth/([^/]*)/([^/]*)$
std::regex patternRegex(const std::string& pattern) {
    static const std::string special = R"(\^$.|?*+()[]{})";
    std::string expression = "^";
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%@") == 0) {
            expression += "([^/]*)";
            ++i;
        } else {
            if (special.find(pattern[i]) != std::string::npos) expression += '\\';
            expression += pattern[i];
        }
    }
    return std::regex(expression + "$");
}

RecordedRequest recordOf(const httplib::Request& request) {
    RecordedRequest record;
    record.method = request.method;
    record.path = request.path;
    record.target = request.target;
    if (auto mark = request.target.find('?'); mark != std::string::npos) {
        record.rawQuery = request.target.substr(mark + 1);
        record.query = splitPairs(record.rawQuery);
        if (find(record.query, "_app_encoding_tag_") == "1")
            for (auto& pair : record.query) pair.second = decodeAppEscapes(pair.second);
    }
    for (const auto& [name, value] : request.headers) record.headers.emplace_back(name, value);
    std::string authorization = request.get_header_value("Authorization");
    if (authorization.rfind("Basic ", 0) == 0) {
        std::string decoded = platform::base64Decode(authorization.substr(6));
        size_t colon = decoded.find(':');
        record.basicUser = decoded.substr(0, colon);
        record.basicPassword = colon == std::string::npos ? std::string() : decoded.substr(colon + 1);
    }
    return record;
}

}  // namespace

bool RecordedRequest::hasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& header) { return platform::sameHeaderName(header.first, name); });
}

std::string RecordedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (platform::sameHeaderName(key, name)) return value;
    return {};
}

std::optional<std::string> RecordedRequest::queryValue(const std::string& name) const { return find(query, name); }

std::optional<std::string> RecordedRequest::formValue(const std::string& name) const { return find(form, name); }

bool RecordedRequest::hasServiceCredentials() const {
    return basicUser == kServiceUser && basicPassword == kServicePassword;
}

Reply Reply::json(const nlohmann::json& value, int status) {
    Reply reply;
    reply.status = status;
    reply.body = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return reply;
}

Reply Reply::text(std::string body, std::string contentType, int status) {
    Reply reply;
    reply.status = status;
    reply.contentType = std::move(contentType);
    reply.body = std::move(body);
    return reply;
}

Reply Reply::silent(double seconds) {
    Reply reply;
    reply.delay = seconds;
    return reply;
}

Reply Reply::trickle(std::string body, int pieces, double interval, std::string contentType) {
    Reply reply = text(std::move(body), std::move(contentType));
    reply.pieces = pieces;
    reply.interval = interval;
    return reply;
}

struct SampleService::Route {
    std::string method;
    std::regex pattern;
    Handler handler;
    std::string source;  // the pattern as given, normalized
};

SampleService::SampleService() : SampleService(Options{}) {}

SampleService::SampleService(Options options)
    : options_(std::move(options)),
      data_(options_.dataDirectory.empty() ? std::make_unique<SampleData>()
                                           : std::make_unique<SampleData>(options_.dataDirectory)) {
    if (!options_.dataDirectory.empty()) addSampleRoutes(*this);
}

SampleService::~SampleService() { stop(); }

std::filesystem::path SampleService::defaultDataDirectory() { return TIRRA_SERVICE_DATA; }

std::string SampleService::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

std::string SampleService::normalized(const std::string& path) {
    return path.empty() || path[0] != '/' ? path : path.substr(1);
}

bool SampleService::start(int port) {
    if (running_) return true;
    server_ = std::make_unique<httplib::Server>();
    // Enough workers for many requests at once and for a few held back by a delay.
    server_->new_task_queue = [] { return new httplib::ThreadPool(32); };
    // One request per connection: no idle connection keeps a worker (or stop()) waiting.
    server_->set_keep_alive_max_count(1);

    auto plain = [this](const httplib::Request& request, httplib::Response& response) {
        handle(response, recordOf(request));
    };
    auto withBody = [this](const httplib::Request& request, httplib::Response& response,
                           const httplib::ContentReader& reader) {
        RecordedRequest record = recordOf(request);
        if (request.is_multipart_form_data()) {
            reader(
                [&](const httplib::MultipartFormData& part) {
                    record.parts.push_back({part.name, part.filename, part.content_type, {}});
                    return true;
                },
                [&](const char* data, size_t length) {
                    if (!record.parts.empty()) record.parts.back().bytes.append(data, length);
                    return true;
                });
        } else {
            reader([&](const char* data, size_t length) {
                record.body.append(data, length);
                return true;
            });
            if (mediaType(request.get_header_value("Content-Type")) == "application/x-www-form-urlencoded")
                record.form = splitPairs(record.body);
        }
        handle(response, std::move(record));
    };
    server_->Get(".*", plain);
    server_->Options(".*", plain);
    server_->Post(".*", withBody);
    server_->Put(".*", withBody);
    server_->Patch(".*", withBody);
    server_->Delete(".*", withBody);

    port_ = port == 0 ? server_->bind_to_any_port("127.0.0.1")
                      : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (port_ <= 0) {
        server_.reset();
        port_ = 0;
        return false;
    }
    {
        std::lock_guard lock(waitMutex_);
        stopping_ = false;
    }
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
    // stop() only reaches a server that is already listening: wait for it to begin.
    for (int i = 0; i < 5000 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    running_ = true;
    return true;
}

void SampleService::stop() {
    if (!server_) return;
    {
        std::lock_guard lock(waitMutex_);
        stopping_ = true;
    }
    waitCondition_.notify_all();
    server_->stop();
    if (thread_.joinable()) thread_.join();
    server_.reset();
    running_ = false;
}

void SampleService::route(const std::string& method, const std::string& pattern, Handler handler) {
    auto route = std::make_shared<Route>(
        Route{method, patternRegex(normalized(pattern)), std::move(handler), normalized(pattern)});
    std::lock_guard lock(mutex_);
    routes_.push_back(std::move(route));
}

SampleService::Handler SampleService::handlerFor(const std::string& method, const std::string& pattern) const {
    const std::string wanted = normalized(pattern);
    std::lock_guard lock(mutex_);
    for (auto it = routes_.rbegin(); it != routes_.rend(); ++it)
        if ((*it)->method == method && (*it)->source == wanted) return (*it)->handler;
    return {};
}

void SampleService::setReply(const std::string& method, const std::string& path, Reply reply) {
    std::string key = method + " " + normalized(path);
    std::lock_guard lock(mutex_);
    std::erase_if(replies_, [&](const auto& entry) { return entry.first == key; });
    replies_.emplace_back(key, std::move(reply));
}

void SampleService::clearReplies() {
    std::lock_guard lock(mutex_);
    replies_.clear();
}

std::vector<RecordedRequest> SampleService::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::optional<RecordedRequest> SampleService::lastRequest(const std::string& path) const {
    std::string wanted = normalized(path);
    std::lock_guard lock(mutex_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it)
        if (normalized(it->path) == wanted) return *it;
    return std::nullopt;
}

std::size_t SampleService::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void SampleService::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

void SampleService::handle(httplib::Response& response, RecordedRequest record) {
    const std::string path = normalized(record.path);
    std::optional<Reply> reply;
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        std::string method = record.method == "HEAD" ? "GET" : record.method;
        for (const auto& [key, fixed] : replies_)
            if (key == method + " " + path) reply = fixed;
        if (!reply) {
            // Segments are told apart on the path as sent, so an escaped "/" inside a value
            // (a password, say) stays in its segment; each value is then decoded. A path
            // that matches no route that way is tried once more decoded.
            const std::string raw = normalized(record.target.substr(0, record.target.find('?')));
            for (bool escaped : {true, false}) {
                for (auto it = routes_.rbegin(); it != routes_.rend() && !handler; ++it) {
                    const Route& route = **it;
                    if (route.method != "*" && route.method != method) continue;
                    std::smatch match;
                    if (!std::regex_match(escaped ? raw : path, match, route.pattern)) continue;
                    for (size_t i = 1; i < match.size(); ++i)
                        record.arguments.push_back(escaped ? platform::percentDecode(match[i].str())
                                                           : match[i].str());
                    handler = route.handler;
                }
                if (handler) break;
            }
        }
        if (options_.recordRequests) requests_.push_back(record);
    }

    if (options_.requireCredentials && path.rfind(kServicePrefix, 0) == 0 && !record.hasServiceCredentials()) {
        reply = Reply::json({{"error", "unauthorized"}}, 401);
        reply->headers.emplace_back("WWW-Authenticate", "Basic realm=\"norvo\"");
    } else if (!reply && handler) {
        reply = handler(record);
    } else if (!reply) {
        reply = Reply::json({{"error", "no such route"}, {"path", record.path}}, 404);
    }

    if (reply->delay > 0) {
        std::unique_lock lock(waitMutex_);
        waitCondition_.wait_for(lock, std::chrono::duration<double>(reply->delay), [this] { return stopping_; });
    }
    response.status = reply->status;
    for (const auto& [name, value] : reply->headers) response.set_header(name, value);
    if (reply->pieces > 0) {
        auto body = std::make_shared<std::string>(std::move(reply->body));
        const size_t pieceSize = std::max<size_t>(1, (body->size() + reply->pieces - 1) / reply->pieces);
        response.set_chunked_content_provider(
            reply->contentType,
            [this, body, pieceSize, interval = reply->interval, pace = reply->pace](size_t offset,
                                                                                     httplib::DataSink& sink) {
                const int part = static_cast<int>(offset / pieceSize);
                if (part > 0) {
                    std::unique_lock lock(waitMutex_);
                    if (waitCondition_.wait_for(lock, std::chrono::duration<double>(interval),
                                                [this] { return stopping_; }))
                        return false;
                    lock.unlock();
                    if (pace) pace(part);
                }
                const size_t length = std::min(pieceSize, body->size() - offset);
                if (length > 0 && !sink.write(body->data() + offset, length)) return false;
                if (offset + length >= body->size()) sink.done();
                return true;
            });
    } else if (reply->chunked) {
        auto body = std::make_shared<std::string>(std::move(reply->body));
        response.set_chunked_content_provider(reply->contentType, [body](size_t offset, httplib::DataSink& sink) {
            size_t length = std::min<size_t>(64 * 1024, body->size() - offset);
            if (length > 0 && !sink.write(body->data() + offset, length)) return false;
            if (offset + length >= body->size()) sink.done();
            return true;
        });
    } else {
        response.set_content(reply->body, reply->contentType);
    }
}

nlohmann::json readDataFile(const std::filesystem::path& dataDirectory, const std::string& name) {
    auto text = platform::readFile(dataDirectory / name, 16u * 1024 * 1024);
    if (!text) return nullptr;
    auto value = nlohmann::json::parse(*text, nullptr, false);
    return value.is_discarded() ? nlohmann::json() : value;
}

void addSampleRoutes(SampleService& service) {
    const auto& folder = service.options().dataDirectory;
    addConfigRoutes(service, folder);
    addAccountRoutes(service, folder);
    addResourceRoutes(service, folder);
    addCommentRoutes(service, folder);
    addPostRoutes(service);
    addPollRoutes(service, folder);
    addComposerRoutes(service);
    addJoinRoutes(service);
    addSchoolRoutes(service);
    addRegisterRoutes(service);
    addPageRoutes(service);
    addFeedRoutes(service, folder);
    addTestRoutes(service);
    addDetailsRoutes(service, folder);
    // Its "resource/%@/download" (the advert pictures) hands every other id to the routes
    // before it, so it too comes before the homework files.
    addSchoolCircleRoutes(service, folder);
    // Library files: their "resource/%@/download" hands other ids to the routes before.
    addFileRoutes(service, folder);
    // After the routes that answer every "resource/%@/download", so that its own
    // "resource/hw%@/download" stays the one that answers homework files.
    addHomeworkRoutes(service, folder);
    addSpaceRoutes(service, folder);
    addChatRoutes(service, folder);
    addAlbumRoutes(service, folder);
    addCourseHomeworkRoutes(service);
    addContactsRoutes(service, folder);
    addGroupRoutes(service, folder);
    addGongGaoRoutes(service, folder);
    addNoticeRoutes(service, folder);
    addMicroListRoutes(service);
    addMicroRoutes(service);
}

}  // namespace sample_service
