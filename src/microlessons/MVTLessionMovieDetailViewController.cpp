#include "microlessons/MVTLessionMovieDetailViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTInterface.h"
#include "shell/myTableView.h"

#include "platform/DeviceOrientation.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

#include <cstdio>

using namespace platform;

namespace {

Size lessonScreenSize() { return Screen::mainScreen().bounds().size; }

const Color kTabGrey = Color::rgb255(180, 180, 180);
const Color kTabGreen = Color::rgb255(55, 153, 28);
const Color kInfoGrey = Color::rgb255(60, 60, 60);

// A value the screen shows as missing: null, absent, empty, "(null)" or "<null>".
bool isMissingText(const Json& value) {
    if (value.is_null() || value.is_discarded()) return true;
    const std::string text = textOf(value);
    return text.empty() || text == "(null)" || text == "<null>";
}

// A title or caption: empty for a null value.
std::string titleText(const Json& value) {
    return value.is_null() || value.is_discarded() ? std::string() : textOf(value);
}

}  // namespace

MVTLessionMovieDetailViewController::~MVTLessionMovieDetailViewController() = default;

std::string MVTLessionMovieDetailViewController::text(const char* key) const { return localized(key); }

std::string MVTLessionMovieDetailViewController::streamUrl(const std::string& resourceId) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    return ServiceAddress::baseUrl() + "micro/play?id=" + percentEscape(resourceId) +
           "&token=" + (app ? app->getTokenWith(resourceId) : std::string());
}

std::string MVTLessionMovieDetailViewController::thumbnailUrl(const std::string& resourceId) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    return ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(resourceId) +
           "?size=m&token=" + (app ? app->getTokenWith(resourceId) : std::string());
}

std::string MVTLessionMovieDetailViewController::iframeHtml(const std::string& address, double width) {
    char number[64];
    std::snprintf(number, sizeof number, "%f", width - 10);
    return "<iframe src='" + address +
           "' allowtransparency='true' scrolling='no' border='0' frameborder='0' style='width:" + number +
           "px;height:200px;'></iframe>";
}

void MVTLessionMovieDetailViewController::openFromList(ViewController& list, const Json& movieDic,
                                                       const Json& aboutArray, const std::string& moduleType) {
    auto* navigation = list.navigationController();
    if (!navigation) return;
    auto detail = std::make_shared<MVTLessionMovieDetailViewController>();
    detail->setMovieDic(movieDic.is_object() ? movieDic : Json::object());
    if (aboutArray.is_array()) detail->setAboutArray(aboutArray);
    if (!moduleType.empty()) detail->setModuleType(moduleType);
    navigation->pushViewController(detail, true);
}

void MVTLessionMovieDetailViewController::openById(NavigationController& navigation, const std::string& movieId) {
    auto detail = std::make_shared<MVTLessionMovieDetailViewController>();
    detail->setMovieId(movieId);
    detail->setIsNewShow(true);
    navigation.pushViewController(detail, true);
}

bool MVTLessionMovieDetailViewController::isOpenLesson() const { return moduleType_ == "global_micro"; }

void MVTLessionMovieDetailViewController::setTitleFromRecord() {
    setTitle(titleText(valueFor(movieDic_, "resourceName")));
}

void MVTLessionMovieDetailViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    view()->setBackgroundColor(Color::whiteColor());
    setTitleFromRecord();
    pointArray_ = Json::array();
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    auto& centre = NotificationCenter::defaultCenter();
    orientationToken_ = centre.addObserver(Device::kOrientationDidChangeNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->movieChange();
    });
    const double W = lessonScreenSize().width;
    commentBut_ = std::make_shared<Button>(Rect{10, 5, W - 20, 35});
    commentBut_->setImage(Image::imageNamed("todiscuss.png"));
    commentBut_->setBackgroundColor(Color::clear());
    commentBut_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->showCommentMessageTextView();
    });
    keyboardToken_.reset();
    keyboardToken_ = centre.addObserver(kKeyboardWillShowNotification, [weak](const Notification& note) {
        if (auto self = weak.lock()) self->keyboardWillShow(note);
    });
    movieChanged_ = false;
    micResourceId_ = 0;
    if (isOpenLesson()) getCourseData();
}

void MVTLessionMovieDetailViewController::viewWillAppear(bool animated) {
    HomeworkScreen::viewWillAppear(animated);
    if (isNewShow_) getDetailInfoOFMicro();
}

void MVTLessionMovieDetailViewController::viewDidAppear(bool animated) {
    HomeworkScreen::viewDidAppear(animated);
    if (!isNewShow_) showLessonSteps();
}

void MVTLessionMovieDetailViewController::showLessonSteps() {
    isShow_ = false;
    setStatusBarState(false);
    setNeedsStatusBarAppearanceUpdate();
    if (textOf(movieDic_, "suffix") == "link") {
        if (isAppearWhenMovieDone_)
            isAppearWhenMovieDone_ = false;
        else
            showInternetMovie();
    } else {
        initShowView();
    }
    initDetailView();
}

void MVTLessionMovieDetailViewController::goback() {
    if (show_) {
        show_->stop();
        show_->stopWhenBack();
    }
    keyboardToken_.reset();
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTLessionMovieDetailViewController::getDetailInfoOFMicro() {
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    const std::string path = "coursemicro/info/" + homework::currentUserId() + "/" + movieId_;
    auto sent = sendRequest(
        "GET", path, nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            // A reply that is no record shows nothing: there is no lesson to play.
            if (!self || !reply.is_object()) return;
            self->movieDic_ = reply;
            self->setTitleFromRecord();
            self->showLessonSteps();
        },
        [weak] {
            if (auto self = weak.lock(); self && self->pointTableView_) self->initPointTableView();
        },
        true, kRequestTimeout);
    if (!sent) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
    }
}

void MVTLessionMovieDetailViewController::getCourseData() {
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    const std::string path =
        "global/micro/" + homework::currentUserId() + "/recommed/" + textOf(movieDic_, "id") + "/list";
    auto sent = sendRequest(
        "GET", path, nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only an object with a list replaces the handed-over lessons.
            if (!reply.is_object()) return;
            self->aboutArray_ = Json::array();
            if (reply.contains("description") && !reply["description"].is_null()) {
                self->movieDic_["description"] = textOf(reply["description"]);
                if (self->movieDetailView_) self->movieDetailView_->removeFromSuperview();
                self->movieDetailView_.reset();
                self->descriptionView_.reset();
                if (self->isViewLoaded() && self->view()->window()) self->initDetailView();
            }
            const Json& about = valueFor(reply, "about");
            if (about.is_array())
                for (const auto& lesson : about)
                    if (lesson.is_object()) self->aboutArray_.push_back(lesson);
        },
        [] {}, true, kRequestTimeout);
    if (!sent) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
    }
}

void MVTLessionMovieDetailViewController::initShowView() {
    const double W = lessonScreenSize().width;
    if (show_) {
        show_->view()->setFrame({0, 0, W, kTopHeight});
    } else {
        show_ = MVTCustomMoviePlayerViewController::make();
        show_->view()->setFrame({0, 0, W, kTopHeight});
        const std::string resource = textOf(movieDic_, "resourceId");
        show_->setMovieSourceId(resource);
        show_->setMovieURL(streamUrl(resource));
        showMp4video();
    }
    view()->addSubview(show_->view());
}

void MVTLessionMovieDetailViewController::showMp4video() {
    toSendViewCount();
    show_->readyPlayer();
}

void MVTLessionMovieDetailViewController::toSendViewCount() {
    Json parameters = nullptr;
    if (!moduleType_.empty()) parameters = {{"moduleType", moduleType_}};
    const std::string path = "coursemicro/viewlog/" + homework::currentUserId() + "/" + textOf(movieDic_, "id");
    if (!sendRequest("GET", path, parameters, [](const Json&) {}, [] {}, false, kRequestTimeout)) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
    }
}

void MVTLessionMovieDetailViewController::observePageVideo() {
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    auto& centre = NotificationCenter::defaultCenter();
    enterToken_.reset();
    exitToken_.reset();
    enterToken_ = centre.addObserver(kPageVideoEnteredFullscreen, [weak](const Notification&) {
        if (auto self = weak.lock()) self->hengpingchuli();
    });
    exitToken_ = centre.addObserver(kPageVideoWillExitFullscreen, [weak](const Notification&) {
        if (auto self = weak.lock()) self->shupingchuli();
    });
}

void MVTLessionMovieDetailViewController::showInternetMovie() {
    toSendViewCount();
    observePageVideo();
    const double W = lessonScreenSize().width;
    if (!registerWeb_) {
        registerWeb_ = std::make_shared<WebView>(Rect{0, 0, W, kTopHeight});
        registerWeb_->setBackgroundColor(Color::black());
        registerWeb_->setScalesPageToFit(false);
        registerWeb_->scrollView()->setBounces(false);
        registerWeb_->setDelegate(weakAs<MVTLessionMovieDetailViewController>().lock());
    }
    view()->addSubview(registerWeb_);
    registerWeb_->loadHTMLString(iframeHtml(textOf(movieDic_, "filepath"), W), "");
    registerWeb_->addJavascriptInterfaces(std::make_shared<MVTInterface>(), "serverinfo");
}

void MVTLessionMovieDetailViewController::hengpingchuli() {
    isAppearWhenMovieDone_ = true;
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setIsFull(false);
}

void MVTLessionMovieDetailViewController::shupingchuli() {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setIsFull(true);
}

void MVTLessionMovieDetailViewController::webViewDidStartLoad(WebView&) { showHUDWithBool(true); }

void MVTLessionMovieDetailViewController::webViewDidFinishLoad(WebView&) { showHUDWithBool(false); }

void MVTLessionMovieDetailViewController::webViewDidFailLoadWithError(WebView&, const HttpError&) {
    showHUDWithBool(false);
    alert(text("加载失败"), "", kPageFailedAlertTag, text("知道了"));
}

std::shared_ptr<Button> MVTLessionMovieDetailViewController::tabButton(int tag) const {
    if (!movieDetailView_) return nullptr;
    return std::dynamic_pointer_cast<Button>(movieDetailView_->viewWithTag(tag));
}

void MVTLessionMovieDetailViewController::initDetailView() {
    if (!movieDetailView_) {
        const double W = lessonScreenSize().width;
        movieDetailView_ = std::make_shared<View>(Rect{0, kTopHeight, W, view()->bounds().height() - kTopHeight});
        movieDetailView_->setBackgroundColor(Color::clear());
        const double w = movieDetailView_->bounds().width();
        const struct {
            double x;
            const char* title;
            int tag;
        } tabs[] = {{0, "详情", kDescriptionTab}, {w / 3, "评论", kCommentTab}, {2 * w / 3, "相关", kAboutTab}};
        auto weak = weakAs<MVTLessionMovieDetailViewController>();
        for (const auto& tab : tabs) {
            auto button = std::make_shared<Button>(Rect{tab.x, 0, w / 3, 39});
            button->setBackgroundColor(Color::clear());
            button->setTitle(text(tab.title));
            button->setTitleColor(tab.tag == kDescriptionTab ? kTabGreen : kTabGrey);
            button->setUserInteractionEnabled(tab.tag != kDescriptionTab);
            button->setTag(tab.tag);
            const int tag = tab.tag;
            button->addTarget(ControlEventTouchUpInside, [weak, tag](Control&) {
                if (auto self = weak.lock()) self->ChangeDetailViewShow(tag);
            });
            movieDetailView_->addSubview(button);
        }
        movieInfoLabel_ = std::make_shared<Label>(Rect{0, 40, W, 100});
        movieInfoLabel_->setBackgroundColor(Color::clear());
        movieInfoLabel_->setTextAlignment(TextAlignment::Center);
        initDescriptionView();
        movieDetailView_->addSubview(std::make_shared<ImageView>(Image::imageNamed("line_10")));
        movieDetailView_->subviews().back()->setFrame({0, 39, W, 1});
    }
    view()->addSubview(movieDetailView_);
}

void MVTLessionMovieDetailViewController::ChangeDetailViewShow(int tag) {
    hideKeyboard();
    if (messageTextView_) messageTextView_->resignFirstResponder();
    for (int each : {kDescriptionTab, kCommentTab, kAboutTab}) {
        auto button = tabButton(each);
        if (!button) continue;
        button->setTitleColor(each == tag ? kTabGreen : kTabGrey);
        button->setUserInteractionEnabled(each != tag);
    }
    auto leave = [](const std::shared_ptr<View>& view) {
        if (view) view->removeFromSuperview();
    };
    if (tag == kDescriptionTab) {
        leave(pointTableView_);
        leave(aboutView_);
        leave(movieInfoLabel_);
        if (movieChanged_) {
            leave(descriptionView_);
            descriptionView_.reset();
        }
        initDescriptionView();
    } else if (tag == kCommentTab) {
        leave(descriptionView_);
        leave(aboutView_);
        leave(movieInfoLabel_);
        if (micResourceId_ == integerValue(valueFor(movieDic_, "resourceId"))) {
            initPointTableView();
            if (pointArray_.empty()) {
                movieInfoLabel_->setText(text("暂无评论"));
                pointTableView_->addSubview(movieInfoLabel_);
            }
        } else {
            initPointArray();
        }
    } else if (tag == kAboutTab) {
        leave(descriptionView_);
        leave(pointTableView_);
        leave(movieInfoLabel_);
        initAboutView();
    }
}

std::shared_ptr<Label> MVTLessionMovieDetailViewController::newLabelForInfo(const Json& value, const Rect& rect,
                                                                            const Color& colour) const {
    auto label = std::make_shared<Label>(rect);
    label->setText(isMissingText(value) ? text("未知") : textOf(value));
    label->setNumberOfLines(0);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextColor(colour);
    return label;
}

void MVTLessionMovieDetailViewController::initDescriptionView() {
    if (!descriptionView_) {
        const double W = lessonScreenSize().width;
        descriptionView_ = std::make_shared<View>(Rect{0, 40, W, movieDetailView_->bounds().height() - 40});
        descriptionView_->setBackgroundColor(Color::clear());
        const std::string uploaderTitle = text("上传者") + ":";
        const double titleWidth = TextMeasure::sizeWithFont(uploaderTitle, Font::systemFontOfSize(16)).width;
        descriptionView_->addSubview(newLabelForInfo(uploaderTitle, {14, 20, titleWidth, 20}, kInfoGrey));
        descriptionView_->addSubview(
            newLabelForInfo(valueFor(movieDic_, "name"), {14 + titleWidth + 5, 20, 150, 20}, kTabGreen));
        const double height = view()->bounds().height() > 500 ? 220 : 130;
        auto description = std::make_shared<TextView>(Rect{10, 40, W - 20, height});
        description->setFont(Font::systemFontOfSize(18));
        description->setTextColor(kInfoGrey);
        description->setBackgroundColor(Color::clear());
        description->setEditable(false);
        const Json& value = valueFor(movieDic_, "description");
        description->setText(isMissingText(value) ? text("暂无描述") : textOf(value));
        descriptionView_->addSubview(description);
    }
    movieDetailView_->addSubview(descriptionView_);
}

void MVTLessionMovieDetailViewController::initAboutView() {
    if ((moduleType_ == "micro" && aboutArray_.size() < 2) || (isOpenLesson() && aboutArray_.empty())) {
        movieInfoLabel_->setText(text("暂无相关视频"));
        movieDetailView_->addSubview(movieInfoLabel_);
        return;
    }
    const double W = lessonScreenSize().width;
    if (!aboutView_) {
        aboutView_ = std::make_shared<View>(Rect{0, 40, W, 160});
        aboutView_->setBackgroundColor(Color::clear());
    }
    if (auto old = aboutView_->viewWithTag(kStripTag)) old->removeFromSuperview();
    auto strip = std::make_shared<ScrollView>(Rect{0, 0, W, 160});
    strip->setBackgroundColor(Color::clear());
    strip->setCornerRadius(2);
    strip->setBorderWidth(1);
    strip->setBorderColor(Color::clear());
    strip->setClipsToBounds(true);
    strip->setTag(kStripTag);
    for (std::size_t i = 0; i < aboutArray_.size(); ++i)
        if (aboutArray_[i] == movieDic_) {
            aboutArray_.erase(aboutArray_.begin() + std::ptrdiff_t(i));
            break;
        }
    auto weak = weakAs<MVTLessionMovieDetailViewController>();
    const auto placeholder = Image::imageNamed("microholder");
    for (std::size_t i = 0; i < aboutArray_.size(); ++i) {
        const double x = 10 + 168.0 * double(i);
        const Json& lesson = aboutArray_[i];
        auto thumbnail = std::make_shared<ImageView>(Rect{x, 10, 158, 99});
        thumbnail->setTag(int(i));
        thumbnail->setUserInteractionEnabled(true);
        ImageLoader::setImageWithURL(thumbnail, thumbnailUrl(textOf(lesson, "resourceId")), placeholder);
        auto button = std::make_shared<Button>(Rect{0, 0, 158, 99});
        button->setTag(int(i));
        const int index = int(i);
        button->addTarget(ControlEventTouchUpInside, [weak, index](Control&) {
            if (auto self = weak.lock()) self->showMovie(index);
        });
        thumbnail->addSubview(button);
        strip->addSubview(thumbnail);
        auto caption = std::make_shared<Label>(Rect{x, 110, 158, 40});
        caption->setFont(Font::systemFontOfSize(14));
        caption->setTextAlignment(TextAlignment::Left);
        caption->setNumberOfLines(0);
        caption->setTextColor(kInfoGrey);
        caption->setBackgroundColor(Color::clear());
        caption->setText(titleText(valueFor(lesson, "resourceName")));
        strip->addSubview(caption);
    }
    strip->setContentSize({169.0 * double(aboutArray_.size()) + 5, 160});
    aboutView_->addSubview(strip);
    movieDetailView_->addSubview(aboutView_);
}

void MVTLessionMovieDetailViewController::showMovie(int index) {
    if (index < 0 || std::size_t(index) >= aboutArray_.size()) return;
    const Json chosen = aboutArray_[std::size_t(index)];
    movieChanged_ = integerValue(valueFor(movieDic_, "resourceId")) != integerValue(valueFor(chosen, "resourceId"));
    bool held = false;
    for (const auto& lesson : aboutArray_) held = held || lesson == movieDic_;
    if (!held) aboutArray_.push_back(movieDic_);
    movieDic_ = chosen;
    initAboutView();
    setTitleFromRecord();
    const double W = lessonScreenSize().width;
    if (textOf(movieDic_, "suffix") == "link") {
        if (show_) {
            show_->stop();
            show_->view()->removeFromSuperview();
        }
        showInternetMovie();
        return;
    }
    if (registerWeb_) {
        registerWeb_->loadHTMLString("", "");
        registerWeb_->removeFromSuperview();
    }
    if (show_) {
        show_->stop();
    } else {
        show_ = MVTCustomMoviePlayerViewController::make();
        show_->view()->setFrame({0, 0, W, kTopHeight});
    }
    view()->addSubview(show_->view());
    const std::string resource = textOf(movieDic_, "resourceId");
    show_->setMovieSourceId(resource);
    show_->setMovieURL(streamUrl(resource));
    showMp4video();
    view()->sendSubviewToBack(show_->view());
}

void MVTLessionMovieDetailViewController::movieChange() {
    if (!show_) return;
    // A link lesson on show keeps the page: the stopped player of an earlier lesson is not
    // brought up over it.
    if (textOf(movieDic_, "suffix") == "link") return;
    const auto orientation = Device::current().orientation();
    if (orientation == DeviceOrientation::LandscapeLeft || orientation == DeviceOrientation::LandscapeRight) {
        if (!isShow_) {
            isShow_ = true;
            hideKeyboard();
            show_->view()->removeFromSuperview();
            presentViewController(show_, false);
        }
    }
    show_->movieChangeOrientation();
}

void MVTLessionMovieDetailViewController::alert(const std::string& title, const std::string& message, int tag,
                                                const std::string& cancel, const std::vector<std::string>& others) {
    lastAlert_ = AlertView::make(title, message, weakAs<AlertViewDelegate>(), cancel, others);
    lastAlert_->setTag(tag);
    lastAlert_->show();
}
