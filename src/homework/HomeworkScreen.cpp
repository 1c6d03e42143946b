#include "homework/HomeworkScreen.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Button.h"
#include "platform/ui/ProgressHUD.h"

using namespace platform;

namespace homework {

namespace {
constexpr std::size_t kHomeworkLargestPicture = 4u * 1024 * 1024;
}  // namespace

std::string currentUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }

std::string currentRole() { return MVTAccount::sharedInstance().role().value_or(""); }

bool isTeacherOrAdmin() {
    const std::string role = currentRole();
    return role == "teacher" || role == "admin";
}

std::string serviceUrl(const std::string& path) { return ServiceAddress::servicePrefix() + path; }

bool readsTrue(const Json& value) { return boolValue(textOf(value)); }

long long wholeNumber(const Json& value) { return integerValue(textOf(value)); }

std::string wholeNumberText(const Json& value) { return std::to_string(intValue(textOf(value))); }

std::string fill(std::string format, std::initializer_list<std::string> arguments) {
    std::size_t from = 0;
    for (const auto& argument : arguments) {
        const auto at = format.find('%', from);
        if (at == std::string::npos || at + 1 >= format.size()) break;
        format.replace(at, 2, argument);
        from = at + argument.size();
    }
    return format;
}

void loadPictureInBackground(const std::string& path, std::function<void(std::shared_ptr<Image>)> done) {
    const std::string url = ServiceAddress::baseUrl() + path;
    dispatchBackground([url, done = std::move(done)] {
        UrlRequest request(url);
        request.setTimeoutInterval(MVTPublicMethod::avatarTimeout());
        HttpResponse response = HttpEngine::shared().fetch(request, kHomeworkLargestPicture);
        std::shared_ptr<Image> image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        dispatchMain([done, image] { done(image); });
    });
}

void addSubmissionViews(View& parent) {
    const double width = Screen::mainScreen().bounds().width();
    auto avatar = std::make_shared<ImageView>(Rect(10, 5, 40, 40));
    avatar->setTag(11);
    avatar->setCornerRadius(4);
    avatar->setClipsToBounds(true);
    parent.addSubview(avatar);
    auto label = [&parent](int tag, Rect frame, double size, Color color, TextAlignment alignment) {
        auto view = std::make_shared<Label>(frame);
        view->setTag(tag);
        view->setBackgroundColor(Color::clear());
        view->setFont(Font::systemFontOfSize(size));
        view->setTextColor(color);
        view->setTextAlignment(alignment);
        parent.addSubview(view);
    };
    label(12, {55, 5, 200, 20}, 14, kTextGrey, TextAlignment::Left);
    label(13, {55, 27, 100, 20}, 12, kTextGrey, TextAlignment::Left);
    label(14, {140, 27, 100, 20}, 12, Color::darkGray(), TextAlignment::Left);
    label(15, {width - 110, 27, 100, 20}, 12, Color::lightGray(), TextAlignment::Right);
    auto line = std::make_shared<ImageView>(Rect(10, 49.5, width - 20, 0.5));
    line->setTag(1000);
    line->setImage(Image::imageNamed("line1.png"));
    parent.addSubview(line);
}

void setSubmissionClass(View& parent, const std::string& className) {
    auto classLabel = std::dynamic_pointer_cast<Label>(parent.viewWithTag(13));
    auto time = parent.viewWithTag(14);
    if (classLabel) classLabel->setText(className);
    const double x = 60 + TextMeasure::sizeWithFont(className, Font::systemFontOfSize(12)).width;
    if (time) time->setFrame({x, 27, 100, 20});
}

std::shared_ptr<myTableView> makeListTable(const Rect& frame) {
    auto table = myTableView::make(frame, TableViewStyle::Plain);
    table->setBackgroundColor(Color::clear());
    table->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    table->setBackgroundView(nullptr);
    return table;
}

std::shared_ptr<Button> setLoadMoreFooter(TableView& table, std::function<void()> action) {
    const double width = Screen::mainScreen().bounds().width();
    auto footer = std::make_shared<View>(Rect(0, 0, width, 44));
    footer->setBackgroundColor(Color::clear());
    auto more = Button::buttonWithType(ButtonType::Custom);
    more->setFrame({0, 0, width, 44});
    more->setBackgroundColor(Color::clear());
    more->setTitle("");
    more->setTitleColor(Color::lightGray());
    more->titleLabel()->setFont(Font::systemFontOfSize(16));
    more->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    more->setUserInteractionEnabled(false);
    footer->addSubview(more);
    table.setTableFooterView(footer);
    return more;
}

}  // namespace homework

void HomeworkScreen::showHUDWithBool(bool show) {
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
        // A hidden overlay leaves the screen rather than being drawn, see-through, over it.
        HUD_->setRemoveFromSuperViewOnHide(true);
    } else if (HUD_) {
        HUD_->hide(true);
    }
}

std::shared_ptr<Button> HomeworkScreen::setBackButton(std::function<void()> action) {
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    return back;
}

std::shared_ptr<Button> HomeworkScreen::setRightTextButton(const std::string& title, std::function<void()> action) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 0, 44, 44});
    button->setBackgroundColor(Color::clear());
    button->setTitle(title);
    button->setTitleColor(homework::kAccent);
    button->titleLabel()->setFont(Font::systemFontOfSize(14));
    button->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(button));
    return button;
}

std::shared_ptr<HttpJsonRequestOperation> HomeworkScreen::sendRequest(const std::string& method,
                                                                      const std::string& path,
                                                                      const Json& parameters, Reply reply,
                                                                      Failure failure, bool overlay, double timeout) {
    auto request = MVTPublicMethod::requestWithMethod(method, homework::serviceUrl(path), parameters);
    if (!request) return nullptr;
    request->setTimeoutInterval(timeout);
    if (overlay) showHUDWithBool(true);
    std::weak_ptr<ViewController> weak = weak_from_this();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, overlay, reply = std::move(reply)](HttpJsonRequestOperation&, const Json& json) {
            auto self = std::static_pointer_cast<HomeworkScreen>(weak.lock());
            if (!self) return;
            if (overlay) self->showHUDWithBool(false);
            reply(json);
        },
        [weak, overlay, failure = std::move(failure)](HttpRequestOperation&, const HttpError&) {
            auto self = std::static_pointer_cast<HomeworkScreen>(weak.lock());
            if (!self) return;
            if (overlay) self->showHUDWithBool(false);
            failure();
        });
    operation->start();
    return operation;
}
