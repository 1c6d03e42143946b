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
class HttpMultipartForm;
class ProgressHUD;
class View;
class ViewController;
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

// Sends a multipart POST to the service path (30 s) with the parts `fill` adds, the
// overlay in `hud` over `view` meanwhile. False, with the network banner of kind 0 and
// nothing sent, while the network is down. A reply that is a JSON object with a false
// "success" counts as a failure like a transport error; any other body is handed to
// `done`. The overlay is hidden before either handler runs.
constexpr double kUploadTimeout = 30;
bool sendMultipart(const std::string& path, const std::function<void(platform::HttpMultipartForm&)>& fill,
                   std::shared_ptr<platform::ProgressHUD>& hud, const std::shared_ptr<platform::View>& view,
                   std::function<void(const std::string& body)> done, std::function<void()> failed);

// Puts the standard back button on the left of the screen's navigation item; `action`
// runs on its tap (capture the screen weakly).
void installBackButton(platform::ViewController& screen, std::function<void()> action);

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
