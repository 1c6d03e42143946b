#include "support/ServiceFixture.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

struct WebRecorder : WebViewDelegate {
    std::vector<std::string> events;
    std::vector<std::string> asked;
    std::vector<WebViewNavigationType> types;
    std::optional<HttpError> error;
    std::string refuse;  // an address this delegate refuses

    bool webViewShouldStartLoadWithRequest(WebView&, const UrlRequest& request, WebViewNavigationType type) override {
        asked.push_back(request.url());
        types.push_back(type);
        return request.url() != refuse;
    }
    void webViewDidStartLoad(WebView&) override { events.push_back("start"); }
    void webViewDidFinishLoad(WebView&) override { events.push_back("finish"); }
    void webViewDidFailLoadWithError(WebView&, const HttpError& e) override {
        events.push_back("fail");
        error = e;
    }
    bool ended() const {
        return !events.empty() && (events.back() == "finish" || events.back() == "fail");
    }
};

struct Bridge : ScriptObject {
    std::vector<std::pair<std::string, std::vector<std::string>>> calls;
    bool callFromScript(const std::string& operation, const std::vector<std::string>& arguments) override {
        calls.emplace_back(operation, arguments);
        return operation == "goBack" || operation == "say";
    }
};

class WebViewTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        web = std::make_shared<WebView>(Rect(0, 0, 320, 480));
        delegate = std::make_shared<WebRecorder>();
        web->setDelegate(delegate);
    }
    void load(const std::string& url) {
        delegate->events.clear();
        web->loadRequest(UrlRequest(url));
        ASSERT_TRUE(pumpUntil([&] { return delegate->ended(); })) << url;
    }
    void serve(const std::string& path, const std::string& html) {
        service().route("GET", path, [html](const RecordedRequest&) { return Reply::text(html, "text/html; charset=utf-8"); });
    }
    std::shared_ptr<ImageView> pictureWithSource(const std::string& src) {
        for (auto& view : web->scrollView()->subviews())
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view); picture && picture->accessibilityValue() == src)
                return picture;
        return nullptr;
    }

    std::shared_ptr<WebView> web;
    std::shared_ptr<WebRecorder> delegate;
};

TEST_F(WebViewTest, LoadsAPageShowingItsTitleTextLinksAndPicturesWithoutRunningItsScripts) {
    load(baseUrl() + "pages/advert");
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
    ASSERT_EQ(web->loadedRequests().size(), 1u);
    EXPECT_EQ(web->loadedRequests()[0].url(), baseUrl() + "pages/advert");
    EXPECT_TRUE(service().lastRequest("/pages/advert"));
    // The page's script would have changed the title.
    EXPECT_EQ(web->pageTitle(), "春季开放日");
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.title"), "春季开放日");
    EXPECT_EQ(web->pageText(),
              "春季开放日\n欢迎家长走进课堂，和孩子一起度过一个上午。\n上午九点：升旗仪式与班级展示。\n"
              "十点半：亲子阅读。\n关闭页面");
    // The picture without an address is skipped and does not shift the others.
    EXPECT_EQ(web->imageSources(), (std::vector<std::string>{baseUrl() + "pages/pictures/1.png",
                                                             baseUrl() + "pages/pictures/2.png",
                                                             baseUrl() + "pages/pictures/3.png"}));
    EXPECT_EQ(web->linkAddresses(), (std::vector<std::string>{"closewebview:"}));
    EXPECT_EQ(web->evaluatedScripts(), (std::vector<std::string>{"document.title"}));
}

TEST_F(WebViewTest, FetchesThePicturesOfThePageAfterItFinished) {
    load(baseUrl() + "pages/advert");
    auto second = pictureWithSource(baseUrl() + "pages/pictures/2.png");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->frame().size, (Size{240, 160}));
    ASSERT_TRUE(pumpUntil([&] { return second->image() != nullptr; }));
    EXPECT_EQ(second->image()->pixelWidth(), 240);
    EXPECT_EQ(second->image()->colorAt(10, 10), Color::rgb255(58, 145, 32));
}

TEST_F(WebViewTest, TheDelegateRefusesANavigationAndNothingIsLoaded) {
    delegate->refuse = "closewebview:";
    web->loadRequest(UrlRequest("closewebview:"));
    pumpUntil([] { return true; });
    EXPECT_TRUE(web->loadedRequests().empty());
    EXPECT_TRUE(delegate->events.empty());
    EXPECT_EQ(delegate->asked, (std::vector<std::string>{"closewebview:"}));

    // The same from a link of a loaded page, found and tapped on screen.
    load(baseUrl() + "pages/advert");
    delegate->events.clear();
    UiDriver driver;
    auto screen = std::make_shared<ViewController>();
    driver.show(screen);
    screen->view()->addSubview(web);
    web->scrollView()->setContentOffset({0, web->scrollView()->contentSize().height - web->bounds().height()});
    ASSERT_TRUE(driver.tapText("关闭页面"));
    driver.pump();
    EXPECT_EQ(delegate->asked.back(), "closewebview:");
    EXPECT_EQ(delegate->types.back(), WebViewNavigationType::LinkClicked);
    EXPECT_EQ(web->loadedRequests().size(), 1u);
    EXPECT_TRUE(delegate->events.empty());
    EXPECT_EQ(web->pageTitle(), "春季开放日");
}

TEST_F(WebViewTest, AnAddressThatIsNotAValidAddressTextStartsNothing) {
    for (const std::string bad : {"", "http://127.0.0.1/a b", "http://127.0.0.1/页面", "http://x/%zz", "http://x/<a>"}) {
        web->loadRequest(UrlRequest(bad));
        EXPECT_FALSE(WebView::isValidAddress(bad)) << bad;
    }
    pumpUntil([] { return true; });
    EXPECT_TRUE(web->loadedRequests().empty());
    EXPECT_TRUE(delegate->asked.empty());
    EXPECT_TRUE(delegate->events.empty());
    EXPECT_TRUE(WebView::isValidAddress("http://127.0.0.1/a%20b?x=1&y=%E4%B8%AD#top"));
}

TEST_F(WebViewTest, EscapingMakesAnAddressValidAndKeepsItsPunctuation) {
    const std::string raw = "http://h/report/7?name=王 老师&type=feed#x";
    const std::string escaped = WebView::addingPercentEscapes(raw);
    EXPECT_EQ(escaped, "http://h/report/7?name=%E7%8E%8B%20%E8%80%81%E5%B8%88&type=feed#x");
    EXPECT_TRUE(WebView::isValidAddress(escaped));
    EXPECT_EQ(WebView::addingPercentEscapes("a%b"), "a%25b");
    EXPECT_EQ(WebView::fileUrlWithPath("/tmp/我的 文件#1.txt"), "file:///tmp/%E6%88%91%E7%9A%84%20%E6%96%87%E4%BB%B6%231.txt");
}

TEST_F(WebViewTest, ALoadWithoutAReplyFailsAndAnErrorStatusShowsItsPage) {
    load("http://127.0.0.1:1/nothing-here");
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "fail"}));
    ASSERT_TRUE(delegate->error);
    EXPECT_FALSE(web->isLoading());

    service().route("GET", "pages/missing", [](const RecordedRequest&) {
        return Reply::text("<html><head><title>找不到</title></head><body>没有这个页面</body></html>",
                           "text/html; charset=utf-8", 404);
    });
    load(baseUrl() + "pages/missing");
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
    EXPECT_EQ(web->pageTitle(), "找不到");
    EXPECT_EQ(web->pageText(), "没有这个页面");

    load("tel:10086");
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "fail"}));
    EXPECT_EQ(delegate->error->kind, HttpError::Kind::BadUrl);
}

TEST_F(WebViewTest, LocalFilesShowByTheirKindAndTextIsNeverMarkup) {
    const auto text = home_ / "note.txt";
    ASSERT_TRUE(writeFileAtomically(text, "第一行 <b>粗</b> & <script>x()</script>\n第二行"));
    load(WebView::fileUrlWithPath(text.string()));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
    EXPECT_EQ(web->pageText(), "第一行 <b>粗</b> & <script>x()</script>\n第二行");
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.body.innerHTML"),
              "<pre>第一行 &lt;b&gt;粗&lt;/b&gt; &amp; &lt;script&gt;x()&lt;/script&gt;\n第二行</pre>");

    const auto page = home_ / "page.html";
    ASSERT_TRUE(writeFileAtomically(page, "<html><head><title>本地</title></head><body><p>你好</p><img src='a.png'></body></html>"));
    load(WebView::fileUrlWithPath(page.string()));
    EXPECT_EQ(web->pageTitle(), "本地");
    EXPECT_EQ(web->imageSources(), (std::vector<std::string>{"a.png"}));

    const auto document = home_ / "report.doc";
    ASSERT_TRUE(writeFileAtomically(document, std::string("\xd0\xcf\x11\xe0 binary", 11)));
    load(WebView::fileUrlWithPath(document.string()));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
    EXPECT_EQ(web->pageText(), "report.doc");

    load(WebView::fileUrlWithPath((home_ / "gone.txt").string()));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "fail"}));
}

TEST_F(WebViewTest, AStringLoadShowsTheMarkupItIsGivenAndReportsStartAndFinish) {
    web->loadHTMLString("<html><body><h1>标题</h1><pre style='font-size:300%'>a &lt;b&gt;\n  c</pre>"
                        "<ul><li>一</li><li>二</li></ul></body></html>",
                        "");
    EXPECT_TRUE(delegate->events.empty());  // the start comes on the next turn of the loop
    ASSERT_TRUE(pumpUntil([&] { return delegate->ended(); }));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
    EXPECT_EQ(delegate->asked, (std::vector<std::string>{"about:blank"}));
    EXPECT_EQ(web->pageText(), "标题\na <b>\n  c\n• 一\n• 二");
}

TEST_F(WebViewTest, AScaledPageWithoutADeviceWidthViewportIsShrunkToTheViewsWidth) {
    const std::string body = "<body><img src='/p.png' width='490' height='245'></body>";
    struct Case {
        std::string head;
        bool scales;
        Size size;
    };
    for (const Case& c : {Case{"", true, {160, 80}}, Case{"", false, {304, 152}},
                          Case{"<meta name='viewport' content='width=device-width'>", true, {304, 152}}}) {
        web->setScalesPageToFit(c.scales);
        web->loadHTMLString("<html><head>" + c.head + "</head>" + body + "</html>", "http://127.0.0.1:1/");
        ASSERT_TRUE(pumpUntil([&] { return web->imageSources().size() == 1 && !web->isLoading(); }));
        auto picture = pictureWithSource("/p.png");
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->frame().size, c.size) << c.head << c.scales;
    }
}

TEST_F(WebViewTest, ThePictureAtAPointGivesItsResolvedAddress) {
    web->loadHTMLString("<html><head><meta name='viewport' content='width=device-width'></head><body>"
                        "<img src='/one.png' width='100' height='100'><img src='two.png' width='100' height='100'>"
                        "<p>文字</p></body></html>",
                        "http://127.0.0.1:1/pages/");
    ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
    auto two = pictureWithSource("two.png");
    ASSERT_NE(two, nullptr);
    const Point inside = two->center();
    char script[96];
    std::snprintf(script, sizeof script, "document.elementFromPoint(%f, %f).src", inside.x, inside.y);
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString(script), "http://127.0.0.1:1/pages/two.png");
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.elementFromPoint(300.000000, 5.000000).src"), "");
    // Scrolled down, the same viewport point lies over another part of the page.
    web->scrollView()->setContentOffset({0, 100});
    std::snprintf(script, sizeof script, "document.elementFromPoint(%f, %f).src", inside.x, inside.y - 100);
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString(script), "http://127.0.0.1:1/pages/two.png");
}

TEST_F(WebViewTest, PageScriptsReachOnlyTheObjectsOfferedToThem) {
    auto bridge = std::make_shared<Bridge>();
    web->addJavascriptInterfaces(bridge, "serverinfo");
    web->loadHTMLString("<body><a href='javascript:serverinfo.goBack()'>返回</a>"
                        "<a href='javascript:other.goBack()'>别的</a></body>",
                        "");
    ASSERT_TRUE(pumpUntil([&] { return !web->isLoading() && delegate->ended(); }));
    delegate->asked.clear();

    EXPECT_TRUE(web->followLink("javascript:serverinfo.goBack()"));
    EXPECT_FALSE(web->followLink("javascript:other.goBack()"));
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("serverinfo.say('你好', 2);"), "");
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("alert(1)"), "");
    ASSERT_EQ(bridge->calls.size(), 2u);
    EXPECT_EQ(bridge->calls[0].first, "goBack");
    EXPECT_TRUE(bridge->calls[0].second.empty());
    EXPECT_EQ(bridge->calls[1].first, "say");
    EXPECT_EQ(bridge->calls[1].second, (std::vector<std::string>{"你好", "2"}));
    // Script links are no navigations: the delegate is not asked and nothing loads.
    EXPECT_TRUE(delegate->asked.empty());
    EXPECT_EQ(web->loadedRequests().size(), 1u);
    EXPECT_EQ(web->javascriptInterface("serverinfo"), bridge);
}

TEST_F(WebViewTest, PictureAddressesOfMarkupSkipPicturesWithoutOne) {
    struct Case {
        std::string html;
        std::vector<std::string> sources;
    };
    for (const Case& c : {
             Case{"", {}},
             Case{"<p>没有图片</p>", {}},
             Case{"<img src='a.png'><img><IMG SRC=\"b.jpg\"><img src=''>", {"a.png", "b.jpg", ""}},
             Case{"<div><p><img alt='x' src='http://h/%E5%9B%BE.png'></p></div><img data-src='lazy.png'>",
                  {"http://h/%E5%9B%BE.png"}},
             Case{"<img src='1.png'<img src='2.png'>", {"1.png"}},
         }) {
        EXPECT_EQ(WebView::imageSourcesInHtml(c.html), c.sources) << c.html;
    }
}

TEST_F(WebViewTest, TheBodysMarkupComesBackForAScript) {
    web->loadHTMLString("<html><head><title>t</title></head><body><p>一</p><img src=\"x.png\"></body></html>", "");
    ASSERT_TRUE(pumpUntil([&] { return !web->isLoading() && delegate->ended(); }));
    const std::string inner = web->stringByEvaluatingJavaScriptFromString("document.body.innerHTML");
    EXPECT_EQ(inner, "<p>一</p><img src=\"x.png\">");
    EXPECT_EQ(WebView::imageSourcesInHtml(inner), (std::vector<std::string>{"x.png"}));
}

}  // namespace
