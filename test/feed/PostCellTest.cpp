#include "FeedFixture.h"

#include "platform/BackgroundQueue.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>
#include <functional>

using namespace platform;

namespace {

// A list that records what its post cells ask.
class Recorder : public CellDelegate {
public:
    std::vector<std::string> calls;
    Json lastUser;
    std::string lastText;
    Rect lastRect;
    void chooseNamed(const Json& user) override {
        calls.push_back("chooseNamed");
        lastUser = user;
    }
    void sendLinkWith(const std::string& url, const std::string& title) override {
        calls.push_back("link " + url + " " + title);
    }
    void toDownLoadAttachWith(const std::string& id, const std::string& name, const std::string& type) override {
        calls.push_back("file " + id + " " + name + " " + type);
    }
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& ids, int row) override {
        calls.push_back("vote " + postId + " " + voteId + " " + ids + " " + std::to_string(row));
    }
    void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) override {
        calls.push_back("refresh " + postId + " " + voteId + " " + std::to_string(row));
    }
    void againGetListData() override { calls.push_back("again"); }
    void readyToCopyContentWith(const Rect& rect, int row, const std::string& text) override {
        calls.push_back("copy " + std::to_string(row));
        lastRect = rect;
        lastText = text;
    }
    void showImage(const Json& pictures, int index) override {
        calls.push_back("image " + std::to_string(pictures.size()) + " " + std::to_string(index));
    }
};

void collect(const std::shared_ptr<View>& view, std::vector<std::shared_ptr<View>>& out) {
    out.push_back(view);
    for (const auto& child : view->subviews()) collect(child, out);
}

std::vector<std::shared_ptr<View>> viewsOf(const std::shared_ptr<View>& root,
                                           const std::function<bool(const View&)>& keep) {
    std::vector<std::shared_ptr<View>> all, kept;
    collect(root, all);
    for (auto& view : all)
        if (keep(*view)) kept.push_back(view);
    return kept;
}

std::shared_ptr<View> withText(const std::shared_ptr<View>& root, const std::string& text) {
    auto found = viewsOf(root, [&](const View& v) { return v.displayedText() == text; });
    return found.empty() ? nullptr : found.front();
}

class PostCellTest : public testing_support::FeedTest {
protected:
    std::shared_ptr<MVTPersonCell> cell(const Json& record, int index = 0) {
        auto made = MVTPersonCell::initWithtData(record, 2, index, recorder);
        made->contentView()->setTag(index);
        return made;
    }
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

TEST_F(PostCellTest, EveryKindDrawsItsViewsAndAFreshCellHasTheSameHeight) {
    Json vote = {{"id", 501}, {"title", "去哪里"}, {"count", 0}, {"showResult", 0}, {"answerLimit", -1},
                 {"answerList", Json::array({{{"id", 1}, {"title", "植物园"}, {"count", 0}}})}};
    Json results = vote;
    results["showResult"] = 1;
    results["count"] = 3;
    results["answerList"] = Json::array({{{"id", 1}, {"title", "植物园"}, {"count", 1}}});
    struct Case {
        const char* name;
        Json changes;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"vote form", {{"type", "vote"}, {"title", "春游"}, {"vote", vote}}, {"春游", "去哪里", "任意选择", "投票"}},
        {"vote results", {{"type", "vote"}, {"vote", results}}, {"总票数: 3", "刷新", "33%"}},
        {"badge",
         {{"type", "decoration"}, {"content", "不画的文字"}, {"decoration", {{"img", "reading.png"}, {"name", "阅读之星"}, {"description", "三十天"}}}},
         {"获得了新勋章", "阅读之星:\n三十天"}},
        {"lesson",
         {{"lesson", {{"courseName", "语文"}, {"lessonName", "古诗"}, {"docCount", 2}, {"discussCount", "4"}}}},
         {"学科: 语文  古诗", "文档(2)", "讨论(4)"}},
        {"activity",
         {{"type", "activity"},
          {"activity", {{"id", 7}, {"title", "读书节"}, {"start", "1月10日"}, {"end", "1月12日"}, {"location", "图书馆"}, {"name", "管理员"}}}},
         {"读书节", "时间：1月10日 至 1月12日", "地点：", "图书馆", "发起：管理员"}},
        {"forward", {{"type", "share"}, {"share", {{"name", "赵小红"}, {"content", "手工"}}}}, {"赵小红 : 手工"}},
        {"files",
         {{"attachments", Json::array({{{"type", "txt"}, {"name", "公约"}, {"resModuleId", 880003}},
                                       {{"type", "DOCX"}, {"name", "通知"}, {"resModuleId", 880005}}})}},
         {"公约.txt", "通知.DOCX"}},
        {"links", {{"links", Json::array({{{"url", "http://a.invalid/"}, {"text", "园地"}}})}}, {"园地"}},
        {"album", {{"type", "class_album"}, {"title", "春游照片"}, {"content", "三张"}}, {"春游照片\n三张"}},
        {"text", {{"content", "第一行</br>第二行</br>第三行"}}, {"第一行.\n第二行.\n第三行"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Json record = post(1);
        record.update(c.changes);
        auto made = cell(record);
        for (const auto& text : c.texts) EXPECT_TRUE(withText(made, text)) << text;
        EXPECT_EQ(cell(record)->frame().height(), made->frame().height());
        EXPECT_GT(made->frame().height(), 75);
    }
}

TEST_F(PostCellTest, HeaderFollowsRoleOwnershipAndPraise) {
    struct Case {
        const char* role;
        const char* viewer;
        const char* uid;
        Json perm;
        std::string label;  // visibility label, or empty for none
        bool mark;
    };
    const Case cases[] = {
        {"teacher", "teacher", "1001", 0, "我的关系可见", true},
        {"student", "student", "1001", 0, "班级可见", false},
        {"teacher", "teacher", "1001", -1, "", true},
        {"teacher", "teacher", "1001", 7, "", true},
        {"admin", "teacher", "9001", 0, "", false},
        {"parent", "parent", "1001", 0, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.role) + "/" + c.viewer + "/" + textOf(c.perm));
        signIn("1001", "王老师", c.viewer, "11");
        Json record = post(3);
        record["role"] = c.role;
        record["uid"] = c.uid;
        record["perm"] = c.perm;
        auto made = cell(record);
        for (const char* label : {"我的关系可见", "班级可见", "全校可见"})
            EXPECT_EQ(withText(made, label) != nullptr, c.label == label) << label;
        auto marks = viewsOf(made, [](const View& v) {
            auto image = dynamic_cast<const ImageView*>(&v);
            return image && image->image() == Image::imageNamed("teacherMark.png");
        });
        EXPECT_EQ(!marks.empty(), c.mark);
    }
    // love "1" with likeCount "0" is not praised; an empty comment count shows "0".
    Json record = post(4);
    record["love"] = "1";
    record["likeCount"] = "0";
    record["commentCount"] = "";
    auto made = cell(record);
    auto heart = std::dynamic_pointer_cast<ImageView>(made->praiseButton()->viewWithTag(MVTPersonCell::kPraiseIconTag));
    EXPECT_EQ(heart->image(), Image::imageNamed("like.png"));
    EXPECT_EQ(made->praiseButton()->tag(), 0);
    EXPECT_EQ(made->praiseButton()->accessibilityHint(), "4");
    EXPECT_TRUE(withText(made, "0"));
    record["likeCount"] = "2";
    heart = std::dynamic_pointer_cast<ImageView>(cell(record)->praiseButton()->viewWithTag(MVTPersonCell::kPraiseIconTag));
    EXPECT_EQ(heart->image(), Image::imageNamed("liked.png"));
}

TEST_F(PostCellTest, PraisersAndCommentPreviews) {
    const double plain = cell(post(5))->frame().height();
    Json record = post(5);
    record["likeUsers"] = Json::array({{{"name", "甲"}, {"uid", 1}}});
    EXPECT_DOUBLE_EQ(cell(record)->frame().height(), plain + 18.6 + 15);

    EXPECT_EQ(MVTPersonCell::praisersText(Json::array({{{"name", "甲"}, {"uid", 1}}, {{"uid", 2}}, "乙", 5, {{"name", nullptr}}})),
              "甲,乙");
    EXPECT_EQ(MVTPersonCell::praisersText(Json::array({{{"uid", 2}}})), "");

    record["comments"] = Json::array({{{"name", "一"}, {"content", "a"}, {"attachmentList", Json::array()}},
                                      {{"name", "二"}, {"attachmentList", Json::array({{{"resModuleId", 1}}})}},
                                      {{"name", "<b>三</b>"}, {"content", "c"}},
                                      {{"name", "四"}, {"content", "d"}}});
    auto made = cell(record);
    ASSERT_TRUE(made->commentsView());
    EXPECT_EQ(made->commentsView()->displayedText(), "一 a\n二 [语音]\n<b>三</b> c");
}

TEST_F(PostCellTest, PicturesAreAtMostThreeAndMoodPicturesNeedNoRequest) {
    Json record = post(6);
    for (int i = 1; i <= 5; ++i) record["attachments"].push_back({{"id", 881000 + i}, {"type", "image"}});
    record["attachments"].push_back({{"id", 880001}, {"type", "audio"}, {"resModuleId", 880001}, {"duration", 3}});
    record["attachments"].push_back({{"id", 880002}, {"type", "audio"}, {"resModuleId", 880002}});
    auto made = cell(record);
    auto pictures = viewsOf(made, [](const View& v) {
        return dynamic_cast<const ImageView*>(&v) && !v.gestureRecognizers().empty();
    });
    EXPECT_EQ(pictures.size(), 3u);
    EXPECT_EQ(made->imageArray().size(), 3u);
    EXPECT_EQ(viewsOf(made, [](const View& v) { return v.tag() == PostKindRenderer::kRecordButtonTag; }).size(), 1u);
    EXPECT_EQ(made->recordUrl(), "880001");
    EXPECT_EQ(made->durationLa()->text(), "3\u2033");
    BackgroundQueue::shared().waitIdle();

    const auto requests = service().requestCount();
    Json mood = post(7);
    mood["attachments"] = Json::array({{{"id", 55}, {"type", "image"}}});
    auto moodCell = cell(mood);
    auto image = viewsOf(moodCell, [](const View& v) { return dynamic_cast<const ImageView*>(&v) && !v.gestureRecognizers().empty(); });
    ASSERT_EQ(image.size(), 1u);
    EXPECT_EQ(std::static_pointer_cast<ImageView>(image[0])->image(), Image::imageNamed("feeling_5"));
    EXPECT_EQ(image[0]->frame().width(), 58);
    BackgroundQueue::shared().waitIdle();
    EXPECT_EQ(service().requestCount(), requests);
}

TEST_F(PostCellTest, VoteChoicesFollowTheAnswerLimit) {
    auto voteRecord = [](Json limit) {
        Json record = post(8);
        record["vote"] = {{"id", 502},
                          {"title", "选"},
                          {"showResult", 0},
                          {"answerLimit", limit},
                          {"answerList", Json::array({{{"id", 1}, {"title", "甲"}}, {{"id", 2}, {"title", "乙"}},
                                                      {{"id", 3}, {"title", "丙"}}})}};
        return record;
    };
    auto answers = [](const std::shared_ptr<MVTPersonCell>& made) { return made->selectVoteArr(); };

    // Any number: all three may be sent, with the single-choice marks.
    auto any = cell(voteRecord("-1"), 4);
    EXPECT_EQ(any->limitVoter(), 0);
    EXPECT_EQ(answers(any)[0]->imageForState(ControlStateNormal), Image::imageNamed("un_one.png"));
    any->toSendVote(*any->voteBtn());
    EXPECT_EQ(AlertView::topAlert()->title(), "请先选择，然后投票");
    AlertView::clearVisible();
    for (int i : {1, 0, 2}) any->toSelectVote(*answers(any)[size_t(i)]);
    any->toSendVote(*any->voteBtn());
    ASSERT_FALSE(recorder->calls.empty());
    EXPECT_EQ(recorder->calls.back(), "vote 8 502 2,1,3 4");

    // Exactly two: a third is refused, one alone cannot be sent.
    auto two = cell(voteRecord(2));
    EXPECT_EQ(answers(two)[0]->imageForState(ControlStateNormal), Image::imageNamed("un_more.png"));
    two->toSelectVote(*answers(two)[0]);
    two->toSendVote(*two->voteBtn());
    EXPECT_EQ(AlertView::topAlert()->title(), "需要选择 2 项");
    AlertView::clearVisible();
    two->toSelectVote(*answers(two)[1]);
    two->toSelectVote(*answers(two)[2]);
    EXPECT_EQ(AlertView::topAlert()->title(), "最多选择 2 项");
    AlertView::clearVisible();
    EXPECT_EQ(two->voteArr(), (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(answers(two)[2]->isSelected());

    // One: a second choice moves it.
    auto one = cell(voteRecord(1));
    one->toSelectVote(*answers(one)[0]);
    one->toSelectVote(*answers(one)[1]);
    EXPECT_EQ(one->voteArr(), std::vector<std::string>{"2"});
    EXPECT_FALSE(answers(one)[0]->isSelected());
    EXPECT_TRUE(answers(one)[1]->isSelected());
}

TEST_F(PostCellTest, VoteResultsShowSharesOfTheTotal) {
    auto results = [&](Json total, Json counts) {
        Json record = post(9);
        Json list = Json::array();
        for (size_t i = 0; i < counts.size(); ++i) list.push_back({{"id", i + 1}, {"title", "项" + std::to_string(i)}, {"count", counts[i]}});
        record["vote"] = {{"id", 503}, {"showResult", 1}, {"count", total}, {"answerList", list}};
        return cell(record);
    };
    const double track = Screen::mainScreen().bounds().width() - 75;
    auto bars = [&](const std::shared_ptr<MVTPersonCell>& made) {
        return viewsOf(made, [](const View& v) { return v.backgroundColor() == Color::rgb255(97, 199, 249) && v.frame().height() == 5; });
    };
    auto zero = results(0, Json::array({0, 0}));
    EXPECT_EQ(viewsOf(zero, [](const View& v) { return v.displayedText() == "0%"; }).size(), 2u);
    EXPECT_TRUE(bars(zero).empty());
    auto third = results(3, Json::array({1, 2}));
    EXPECT_TRUE(withText(third, "33%"));
    EXPECT_TRUE(withText(third, "67%"));
    ASSERT_EQ(bars(third).size(), 2u);
    EXPECT_NEAR(bars(third)[0]->frame().width(), track / 3, 0.01);
    // Votes counted against a total of 0 draw no bar beyond the track.
    auto broken = results(0, Json::array({2}));
    for (auto& bar : bars(broken)) EXPECT_LE(bar->frame().width(), track);
}

TEST_F(PostCellTest, ForwardedBoxesSizeToWhatTheyHold) {
    auto forward = [&](Json share, Json attachments, Json links) {
        Json record = post(10);
        record["type"] = "share";
        record["share"] = share;
        record["attachments"] = attachments;
        record["links"] = links;
        auto made = cell(record);
        EXPECT_TRUE(made->isShare());
        return made;
    };
    auto deleted = forward({{"name", "张老师"}, {"content", nullptr}, {"none", "原动态已被删除"}}, Json::array(), Json::array());
    auto label = withText(deleted, "原动态已被删除");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->superview()->frame().height(), 44);

    Json pictures = Json::array({{{"id", 881001}, {"type", "image"}}});
    Json link = Json::array({{{"url", "http://a.invalid/"}, {"text", "链接"}}});
    auto boxOf = [&](const std::shared_ptr<MVTPersonCell>& made) {
        return withText(made, "赵小红 : 手工")->superview()->frame().height();
    };
    auto onlyPictures = forward({{"name", "赵小红"}, {"content", "手工"}}, pictures, Json::array());
    auto withLink = forward({{"name", "赵小红"}, {"content", "手工"}}, pictures, link);
    EXPECT_DOUBLE_EQ(boxOf(withLink) - boxOf(onlyPictures), 55);
    // The forwarding post's own files and links are drawn only inside the box.
    EXPECT_EQ(withText(withLink, "链接")->superview()->superview(), withText(withLink, "赵小红 : 手工")->superview());
}

TEST_F(PostCellTest, FileAndLinkButtonsReportWhatTheyHold) {
    Json record = post(11);
    record["attachments"] = Json::array({{{"type", "DOCX"}, {"name", "通知"}, {"resModuleId", 880005}}});
    record["links"] = Json::array({{{"url", "http://a.invalid/"}, {"text", "园地"}}});
    auto made = cell(record);
    auto file = std::dynamic_pointer_cast<Button>(withText(made, "通知.DOCX")->superview());
    ASSERT_TRUE(file);
    auto icons = viewsOf(file, [](const View& v) {
        auto image = dynamic_cast<const ImageView*>(&v);
        return image && image->image() == Image::imageNamed("word.png");
    });
    EXPECT_EQ(icons.size(), 1u);
    made->toDownLoadAttachWith(*file);
    EXPECT_EQ(recorder->calls.back(), "file 880005 通知 docx");
    auto link = std::dynamic_pointer_cast<Button>(withText(made, "园地")->superview());
    made->toOpenWebWith(*link);
    EXPECT_EQ(recorder->calls.back(), "link http://a.invalid/ 园地");
}

TEST_F(PostCellTest, AnActivityWithoutTitleStartsAtFive) {
    Json record = post(12);
    record["activity"] = {{"id", 7}, {"start", "1月10日"}};
    auto made = cell(record);
    auto line = withText(made, "时间：1月10日");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->frame().y(), 5);
}

TEST_F(PostCellTest, LastRowsOfferMoreRetryOrTheEnd) {
    auto loading = MVTPersonCell::initWithStyle(TableViewCellStyle::Default, "aCell", true, true, recorder);
    EXPECT_TRUE(withText(loading, "更多..."));
    EXPECT_TRUE(loading->contentView()->viewWithTag(MVTPersonCell::kSpinnerTag));
    EXPECT_FALSE(loading->contentView()->viewWithTag(MVTPersonCell::kRetryTag));
    EXPECT_TRUE(withText(MVTPersonCell::initWithStyle(TableViewCellStyle::Default, "aCell", false, false, recorder),
                         "已加载全部"));
    auto failed = MVTPersonCell::initWithStyle(TableViewCellStyle::Default, "aCell", false, true, recorder);
    auto retry = std::dynamic_pointer_cast<Button>(failed->contentView()->viewWithTag(MVTPersonCell::kRetryTag));
    ASSERT_TRUE(retry);
    EXPECT_EQ(retry->currentTitle(), "点击重新加载");
    failed->againToGetListData();
    EXPECT_FALSE(failed->contentView()->viewWithTag(MVTPersonCell::kRetryTag));
    EXPECT_TRUE(withText(failed, "更多..."));
    EXPECT_EQ(recorder->calls, std::vector<std::string>{"again"});
    EXPECT_EQ(failed->frame().height(), 40);
}

TEST_F(PostCellTest, AvatarAndLongPressReportToTheList) {
    Json record = post(13, "<b>可复制</b>的文字");
    record["uid"] = 2001;
    auto made = cell(record, 6);
    made->clickHeadBtn();
    EXPECT_EQ(recorder->lastUser, (Json{{"id", 2001}, {"name", "李明"}, {"role", "student"}}));
    // Only rows of a list (tag 2) open the author.
    auto other = MVTPersonCell::initWithtData(record, 0, 0, recorder);
    const auto calls = recorder->calls.size();
    other->clickHeadBtn();
    EXPECT_EQ(recorder->calls.size(), calls);

    auto screen = std::make_shared<ViewController>();
    driver->show(screen);
    screen->view()->addSubview(made);
    ASSERT_TRUE(driver->longPress(made->postTextView(), 0.5));
    EXPECT_EQ(recorder->calls.back(), "copy 6");
    EXPECT_EQ(recorder->lastText, "<b>可复制</b>的文字");
    EXPECT_EQ(recorder->lastRect, made->longRect());
}

}  // namespace
