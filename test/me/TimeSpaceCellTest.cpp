// The timeline row: its height by what the post holds, the date column, the text's markup
// and the vote panel.

#include "SpaceFixture.h"

#include "me/MVTTimeSpaceCell.h"
#include "me/MVTTimeWork.h"

#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/Label.h"

using namespace platform;
using testing_support::SpaceTest;

namespace {

// What a row reports.
class RecordingCellDelegate : public MVTTimeSpaceCellDelegate {
public:
    void sendLinkWith(const std::string& url, const std::string&) override { links.push_back(url); }
    void toDownLoadAudioWith(const std::string& id, int) override { downloads.push_back(id); }
    void toDownLoadAttachWith(const std::string& id, const std::string&, const std::string&) override {
        files.push_back(id);
    }
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answers,
                        int row) override {
        votes.push_back(postId + "/" + voteId + "/" + answers + "/" + std::to_string(row));
    }
    void toRefreshVoteWith(const std::string&, const std::string& voteId, int) override { refreshes.push_back(voteId); }
    void showImage(const Json& pictures, int) override { shown = pictures; }
    void playRecord(const std::optional<std::string>& id, int) override { plays.push_back(id.value_or("none")); }

    std::vector<std::string> links, downloads, files, votes, refreshes, plays;
    Json shown;
};

// 2026-01-05 08:00:00 UTC is 16:00 in Shanghai; its local midnight is 16:00 UTC the day before.
constexpr double kNow = 1767600000.0;
constexpr double kMidnight = 1767542400.0;

Json picture(int id) { return {{"id", id}, {"type", "image"}, {"resModuleId", id}}; }

class TimeSpaceCellTest : public SpaceTest {
protected:
    void SetUp() override {
        SpaceTest::SetUp();
        clock_->set(kNow);
        MVTTimeSpaceCell::setRandomSource([](int) { return 2; });
    }
    void TearDown() override {
        MVTTimeSpaceCell::setRandomSource({});
        SpaceTest::TearDown();
    }
    std::shared_ptr<MVTTimeSpaceCell> row(Json post, bool firstOfDay = false) {
        if (!post.contains("dateline")) post["dateline"] = kNow - 60;
        std::optional<Json> previous;
        if (!firstOfDay) previous = post["dateline"];
        return MVTTimeSpaceCell::make(post, previous, 3, delegate);
    }
    std::shared_ptr<RecordingCellDelegate> delegate = std::make_shared<RecordingCellDelegate>();
};

TEST_F(TimeSpaceCellTest, RowHeightsFollowWhatThePostHolds) {
    const Json file = {{"type", "doc"}, {"name", "通知"}, {"resModuleId", 880005}};
    const Json voice = {{"type", "audio"}, {"resModuleId", 880001}, {"duration", 1}};
    const Json lesson = {{"courseName", "语文"}, {"lessonName", "春晓"}};
    struct Case {
        const char* what;
        Json post;
        bool firstOfDay;
        double height;
    } cases[] = {
        {"nothing in it", Json::object(), false, 19},
        {"nothing, first of its day", Json::object(), true, 49},
        {"a text beside pictures is cut to 60", {{"content", "一段很长很长的文字</br>第二行</br>第三行"}, {"attachments", {picture(881001)}}}, false, 99},
        {"one voice", {{"attachments", {voice}}}, false, 54},
        {"two files", {{"attachments", {file, file}}}, false, 134},
        {"a lesson", {{"lesson", lesson}}, false, 114},
        {"a deleted forward", {{"type", "share"}, {"share", Json::object()}}, false, 64},
        {"a forward with one picture", {{"type", "share"}, {"share", {{"name", "李明"}}}, {"attachments", {picture(881001)}}}, false, 119},
        {"a forward with two pictures", {{"type", "share"}, {"share", {{"name", "李明"}}}, {"attachments", {picture(881001), picture(881002)}}}, false, 134},
        {"a forward's notice", {{"type", "share"}, {"share", {{"none", "原动态已被删除"}, {"content", nullptr}}}}, false, 64},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(row(c.post, c.firstOfDay)->frame().height(), c.height) << c.what;
}

TEST_F(TimeSpaceCellTest, DateColumnSaysTodayYesterdayOrMonthAndDay) {
    struct Case {
        double dateline;
        const char* text;
    } cases[] = {
        {kMidnight, "今天"},
        {kMidnight + 86399, "今天"},
        {kMidnight - 1, "昨天"},
        {kMidnight - 86400, "昨天"},
        {kMidnight - 86401, "1-03"},
        {kMidnight - 86400 * 365 + 3600, "1-05"},
    };
    for (const auto& c : cases) EXPECT_EQ(row({{"dateline", c.dateline}}, true)->dateText(), c.text) << c.dateline;
    // Text and number read alike; the same month and day of another year give the same text.
    EXPECT_EQ(MVTTimeWork::dateFormate(Json("1767542400")), MVTTimeWork::dateFormate(Json(1767542400)));
    EXPECT_EQ(MVTTimeWork::dateFormate(Json(kMidnight)), MVTTimeWork::dateFormate(Json(kMidnight - 86400 * 365)));
    // A row of the same month and day as the row above has no date column.
    EXPECT_EQ(row({{"dateline", kMidnight}})->dateText(), "");
    // The dot's colour comes from the random source: index 2 of the five.
    auto dotted = row({{"dateline", kMidnight}}, true);
    ASSERT_TRUE(dotted->dotView());
    EXPECT_EQ(dotted->dotView()->backgroundColor(), Color::rgb255(79, 193, 233));
}

TEST_F(TimeSpaceCellTest, TextMarkupHasEmoticonsHonorsLinesAndTheCutMark) {
    auto cell = row({{"content", "你好[em:7:]</br>"
                                 "<img src=\"http://x.y:80/static/images/honor/honor_meyo.gif\" class=\"honor-icon\"/>"},
                     {"more", 1}});
    auto text = std::dynamic_pointer_cast<HtmlTextView>(cell->contentView()->viewWithTag(MVTTimeSpaceCell::kTextTag));
    ASSERT_TRUE(text);
    const std::string& html = text->html();
    EXPECT_NE(html.find("src='7.png' width=16 height=16"), std::string::npos) << html;
    EXPECT_NE(html.find("src='honor_meyo.gif' width=32 height=32"), std::string::npos) << html;
    EXPECT_EQ(html.find("http://x.y"), std::string::npos) << html;
    EXPECT_EQ(html.rfind("<li>", 0), 0u) << html;
    EXPECT_NE(html.find("</li><li>"), std::string::npos) << html;
    EXPECT_NE(html.find("..."), std::string::npos) << html;
    // Without "more" nothing is appended.
    auto plain = row({{"content", "平常的一句话"}});
    auto plainText = std::dynamic_pointer_cast<HtmlTextView>(plain->contentView()->viewWithTag(MVTTimeSpaceCell::kTextTag));
    ASSERT_TRUE(plainText);
    EXPECT_EQ(plainText->html().find("..."), std::string::npos);
}

TEST_F(TimeSpaceCellTest, MoodPicturesLoadNothingAndPicturesReportTheirList) {
    auto cell = row({{"attachments", {picture(55), picture(881001)}}});
    ASSERT_EQ(cell->imageArray().size(), 2u);
    cell->tapImage();
    EXPECT_EQ(delegate->shown, cell->imageArray());
    pumpUntil([&] { return !service().requests().empty(); }, 2);
    for (const auto& request : service().requests()) EXPECT_EQ(request.path.find("/55"), std::string::npos);
}

TEST_F(TimeSpaceCellTest, SingleChoiceMovesAndSendsExactlyOne) {
    const Json vote = {{"id", 7101}, {"title", "周五做什么？"}, {"answerLimit", 1}, {"showResult", 0},
                       {"answerList", {{{"id", 1}, {"title", "看电影"}}, {{"id", 2}, {"title", "做手工"}}}}};
    auto cell = row({{"id", 510}, {"title", "活动"}, {"vote", vote}});
    ASSERT_EQ(cell->selectVoteArr().size(), 2u);
    cell->toSendVote(*cell->voteBtn());
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->title(), "需选择 1 项");
    AlertView::clearVisible();
    cell->toSelectVote(*cell->selectVoteArr()[0]);
    cell->toSelectVote(*cell->selectVoteArr()[1]);
    EXPECT_EQ(cell->voteArr(), std::vector<std::string>{"2"});
    EXPECT_FALSE(cell->selectVoteArr()[0]->isSelected());
    cell->toSendVote(*cell->voteBtn());
    EXPECT_EQ(delegate->votes, std::vector<std::string>{"510/7101/2/3"});
}

TEST_F(TimeSpaceCellTest, MultipleChoiceRefusesAFourthAndSendsInTappedOrder) {
    Json answers = Json::array();
    for (int i = 1; i <= 4; ++i) answers.push_back({{"id", i}, {"title", "选项" + std::to_string(i)}});
    const Json vote = {{"id", 7102}, {"title", "兴趣小组"}, {"answerLimit", 3}, {"showResult", 0}, {"answerList", answers}};
    auto cell = row({{"id", 511}, {"vote", vote}});
    for (int i : {3, 1, 2}) cell->toSelectVote(*cell->selectVoteArr()[std::size_t(i - 1)]);
    cell->toSelectVote(*cell->selectVoteArr()[3]);
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->title(), "最多选择 3 项");
    EXPECT_FALSE(cell->selectVoteArr()[3]->isSelected());
    cell->toSendVote(*cell->voteBtn());
    EXPECT_EQ(delegate->votes, std::vector<std::string>{"511/7102/3,1,2/3"});
}

TEST_F(TimeSpaceCellTest, ResultsShowSharesOnlyForAnswersWithVotes) {
    const Json vote = {{"id", 7103}, {"title", "春游地点"}, {"showResult", 1}, {"count", 8},
                       {"answerList", {{{"id", 1}, {"title", "植物园"}, {"count", 2}}, {{"id", 2}, {"title", "动物园"}, {"count", 0}}}}};
    auto cell = row({{"id", 512}, {"vote", vote}});
    std::vector<std::string> texts;
    std::function<void(const View&)> collect = [&](const View& view) {
        if (auto label = dynamic_cast<const Label*>(&view)) texts.push_back(label->text());
        for (const auto& sub : view.subviews()) collect(*sub);
    };
    collect(*cell->contentView());
    auto has = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
    EXPECT_TRUE(has(" 1. 植物园 25% 2票"));
    EXPECT_TRUE(has(" 2. 动物园 0票"));
    EXPECT_TRUE(has(" 总票数: 8票 "));
}

}  // namespace
