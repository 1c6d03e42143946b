// The mention picker (sections, cache, refresh, bad replies) and mentions in the text.
#include "ComposerFixture.h"

#include "composer/MVTPostListViewController.h"
#include "core/RecipientList.h"
#include "shell/myTableView.h"

#include "platform/Values.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextView.h"

namespace {

using testing_support::ComposerTest;
using Json = nlohmann::json;
using sample_service::Reply;

constexpr const char* kRecipients = "services/norvo/postMessage/essay/12/recipient";

class MentionTest : public ComposerTest {
protected:
    // The composer and the picker it pushed.
    std::shared_ptr<MVTPostListViewController> openPicker() {
        composer_ = open<AddFeedViewController>();
        composer_->postOther();
        driver_->settle();
        auto stack = composer_->navigationController();
        return stack ? std::dynamic_pointer_cast<MVTPostListViewController>(stack->topViewController()) : nullptr;
    }
    std::vector<std::string> sections(const MVTPostListViewController& picker) {
        std::vector<std::string> list;
        for (const auto& s : picker.titleArray())
            list.push_back(platform::textOf(s, "title") + ":" + platform::textOf(s, "num"));
        return list;
    }
    size_t recipientRequests() { return requestsTo(std::string("/") + kRecipients); }
    std::shared_ptr<AddFeedViewController> composer_;
};

TEST_F(MentionTest, NamesFallIntoSectionsAndTheListIsKept) {
    service().setReply("GET", kRecipients, Reply::json(Json::parse(R"([
        {"name": "王五", "user": "5"}, {"name": "Alice", "user": "1"}, {"name": "1号", "user": "9"},
        {"name": "张三", "user": "3"}, {"name": "Émile", "user": "4"}])")));
    auto picker = openPicker();
    ASSERT_TRUE(picker);
    pumpUntil([&] { return !picker->myArray().empty(); });
    EXPECT_EQ(sections(*picker), (std::vector<std::string>{"#:2", "A:1", "W:1", "Z:1"}));
    EXPECT_EQ(platform::textOf(picker->recipientAt({0, 1}), "name"), "Émile");
    EXPECT_EQ(platform::textOf(picker->recipientAt({3, 0}), "name"), "张三");
    EXPECT_EQ(picker->indexBar()->indexes(), (std::vector<std::string>{"#", "A", "W", "Z"}));
    const auto bytes = platform::readFile(recipientCachePath("12"));
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(platform::isValidUtf8(*bytes));
    EXPECT_EQ(readRecipientCache("12").size(), 5u);
    EXPECT_TRUE(picker->view()->isUserInteractionEnabled());
}

TEST_F(MentionTest, AKeptListIsShownWithoutAskingAndAnUnchangedRefreshWritesNothing) {
    const std::string kept = R"([ {"name": "Amy", "user": "2", "firstName": "amy"} ])";
    ASSERT_TRUE(platform::writeFileAtomically(recipientCachePath("12"), kept));
    auto picker = openPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(recipientRequests(), 0u);
    EXPECT_EQ(sections(*picker), (std::vector<std::string>{"A:1"}));

    service().setReply("GET", kRecipients, Reply::json(Json::parse(R"([{"name": "Amy", "user": "2"}])")));
    picker->refreshPostlist();
    pumpUntil([&] { return recipientRequests() == 1 && picker->view()->isUserInteractionEnabled(); });
    EXPECT_EQ(platform::readFile(recipientCachePath("12")), kept);

    service().setReply("GET", kRecipients,
                       Reply::json(Json::parse(R"([{"name": "Amy", "user": "2"}, {"name": "Bob", "user": "6"}])")));
    picker->refreshPostlist();
    pumpUntil([&] { return picker->myArray().size() == 2; });
    EXPECT_EQ(sections(*picker), (std::vector<std::string>{"A:1", "B:1"}));
    EXPECT_EQ(readRecipientCache("12").size(), 2u);
}

TEST_F(MentionTest, BadRepliesAndBrokenFilesLeaveAUsableList) {
    struct Case {
        const char* name;
        std::string cache;
        Reply reply;
        std::vector<std::string> sections;
        bool alert;
    };
    const Case cases[] = {
        {"not a list", "", Reply::json(Json{{"name", "x"}}), {}, true},
        {"an empty list", "", Reply::json(Json::array()), {}, true},
        {"not JSON", "", Reply::text("<html>oops</html>", "text/html"), {}, true},
        {"nameless and numbers", "", Reply::json(Json::parse(R"([{"user": "1"}, {"name": 1024, "user": "2"}, "x"])")),
         {"#:2"}, false},
        {"a broken cache file", "[{\"name\": ", Reply::json(Json::parse(R"([{"name": "Cat", "user": "3"}])")), {"C:1"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(recipientCachePath("12"));
        if (!c.cache.empty()) {
            ASSERT_TRUE(platform::writeFileAtomically(recipientCachePath("12"), c.cache));
        }
        service().setReply("GET", kRecipients, c.reply);
        auto picker = openPicker();
        ASSERT_TRUE(picker);
        pumpUntil([&] { return picker->view()->isUserInteractionEnabled() && recipientRequests() > 0; });
        driver_->pump();
        EXPECT_EQ(sections(*picker), c.sections);
        EXPECT_EQ(alertMessage(), c.alert ? "暂时没有可以@的联系人" : "");
        EXPECT_FALSE(platform::ProgressHUD::HUDForView(picker->view()));
        ASSERT_TRUE(picker->mytableview());
        platform::AlertView::clearVisible();
        service().clearRequests();
        closePresented();
    }
}

TEST_F(MentionTest, ATypedAtOpensThePickerAndThePickedNameFollowsIt) {
    writeRecipientCache("12", recipientListFromReply(Json::parse(R"([{"name": "张三", "user": "3"}])")));
    composer_ = open<AddFeedViewController>();
    auto text = composer_->mytextView;
    driver_->tap(text);
    driver_->settle();
    driver_->type("hi @");
    driver_->settle();
    auto stack = composer_->navigationController();
    auto picker = std::dynamic_pointer_cast<MVTPostListViewController>(stack->topViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(text->text(), "hi @");
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 0});
    driver_->settle();
    EXPECT_EQ(stack->topViewController(), composer_);
    EXPECT_EQ(text->text(), "hi @@张三 ");
    EXPECT_EQ(text->selectedRange().location, 8);
    ASSERT_EQ(composer_->postListArray.size(), 1u);
    EXPECT_EQ(composer_->postListArray[0]["firstName"], "zs");
    // A face goes to the end, wherever the caret is.
    text->setSelectedRange({0, 0});
    composer_->selectedFacialView("[em:3:]");
    EXPECT_EQ(text->text(), "hi @@张三 [em:3:]");
}

TEST_F(MentionTest, PlaceholdersFollowEditing) {
    composer_ = open<AddFeedViewController>();
    auto placeholder = composer_->mytextView->viewWithTag(MVTPostComposerViewController::kPlaceholderTag);
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(placeholder->displayedText(), "文字内容");
    driver_->tap(composer_->mytextView);
    EXPECT_EQ(placeholder->displayedText(), "");
    composer_->removeKeyBoard();
    EXPECT_EQ(placeholder->displayedText(), "说点什么");
}

}  // namespace
