#include "TabBarFixture.h"

#include "account/MVTInterClassViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "composer/AddPicViewController.h"
#include "composer/MVTAddFeelingController.h"
#include "composer/MVTFacialView.h"
#include "composer/MVTOtherMenuView.h"
#include "contacts/MVTContactViewController.h"
#include "core/MVTAccount.h"
#include "feed/MVTHomeViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myimagePickerViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Reachability.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextView.h"
#include "platform/ui/UiDriver.h"

#include <fstream>

using namespace platform;

namespace {

constexpr const char* kCommentPath = "/services/norvo/user/12/77/feedcomment";

class CommentBarTest : public testing_support::TabBarFixture {
protected:
    void SetUp() override {
        TabBarFixture::SetUp();
        MVTAccount::sharedInstance().setClassId("3");
        for (const char* name : {kCommentFormHomeNotification, kCommentFormSquareNotification,
                                 kShowSelectedWhichWithNotification, kShowSquareSelectedWhichWithNotification})
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this, name](const Notification& note) { posted_.push_back({name, note.object}); }));
    }
    void TearDown() override {
        Reachability::setOverride(std::nullopt);
        tokens_.clear();
        TabBarFixture::TearDown();
    }
    void openBar(const std::string& postId = "77") {
        NotificationCenter::defaultCenter().postNotification(kToCommentDynamicNotification, postId);
    }
    size_t commentRequests() { return requestsTo(kCommentPath); }
    std::vector<std::pair<std::string, nlohmann::json>> postedNamed(const std::string& name) const {
        std::vector<std::pair<std::string, nlohmann::json>> found;
        for (auto& p : posted_)
            if (p.first == name) found.push_back(p);
        return found;
    }
    double viewHeight() const { return tabs_->view()->bounds().height(); }

    std::vector<ObserverToken> tokens_;
    std::vector<std::pair<std::string, nlohmann::json>> posted_;
};

TEST_F(CommentBarTest, OpeningShowsTheEmptyBarForThePostWithTheKeyboard) {
    build();
    ASSERT_TRUE(tabs_->commentBgView());
    EXPECT_TRUE(tabs_->commentBgView()->isHidden());
    tabs_->commentTextView()->setText("left over");
    openBar("77");
    EXPECT_EQ(tabs_->commentDynamicId(), "77");
    EXPECT_FALSE(tabs_->commentBgView()->isHidden());
    EXPECT_FALSE(tabs_->commentBgBtn()->isHidden());
    EXPECT_EQ(tabs_->commentTextView()->text(), "");
    EXPECT_TRUE(tabs_->commentTextView()->isFirstResponder());
}

TEST_F(CommentBarTest, SendingPostsTheTextAsTypedAndAnnouncesTheStoredCommentToBothLists) {
    build();
    openBar("77");
    tabs_->commentTextView()->setText("a b\n[em:3:]");
    tabs_->toSendCommentData();
    // The bar closes at once, without waiting for the reply.
    EXPECT_TRUE(tabs_->commentBgBtn()->isHidden());
    ASSERT_TRUE(pumpUntil([&] { return postedNamed(kCommentFormSquareNotification).size() == 1; }));

    auto request = service().lastRequest(kCommentPath);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_TRUE(request->hasServiceCredentials());
    ASSERT_EQ(request->parts.size(), 1u);
    EXPECT_EQ(request->parts[0].name, "msg");
    EXPECT_EQ(request->parts[0].bytes, "a b\n[em:3:]");

    auto home = postedNamed(kCommentFormHomeNotification);
    ASSERT_EQ(home.size(), 1u);
    EXPECT_EQ(home[0].second, postedNamed(kCommentFormSquareNotification)[0].second);
    ASSERT_TRUE(home[0].second.is_array());
    EXPECT_EQ(home[0].second[0], "77");
    EXPECT_EQ(home[0].second[1]["msg"], "a b\n[em:3:]");
    EXPECT_EQ(home[0].second[1]["role"], "teacher");
    // Home first, then the school circle.
    EXPECT_EQ(posted_.front().first, kCommentFormHomeNotification);
    driver_->settle();
    EXPECT_TRUE(tabs_->commentBgView()->isHidden());
    EXPECT_FALSE(driver_->alert());
}

TEST_F(CommentBarTest, BlankCommentsAreRefusedAndTheBarStaysOpen) {
    build();
    for (const char* text : {"", "   \n", "\n\n"}) {
        SCOPED_TRACE(text);
        openBar("77");
        tabs_->commentTextView()->setText(text);
        tabs_->toSendCommentData();
        auto alert = driver_->alert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->message(), "内容不能为空");
        EXPECT_FALSE(tabs_->commentBgView()->isHidden());
        driver_->pressAlertButton(0);
        driver_->settle();
    }
    EXPECT_EQ(commentRequests(), 0u);
}

TEST_F(CommentBarTest, ACommentTheServiceDoesNotStoreTellsTheUser) {
    struct Case {
        const char* name;
        sample_service::Reply reply;
    } cases[] = {
        {"refused", sample_service::Reply::json({{"success", 0}})},
        {"server error", sample_service::Reply::json({{"success", 1}}, 500)},
        {"not json", sample_service::Reply::text("oops", "image/png")},
    };
    build();
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        service().setReply("POST", kCommentPath, c.reply);
        openBar("77");
        tabs_->commentTextView()->setText("hello");
        tabs_->toSendCommentData();
        ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; }));
        EXPECT_EQ(driver_->alert()->message(), "评论失败，请稍后再试");
        EXPECT_EQ(driver_->alert()->tag(), MyTabBarController::kCommentFailedAlertTag);
        driver_->pressAlertButton(0);
        driver_->settle();
    }
    EXPECT_TRUE(postedNamed(kCommentFormHomeNotification).empty());
    EXPECT_TRUE(postedNamed(kCommentFormSquareNotification).empty());
}

TEST_F(CommentBarTest, AFailedCommentComesBackWhenTheBarReopensForItsPostUntilOneIsAccepted) {
    build();
    service().setReply("POST", kCommentPath, sample_service::Reply::json({{"success", 0}}));
    openBar("77");
    tabs_->commentTextView()->setText("my long comment");
    tabs_->toSendCommentData();
    ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; }));
    driver_->pressAlertButton(0);
    driver_->settle();

    // Another post starts empty; the failed one gets its text back.
    openBar("78");
    EXPECT_EQ(tabs_->commentTextView()->text(), "");
    tabs_->closeComment();
    driver_->settle();
    openBar("77");
    EXPECT_EQ(tabs_->commentTextView()->text(), "my long comment");

    service().setReply("POST", kCommentPath, sample_service::Reply::json({{"success", 1}, {"comment", {{"msg", "x"}}}}));
    tabs_->toSendCommentData();
    ASSERT_TRUE(pumpUntil([&] { return postedNamed(kCommentFormHomeNotification).size() == 1; }));
    driver_->settle();
    openBar("77");
    EXPECT_EQ(tabs_->commentTextView()->text(), "");
}

TEST_F(CommentBarTest, OfflineSendsNothingAndKeepsTheText) {
    build();
    openBar("77");
    tabs_->commentTextView()->setText("hello");
    Reachability::setOverride(ReachabilityState::offline());
    tabs_->toSendCommentData();
    driver_->settle();
    EXPECT_EQ(commentRequests(), 0u);
    EXPECT_FALSE(tabs_->commentBgView()->isHidden());
    EXPECT_EQ(tabs_->commentTextView()->text(), "hello");
}

TEST_F(CommentBarTest, EmoticonPanelReplacesTheKeyboardAndAppendsFaces) {
    build();
    openBar("77");
    tabs_->commentTextView()->setText("hi");
    tabs_->faceBtClick();
    ASSERT_TRUE(tabs_->myFaceView());
    EXPECT_FALSE(tabs_->myFaceView()->isHidden());
    EXPECT_DOUBLE_EQ(tabs_->commentBgView()->frame().minY(), viewHeight() - 50 - 216);

    auto face = driver_->byAccessibilityValue("[em:12:]");
    ASSERT_TRUE(face);
    driver_->tap(face);
    EXPECT_EQ(tabs_->commentTextView()->text(), "hi[em:12:]");

    // The keyboard coming back hides the panel and lifts the bar above it.
    NotificationCenter::defaultCenter().postNotification(
        kKeyboardWillShowNotification, nullptr,
        {{kKeyboardFrameEndUserInfoKey, rectToJson(Rect(0, viewHeight() - 250, 320, 250))}});
    driver_->settle();
    EXPECT_TRUE(tabs_->myFaceView()->isHidden());
    EXPECT_DOUBLE_EQ(tabs_->keyBoardH(), 250);
    EXPECT_DOUBLE_EQ(tabs_->commentBgView()->frame().minY(), viewHeight() - 50 - 250);
}

TEST_F(CommentBarTest, SheetsShowTheirButtonsAndPostTheAnswerCodes) {
    struct Case {
        const char* code;
        long index;
        std::vector<std::string> buttons;
        const char* answer;  // empty: nothing posted
    } cases[] = {
        {"0", 0, {"查 看", "举 报"}, "0"},
        {"0", 1, {"查 看", "举 报"}, "4"},
        {"1", 1, {"查 看", "转 发", "举 报"}, "1"},
        {"1", 2, {"查 看", "转 发", "举 报"}, "4"},
        {"2", 1, {"查 看", "删 除"}, "1"},
        {"3", 2, {"查 看", "删 除", "转 发"}, "2"},
        {"3", 3, {"查 看", "删 除", "转 发"}, ""},  // cancel
    };
    build();
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + "/" + std::to_string(c.index));
        posted_.clear();
        home_->setShowAS(true);
        NotificationCenter::defaultCenter().postNotification(kShowDynamicActionSheetNotification, c.code);
        auto sheet = driver_->sheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->tag(), 10 + std::stol(c.code));
        ASSERT_EQ(sheet->numberOfButtons(), long(c.buttons.size()) + 1);
        EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "取 消");
        for (size_t i = 0; i < c.buttons.size(); ++i) EXPECT_EQ(sheet->buttonTitleAtIndex(long(i)), c.buttons[i]);
        driver_->pressSheetButton(c.index);
        driver_->settle();
        EXPECT_FALSE(home_->showAS());
        if (*c.answer) {
            ASSERT_EQ(posted_.size(), 1u);
            EXPECT_EQ(posted_[0].first, kShowSelectedWhichWithNotification);
            EXPECT_EQ(posted_[0].second, c.answer);
        } else {
            EXPECT_TRUE(posted_.empty());
        }
    }
}

TEST_F(CommentBarTest, AnUnknownSheetCodeShowsNothing) {
    build();
    NotificationCenter::defaultCenter().postNotification(kShowDynamicActionSheetNotification, "4");
    driver_->settle();
    EXPECT_FALSE(driver_->sheet());
}

TEST_F(CommentBarTest, TheSchoolCircleGetsTheAnswerItAskedForAndBothFlagsClear) {
    build();
    auto square = home_->squareViewController();
    ASSERT_TRUE(square);
    square->setShowAS(true);
    NotificationCenter::defaultCenter().postNotification(kShowDynamicActionSheetNotification, "2");
    ASSERT_TRUE(driver_->sheet());
    driver_->pressSheetButton(1);
    driver_->settle();
    ASSERT_EQ(posted_.size(), 1u);
    EXPECT_EQ(posted_[0].first, kShowSquareSelectedWhichWithNotification);
    EXPECT_EQ(posted_[0].second, "1");
    EXPECT_FALSE(square->showAS());
    EXPECT_FALSE(home_->showAS());
}

TEST_F(CommentBarTest, AParentWithoutAClassGetsTheOneButtonAlertAndNoBar) {
    MVTAccount::sharedInstance().setRole("parent");
    MVTAccount::sharedInstance().setClassId(std::nullopt);
    build();
    openBar("77");
    EXPECT_TRUE(tabs_->commentBgView()->isHidden());
    auto alert = driver_->alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MyTabBarController::kJoinClassAlertTag);
    EXPECT_EQ(alert->message(), "您的孩子没有加入班级，请让孩子加入班级");
    EXPECT_EQ(alert->numberOfButtons(), 1);
    driver_->pressAlertButton(0);
    driver_->settle();
    EXPECT_FALSE(tabs_->presentedViewController());
}

TEST_F(CommentBarTest, ATeacherWithoutAClassIsOfferedTheJoinScreen) {
    MVTAccount::sharedInstance().setClassId(std::nullopt);
    build();
    openBar("77");
    EXPECT_TRUE(tabs_->commentBgView()->isHidden());
    auto alert = driver_->alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MyTabBarController::kJoinClassAlertTag);
    EXPECT_EQ(alert->message(), "请先加入班级，可以查看和分享更多精彩");
    ASSERT_EQ(alert->numberOfButtons(), 2);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "取消");
    driver_->pressAlertButton(0);
    driver_->settle();
    auto presented = std::dynamic_pointer_cast<myNavigationController>(tabs_->presentedViewController());
    ASSERT_TRUE(presented);
    ASSERT_FALSE(presented->viewControllers().empty());
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTInterClassViewController>(presented->viewControllers().front()));
}

}  // namespace
