#pragma once

// What the composer screens read again and again: the screen's size and the signed-in
// user; and what their voice rows share: the speaker's frames and the playback route.

#include "core/MVTAccount.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"

#include <string>
#include <vector>

namespace composer_screen {

inline double width() { return platform::Screen::mainScreen().bounds().width(); }
inline double height() { return platform::Screen::mainScreen().bounds().height(); }
inline std::string role() { return MVTAccount::sharedInstance().role().value_or(""); }
inline std::string userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

// The playing speaker of a voice row, one cycle of its frames.
inline std::vector<platform::ImageRef> speakerFrames() {
    return {platform::Image::imageNamed("icon_52_3white"), platform::Image::imageNamed("icon_52_2white"),
            platform::Image::imageNamed("icon_52_1white"), platform::Image::imageNamed("icon_52_white")};
}

// Held to the ear the take plays through the receiver, otherwise through the speaker.
inline void routeVoiceByProximity() {
    using namespace platform;
    if (ProximitySensor::shared().proximityState()) {
        AudioSession::shared().setCategory(AudioSessionCategory::PlayAndRecord);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::None);
    } else {
        AudioSession::shared().setCategory(AudioSessionCategory::MediaPlayback);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::Speaker);
    }
}

}  // namespace composer_screen
