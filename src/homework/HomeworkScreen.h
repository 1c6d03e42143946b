#pragma once

// What every homework screen shares: the colours, the signed-in user's id and role, the
// progress overlay in its field HUD, the standard back button and a text button on the
// right of the bar, and the service requests that run under that overlay.

#include "shell/ViewViewController.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class TableView;
class Image;
class ProgressHUD;
}  // namespace platform

namespace homework {

// The accent blue of selected tabs, bar text buttons and links.
inline const platform::Color kAccent = platform::Color::rgba(0.38, 0.78, 0.976);
// Secondary text.
inline const platform::Color kTextGrey = platform::Color::white(0.333);
// Screen and row backgrounds.
inline const platform::Color kBackgroundGrey = platform::Color::white(0.961);
// The light green of bottom bars and headers.
inline const platform::Color kBarGreen = platform::Color::rgba(0.976, 0.992, 0.973);

constexpr double kRequestTimeout = 20;
constexpr int kPageSize = 20;

std::string currentUserId();
std::string currentRole();
// Teachers and school administrators publish and review; everyone else reads.
bool isTeacherOrAdmin();
// The service address of a path under "services/norvo/".
std::string serviceUrl(const std::string& path);
// A value read through its text form as a boolean / whole number (a JSON true reads as 1).
bool readsTrue(const platform::Json& value);
long long wholeNumber(const platform::Json& value);
// The whole-number text of a value ("%d" of its integer reading).
std::string wholeNumberText(const platform::Json& value);
// The format with each "%@" or "%d" replaced, in order, by the next argument.
std::string fill(std::string format, std::initializer_list<std::string> arguments);

// Fetches the picture at the base address followed by `path` (no service credentials) on
// the background queue and hands it to `done` on the main thread: nullptr when nothing
// came or it was no picture.
void loadPictureInBackground(const std::string& path, std::function<void(std::shared_ptr<platform::Image>)> done);

// The views of one hand-in (the statistics rows and the answer screen's header), added to
// `parent`, all clear: avatar (tag 11), name (12), class (13), time (14), count (15) and
// the separator (1000). The time label moves beside the class text: setSubmissionClass.
void addSubmissionViews(platform::View& parent);
void setSubmissionClass(platform::View& parent, const std::string& className);

// A plain list table: clear, without separator lines and background view.
std::shared_ptr<myTableView> makeListTable(const platform::Rect& frame);
// The load-more footer of a list: a clear 44-point view holding a full-width button with
// an empty light grey title (system font 16) that runs `action`; it does not react until
// a page has come.
std::shared_ptr<platform::Button> setLoadMoreFooter(platform::TableView& table, std::function<void()> action);

}  // namespace homework

class HomeworkScreen : public ViewViewController {
public:
    // showHUDWithBool: YES puts a fresh overlay over the view (removing the one before);
    // NO hides the current one.
    void showHUDWithBool(bool show);
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }

protected:
    // The standard back button on the left of the bar.
    std::shared_ptr<platform::Button> setBackButton(std::function<void()> action);
    // A 44 x 44 title button in the accent colour, system font 14, on the right of the bar.
    std::shared_ptr<platform::Button> setRightTextButton(const std::string& title, std::function<void()> action);

    using Reply = std::function<void(const platform::Json& reply)>;
    using Failure = std::function<void()>;
    // Sends a request to the service path with a 20-second timeout (or `timeout`) under
    // the overlay (when `overlay`), which hides again when it ends. Answers nothing, and sends
    // nothing, while the network is down. Handlers run only while the screen lives; a
    // reply that is not JSON, or comes with an error status, goes to `failure`.
    std::shared_ptr<platform::HttpJsonRequestOperation> sendRequest(const std::string& method,
                                                                    const std::string& path,
                                                                    const platform::Json& parameters, Reply reply,
                                                                    Failure failure, bool overlay = true,
                                                                    double timeout = homework::kRequestTimeout);

private:
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
