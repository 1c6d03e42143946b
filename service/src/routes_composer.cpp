// What the post composers ask of the service: the people a post may mention
// ("postMessage/essay/%@/recipient"): the other sample users and the rest of the school's
// roster, each with its "name" and the "user" the composers write after it; and the mood of
// the day: a post with a "mood" part is published like any post, once a day (universal
// time) for each user; a second one that day is answered "-1". A published post keeps
// its voice ("amr", "duration", "bg") as an audio attachment.
#include "FeedStore.h"
#include "sample_service/SampleService.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>

namespace sample_service {

namespace {

// Classmates, teachers and parents of the sample school who have no account here: thirty
// Chinese names, one English name and one that starts with a digit, so every kind of
// section of the mention picker has people in it.
const char* const kRoster[] = {
    "张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄丽", "周杰", "吴霞",
    "徐明", "孙悦", "胡军", "朱琳", "高峰", "林涛", "何佳", "郭亮", "马超", "罗兰",
    "梁晨", "宋雨", "郑凯", "谢婷", "韩冰", "唐宁", "冯源", "于洁", "董浩", "萧然",
    "Emily Brown", "3班班长",
};

constexpr const char* kPublish = "services/norvo/postMessage/essay/%@/publish";

// Today in universal time, "yyyy-MM-dd".
std::string universalDay() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
    return text;
}

// Voices of posts published while the service runs, by resource id.
struct PostVoices {
    std::mutex mutex;
    std::map<std::string, std::string> bytes;
    long long nextId = 870001;
};

struct MoodDays {
    std::mutex mutex;
    std::map<std::string, std::string> byUser;
};

// A published post keeps its voice: the "amr" part becomes an audio attachment of the new
// post with its "duration" and "bg", and its bytes a voice the download route serves.
void keepVoice(FeedStore& store, PostVoices& voices, const RecordedRequest& request, const Reply& reply) {
    const RecordedRequest::Part* amr = nullptr;
    std::string duration = "0", bg;
    for (const auto& part : request.parts) {
        if (part.name == "amr") amr = &part;
        if (part.name == "duration") duration = part.bytes;
        if (part.name == "bg") bg = part.bytes;
    }
    if (!amr || reply.status != 200) return;
    long long postId = 0;
    try {
        postId = std::stoll(reply.body);
    } catch (...) {
        return;
    }
    std::lock_guard guard(store.mutex);
    nlohmann::json* post = postId > 0 ? store.find(postId) : nullptr;
    if (!post) return;
    long long voiceId = 0;
    {
        std::lock_guard voiceGuard(voices.mutex);
        voiceId = voices.nextId++;
        voices.bytes[std::to_string(voiceId)] = amr->bytes;
    }
    int seconds = 0;
    try {
        seconds = std::stoi(duration);
    } catch (...) {
    }
    (*post)["attachments"].push_back(
        {{"id", voiceId}, {"type", "audio"}, {"resModuleId", voiceId}, {"duration", seconds}, {"bg", bg}});
}

}  // namespace

void addComposerRoutes(SampleService& service) {
    // POST postMessage/essay/<user id>/publish with a "mood" part: one a day, then handed on
    // to the publishing route added before.
    auto publish = service.handlerFor("POST", kPublish);
    auto days = std::make_shared<MoodDays>();
    auto store = FeedStore::of(service, service.options().dataDirectory);
    auto voices = std::make_shared<PostVoices>();
    service.route("POST", kPublish, [publish, days, store, voices](const RecordedRequest& request) {
        const bool mood = std::any_of(request.parts.begin(), request.parts.end(),
                                      [](const RecordedRequest::Part& part) { return part.name == "mood"; });
        if (mood && !request.arguments.empty()) {
            const std::string today = universalDay();
            std::lock_guard guard(days->mutex);
            auto& last = days->byUser[request.arguments[0]];
            if (last == today) return Reply::text("-1");
            Reply reply = publish ? publish(request) : Reply::text("1");
            if (reply.status == 200 && reply.body != "0") last = today;
            return reply;
        }
        Reply reply = publish ? publish(request) : Reply::text("0");
        keepVoice(*store, *voices, request, reply);
        return reply;
    });

    // GET resource/<id>/download: the voices of published posts, else the resources route.
    auto download = service.handlerFor("GET", "resource/%@/download");
    service.route("GET", "resource/%@/download", [download, voices](const RecordedRequest& request) {
        if (!request.arguments.empty()) {
            std::lock_guard guard(voices->mutex);
            auto found = voices->bytes.find(request.arguments[0]);
            if (found != voices->bytes.end()) return Reply::text(found->second, "audio/amr");
        }
        return download ? download(request) : Reply::text("0");
    });

    // GET postMessage/essay/<user id>/recipient
    service.route("GET", "services/norvo/postMessage/essay/%@/recipient", [&service](const RecordedRequest& request) {
        const std::string& id = request.arguments.at(0);
        nlohmann::json list = nlohmann::json::array();
        for (const auto& user : service.data().users())
            if (user.value("userId", "") != id)
                list.push_back({{"name", user.value("name", "")}, {"user", user.value("userId", "")}});
        int number = 9001;
        for (const char* name : kRoster) list.push_back({{"name", name}, {"user", std::to_string(number++)}});
        return Reply::json(list);
    });
}

}  // namespace sample_service
