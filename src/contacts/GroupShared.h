#pragma once

// What the group profile, the member list and the administrator removal screen share: how
// a group reply tells success, the member operate request and the section of a member.

#include "platform/Values.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {
class HttpJsonRequestOperation;
}

namespace groups {

inline constexpr const char* kGroupDetailChaged = "groupDetailChaged";
inline constexpr const char* kGroupListChaged = "groupListChaged";
inline constexpr const char* kMemberListChaged = "memberListChaged";

// The viewer's member type: "2" creator, "1" administrator, anything else ordinary.
inline bool isManagerType(const std::string& userType) { return userType == "2" || userType == "1"; }

// A JSON reply of a group action: "success" true or a non-zero number.
bool replySucceeded(const platform::Json& reply);
// A reply read as plain data: a JSON object whose "success" is false or 0 is a refusal;
// any other body (none, text, other JSON) counts as done.
bool plainReplySucceeded(const std::string& body);

// Queries of the member operate request.
std::string removeMembersQuery(const std::string& uids);
std::string addManagerQuery(const std::string& uid);
std::string cancelManagerQuery(const std::string& uid);

// GET "forum/<group>/user/<me>/member/operate?<query>" as a JSON operation, started.
// Nothing is sent offline: the answer is nullptr.
std::shared_ptr<platform::HttpJsonRequestOperation> sendMemberOperate(const std::string& groupId,
                                                                      const std::string& query,
                                                                      std::function<void(const platform::Json&)> reply,
                                                                      std::function<void()> failure);

// The alert "提示" with a refusal's "msg" and "确定", both shown as they stand.
void showRefusal(const platform::Json& reply);

// The user id of a member entry as "%lld".
std::string memberUid(const platform::Json& member);

}  // namespace groups
