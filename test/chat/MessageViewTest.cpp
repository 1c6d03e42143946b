// The message view: its layout and measures for text, pictures and voice, where its
// thumbnails come from, and what it reports to its delegate.

#include "ChatFixture.h"

#include "chat/ChatView.h"
#include "chat/MVTMsgView.h"
#include "core/MVTPublicMethod.h"
#include "shell/MVTAppDelegate.h"
#include "shell/ViewViewController.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMeasure.h"

using Json = nlohmann::json;
using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class RecordingDelegate : public MsgShowImageDelegate {
public:
    void showImage(const Json& attachments, int index) override { shown.push_back({attachments, index}); }
    void playRecord(const std::optional<std::string>& id, Button&) override { played.push_back(id); }
    void toDownLoadAudioWith(Button& button) override { downloads.push_back(button.accessibilityHint()); }
    void longPressGestureWith(const std::string& id, const Json& message, int index) override {
        pressed.push_back({id, message, index});
    }
    std::vector<std::pair<Json, int>> shown;
    std::vector<std::optional<std::string>> played;
    std::vector<std::string> downloads;
    struct Press {
        std::string id;
        Json message;
        int index;
    };
    std::vector<Press> pressed;
};

Json pictureMessage(std::initializer_list<const char*> ids) {
    Json attachments = Json::array();
    for (const char* id : ids) attachments.push_back({{"id", id}, {"type", "image"}});
    return {{"id", 71}, {"sendTime", "1767000000"}, {"attachments", attachments}};
}

Json voiceMessage(const Json& duration) {
    return {{"id", 72},
            {"sendTime", "1767000000"},
            {"attachments", {{{"id", 900}, {"type", "audio"}, {"resModuleId", "880001"}, {"duration", duration}}}}};
}

double timeWidth(const Json& message) {
    std::string time = MVTAppDelegate::sharedAppDelegate()->getDateWith(textOf(message, "sendTime"));
    return TextMeasure::sizeWithFont(time, Font::systemFontOfSize(10), {140, 20}).width;
}

std::string png(const Color& colour) { return Image::imageWithColor(colour, {8, 8})->pngData(); }

class MessageViewTest : public testing_support::ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        signIn("1001", "teacher", "11,12");
        host = showRoot(std::make_shared<ViewViewController>());
        delegate = std::make_shared<RecordingDelegate>();
    }
    std::shared_ptr<MVTMsgView> make(const Json& message, int tag = 0) {
        auto view = std::make_shared<MVTMsgView>();
        view->setTag(tag);
        view->initWithFrame({10, 100, MVTMsgView::widthOfMessage(message), MVTMsgView::heightOfMessage(message)}, message,
                            "2001");
        view->setDelegate(delegate);
        host->view()->addSubview(view);
        driver->pump();
        return view;
    }
    std::shared_ptr<ViewViewController> host;
    std::shared_ptr<RecordingDelegate> delegate;
};

TEST_F(MessageViewTest, MeasuresAndPlacesTextPicturesAndVoice) {
    const Json text = {{"id", 70}, {"sendTime", "1767000000"}, {"msg", "明天带[em:1:]尺子"}};
    const auto pieces = ChatView::parserMessage("明天带[em:1:]尺子");
    const double textHeight = ChatView::heightOfStrings(pieces, 230);
    struct Case {
        const char* what;
        Json message;
        double height, width;
    };
    const Case cases[] = {
        {"two pictures", pictureMessage({"11", "12"}), 100, std::max(timeWidth(text) + 25, 160.0)},
        {"four pictures", pictureMessage({"11", "12", "13", "14"}), 180, 240},
        {"voice with a null duration", voiceMessage(nullptr), 40, std::max(timeWidth(text) + 25, 70.0)},
        {"text", text, textHeight + 20,
         std::max(timeWidth(text) + 25, ChatView::widthOfStrings(pieces, 230))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(MVTMsgView::heightOfMessage(c.message), c.height);
        EXPECT_DOUBLE_EQ(MVTMsgView::widthOfMessage(c.message), c.width);
        auto view = make(c.message);
        // The time sits 20 points above the bottom the measure gives.
        EXPECT_DOUBLE_EQ(view->timelb()->frame().y(), c.height - 20);
        EXPECT_DOUBLE_EQ(view->timelb()->frame().height(), 20);
    }

    auto pictures = make(pictureMessage({"11", "12", "13", "14"}));
    ASSERT_EQ(pictures->thumbnails().size(), 4u);
    EXPECT_EQ(pictures->thumbnails()[0]->frame(), Rect(5, 5, 70, 70));
    EXPECT_EQ(pictures->thumbnails()[1]->frame(), Rect(85, 5, 70, 70));
    EXPECT_EQ(pictures->thumbnails()[3]->frame(), Rect(5, 85, 70, 70));
    EXPECT_EQ(pictures->thumbnails()[3]->tag(), 3);

    auto voice = make(voiceMessage(nullptr));
    EXPECT_EQ(voice->durationLb()->text(), "0秒");
    EXPECT_EQ(voice->voiceButton()->frame(), voice->bounds());
    EXPECT_EQ(voice->imageV()->frame(), Rect(0, 0, 18, 18));

    auto withText = make(text);
    ASSERT_TRUE(withText->chatV());
    EXPECT_DOUBLE_EQ(withText->chatV()->frame().height(), textHeight);
    EXPECT_EQ(withText->chatV()->myTextColor(), Color::whiteColor());
}

TEST_F(MessageViewTest, DarkOnLightTurnsTheTextGreyAndTheVoiceDark) {
    Json message = voiceMessage(5);
    message["msg"] = "听一下";
    auto view = make(message);
    auto white = view->chatV();
    ASSERT_TRUE(white);
    view->chageVoiceImage();
    EXPECT_NE(view->chatV(), white);
    EXPECT_FALSE(white->superview());
    EXPECT_EQ(view->chatV()->frame(), white->frame());
    EXPECT_NE(view->chatV()->myTextColor(), Color::whiteColor());
    EXPECT_EQ(view->durationLb()->textColor(), Color::black());
    EXPECT_EQ(view->timelb()->textColor(), Color::white(0.6));
    EXPECT_EQ(view->imageV()->image(), Image::imageNamed("icon_52"));
    EXPECT_EQ(view->imageV()->animationImages().size(), 4u);
}

TEST_F(MessageViewTest, ThumbnailsComeFromTheFileThenTheDefaultsThenTheService) {
    const std::string fromFile = png(Color::red()), fromDefaults = png(Color::rgb255(0, 160, 0)),
                      fromService = png(Color::blue());
    ASSERT_TRUE(writeFileAtomically(Paths::documentsDirectory() / "41", fromFile));
    UserDefaults::standard().setData("42", fromDefaults);
    service().route("GET", "resource/view/img_thumb/%@",
                    [fromService](const RecordedRequest&) { return Reply::text(fromService, "image/png"); });
    // "../41" names no file: it is fetched like any id missing from both.
    auto view = make(pictureMessage({"41", "42", "43", "../41"}));
    const auto& pictures = view->thumbnails();
    EXPECT_EQ(pictures[0]->image()->pngData(), Image::imageWithData(fromFile)->pngData());
    EXPECT_EQ(pictures[1]->image()->pngData(), Image::imageWithData(fromDefaults)->pngData());
    ASSERT_TRUE(waitFor([&] {
        return pictures[2]->image()->pngData() == Image::imageWithData(fromService)->pngData() &&
               pictures[3]->image()->pngData() == Image::imageWithData(fromService)->pngData();
    }));
    EXPECT_FALSE(service().lastRequest("/resource/view/img_thumb/41"));
    EXPECT_FALSE(service().lastRequest("/resource/view/img_thumb/42"));
    auto fetched = service().lastRequest("/resource/view/img_thumb/43");
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->queryValue("size"), "m");
    EXPECT_TRUE(fetched->queryValue("token"));
    // What came is kept in the defaults, also under an id that names no file.
    EXPECT_EQ(UserDefaults::standard().dataForKey("43"), fromService);
    EXPECT_EQ(UserDefaults::standard().dataForKey("../41"), fromService);
    EXPECT_FALSE(std::filesystem::exists(Paths::documentsDirectory() / "43"));
}

TEST_F(MessageViewTest, AFailedThumbnailKeepsThePlaceholderAndStoresNothing) {
    service().route("GET", "resource/view/img_thumb/%@",
                    [](const RecordedRequest&) { return Reply::text("not a picture", "text/plain"); });
    auto view = make(pictureMessage({"44"}));
    ASSERT_TRUE(waitFor([&] { return service().lastRequest("/resource/view/img_thumb/44").has_value(); }));
    driver->settle();
    EXPECT_EQ(view->thumbnails()[0]->image(), Image::imageNamed("default_user"));
    EXPECT_FALSE(UserDefaults::standard().hasKey("44"));
}

TEST_F(MessageViewTest, TapsAndPressesGoToTheDelegate) {
    auto pictures = make(pictureMessage({"11", "12"}), 7);
    driver->tap(pictures->thumbnails()[1]);
    ASSERT_EQ(delegate->shown.size(), 1u);
    EXPECT_EQ(delegate->shown[0].second, 1);
    EXPECT_EQ(delegate->shown[0].first, pictures->myDict()["attachments"]);
    driver->longPress(pictures);
    ASSERT_EQ(delegate->pressed.size(), 1u);
    EXPECT_EQ(delegate->pressed[0].id, "71");
    EXPECT_EQ(delegate->pressed[0].index, 7);

    // A clip not yet downloaded is asked for; a downloaded one plays, then stops.
    auto voice = make(voiceMessage(3));
    voice->selfplayVedio(*voice->voiceButton());
    EXPECT_EQ(delegate->downloads, std::vector<std::string>{"880001"});
    ASSERT_TRUE(writeFileAtomically(MVTPublicMethod::getPathByFileName("880001", "wav"), "RIFF"));
    voice->selfplayVedio(*voice->voiceButton());
    voice->selfplayVedio(*voice->voiceButton());
    ASSERT_EQ(delegate->played.size(), 2u);
    EXPECT_EQ(delegate->played[0], "880001");
    EXPECT_FALSE(delegate->played[1]);

    // The delegate is held weakly: once gone, taps reach nobody.
    delegate.reset();
    voice->selfplayVedio(*voice->voiceButton());
    pictures->tapImage(0);
}

}  // namespace
