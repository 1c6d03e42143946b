// The screens no control opens: the signature editor, the early space page, the space
// access setting and the QR code generator, driven through the operations that would
// open and use them.

#include "SpaceFixture.h"

#include "me/MVTPersonalSpaceSettingViewController.h"
#include "me/MVTPersonalStatusChageViewController.h"
#include "me/MVTQRCodeEncoderViewController.h"
#include "me/MVTSpaceViewController.h"

#include "details/MVTDetailsViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/QrDecoder.h"
#include "platform/ui/QrEncoder.h"
#include "platform/ui/SavedPhotosAlbum.h"
#include "platform/ui/TextView.h"

using namespace platform;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

class HiddenScreensTest : public SpaceTest {
protected:
    // Pushed over a plain root, as an opener would push it.
    template <class T>
    std::shared_ptr<T> push(std::shared_ptr<T> screen = nullptr) {
        if (!screen) screen = std::make_shared<T>();
        root_ = std::make_shared<ViewViewController>();
        navigation = myNavigationController::withRoot(root_);
        driver->show(navigation);
        navigation->pushViewController(screen, false);
        driver->pump();
        return screen;
    }
    std::shared_ptr<ViewViewController> root_;
};

TEST_F(HiddenScreensTest, SignatureLimitCounterAndSave) {
    MVTAccount::sharedInstance().setStatus("旧签名");
    auto editor = push<MVTPersonalStatusChageViewController>();
    EXPECT_EQ(editor->statusTextView()->text(), "旧签名");
    EXPECT_EQ(editor->warringlabel()->text(), "输入的字符数不能超过45个");
    struct Case {
        std::size_t units;
        const char* counter;
    };
    for (Case c : {Case{45, "字符数最大为45，您已经输入了45个"}, Case{46, "字符数最大为45，您已经超出范围1个"},
                   Case{0, "字符数最大为45，您已经输入了0个"}}) {
        editor->statusTextView()->setText(std::string(c.units, 'a'));
        editor->textViewDidChange(*editor->statusTextView());
        EXPECT_EQ(editor->warringlabel()->text(), c.counter);
    }
    // A character outside the basic plane counts two units: 23 of them and one more go over.
    editor->statusTextView()->setText("a" + std::string() + [] {
        std::string s;
        for (int i = 0; i < 23; ++i) s += "😀";
        return s;
    }());
    editor->sendStatus();
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "个性签名字符数超过了45个字符的限制");
    AlertView::clearVisible();
    editor->statusTextView()->setText("旧签名");
    editor->sendStatus();
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "个性签名没有变化,无法提交");
    AlertView::clearVisible();
    EXPECT_EQ(countTo("user/2001/update/status"), 0u);
    // Exactly 45 units are sent as the field "text"; the account takes it and the editor goes.
    const std::string text = std::string(44, 'b') + "签";
    editor->statusTextView()->setText(text);
    editor->sendStatus();
    ASSERT_TRUE(pumpUntil([&] { return countTo("user/2001/update/status") == 1 && !hudShowing(editor->view()); }));
    EXPECT_FALSE(AlertView::topAlert()) << AlertView::topAlert()->message();
    ASSERT_TRUE(pumpUntil([&] { return navigation->topViewController() == root_; }));
    const auto sent = requestsTo("user/2001/update/status");
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].parts.size(), 1u);
    EXPECT_EQ(sent[0].parts[0].name, "text");
    EXPECT_EQ(sent[0].parts[0].bytes, text);
    EXPECT_EQ(MVTAccount::sharedInstance().status().value_or(""), text);
    // The space header reads the new text from the service.
    EXPECT_EQ(service().data().userWithId("2001")->value("status", ""), text);
}

TEST_F(HiddenScreensTest, SignatureFailuresAndLeaving) {
    struct Case {
        const char* name;
        Reply reply;
    };
    const Case cases[] = {{"false success", Reply::json({{"success", 0}})},
                          {"server error", Reply::text("x", "text/plain", 500)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertView::clearVisible();
        MVTAccount::sharedInstance().setStatus("");
        service().setReply("POST", "services/norvo/user/2001/update/status", c.reply);
        auto editor = push<MVTPersonalStatusChageViewController>();
        editor->statusTextView()->setText("新的");
        editor->sendStatus();
        ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
        EXPECT_EQ(AlertView::topAlert()->message(), "发送失败,请重新发送");
        EXPECT_EQ(editor->statusTextView()->text(), "新的");
        EXPECT_EQ(MVTAccount::sharedInstance().status().value_or(""), "");
        EXPECT_EQ(navigation->topViewController(), editor);
        // Without a signature, back leaves at once.
        AlertView::clearVisible();
        editor->goback();
        driver->pump();
        EXPECT_FALSE(AlertView::topAlert());
        EXPECT_TRUE(pumpUntil([&] { return navigation->topViewController() == root_; }));
    }
    // With one, a changed text asks first; "取消" stays.
    MVTAccount::sharedInstance().setStatus("有");
    auto editor = push<MVTPersonalStatusChageViewController>();
    editor->statusTextView()->setText("变了");
    editor->goback();
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTPersonalStatusChageViewController::kLeaveAlertTag);
    alert->clickButtonAtIndex(0);
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), editor);
    editor->goback();
    AlertView::topAlert()->clickButtonAtIndex(1);
    EXPECT_TRUE(pumpUntil([&] { return navigation->topViewController() == root_; }));
}

TEST_F(HiddenScreensTest, EarlySpaceRowsDetailsNamesAndVoiceLock) {
    auto page = std::make_shared<MVTSpaceViewController>();
    page->setUserDic({{"id", "1001"}, {"name", "王老师"}});
    push(page);
    ASSERT_TRUE(pumpUntil([&] { return page->essayTable() != nullptr; }));
    EXPECT_EQ(page->title(), "王老师");
    const auto list = requestsTo("feed/1001/list/1");
    ASSERT_EQ(list.size(), 1u);
    const int posts = int(page->dataArray().size());
    ASSERT_GE(posts, 1);
    auto& table = *page->essayTable();
    EXPECT_EQ(table.numberOfRowsInSection(0), posts + 1);
    EXPECT_EQ(table.rectForRowAtIndexPath({0, 0}).height(), MVTSpaceViewController::kHeaderRowHeight);
    EXPECT_GT(table.rectForRowAtIndexPath({0, 1}).height(), 0);
    // The second row is the first post.
    page->didSelectRowAtIndexPath(table, {0, 1});
    driver->pump();
    auto detail = std::dynamic_pointer_cast<MVTDetailsViewController>(navigation->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->modelID(), textOf(page->dataArray()[0], "id"));
    navigation->popViewController(false);
    driver->pump();
    page->didSelectRowAtIndexPath(table, {0, 0});
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), page);
    // A name opens another early page titled with it.
    page->chooseNamed({{"id", "2001"}, {"name", "李明"}});
    driver->pump();
    auto next = std::dynamic_pointer_cast<MVTSpaceViewController>(navigation->topViewController());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->title(), "李明");
    navigation->popViewController(false);
    driver->pump();
    // A voice request only locks scrolling until the stop request.
    page->playRecord(std::string("55"), 3);
    EXPECT_FALSE(table.isScrollEnabled());
    EXPECT_EQ(table.tag(), 3);
    page->playRecord(std::nullopt, 3);
    EXPECT_TRUE(table.isScrollEnabled());
}

TEST_F(HiddenScreensTest, EarlySpaceWithoutPostsOrService) {
    struct Case {
        const char* name;
        Reply reply;
        bool table;
    };
    const Case cases[] = {{"empty list", Reply::json(Json::array()), false},
                          {"an object", Reply::json({{"list", Json::array()}}), false},
                          {"server error", Reply::text("x", "text/plain", 500), true},
                          {"not JSON", Reply::text("<html>"), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        service().setReply("GET", "services/norvo/feed/2002/list/1", c.reply);
        auto page = std::make_shared<MVTSpaceViewController>();
        page->setUserDic({{"id", "2002"}, {"name", "张新"}});
        const std::size_t before = countTo("feed/2002/list/1");
        push(page);
        ASSERT_TRUE(pumpUntil([&] { return countTo("feed/2002/list/1") == before + 1; }));
        // A failure builds the table when its reply is handled: wait for it; an empty
        // answer must leave none, so a few turns of the loop are given to go wrong.
        if (c.table) {
            ASSERT_TRUE(pumpUntil([&] { return page->essayTable() != nullptr; }));
        }
        for (int i = 0; i < 5; ++i) driver->pump();
        EXPECT_EQ(page->essayTable() != nullptr, c.table);
        if (page->essayTable()) {
            EXPECT_EQ(page->essayTable()->numberOfRowsInSection(0), 1);
        }
    }
}

TEST_F(HiddenScreensTest, AccessLevelsCheckOneRowAndSaveOneAtATime) {
    auto page = push<MVTPersonalSpaceSettingViewController>();
    auto& table = *page->myTable();
    auto checked = [&] {
        std::vector<int> rows;
        for (int r = 0; r < 4; ++r)
            if (table.cellForRowAtIndexPath({0, r})->accessoryType() == TableViewCellAccessoryType::Checkmark)
                rows.push_back(r);
        return rows;
    };
    EXPECT_TRUE(checked().empty());
    page->didSelectRowAtIndexPath(table, {0, 2});
    EXPECT_EQ(checked(), std::vector<int>{2});
    page->didSelectRowAtIndexPath(table, {0, 2});
    EXPECT_EQ(checked(), std::vector<int>{2});
    EXPECT_EQ(countTo("2001/forum/set/update"), 0u);
    page->toSetNewSetting(MVTPersonalSpaceSettingViewController::codeOfRow(2));
    page->toSetNewSetting(MVTPersonalSpaceSettingViewController::codeOfRow(0));
    EXPECT_TRUE(page->isLoadIng());
    ASSERT_TRUE(pumpUntil([&] { return !page->isLoadIng() && !hudShowing(page->view()); }));
    const auto sent = requestsTo("2001/forum/set/update");
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].parts.size(), 1u);
    EXPECT_EQ(sent[0].parts[0].name, "set");
    EXPECT_EQ(sent[0].parts[0].bytes, "1");
    EXPECT_FALSE(AlertView::topAlert());
    // A refused save says so and leaves the checkmark.
    page->toSetNewSetting(7);
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->message(), "设置失败,请重新设置");
    EXPECT_FALSE(page->isLoadIng());
    EXPECT_EQ(checked(), std::vector<int>{2});
}

TEST_F(HiddenScreensTest, QrPictureDecodesBackWithTheLogoInTheMiddle) {
    auto stack = myNavigationController::withRoot(std::make_shared<MVTQRCodeEncoderViewController>());
    navigation = stack;
    driver->show(stack);
    driver->pump();
    auto page = std::dynamic_pointer_cast<MVTQRCodeEncoderViewController>(stack->topViewController());
    ASSERT_TRUE(page);
    // An empty text gives no picture.
    page->getQRCodeImage();
    EXPECT_FALSE(page->QRCodeImageView()->image());
    for (const std::string text : {"https://example.test/班级/11", "第二个"}) {
        page->textView()->setText(text);
        page->getQRCodeImage();
        auto picture = page->QRCodeImageView()->image();
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->size(), Size(260, 260));
        EXPECT_EQ(QrDecoder::decode(*picture).value_or("?"), text);
    }
    // The logo sits in the middle, whole points.
    auto base = Image::imageWithColor(Color::whiteColor(), {260, 260});
    auto logo = Image::imageWithColor(Color::rgb255(255, 0, 0), {41, 41});
    auto merged = MVTQRCodeEncoderViewController::addSubImage(base, logo);
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->size(), Size(260, 260));
    EXPECT_EQ(merged->colorAt(109, 109), Color::rgb255(255, 0, 0));
    EXPECT_EQ(merged->colorAt(108, 108), Color::whiteColor());
    EXPECT_EQ(merged->colorAt(149, 149), Color::rgb255(255, 0, 0));
    EXPECT_EQ(merged->colorAt(150, 150), Color::whiteColor());
    // The encoder picks the smallest version at the highest level.
    auto small = QrEncoder::encode("a", QrEncoder::H, 0);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width, 21);
}

TEST_F(HiddenScreensTest, QrSaveTellsWhetherTheAlbumTookIt) {
    auto stack = myNavigationController::withRoot(std::make_shared<MVTQRCodeEncoderViewController>());
    navigation = stack;
    driver->show(stack);
    driver->pump();
    auto page = std::dynamic_pointer_cast<MVTQRCodeEncoderViewController>(stack->topViewController());
    // A short press offers nothing, nor a press on an empty view.
    driver->longPress(page->QRCodeImageView(), 0.5);
    EXPECT_FALSE(ActionSheet::topSheet());
    page->textView()->setText("保存我");
    page->getQRCodeImage();
    driver->longPress(page->QRCodeImageView(), 0.2);
    EXPECT_FALSE(ActionSheet::topSheet());
    for (int round = 0; round < 2; ++round) {
        driver->longPress(page->QRCodeImageView(), 0.5);
        auto sheet = ActionSheet::topSheet();
        ASSERT_TRUE(sheet);
        sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex());
        driver->pump();
        ASSERT_TRUE(page->showSaveLa());
        EXPECT_EQ(page->showSaveLa()->text(), "图片保存成功");
    }
    EXPECT_EQ(SavedPhotosAlbum::savedFiles().size(), 2u);
    // An album that refuses the file is the failure toast, not the success one.
    auto label = page->showSaveLa();
    advance(2);
    driver->pump();
    EXPECT_EQ(label->alpha(), 0);
    std::filesystem::remove_all(SavedPhotosAlbum::folder());
    ASSERT_TRUE(writeFileAtomically(SavedPhotosAlbum::folder(), "not a folder"));
    driver->longPress(page->QRCodeImageView(), 0.5);
    auto sheet = ActionSheet::topSheet();
    ASSERT_TRUE(sheet);
    sheet->clickButtonAtIndex(sheet->firstOtherButtonIndex());
    driver->pump();
    EXPECT_EQ(label->alpha(), 0);
}

}  // namespace
