#pragma once

// What the personal space and the profile page share: the signed-in user, their JSON
// requests to the service, the friend application's question, and reading a reply's
// "success".

#include "platform/Values.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {
class AlertView;
class AlertViewDelegate;
class ProgressHUD;
class View;
}  // namespace platform

namespace space {

std::string currentUserId();
std::string currentRole();
// The service address of a path under "services/norvo/".
std::string serviceUrl(const std::string& path);
// "success" judged by the integer value of its text (true reads as 1).
bool succeeded(const platform::Json& reply);

// Sends a JSON request to the service path with the request factory's credentials and a
// 15-second timeout. False, with the network banner of kind 0 and nothing sent, while the
// network is down. The handlers run on the main thread; a reply that is not JSON or comes
// with an error status goes to `failure`.
bool sendJson(const std::string& method, const std::string& path, const platform::Json& parameters,
              std::function<void(const platform::Json&)> reply, std::function<void()> failure);

// The screens' progress overlay in `hud`: showing puts a fresh one over `view` (the one
// before leaves); hiding fades the current one out, and it leaves the view when hidden.
void showOverlay(std::shared_ptr<platform::ProgressHUD>& hud, const std::shared_ptr<platform::View>& view, bool show);

// The friend application's question (tag 203): "验证申请" with a plain text field holding
// `text`, "取消" (0) and "确定" (1). The message asks for a short text, or, when
// `overLimit`, says the last one was too long.
constexpr long kApplyAlertTag = 203;
constexpr std::size_t kApplyTextLimit = 20;
std::shared_ptr<platform::AlertView> showApplyAlert(std::weak_ptr<platform::AlertViewDelegate> delegate,
                                                    bool overLimit, const std::string& text);
// The text typed in the question; whether it fits (at most 20 UTF-16 units).
std::string applyAlertText(platform::AlertView& alert);
bool applyTextFits(const std::string& text);

}  // namespace space
