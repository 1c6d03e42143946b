#include "albums/AlbumScreens.h"

#include "account/MVTInterClassViewController.h"
#include "albums/MVTClassAlbumViewController.h"
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

void openCreateAlbumScreen(ViewController&, const std::string&) {}

void openEditAlbumScreen(ViewController&, std::shared_ptr<Json>, const std::string&, const std::string&) {}

}  // namespace albums
