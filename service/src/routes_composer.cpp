// What the post composers ask of the service beside publishing: the people a post may
// mention ("postMessage/essay/%@/recipient"): the other sample users and the rest of the
// school's roster, each with its "name" and the "user" the composers write after it.
#include "sample_service/SampleService.h"

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

}  // namespace

void addComposerRoutes(SampleService& service) {
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
