#pragma once

#include "platform/Values.h"
#include "platform/ui/Geometry.h"

#include <string>

// What a post cell asks of the screen that shows it. Every screen can be a post cell's
// delegate (the base screen answers each operation by doing nothing), so a screen
// overrides only the taps it cares about. Objects come as the cell holds them: the post's
// dictionary, a vote, a list of answers.
class CellDelegate {
public:
    virtual ~CellDelegate() = default;
    virtual void chooseNamed(const platform::Json& object) { (void)object; }
    virtual void deleteState(const platform::Json& object) { (void)object; }
    virtual void playRecord(const platform::Json& object, int row) { (void)object; (void)row; }
    virtual void sendLinkWith(const platform::Json& object, const platform::Json& other) { (void)object; (void)other; }
    virtual void sendPraiseWith(const platform::Json& object) { (void)object; }
    virtual void toCommentDynamicWith(const platform::Json& object) { (void)object; }
    virtual void toDownLoadAudioWith(const platform::Json& object, int index) { (void)object; (void)index; }
    virtual void againGetListData() {}
    virtual void toDownLoadAttachWith(const platform::Json& object, const std::string& name, const std::string& type) {
        (void)object;
        (void)name;
        (void)type;
    }
    // deleteDynamicWith:and:and:
    virtual void deleteDynamicWith(const platform::Json& object, int row, int section) {
        (void)object;
        (void)row;
        (void)section;
    }
    virtual void toRefreshVoteWith(const platform::Json& object, const platform::Json& vote, int index) {
        (void)object;
        (void)vote;
        (void)index;
    }
    virtual void toSendVoteWith(const platform::Json& object, const platform::Json& vote,
                                const platform::Json& answerIds, int index) {
        (void)object;
        (void)vote;
        (void)answerIds;
        (void)index;
    }
    virtual void readyToForwardWith(const platform::Json& object) { (void)object; }
    virtual void readyToCopyContentWith(const platform::Rect& rect, int row, const platform::Json& text) {
        (void)rect;
        (void)row;
        (void)text;
    }
    // A tapped picture: the list of pictures and the index of the one tapped.
    virtual void showImage(const platform::Json& pictures, int index) { (void)pictures; (void)index; }
};
