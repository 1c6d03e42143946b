#pragma once

#include "platform/Values.h"
#include "platform/ui/Geometry.h"

#include <optional>
#include <string>

namespace platform {
class Button;
}

// What a post cell asks of the list that shows it, in the order the cells know it. Every
// screen can be a post cell's delegate (the base screen answers each question by doing
// nothing, except showImage), so a list overrides the questions it answers. Ids and
// other values come as the texts the cell read from its controls.
class CellDelegate {
public:
    virtual ~CellDelegate() = default;
    // The author's avatar: {"id": uid, "name", "role"}.
    virtual void chooseNamed(const platform::Json& user) { (void)user; }
    // deleteDynamicWith:and:and: the post id, its row and the tapped control's tag.
    virtual void deleteDynamicWith(const std::string& postId, int row, int tag) {
        (void)postId;
        (void)row;
        (void)tag;
    }
    virtual void deleteState(const std::string& postId) { (void)postId; }
    // showImage:tag: a tapped picture: the list of pictures and the index of the one tapped.
    virtual void showImage(const platform::Json& pictures, int index) { (void)pictures; (void)index; }
    // playRecord:row: a voice whose file is there: its resource id to play, nothing to pause.
    virtual void playRecord(const std::optional<std::string>& resourceId, int row) {
        (void)resourceId;
        (void)row;
    }
    // sendLinkWith:and: a link button: the address and the link's text.
    virtual void sendLinkWith(const std::string& url, const std::string& title) {
        (void)url;
        (void)title;
    }
    // sendPraiseWith: the praise button itself: its tag is the row, its accessibility hint
    // the post id; the count label (tag 1121) and the heart (tag 102) are inside it.
    virtual void sendPraiseWith(platform::Button& praiseButton) { (void)praiseButton; }
    virtual void toCommentDynamicWith(const std::string& postId) { (void)postId; }
    // toDownLoadAudioWith:with: a voice not downloaded yet: its resource id and the row.
    virtual void toDownLoadAudioWith(const std::string& resourceId, int row) {
        (void)resourceId;
        (void)row;
    }
    virtual void againGetListData() {}
    // toDownLoadAttachWith:WithName:WithType: resource id, file name, lower-case type.
    virtual void toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                      const std::string& type) {
        (void)resourceId;
        (void)name;
        (void)type;
    }
    // toSendVoteWith:WithVote:WithAnswerIds:WithIndex: the chosen answer ids joined by ",".
    virtual void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                                int row) {
        (void)postId;
        (void)voteId;
        (void)answerIds;
        (void)row;
    }
    // toRefreshVoteWith:WithVote:WithIndex:
    virtual void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) {
        (void)postId;
        (void)voteId;
        (void)row;
    }
    // readyToForwardWith: the row as text.
    virtual void readyToForwardWith(const std::string& row) { (void)row; }
    // readyToCopyContentWith:and:and: the text's frame in the cell, the row and the text.
    virtual void readyToCopyContentWith(const platform::Rect& rect, int row, const std::string& text) {
        (void)rect;
        (void)row;
        (void)text;
    }
};
