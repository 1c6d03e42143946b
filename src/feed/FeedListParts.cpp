#include "feed/FeedListParts.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace feedlist {

namespace {

// A 64-bit mix (from splitmix64) to fold one value into the running digest.
std::uint64_t mixDigest(std::uint64_t digest, std::uint64_t value) {
    std::uint64_t z = digest ^ (value + 0x9e3779b97f4a7c15ULL + (digest << 6) + (digest >> 2));
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t digestText(std::uint64_t digest, std::string_view text) {
    return mixDigest(mixDigest(digest, text.size()), std::hash<std::string_view>{}(text));
}

std::uint64_t digestValue(std::uint64_t digest, const Json& value) {
    digest = mixDigest(digest, std::uint64_t(value.type()));
    switch (value.type()) {
    case Json::value_t::object:
        digest = mixDigest(digest, value.size());
        for (auto entry = value.begin(); entry != value.end(); ++entry)
            digest = digestValue(digestText(digest, entry.key()), *entry);
        return digest;
    case Json::value_t::array:
        digest = mixDigest(digest, value.size());
        for (const auto& entry : value) digest = digestValue(digest, entry);
        return digest;
    case Json::value_t::string: return digestText(digest, value.get_ref<const std::string&>());
    case Json::value_t::boolean: return mixDigest(digest, value.get<bool>() ? 1 : 0);
    case Json::value_t::number_integer: return mixDigest(digest, std::uint64_t(value.get<std::int64_t>()));
    case Json::value_t::number_unsigned: return mixDigest(digest, value.get<std::uint64_t>());
    case Json::value_t::number_float: return mixDigest(digest, std::hash<double>{}(value.get<double>()));
    default: return digest;
    }
}

}  // namespace

std::uint64_t recordDigest(const Json& record) { return digestValue(0, record); }

void PostHeightKeys::startLoad() {
    const auto& account = MVTAccount::sharedInstance();
    shared_ = "|" + std::to_string(Screen::mainScreen().bounds().width()) + "|" + account.userId().value_or("") + "|" +
              account.role().value_or("") + "|" + InternationalControl::getUserlanguage();
}

std::string PostHeightKeys::keyFor(const Json& record) {
    if (shared_.empty()) startLoad();
    return std::to_string(recordDigest(record)) + shared_;
}

std::shared_ptr<Label> messageBar(const Rect& frame) {
    auto bar = std::make_shared<Label>(frame);
    bar->setBackgroundColor(Color::rgb255(58, 145, 32));
    bar->setTextColor(Color::whiteColor());
    bar->setFont(Font::boldSystemFontOfSize(14));
    bar->setTextAlignment(TextAlignment::Center);
    bar->setCornerRadius(4);
    bar->setClipsToBounds(true);
    return bar;
}

void showReloadNews(std::shared_ptr<Label>& label, View& host, const std::string& text) {
    const double W = Screen::mainScreen().bounds().width();
    if (!label) {
        label = messageBar({5, 5, W - 10, 26});
        host.addSubview(label);
    }
    label->setText(text);
    label->setFrame({5, -30, W - 10, 26});
    label->setAlpha(0);
    auto bar = label;
    animate(0.4, [bar, W] {
        bar->setFrame({5, 5, W - 10, 26});
        bar->setAlpha(1);
    });
}

void fadeReloadNews(const std::shared_ptr<Label>& label, std::function<void()> done) {
    const double W = Screen::mainScreen().bounds().width();
    animate(
        0.4,
        [label, W] {
            if (!label) return;
            label->setFrame({5, -30, W - 10, 26});
            label->setAlpha(0);
        },
        [done = std::move(done)](bool) {
            if (done) done();
        },
        0.5, AnimationCurve::EaseIn);
}

void showTurnToast(std::shared_ptr<Label>& label, View& host, double bottom, const std::string& text) {
    const double W = Screen::mainScreen().bounds().width();
    if (!label) {
        label = messageBar({5, bottom + 5, W - 10, 26});
        label->setAlpha(0);
    }
    label->setText(text);
    label->setFrame({5, bottom + 5, W - 10, 26});
    host.addSubview(label);
    auto bar = label;
    animate(
        0.4,
        [bar, bottom, W] {
            bar->setFrame({5, bottom - 44, W - 10, 26});
            bar->setAlpha(1);
        },
        [bar, bottom, W](bool) {
            animate(
                0.4,
                [bar, bottom, W] {
                    bar->setFrame({5, bottom + 5, W - 10, 26});
                    bar->setAlpha(0);
                },
                [bar](bool) { bar->removeFromSuperview(); }, 1.0, AnimationCurve::EaseIn);
        },
        0.1, AnimationCurve::EaseIn);
}

void showHUD(std::shared_ptr<View>& hud, const std::shared_ptr<View>& host, bool show) {
    auto overlay = std::dynamic_pointer_cast<ProgressHUD>(hud);
    if (!show) {
        if (overlay) overlay->hide(true);
        return;
    }
    if (overlay) overlay->removeFromSuperview();
    hud = ProgressHUD::showHUDAddedTo(host, true);
}

Json withoutOwnPraise(const Json& praisers, const std::string& userId, const std::string& name) {
    Json kept = Json::array();
    bool anyId = false, removed = false;
    for (const auto& entry : praisers)
        if (entry.is_object() && !post::isBlankOrNullText(valueFor(entry, "uid"))) anyId = true;
    if (anyId) {
        for (const auto& entry : praisers) {
            const bool own = entry.is_object() && !post::isBlankOrNullText(valueFor(entry, "uid")) &&
                             integerValue(valueFor(entry, "uid")) == integerValue(userId);
            if (own) removed = true;
            else kept.push_back(entry);
        }
        return removed ? kept : praisers;
    }
    const Json* last = nullptr;
    for (const auto& entry : praisers)
        if (entry.is_object() && textOf(entry, "name") == name) last = &entry;
    if (!last) return praisers;
    const Json match = *last;
    for (const auto& entry : praisers)
        if (entry != match) kept.push_back(entry);
    return kept;
}

void animateHeart(const std::shared_ptr<View>& heart, const Rect& from, const Rect& to, std::function<void()> done) {
    heart->setFrame(from);
    animate(
        0.3, [heart, to] { heart->setFrame(to); },
        [done = std::move(done)](bool) {
            if (done) done();
        });
}

std::string backgroundTrackOf(const Json& record) {
    std::string track;
    for (const auto& entry : post::listOf(record, "attachments")) {
        if (textOf(entry, "type") != "audio") continue;
        const std::string bg = textOf(entry, "bg");
        if (bg == "1" || bg == "2" || bg == "3" || bg == "4" || bg == "5") track = bg + ".mp3";
    }
    return track;
}

bool ensureWav(const std::string& resourceId) {
    const std::string wav = post::wavFile(resourceId);
    if (MVTPublicMethod::fileExistsAtPath(wav)) return true;
    return MVTVoiceJoiner::amrToWav(post::voiceFile(resourceId), wav) > 0 && MVTPublicMethod::fileExistsAtPath(wav);
}

void setAudioRoute() {
    if (ProximitySensor::shared().proximityState()) {
        AudioSession::shared().setCategory(AudioSessionCategory::PlayAndRecord);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::None);
    } else {
        AudioSession::shared().setCategory(AudioSessionCategory::MediaPlayback);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::Speaker);
    }
}

}  // namespace feedlist
