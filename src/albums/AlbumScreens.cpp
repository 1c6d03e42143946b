#include "albums/AlbumScreens.h"

#include "account/MVTInterClassViewController.h"
#include "albums/MVTClassAlbumViewController.h"
#include "albums/MVTCreateAlbumViewController.h"
#include "albums/MVTUpAlbumPicViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/myNavigationController.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

using namespace platform;

namespace albums {

namespace {

// Answers the join-a-class alert raised by the launcher for the screen that raised it.
class ClassAlbumJoinAnswer : public AlertViewDelegate {
public:
    explicit ClassAlbumJoinAnswer(std::weak_ptr<ViewController> from) : from_(std::move(from)) {}
    void alertViewClickedButtonAtIndex(AlertView& alert, long index) override {
        if (auto from = from_.lock()) MVTInterClassViewController::answerJoinClassAlert(*from, alert, index);
    }

private:
    std::weak_ptr<ViewController> from_;
};

}  // namespace

void presentClassAlbum(ViewController& from) {
    if (MVTPublicMethod::isUnClassId()) {
        // The alert holds its delegate weakly: the latest answer object lives until the next.
        static std::shared_ptr<ClassAlbumJoinAnswer> answer;
        answer = std::make_shared<ClassAlbumJoinAnswer>(from.weak_from_this());
        MVTInterClassViewController::showJoinClassAlert(answer);
        return;
    }
    from.presentViewController(myNavigationController::withRoot(std::make_shared<MVTClassAlbumViewController>()), true);
}

void openUploadScreen(ViewController& from, const std::string& albumName, const std::string& albumId,
                      const std::string& fieldId, const std::string& forumId) {
    auto upload = std::make_shared<MVTUpAlbumPicViewController>();
    upload->setNameStr(albumName);
    upload->setAlbumId(albumId);
    upload->setFieldId(fieldId);
    upload->setForumId(forumId);
    if (auto stack = from.navigationController()) stack->pushViewController(upload, true);
}

void openCreateAlbumScreen(ViewController& from, const std::string& marker) {
    auto create = std::make_shared<MVTCreateAlbumViewController>();
    if (auto stack = from.navigationController()) stack->pushViewController(create, true);
    // The marker is read only when a create succeeds; the form is built by then.
    if (!marker.empty()) create->view()->setAccessibilityValue(marker);
}

void openGroupCreateAlbumScreen(ViewController& from, const std::string& forumId, const std::string& fieldId) {
    auto create = std::make_shared<MVTCreateAlbumViewController>();
    create->setForumId(forumId);
    create->setFieldId(fieldId);
    if (auto stack = from.navigationController()) stack->pushViewController(create, true);
}

void openEditAlbumScreen(ViewController& from, std::shared_ptr<Json> album, const std::string& forumId,
                         const std::string& fieldId) {
    auto edit = std::make_shared<MVTCreateAlbumViewController>();
    edit->setAlbumDic(std::move(album));
    edit->setForumId(forumId);
    edit->setFieldId(fieldId);
    if (auto stack = from.navigationController()) stack->pushViewController(edit, true);
}

}  // namespace albums
