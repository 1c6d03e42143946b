// The network banner, resource tokens and relative time texts of the application delegate.

#include "shell/MVTAppDelegate.h"

#include "core/MyMD5.h"
#include "shell/InternationalControl.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace {

constexpr double kBannerHeight = 26;
constexpr double kBannerSlide = 0.4;
constexpr double kBannerStay = 1.0;
constexpr const char* kTokenSalt = "?<>{}|{}><?";

const char* bannerText(int kind) {
    switch (kind) {
        case MVTAppDelegate::NetworkMessageNoNetwork: return "没有网络,请检查网络连接";
        case MVTAppDelegate::NetworkMessageBusy: return "网络堵车,请稍后再试";
        case MVTAppDelegate::NetworkMessageFailed: return "请求失败,请稍后再试";
        case MVTAppDelegate::NetworkMessageNoData: return "暂时没有数据";
        default: return nullptr;
    }
}

// Fills the first "%d" of a looked-up text with the number.
std::string withNumber(const std::string& format, int number) {
    std::string text = format;
    auto at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
    return text;
}

struct Difference {
    int years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
};

// Calendar difference from `from` to `to` in the local zone's Gregorian calendar, field by
// field from years down to seconds (each field what remains after the larger ones).
Difference calendarDifference(double from, double to) {
    Difference d;
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(icu::TimeZone::createDefault(), status);
    if (U_FAILURE(status)) return d;
    calendar.setTime(static_cast<UDate>(from * 1000.0), status);
    UDate target = static_cast<UDate>(to * 1000.0);
    d.years = calendar.fieldDifference(target, UCAL_YEAR, status);
    d.months = calendar.fieldDifference(target, UCAL_MONTH, status);
    d.days = calendar.fieldDifference(target, UCAL_DATE, status);
    d.hours = calendar.fieldDifference(target, UCAL_HOUR_OF_DAY, status);
    d.minutes = calendar.fieldDifference(target, UCAL_MINUTE, status);
    d.seconds = calendar.fieldDifference(target, UCAL_SECOND, status);
    if (U_FAILURE(status)) return {};
    return d;
}

}  // namespace

void MVTAppDelegate::showNetworkMessage(int kind) {
    platform::Rect screen = platform::Screen::mainScreen().bounds();
    const platform::Rect hidden{0, screen.height(), screen.width(), kBannerHeight};
    const platform::Rect shown{0, screen.height() - kBannerHeight, screen.width(), kBannerHeight};

    if (!netWorkLa_) {
        netWorkLa_ = std::make_shared<platform::Label>(hidden);
        netWorkLa_->setBackgroundColor(platform::Color::rgb255(175, 75, 87));
        netWorkLa_->setOpaque(true);
        netWorkLa_->setTextColor(platform::Color::whiteColor());
        netWorkLa_->setTextAlignment(platform::TextAlignment::Center);
        netWorkLa_->setFont(platform::Font::boldSystemFontOfSize(14));
        netWorkLa_->setNumberOfLines(1);
        netWorkLa_->setCornerRadius(0);
        netWorkLa_->setClipsToBounds(true);
        netWorkLa_->setAlpha(0);
    }
    // A banner is showing while it is visible or still in the window: the slide-out sets
    // the alpha to 0 as soon as it is asked for, yet the banner stays in sight through the
    // pause and the slide until it leaves the window.
    if (netWorkLa_->alpha() >= 0.01 || netWorkLa_->superview()) return;

    if (const char* key = bannerText(kind)) netWorkLa_->setText(localized(key));
    if (auto window = platform::Window::keyWindowRef()) window->addOverlayView(netWorkLa_);
    netWorkLa_->setAlpha(0.1);

    auto label = netWorkLa_;
    platform::animate(
        kBannerSlide,
        [label, shown] {
            label->setAlpha(1);
            label->setFrame(shown);
        },
        [label, hidden](bool) {
            platform::animate(
                kBannerSlide,
                [label, hidden] {
                    label->setAlpha(0);
                    label->setFrame(hidden);
                },
                [label](bool) { label->removeFromSuperview(); }, kBannerStay, platform::AnimationCurve::EaseOut);
        });
}

std::string MVTAppDelegate::getTokenWith(const std::string& id) const {
    char millis[64];
    std::snprintf(millis, sizeof millis, "%f", platform::now() * 1000.0);
    std::string timestamp = std::string(millis).substr(0, 13);
    std::string random = timestamp.size() > 8 ? timestamp.substr(8) : std::string();

    std::string digest = MyMD5::md5(random + id + timestamp + kTokenSalt);
    std::transform(digest.begin(), digest.end(), digest.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return digest + "&timestamp=" + timestamp + "&random=" + random;
}

std::string MVTAppDelegate::getDateWith(const nlohmann::json& timeStamp) const {
    double t = platform::doubleValue(timeStamp);
    double now = platform::now();
    Difference d = calendarDifference(t, now);

    if (d.years >= 1) return platform::formatDate(t, "yyyy-MM-dd HH:mm");
    if (d.months != 0 || platform::dateParts(t).day != platform::dateParts(now).day) return getDefaultDate(t);
    // Shown the same in every language.
    if (d.hours >= 1) return "今天" + platform::formatDate(t, "HH:mm");
    if (d.minutes >= 1) return withNumber(localized("%d分钟前"), d.minutes);
    if (d.seconds >= 3) return withNumber(localized("%d秒前"), d.seconds);
    if (d.seconds == 1) return localized("2秒前");
    return getDefaultDate(t);
}

std::string MVTAppDelegate::getDefaultDate(double date) const { return platform::formatDate(date, "MM-dd HH:mm"); }
