#include "contacts/GroupShared.h"

#include "contacts/ContactsShared.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/AlertView.h"

using namespace platform;

namespace groups {

bool replySucceeded(const Json& reply) {
    const Json& success = valueFor(reply, "success");
    if (success.is_boolean()) return success.get<bool>();
    if (success.is_number()) return doubleValue(success) != 0;
    return false;
}

bool plainReplySucceeded(const std::string& body) {
    const Json parsed = Json::parse(body, nullptr, false);
    if (!parsed.is_object() || !parsed.contains("success")) return true;
    const Json& success = parsed["success"];
    if (success.is_boolean()) return success.get<bool>();
    if (success.is_number()) return doubleValue(success) != 0;
    return true;
}

std::string removeMembersQuery(const std::string& uids) { return "cancel=true&admin=false&uids=" + uids; }
std::string addManagerQuery(const std::string& uid) { return "cancel=false&admin=true&uids=" + uid; }
std::string cancelManagerQuery(const std::string& uid) { return "cancel=true&admin=true&uids=" + uid; }

std::shared_ptr<HttpJsonRequestOperation> sendMemberOperate(const std::string& groupId, const std::string& query,
                                                            std::function<void(const Json&)> reply,
                                                            std::function<void()> failure) {
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/" + groupId + "/user/" + contacts::accountUserId() +
                   "/member/operate?" + query);
    if (!request) return nullptr;
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request, [reply = std::move(reply)](HttpJsonRequestOperation&, const Json& body) { reply(body); },
        [failure = std::move(failure)](HttpRequestOperation&, const HttpError&) { failure(); });
    operation->start();
    return operation;
}

void showRefusal(const Json& reply) {
    const Json& msg = valueFor(reply, "msg");
    AlertView::make(localized("提示"), msg.is_string() ? msg.get<std::string>() : textOf(msg), {}, "确定")->show();
}

std::string memberUid(const Json& member) { return std::to_string(integerValue(valueFor(member, "uid"))); }

}  // namespace groups
