#pragma once

// What a message view reports to its screen: a tapped picture, a tapped voice clip (to
// play when its file is there, to download when not) and a long press. The chat cell
// reports the same through chatCellDelegate, which extends this.

#include "platform/Values.h"

#include <optional>
#include <string>

namespace platform {
class Button;
}  // namespace platform

class MsgShowImageDelegate {
public:
    virtual ~MsgShowImageDelegate() = default;
    virtual void showImage(const platform::Json& attachments, int index) {
        (void)attachments;
        (void)index;
    }
    // The resource id when the button became selected, nothing when it became unselected.
    virtual void playRecord(const std::optional<std::string>& resModuleId, platform::Button& button) {
        (void)resModuleId;
        (void)button;
    }
    virtual void toDownLoadAudioWith(platform::Button& button) { (void)button; }
    virtual void longPressGestureWith(const std::string& messageId, const platform::Json& message, int index) {
        (void)messageId;
        (void)message;
        (void)index;
    }
};

// A voice button tapped: with the clip's file (Downloads/<resModuleId>.wav) present the
// button flips its selected state and the delegate plays or stops it; without, the
// delegate downloads it.
void reportVoiceTap(MsgShowImageDelegate* delegate, platform::Button& button);
