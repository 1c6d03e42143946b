#pragma once

#include "sample_service/SampleData.h"

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace sample_service {

// The fixed Basic credentials that every route under "services/norvo/" requires.
inline constexpr const char* kServiceUser = "qwpan";
inline constexpr const char* kServicePassword = "bragtolsen";
inline constexpr const char* kServicePrefix = "services/norvo/";

using Pairs = std::vector<std::pair<std::string, std::string>>;

// One request as the service received it.
struct RecordedRequest {
    struct Part {
        std::string name;
        std::string fileName;     // empty for a text field
        std::string contentType;  // empty for a text field
        std::string bytes;
    };

    std::string method;
    std::string path;    // decoded, with its leading "/": "/services/norvo/auth/a/b"
    std::string target;  // as sent: path and query, still escaped
    std::string rawQuery;
    Pairs query;         // decoded, in the order sent
    Pairs headers;
    std::string body;    // raw body, except for multipart requests (see parts)
    Pairs form;          // fields of an application/x-www-form-urlencoded body
    std::vector<Part> parts;  // parts of a multipart/form-data body, in order
    std::optional<std::string> basicUser;  // decoded Basic credentials, when sent
    std::optional<std::string> basicPassword;
    std::vector<std::string> arguments;    // what the "%@" of the matched route stood for

    bool hasHeader(const std::string& name) const;
    std::string header(const std::string& name) const;  // empty when absent
    std::optional<std::string> queryValue(const std::string& name) const;
    std::optional<std::string> formValue(const std::string& name) const;
    bool hasServiceCredentials() const;
};

// What a route answers. `delay` (real seconds) holds the answer back; stopping the
// service ends the wait at once.
struct Reply {
    int status = 200;
    std::string contentType = "application/json; charset=utf-8";
    std::string body;
    double delay = 0;
    Pairs headers;
    // Sent in chunks, without a Content-Length, so the client learns the size only as the
    // body arrives.
    bool chunked = false;
    // A slow link: the body goes in `pieces` parts (chunked). Before each part after the
    // first the service waits `interval` real seconds (stopping the service ends the wait)
    // and then calls `pace` with the part's number, when set, on its own thread: a test can
    // hold a part there until it lets it go.
    int pieces = 0;
    double interval = 0;
    std::function<void(int part)> pace;

    static Reply json(const nlohmann::json& value, int status = 200);
    static Reply text(std::string body, std::string contentType = "text/plain; charset=utf-8", int status = 200);
    // Holds the answer back for `seconds` (a route that "never answers" within a test).
    static Reply silent(double seconds);
    // The text in `pieces` parts, `interval` seconds apart: data that keeps moving slowly,
    // or, with a long interval, a link that stalls after the first part.
    static Reply trickle(std::string body, int pieces, double interval,
                         std::string contentType = "text/plain; charset=utf-8");
};

// The local sample service: HTTP on loopback only, for the tests (in-process, a free
// port) and for scripts/run (the tirra-sample-service program). Every request is
// recorded. Routes are patterns on the path, where "%@" stands for one path segment
// (or part of one), as in "services/norvo/auth/%@/%@"; a method of "*" matches any.
// Later routes win over earlier ones, and replies set with setReply win over routes.
class SampleService {
public:
    using Handler = std::function<Reply(const RecordedRequest& request)>;

    struct Options {
        // Serve the sample data (school, classes, users, version) from this folder; empty:
        // no sample routes, only what tests add.
        std::filesystem::path dataDirectory;
        // Answer 401 to requests under "services/norvo/" without the fixed credentials.
        bool requireCredentials = true;
        // Keep every request for requests() (tests). The long-running program does not.
        bool recordRequests = true;
    };

    SampleService();
    explicit SampleService(Options options);
    ~SampleService();
    SampleService(const SampleService&) = delete;
    SampleService& operator=(const SampleService&) = delete;

    // Binds 127.0.0.1:`port` (0: a free port) and serves on a thread of its own.
    bool start(int port = 0);
    void stop();
    bool isRunning() const { return running_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>/"
    std::string baseUrl() const;

    // Adds a route. `pattern` with or without its leading "/".
    void route(const std::string& method, const std::string& pattern, Handler handler);
    // The handler of the latest route added with exactly this method and pattern, or
    // nothing: a route added later for the same pattern can hand requests on to it.
    Handler handlerFor(const std::string& method, const std::string& pattern) const;
    // A fixed answer for one method and path (exact, no query), e.g. set by a test.
    void setReply(const std::string& method, const std::string& path, Reply reply);
    void clearReplies();

    std::vector<RecordedRequest> requests() const;
    // The last request to `path` (any method), if any.
    std::optional<RecordedRequest> lastRequest(const std::string& path) const;
    std::size_t requestCount() const;
    void clearRequests();

    const Options& options() const { return options_; }
    // The users and the school as the routes have changed them so far.
    SampleData& data() { return *data_; }

    // The data folder of the source tree (service/data).
    static std::filesystem::path defaultDataDirectory();

private:
    struct Route;
    void handle(httplib::Response& response, RecordedRequest record);
    static std::string normalized(const std::string& path);

    Options options_;
    std::unique_ptr<SampleData> data_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    bool running_ = false;
    int port_ = 0;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Route>> routes_;
    std::vector<std::pair<std::string, Reply>> replies_;  // "METHOD path" -> reply
    std::vector<RecordedRequest> requests_;

    std::mutex waitMutex_;
    std::condition_variable waitCondition_;
    bool stopping_ = false;
};

// Adds the routes of every area over the data in options().dataDirectory (called by the
// constructor when a data folder is given). One function per area.
void addSampleRoutes(SampleService& service);
void addConfigRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
void addAccountRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Downloads of resources by id ("resource/%@/download"), listed in resources.json.
void addResourceRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The class circle: its list, praise, votes, new-post counts and the post pictures.
void addFeedRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Comments on feed posts ("user/%@/%@/feedcomment", multipart part "msg").
void addCommentRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The post detail screen: counts, comment pages, other modules' comments, forwarding.
void addDetailsRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Publishing posts ("postMessage/essay/%@/publish"): answers the new post's number.
void addPostRoutes(SampleService& service);
// A user's level and points ("user/%@/space/%@/info").
void addPollRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The people a post may mention ("postMessage/essay/%@/recipient").
void addComposerRoutes(SampleService& service);
// Joining a class by its class code, and the QR code of a class.
void addJoinRoutes(SampleService& service);
// The school's stages, grades and classes, school search and joining a school.
void addSchoolRoutes(SampleService& service);
// Registration ("registerValidate", "register/%@").
void addRegisterRoutes(SampleService& service);
// Web pages for the page screens: an advert page with pictures ("pages/advert",
// "pages/pictures/%@") and the report page ("report/%@").
void addPageRoutes(SampleService& service);
// Homework of the sample classes: lists, stars, content, hand-ins, publishing, answering,
// the recipients picker, the homework pictures ("resource/hw%@/download") and avatars.
void addHomeworkRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Tests: the test list, answer sheets and posted answers, completion lists, filter options,
// lesson groups and the formula pictures ("img_src/%@").
void addTestRoutes(SampleService& service);
// Personal spaces: timelines, profile figures, honors, friends, privacy and covers.
void addSpaceRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Messages: conversation lists, conversations, sending, read marks and removals (chat.json).
void addChatRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Class albums, their photos and photo posts, and the album pictures drawn as JPEG
// ("resource/view/img_thumb/77%@", "resource/78%@/download").
void addAlbumRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The school's advert, the mentions and comments-on-me lists, items of every module and
// their praise (routes_school.cpp).
void addSchoolCircleRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The course-based homework chain (subjects, courses, classes, course homework) and the
// school timetable page ("app/courseSchedule").
void addCourseHomeworkRoutes(SampleService& service);
// Receiver lists, the user's groups, group creation and member operations, the class
// receivers of notices and friend applications (contacts.json).
void addContactsRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Group profiles, member lists by rank or role, renaming, message settings, leaving, and the
// receivers by class-mates and friends; follows the contacts routes' member changes.
void addGroupRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Group announcements: pages, removal, saving, and their pictures.
void addGongGaoRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Class notices: pages of a class or receiver group, classes and receiver groups, read
// lists, reminders and publishing.
void addNoticeRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// Lesson lists: the school and open lessons, a teacher's courses and the upload of a lesson.
void addMicroListRoutes(SampleService& service);
// Lesson detail: lessons by id, recommendations, view logs and comments.
void addMicroRoutes(SampleService& service);
// Class and group file libraries: lists, uploads, group removal and the files' bytes.
void addFileRoutes(SampleService& service, const std::filesystem::path& dataDirectory);
// The 18-byte body answered for a resource id the service does not have.
inline constexpr const char* kResourceNotFound = "没有找到资源";

// Reads a JSON file of the data folder; null when missing or unreadable.
nlohmann::json readDataFile(const std::filesystem::path& dataDirectory, const std::string& name);

}  // namespace sample_service
