// One announcement card: the picture grid by count, the thumbnails' 7-day cache, the
// body's line breaks, the voice and file buttons and what the card asks of its list.

#include "ContactsFixture.h"

#include "contacts/MVTGongGaoTableViewCell.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <filesystem>

#include <utime.h>

using Json = nlohmann::json;

namespace {

class RecordingGongGaoList : public MVTGongGaoCellDelegate {
public:
    void toDownLoadAudioWith(const std::string& resourceId, int row) override {
        calls.push_back("download " + resourceId + " " + std::to_string(row));
    }
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override {
        calls.push_back("file " + resourceId + " " + name + " " + type);
    }
    void showImage(const Json& pictures, int index) override {
        shown = pictures;
        calls.push_back("show " + std::to_string(index));
    }
    void playRecord(const std::optional<std::string>& resourceId, int row) override {
        calls.push_back("play " + resourceId.value_or("-") + " " + std::to_string(row));
    }
    void deleteGonggao(int row) override { calls.push_back("delete " + std::to_string(row)); }

    std::vector<std::string> calls;
    Json shown;
};

Json pictures(int count, int first = 890201) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i) list.push_back({{"type", "image"}, {"id", std::to_string(first + i)}});
    return list;
}

Json announcement(const Json& attachments, const std::string& content = "内容") {
    return {{"id", 7}, {"rescourseId", 70}, {"title", "标题"}, {"name", "王老师"}, {"dateline", 1765000000},
            {"content", content}, {"attachmentList", attachments}};
}

class GongGaoCellTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher");
        W = platform::Screen::mainScreen().bounds().width();
    }
    std::shared_ptr<MVTGongGaoTableViewCell> make(const Json& row, const std::string& type = "0") {
        return MVTGongGaoTableViewCell::initCellWithDic(row, 3, type, recorder);
    }
    static std::vector<std::shared_ptr<platform::ImageView>> grid(MVTGongGaoTableViewCell& cell) {
        std::vector<std::shared_ptr<platform::ImageView>> found;
        for (auto& view : cell.card()->subviews())
            if (auto image = std::dynamic_pointer_cast<platform::ImageView>(view); image && !image->accessibilityValue().empty())
                found.push_back(image);
        return found;
    }
    std::vector<sample_service::RecordedRequest> thumbnailRequests() {
        std::vector<sample_service::RecordedRequest> found;
        for (const auto& request : service().requests())
            if (request.path.rfind("/resource/view/img_thumb/", 0) == 0) found.push_back(request);
        return found;
    }

    static void setModified(const std::string& path, double seconds) {
        utimbuf times{time_t(seconds), time_t(seconds)};
        ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }

    double W = 320;
    std::shared_ptr<RecordingGongGaoList> recorder = std::make_shared<RecordingGongGaoList>();
};

TEST_F(GongGaoCellTest, PicturesAreLaidOutInColumnsByTheirCount) {
    struct Case {
        int count;
        int columns;
        int shown;
        int rows;
    };
    for (const Case& c : {Case{1, 1, 1, 1}, Case{2, 2, 2, 1}, Case{3, 3, 3, 1}, Case{4, 2, 4, 2}, Case{5, 3, 5, 2},
                          Case{10, 3, 9, 3}}) {
        SCOPED_TRACE(c.count);
        const double side = c.columns == 1 ? W - 40 : c.columns == 2 ? (W - 43) / 2 : (W - 46) / 3;
        auto bare = make(announcement(Json::array()));
        auto cell = make(announcement(pictures(c.count)));
        const auto views = grid(*cell);
        ASSERT_EQ(int(views.size()), c.shown);
        const double top = views[0]->frame().y();
        for (int i = 0; i < c.shown; ++i) {
            const auto frame = views[std::size_t(i)]->frame();
            EXPECT_DOUBLE_EQ(frame.x(), 10 + (side + 3) * (i % c.columns));
            EXPECT_DOUBLE_EQ(frame.y(), top + (side + 3) * (i / c.columns));
            EXPECT_DOUBLE_EQ(frame.width(), side);
            EXPECT_EQ(views[std::size_t(i)]->tag(), i);
        }
        // The grid adds its rows and a 5-point gap to the row's height.
        EXPECT_DOUBLE_EQ(cell->frame().height() - bare->frame().height(), c.rows * side + 3 * (c.rows - 1) + 5);
        EXPECT_DOUBLE_EQ(cell->frame().height(), cell->card()->frame().height() + 10);
    }
}

TEST_F(GongGaoCellTest, ATappedPictureHandsEveryPictureToTheList) {
    auto cell = make(announcement(pictures(10)));
    cell->tapImage(8);
    ASSERT_EQ(recorder->calls, std::vector<std::string>{"show 8"});
    EXPECT_EQ(recorder->shown.size(), 10u);
}

TEST_F(GongGaoCellTest, AFreshThumbnailIsUsedAndAStaleOneFetchedAndReplaced) {
    const std::string fresh = MVTGongGaoTableViewCell::thumbnailFile("890201");
    const std::string stale = MVTGongGaoTableViewCell::thumbnailFile("890202");
    const auto picture = platform::Image::imageWithColor(platform::Color::rgb255(200, 0, 0), {8, 8})->pngData();
    ASSERT_TRUE(platform::writeFileAtomically(fresh, picture));
    ASSERT_TRUE(platform::writeFileAtomically(stale, picture));
    // One file written a day ago, the other eight days ago (by the app's clock).
    setModified(fresh, platform::now() - 86400);
    setModified(stale, platform::now() - 8 * 86400);
    service().clearRequests();
    auto cell = make(announcement(pictures(2)));
    ASSERT_TRUE(waitFor([&] { return thumbnailRequests().size() == 1; }));
    EXPECT_EQ(thumbnailRequests()[0].path, "/resource/view/img_thumb/890202");
    EXPECT_EQ(thumbnailRequests()[0].queryValue("size"), "m");
    ASSERT_TRUE(waitFor([&] {
        auto bytes = platform::readFile(stale);
        return bytes && *bytes != picture;
    }));
    const auto views = grid(*cell);
    ASSERT_TRUE(waitFor([&] { return views[0]->image() && views[1]->image(); }));
}

TEST_F(GongGaoCellTest, AThumbnailThatIsNoPictureWritesNoFile) {
    service().setReply("GET", "resource/view/img_thumb/890299", sample_service::Reply::text("没有找到资源", "text/plain"));
    auto cell = make(announcement(pictures(1, 890299)));
    ASSERT_TRUE(waitFor([&] { return thumbnailRequests().size() == 1; }));
    driver->pump();
    EXPECT_FALSE(platform::fileExists(MVTGongGaoTableViewCell::thumbnailFile("890299")));
    EXPECT_FALSE(grid(*cell)[0]->image());
}

TEST_F(GongGaoCellTest, LineBreaksOfTheBodyBecomeListItems) {
    EXPECT_EQ(MVTGongGaoTableViewCell::bodyMarkup("一</br>二"),
              "<li>一<span style=\"color:white;\">.</span></li><li>二</li>");
    EXPECT_EQ(MVTGongGaoTableViewCell::bodyMarkup("没有换行"), "没有换行");
    auto two = make(announcement(Json::array(), "一</br>二"));
    auto one = make(announcement(Json::array(), "一二"));
    EXPECT_GT(two->frame().height(), one->frame().height());
}

TEST_F(GongGaoCellTest, OnlyTheFirstVoiceShowsAndANullLengthShowsNoLabel) {
    const Json voices = {{{"type", "audio"}, {"resModuleId", "880002"}, {"duration", nullptr}},
                         {{"type", "audio"}, {"resModuleId", "880001"}, {"duration", 1}}};
    auto cell = make(announcement(voices));
    ASSERT_TRUE(cell->recordBtn());
    EXPECT_EQ(cell->recordUrl(), "880002");
    int voiceButtons = 0;
    for (auto& view : cell->card()->subviews())
        if (view->tag() == MVTGongGaoTableViewCell::kRecordButtonTag) ++voiceButtons;
    EXPECT_EQ(voiceButtons, 1);
    for (auto& view : cell->recordBtn()->subviews()) EXPECT_FALSE(std::dynamic_pointer_cast<platform::Label>(view));
    // The voice button lies inside the card.
    EXPECT_LE(cell->recordBtn()->frame().maxY(), cell->card()->frame().height());
    // Not on the device yet: the list downloads it.
    cell->selfplayrecord(*cell->recordBtn());
    EXPECT_EQ(recorder->calls, std::vector<std::string>{"download 880002 3"});
}

TEST_F(GongGaoCellTest, FileButtonsHandTheLowerCaseTypeAndKeepTheLabelAsSent) {
    auto cell = make(announcement({{{"type", "PDF"}, {"resModuleId", "880009"}, {"name", "计划"}},
                                   {{"type", "docx"}, {"resModuleId", "880005"}, {"name", "信"}}}));
    std::vector<std::shared_ptr<platform::Button>> files;
    for (auto& view : cell->card()->subviews())
        if (auto button = std::dynamic_pointer_cast<platform::Button>(view); button && !button->accessibilityHint().empty())
            files.push_back(button);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_DOUBLE_EQ(files[1]->frame().y() - files[0]->frame().y(), 45);
    auto first = std::dynamic_pointer_cast<platform::Label>(files[0]->viewWithTag(MVTGongGaoTableViewCell::kFileLabelTag));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), "计划.PDF");
    cell->toDownLoadAttachWith(*files[0]);
    EXPECT_EQ(recorder->calls, std::vector<std::string>{"file 880009 计划 pdf"});
}

TEST_F(GongGaoCellTest, TheDeleteButtonFollowsTheMemberType) {
    EXPECT_FALSE(make(announcement(Json::array()), "0")->deleteBtn());
    for (const char* type : {"1", "2", "-1"}) {
        auto cell = make(announcement(Json::array()), type);
        ASSERT_TRUE(cell->deleteBtn()) << type;
        EXPECT_EQ(cell->deleteBtn()->frame(), platform::Rect(W - 70, cell->deleteBtn()->frame().y(), 40, 20));
        cell->deleteGonggao();
    }
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"delete 3", "delete 3", "delete 3"}));
}

}  // namespace
