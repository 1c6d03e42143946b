#pragma once

// What the test screens share: the 15-second requests, the network banner, the paged
// lists' footer (its button and loading animation) and the course group headers.

#include "homework/HomeworkScreen.h"

#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
class View;
}  // namespace platform

namespace quiz {

constexpr double kRequestTimeout = 15;
// Course groups asked for a page of the test list and the search.
constexpr int kGroupsPerPage = 15;

// showNetworkMessage: of the application delegate.
void showNetworkBanner(int kind);
// The "%@" text of a filter value, or nothing for a filter that is not set.
void addFilterParameters(platform::Json& parameters, const platform::Json& levelDic, const platform::Json& subjectDic,
                         const platform::Json& teacherDic);
bool isFilterSet(const platform::Json& filter);

// The footer of a paged list of course groups: a 40-point view, the button that loads
// more and its loading animation.
struct MoreFooter {
    std::shared_ptr<platform::View> view;
    std::shared_ptr<platform::Button> moreBtn;
    std::shared_ptr<platform::ImageView> moreImageView;

    // `framed`: the search's grey footer with a bordered button; otherwise the list's
    // white one with a line at its top. `stillImage` and `frames` name the animation's
    // pictures.
    static MoreFooter make(bool framed, const std::string& stillImage, const std::vector<std::string>& frames,
                           std::function<void()> action);
    // The loading state: "    更多...", disabled, animating.
    void showLoading();
    // After a load: the animation stops and hides; the title (looked up) and whether the
    // button reacts.
    void finish(const std::string& chineseTitle, bool enabled);
};

// The text of a course group's header ("courseName") and the label height it needs in
// 16-point text at the screen's width less 20 (20 for one line).
double courseNameHeight(const std::string& name);

}  // namespace quiz

// Base of the test screens: the homework screens' overlay and bar buttons, with the
// test requests' 15-second timeout.
class TestsScreen : public HomeworkScreen {
protected:
    std::shared_ptr<platform::HttpJsonRequestOperation> sendTestRequest(const std::string& method,
                                                                        const std::string& path,
                                                                        const platform::Json& parameters, Reply reply,
                                                                        Failure failure, bool overlay = true) {
        return sendRequest(method, path, parameters, std::move(reply), std::move(failure), overlay,
                           quiz::kRequestTimeout);
    }
};
