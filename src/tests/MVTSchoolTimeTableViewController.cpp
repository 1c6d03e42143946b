#include "tests/MVTSchoolTimeTableViewController.h"

#include "core/MVTAccount.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTInterface.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlRequest.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

// Escapes what may not stand in an address (spaces, non-ASCII bytes, quotes, brackets)
// and keeps the address's own separators.
std::string escapeAddress(const std::string& text) {
    static const std::string kKept = "-._~:/?#[]@!$&'()*+,;=%";
    std::string escaped;
    for (unsigned char c : text) {
        if (std::isalnum(c) || kKept.find(static_cast<char>(c)) != std::string::npos) {
            escaped += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            escaped += hex;
        }
    }
    return escaped;
}

Font timetableTitleFont() { return Font::fontWithName("Helvetica-Bold", 18); }

}  // namespace

std::string MVTSchoolTimeTableViewController::pageAddress(const std::string& userId, const std::string& day) {
    return escapeAddress(ServiceAddress::baseUrl() + "app/courseSchedule?uid=" + userId + "&date=" + day);
}

std::string MVTSchoolTimeTableViewController::titleText(const std::string& day) {
    return localized("课程表") + "(" + day + ")";
}

void MVTSchoolTimeTableViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTSchoolTimeTableViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });

    const std::string today = formatDate(now(), "yyyy-MM-dd");
    const std::string title = titleText(today);
    const double x = (TextMeasure::sizeWithFont(title, timetableTitleFont()).width + 4) / 2;
    loadRegister(today);

    titleBtn_ = Button::buttonWithType(ButtonType::Custom);
    titleBtn_->setFrame({0, 0, 160, 44});
    titleBtn_->setBackgroundColor(Color::clear());
    titleBtn_->setImage(Image::imageNamed("qx_arrow_down.png"));
    titleBtn_->setImageEdgeInsets({19, 80 + x, 19, 70 - x});
    titleLa_ = std::make_shared<Label>(Rect(0, 0, 160, 44));
    titleLa_->setBackgroundColor(Color::clear());
    titleLa_->setFont(timetableTitleFont());
    titleLa_->setTextColor(Color::white(0.333));
    titleLa_->setTextAlignment(TextAlignment::Center);
    titleLa_->setText(title);
    titleLa_->setUserInteractionEnabled(false);
    titleBtn_->addSubview(titleLa_);
    titleBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toChangeTitle();
    });
    navigationItem().setTitleView(titleBtn_);
}

void MVTSchoolTimeTableViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}

void MVTSchoolTimeTableViewController::loadRegister(const std::string& day) {
    const Rect screen = Screen::mainScreen().bounds();
    if (!registerWeb_) {
        registerWeb_ = std::make_shared<WebView>(Rect(0, 0, screen.width(), screen.height() - 64));
        registerWeb_->setScalesPageToFit(true);
        registerWeb_->scrollView()->setBounces(false);
        registerWeb_->setDelegate(weakAs<WebViewDelegate>().lock());
        view()->addSubview(registerWeb_);
    }
    shownDay_ = day;
    // A plain request: the page needs neither the service's credentials nor its timeout.
    registerWeb_->loadRequest(UrlRequest(pageAddress(MVTAccount::sharedInstance().userId().value_or(""), day)));
    if (!bridgeRegistered_) {
        registerWeb_->addJavascriptInterfaces(std::make_shared<MVTInterface>(), MVTInterface::kScriptName);
        bridgeRegistered_ = true;
    }
}

void MVTSchoolTimeTableViewController::toChangeTitle() {
    if (!selectBackView_) {
        const Rect screen = Screen::mainScreen().bounds();
        selectBackView_ = std::make_shared<View>(Rect(0, 0, screen.width(), screen.height()));
        selectBackView_->setBackgroundColor(Color::clear());
        auto weak = weakAs<MVTSchoolTimeTableViewController>();
        auto tap = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->tapSelect();
        });
        // Taps on the picker itself are the picker's.
        tap->setShouldBegin([weak](GestureRecognizer& g) {
            auto self = weak.lock();
            if (!self || !self->picker_) return true;
            const Point p = g.locationInView(self->picker_.get());
            return !self->picker_->bounds().contains(p);
        });
        selectBackView_->addGestureRecognizer(tap);
        picker_ = RBCustomDatePickerView::make({(screen.width() - 320) / 2, 0, screen.width(), 250});
        picker_->setDelegate(weakAs<sureToSelectDayDelegate>());
        picker_->setBackgroundColor(Color::rgb255(245, 245, 245));
        selectBackView_->addSubview(picker_);
    }
    view()->addSubview(selectBackView_);
}

void MVTSchoolTimeTableViewController::tapSelect() {
    if (selectBackView_) selectBackView_->removeFromSuperview();
}

void MVTSchoolTimeTableViewController::sureToSelectDay(const std::string& month, const std::string& day) {
    if (!month.empty() && !day.empty()) {
        // The local year, as for the first page.
        const std::string year = std::to_string(dateParts(now()).year);
        const std::string picked = year + "-" + month + "-" + day;
        titleLa_->setText(titleText(picked));
        loadRegister(picked);
    }
    tapSelect();
}

void MVTSchoolTimeTableViewController::webViewDidStartLoad(WebView&) { showHUDWithBool(true); }

void MVTSchoolTimeTableViewController::webViewDidFinishLoad(WebView&) { showHUDWithBool(false); }

void MVTSchoolTimeTableViewController::webViewDidFailLoadWithError(WebView&, const HttpError&) {
    showHUDWithBool(false);
    AlertView::make(localized("加载失败"), "", {}, localized("知道了"))->show();
}
