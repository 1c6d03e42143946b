#include "platform/Markup.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"
#include "support/ServiceFixture.h"

#include <cmath>

using namespace platform;

namespace {

class HtmlTextViewTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        HtmlLayout::clearCache();
        LazyImageView::clearCache();
    }
    static std::shared_ptr<const HtmlLayout> lay(const std::string& markup, double width = 200,
                                                 const HtmlTextOptions& options = {}) {
        return HtmlLayout::layoutFor(markup, options, width);
    }
    // Whether any pixel of the picture is close to the colour.
    static bool shows(const Image& image, Color color) {
        for (int y = 0; y < image.pixelHeight(); ++y)
            for (int x = 0; x < image.pixelWidth(); ++x) {
                Color c = image.colorAt(x, y);
                if (c.a > 0.9 && std::abs(c.r - color.r) < 0.08 && std::abs(c.g - color.g) < 0.08 &&
                    std::abs(c.b - color.b) < 0.08)
                    return true;
            }
        return false;
    }
};

TEST_F(HtmlTextViewTest, OnlyTheAllowedElementsShapeTheText) {
    struct Case {
        const char* markup;
        const char* text;
    };
    const Case cases[] = {
        {"plain   text\n with  spaces ", "plain text with spaces"},
        {"<p>one</p><p>two</p>", "one\ntwo"},
        {"a<br>b<br/><br>c", "a\nb\n\nc"},
        {"<div>x</div>y<div>z</div>", "x\ny\nz"},
        {"<li>first</li><li>second</li>", "first\nsecond"},
        {"<ul><li>a</li><li>b</li></ul>", "\xE2\x80\xA2 a\n\xE2\x80\xA2 b"},
        {"<b>bold</b> and <i>italic</i>", "bold and italic"},
        {"<span style=\"color:red\">red</span> text", "red text"},
        {"<table><tr><td>cell</td></tr></table>", "cell"},
        {"before<script>alert(1)</script>after", "beforeafter"},
        {"<style>p{color:red}</style><iframe src='http://x/'>f</iframe><object>o</object>ok", "ok"},
        {"&lt;b&gt; &amp; &quot;", "<b> & \""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(lay(c.markup)->plainText(), c.text) << c.markup;
}

TEST_F(HtmlTextViewTest, EscapedServiceValuesStayText) {
    const std::string name = "<b>x</b><img src='http://127.0.0.1:1/spy.png'>";
    auto layout = lay("<span style=\"color:rgb(60, 129, 151);\">" + escapeHtml(name) + " </span>said");
    EXPECT_EQ(layout->plainText(), name + " said");
    EXPECT_TRUE(layout->attachments().empty());
}

TEST_F(HtmlTextViewTest, PicturesComeFromTheApplicationOrTheWebOnly) {
    auto layout = lay("a<img style=\"vertical-align:middle;\" src='load_1.png' width=16 height=16/>"
                      "<img src='http://example.invalid/p.png' width=100 height=50>"
                      "<img src='file:///etc/passwd' width=10 height=10>"
                      "<img src='../../secret.png'>b");
    ASSERT_EQ(layout->attachments().size(), 4u);
    const auto& face = layout->attachments()[0];
    EXPECT_TRUE(face.image);
    EXPECT_TRUE(face.middle);
    EXPECT_DOUBLE_EQ(face.frame.width(), 16);
    EXPECT_DOUBLE_EQ(face.frame.height(), 16);
    const auto& remote = layout->attachments()[1];
    EXPECT_FALSE(remote.image);
    EXPECT_EQ(remote.remoteUrl, "http://example.invalid/p.png");
    // Kept in proportion within 36 x 36.
    EXPECT_DOUBLE_EQ(remote.frame.width(), 36);
    EXPECT_DOUBLE_EQ(remote.frame.height(), 18);
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_FALSE(layout->attachments()[i].image);
        EXPECT_TRUE(layout->attachments()[i].remoteUrl.empty());
    }
    EXPECT_EQ(layout->plainText(), "ab");
    // Pictures sit in the text: the first after "a", the second after the first.
    EXPECT_GT(face.frame.x(), 0);
    EXPECT_GE(remote.frame.x(), face.frame.maxX());
}

TEST_F(HtmlTextViewTest, LinksReportTheirAddressAndBoxes) {
    HtmlTextOptions options;
    options.linkColor = Color::rgb255(0x3C, 0x81, 0x97);
    options.underlineLinks = false;
    auto layout = lay("see <a href=\"http://example.invalid/page\" id=\"l1\">the page</a> now", 300, options);
    ASSERT_EQ(layout->links().size(), 1u);
    const auto& link = layout->links()[0];
    EXPECT_EQ(link.url, "http://example.invalid/page");
    EXPECT_EQ(link.identifier, "l1");
    ASSERT_EQ(link.rects.size(), 1u);
    EXPECT_GT(link.rects[0].x(), 10);
    EXPECT_GT(link.rects[0].width(), 20);
    // A link that wraps has a box on each line.
    auto wrapped = lay("<a href=\"http://x.invalid/\">word word word word word word</a>", 60, options);
    EXPECT_GT(wrapped->links()[0].rects.size(), 1u);
}

TEST_F(HtmlTextViewTest, HeightFollowsWidthAndLayoutsAreReused) {
    const std::string text = "<li>a line of text that wraps when the width is small</li><li>second</li>";
    HtmlTextOptions big;
    big.textSizeMultiplier = 1.2;
    auto wide = lay(text, 400, big);
    auto narrow = lay(text, 100, big);
    EXPECT_GT(wide->height(), 0);
    EXPECT_GT(narrow->height(), wide->height());
    EXPECT_EQ(wide->height(), std::ceil(wide->height()));
    auto smaller = lay(text, 400);
    EXPECT_LT(smaller->height(), wide->height());
    EXPECT_EQ(lay("")->height(), 0);

    const auto made = HtmlLayout::layoutsMade();
    EXPECT_EQ(lay(text, 400, big), wide);
    auto view = std::make_shared<HtmlTextView>(Rect(0, 0, 400, 40));
    view->setHtml(text, big);
    EXPECT_EQ(view->contentHeightForWidth(400), wide->height());
    EXPECT_EQ(view->displayedText(), "a line of text that wraps when the width is small\nsecond");
    EXPECT_EQ(HtmlLayout::layoutsMade(), made);
}

TEST_F(HtmlTextViewTest, RendersColoursAndApplicationPictures) {
    auto view = std::make_shared<HtmlTextView>(Rect(0, 0, 200, 60));
    view->setBackgroundColor(Color::whiteColor());
    HtmlTextOptions options;
    options.textSizeMultiplier = 2;
    options.textColor = Color::rgb255(0x77, 0x77, 0x77);
    view->setHtml("<span style=\"color:#ff0000;\">RED</span> <span style=\"color:rgb(0, 0, 255)\">BLUE</span> "
                  "<span style=\"color:cornflowerblue;\">MORE</span>",
                  options);
    view->setFrame({0, 0, 200, view->contentHeightForWidth(200)});
    auto picture = Renderer::render(*view, view->bounds().size, 1);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(shows(*picture, Color::red()));
    EXPECT_TRUE(shows(*picture, Color::blue()));
    EXPECT_TRUE(shows(*picture, Color::rgb255(100, 149, 237)));
    EXPECT_TRUE(Renderer::writePNG(*view, home_ / "html.png"));

    // Without a delegate every picture gets an image view at its place.
    auto withPicture = std::make_shared<HtmlTextView>(Rect(0, 0, 200, 40));
    withPicture->setHtml("x<img src='load_1.png' width=20 height=20>", {});
    withPicture->layoutIfNeeded();
    ASSERT_EQ(withPicture->subviews().size(), 1u);
    auto image = std::dynamic_pointer_cast<LazyImageView>(withPicture->subviews()[0]);
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->image());
    EXPECT_EQ(image->frame(), withPicture->layout()->attachments()[0].frame);
}

// A delegate that offers its own views and records what it was asked.
class Owner : public HtmlTextViewDelegate {
public:
    std::shared_ptr<View> viewForLink(HtmlTextView&, const HtmlLink& link, const Rect&) override {
        links.push_back(link.url);
        return std::make_shared<View>();
    }
    std::shared_ptr<View> viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment, const Rect&) override {
        sources.push_back(attachment.source);
        return attachment.image ? std::make_shared<View>() : nullptr;
    }
    std::vector<std::string> links, sources;
};

TEST_F(HtmlTextViewTest, DelegateSuppliesLinkAndPictureViews) {
    auto owner = std::make_shared<Owner>();
    auto view = std::make_shared<HtmlTextView>(Rect(0, 0, 200, 40));
    view->setDelegate(owner);
    view->setHtml("<a href=\"http://a.invalid/\">a</a><img src='load_1.png'><img src='nosuchpicture.png'>", {});
    view->layoutIfNeeded();
    EXPECT_EQ(owner->links, std::vector<std::string>{"http://a.invalid/"});
    EXPECT_EQ(owner->sources, (std::vector<std::string>{"load_1.png", "nosuchpicture.png"}));
    EXPECT_EQ(view->subviews().size(), 2u);
    // Laying out again at the same width asks nothing more.
    view->setNeedsLayout();
    view->layoutIfNeeded();
    EXPECT_EQ(owner->sources.size(), 2u);
}

class LazyImageViewTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        LazyImageView::clearCache();
    }
};

TEST_F(LazyImageViewTest, WebPicturesLoadOnScreenWithinTheirSizeBound) {
    auto png = Image::imageWithColor(Color::red(), {8, 8})->pngData();
    service().setReply("GET", "/small.png", sample_service::Reply::text(png, "image/png"));
    service().setReply("GET", "/huge.png",
                       sample_service::Reply::text(std::string(LazyImageView::kMaxBytes + 1, 'x'), "image/png"));
    auto screen = std::make_shared<ViewController>();
    UiDriver driver;
    driver.show(screen);
    auto view = std::make_shared<HtmlTextView>(Rect(0, 0, 200, 40));
    view->setHtml("<img src='" + baseUrl() + "small.png'><img src='" + baseUrl() + "huge.png'>", {});
    screen->view()->addSubview(view);
    view->layoutIfNeeded();
    ASSERT_EQ(view->subviews().size(), 2u);
    auto small = std::dynamic_pointer_cast<LazyImageView>(view->subviews()[0]);
    auto huge = std::dynamic_pointer_cast<LazyImageView>(view->subviews()[1]);
    ASSERT_TRUE(pumpUntil([&] { return small->image() != nullptr && !huge->isLoading(); }));
    EXPECT_EQ(small->image()->pixelWidth(), 8);
    EXPECT_FALSE(huge->image());
    // A view made again for the same address shows the picture without asking again.
    const auto requests = service().requestCount();
    auto again = std::make_shared<LazyImageView>(Rect(0, 0, 8, 8));
    again->setUrl(baseUrl() + "small.png");
    EXPECT_TRUE(again->image());
    again->startLoading();
    EXPECT_EQ(service().requestCount(), requests);
    // Other addresses are never fetched.
    auto local = std::make_shared<LazyImageView>(Rect(0, 0, 8, 8));
    local->setUrl("file:///etc/hostname");
    local->startLoading();
    EXPECT_FALSE(local->isLoading());
}

}  // namespace
