#include "shell/MyTabBarController.h"

#include "chat/MVTInteractionViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "feed/MVTHomeViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/InternationalControl.h"

#include "platform/Application.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBar.h"

#include <cmath>

using namespace platform;

namespace {

constexpr double kDefaultPollSeconds = 60;

const Color kSelectedTitle = Color::rgba(0.38, 0.78, 0.976);
const Color kTitle = Color::rgb255(60, 60, 60);

double tabBarScreenWidth() { return Screen::mainScreen().bounds().width(); }

std::string userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

}  // namespace

MyTabBarController::MyTabBarController() = default;

MyTabBarController::~MyTabBarController() { clearNotif(); }

// ---- Lifecycle ----------------------------------------------------------------------------

void MyTabBarController::viewDidLoad() {
    TabBarController::viewDidLoad();
    // The platform's bar makes way for the bar of our own.
    auto root = view();
    for (auto subview : std::vector<std::shared_ptr<View>>(root->subviews()))
        if (dynamic_cast<TabBar*>(subview.get())) subview->removeFromSuperview();

    unreadDic_ = nlohmann::json::object();
    root->setBackgroundColor(Color::whiteColor());

    clearNotif();
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    auto& center = NotificationCenter::defaultCenter();
    auto observe = [&](const char* name, std::function<void(MyTabBarController&, const Notification&)> action) {
        observers_.push_back(center.addObserver(name, [weak, action](const Notification& note) {
            if (auto self = weak.lock()) action(*self, note);
        }));
    };
    observe(kReloadTimerNotification, [](MyTabBarController& self, const Notification&) { self.reloadTimer(); });
    observe(kReloadNewsNotification, [](MyTabBarController& self, const Notification&) { self.reloadNews(); });
    observe(kShowDynamicActionSheetNotification,
            [](MyTabBarController& self, const Notification& note) { self.showDynamicActionSheet(note); });
    observe(kMarkUpsideNotification, [](MyTabBarController& self, const Notification&) { self.markUpside(); });
    observe(kBecomeActiveNotification, [](MyTabBarController& self, const Notification&) { self.cleanSys(); });

    Application::shared().setApplicationIconBadgeNumber(0);
    MVTAccount::sharedInstance().setUnreadCount(0);

    RunLoop::main().post([weak] {
        if (auto self = weak.lock()) self->getpostMessage(false);
    });

    relevantMeUsersArr_ = nlohmann::json::array();
    reloadNews();
    reloadTimerDelay_ = RunLoop::main().performAfter(0.1, [weak] {
        if (auto self = weak.lock()) {
            self->reloadTimerDelay_.reset();
            self->reloadTimer();
        }
    });

    observe(kToCommentDynamicNotification,
            [](MyTabBarController& self, const Notification& note) { self.toCommentDynamic(note); });
    initButtomView();
}

void MyTabBarController::viewDidAppear(bool animated) {
    TabBarController::viewDidAppear(animated);
    updatePublishBox();
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    keyboardToken_ = NotificationCenter::defaultCenter().addObserver(kKeyboardWillShowNotification,
                                                                    [weak](const Notification& note) {
                                                                        if (auto self = weak.lock())
                                                                            self->keyboardWillShow(note);
                                                                    });
}

void MyTabBarController::viewWillDisappear(bool animated) {
    TabBarController::viewWillDisappear(animated);
    keyboardToken_.reset();
}

void MyTabBarController::viewDidDisappear(bool animated) {
    TabBarController::viewDidDisappear(animated);
    Application::shared().setApplicationIconBadgeNumber(0);
    MVTAccount::sharedInstance().setUnreadCount(0);
}

void MyTabBarController::clearNotif() {
    observers_.clear();
    if (refreshTimer_) refreshTimer_->invalidate();
    refreshTimer_.reset();
    // A restart still waiting would bring the poll back after it was stopped.
    if (reloadTimerDelay_) reloadTimerDelay_->invalidate();
    reloadTimerDelay_.reset();
}

// ---- The bar ------------------------------------------------------------------------------

std::shared_ptr<Button> MyTabBarController::btnFrame(const Rect& frame, long tag, const std::string& image) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setTag(static_cast<int>(tag));
    button->setImage(Image::imageNamed(image + ".png"));
    button->setImage(Image::imageNamed(image + "_hover.png"), ControlStateDisabled);
    button->setImageEdgeInsets({5, 9.5, 20, 9.5});
    button->setAdjustsImageWhenDisabled(false);
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->itemCliced(static_cast<Button&>(sender));
    });
    return button;
}

std::shared_ptr<Label> MyTabBarController::labelFrame(const Rect& frame, const std::string& title, long tag) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(12));
    label->setTextAlignment(TextAlignment::Center);
    label->setTag(static_cast<int>(tag));
    label->setText(localized(title));
    label->setTextColor(tag == 0 ? kSelectedTitle : kTitle);
    return label;
}

void MyTabBarController::addReloadDynamicBtnWith(const Rect& frame) {
    reloadDynamicBtn_ = Button::buttonWithType(ButtonType::Custom);
    reloadDynamicBtn_->setFrame(frame);
    reloadDynamicBtn_->setBackgroundColor(Color::clear());
    reloadDynamicBtn_->setAccessibilityHint(kReloadHint);
    reloadDynamicBtn_->setTag(0);
    reloadDynamicBtn_->setUserInteractionEnabled(false);
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    reloadDynamicBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->reloadDynamicAndNews(static_cast<Button&>(sender));
    });
    mytabbarView_->addSubview(reloadDynamicBtn_);
}

void MyTabBarController::addReloadNewsBtnWith(const Rect& frame) {
    reloadNewsBtn_ = Button::buttonWithType(ButtonType::Custom);
    reloadNewsBtn_->setFrame(frame);
    reloadNewsBtn_->setBackgroundColor(Color::clear());
    reloadNewsBtn_->setAccessibilityHint(kReloadHint);
    reloadNewsBtn_->setTag(1);
    reloadNewsBtn_->setUserInteractionEnabled(false);
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    reloadNewsBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->reloadDynamicAndNews(static_cast<Button&>(sender));
    });
    mytabbarView_->addSubview(reloadNewsBtn_);
}

void MyTabBarController::addMyitems() {
    auto root = view();
    if (!mytabbarView_) {
        const double width = tabBarScreenWidth();
        const double height = root->bounds().height();
        mytabbarView_ = std::make_shared<View>(Rect(0, height - 48, width, 64));
        mytabbarView_->setBackgroundColor(Color::whiteColor());
        root->addSubview(mytabbarView_);

        auto line = std::make_shared<View>(Rect(0, height - 49, width, 0.6));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        root->addSubview(line);

        const double w = (width - 15) / 5 - 15;
        struct Place {
            long tab;
            const char* picture;
            const char* title;
        };
        // Left to right: feed, messages, contacts, Apps, Me.
        const Place places[] = {{0, "shouye", "动态"},
                                {1, "hudong", "消息"},
                                {4, "lianxiren", "联系人"},
                                {2, "faxian", "发现"},
                                {3, "wo", "我"}};
        for (int k = 0; k < 5; ++k) {
            const Rect frame(15 + k * (w + 15), 0, w, 49);
            auto button = btnFrame(frame, places[k].tab, places[k].picture);
            mytabbarView_->addSubview(button);
            mytabbarView_->addSubview(labelFrame(Rect(frame.minX() - 11, 29, w + 22, 16), places[k].title, places[k].tab));
            switch (places[k].tab) {
                case 0:
                    dynamicBtn_ = button;
                    button->setEnabled(false);
                    addReloadDynamicBtnWith(frame);
                    break;
                case 1:
                    newsBtn_ = button;
                    addReloadNewsBtnWith(frame);
                    break;
                case 2: discoveryBtn_ = button; break;
                case 3: mineBtn_ = button; break;
                default: contactBtn_ = button; break;
            }
        }
    }
    if (!refreshTimer_) {
        refreshDatas();
        startTimer(std::floor(pollPeriod()));
    }
}

std::shared_ptr<Button> MyTabBarController::buttonForTab(long tab) const {
    switch (tab) {
        case 0: return dynamicBtn_;
        case 1: return newsBtn_;
        case 2: return discoveryBtn_;
        case 3: return mineBtn_;
        case 4: return contactBtn_;
        default: return nullptr;
    }
}

void MyTabBarController::itemCliced(Button& selected) {
    const int tag = selected.tag();
    if (mytabbarView_) {
        for (auto& subview : std::vector<std::shared_ptr<View>>(mytabbarView_->subviews())) {
            if (auto button = std::dynamic_pointer_cast<Button>(subview)) {
                if (button->tag() != tag) {
                    button->setHighlighted(false);
                    if (button->accessibilityHint() != kReloadHint) {
                        button->setEnabled(true);
                        changeReloadDynamicAndNewsBtnWith(button->tag(), false);
                    }
                } else {
                    button->setHighlighted(true);
                }
            } else if (auto label = std::dynamic_pointer_cast<Label>(subview)) {
                const int t = label->tag();
                if (t == kFeedCountTag || t == kMessageCountTag || t == kRelevantMeCountTag) continue;
                label->setTextColor(t == tag ? kSelectedTitle : kTitle);
            }
        }
    }
    selected.setEnabled(false);
    setSelectedIndex(tag);
    updatePublishBox();
    if (tag == 0) {
        if (integerValue(valueFor(unreadDic_, "newFeed")) != 0)
            reloadDynamicAndNews(selected);
        else
            changeReloadDynamicAndNewsBtnWith(0, true);
    } else if (tag == 1) {
        if (integerValue(valueFor(unreadDic_, "newPm")) != 0)
            reloadDynamicAndNews(selected);
        else
            changeReloadDynamicAndNewsBtnWith(1, true);
    } else if (tag == 3) {
        reloadUserLvl();
    }
}

void MyTabBarController::hiddenTabBar(bool hidden) { (void)hidden; }

void MyTabBarController::changeReloadDynamicAndNewsBtnWith(int tab, bool armed) {
    auto button = tab == 0 ? reloadDynamicBtn_ : tab == 1 ? reloadNewsBtn_ : nullptr;
    if (!button) return;
    if (!armed)
        button->setUserInteractionEnabled(false);
    else if (selectedIndex() == tab)
        button->setUserInteractionEnabled(true);
}

void MyTabBarController::reloadDynamicAndNews(Button& button) {
    if (button.accessibilityHint() == kReloadHint) button.setUserInteractionEnabled(false);
    if (button.tag() == 0) {
        if (auto home = rootOfTab<MVTHomeViewController>(0)) home->newFeedReloadData();
    } else if (button.tag() == 1) {
        auto list = rootOfTab<MVTInteractionViewController>(1);
        if (list && list->isViewLoaded() && list->view()->window()) list->getNewData();
    }
}

void MyTabBarController::refreshDataForInteraction() {
    if (auto list = rootOfTab<MVTInteractionViewController>(1)) list->reloadTable();
}

void MyTabBarController::changeToDynamic() {
    if (dynamicBtn_) itemCliced(*dynamicBtn_);
    getpostMessage(true);
}

template <class T>
std::shared_ptr<T> MyTabBarController::rootOfTab(size_t tab) const {
    const auto& stacks = viewControllers();
    if (tab >= stacks.size() || !stacks[tab]) return nullptr;
    std::shared_ptr<ViewController> root = stacks[tab];
    if (auto stack = root->asNavigationController())
        root = stack->viewControllers().empty() ? nullptr : stack->viewControllers().front();
    return std::dynamic_pointer_cast<T>(root);
}

// ---- Marks --------------------------------------------------------------------------------

std::shared_ptr<View> MyTabBarController::mark(long tag) const {
    if (!mytabbarView_) return nullptr;
    for (auto& subview : mytabbarView_->subviews())
        if (subview->tag() == tag) return subview;
    return nullptr;
}

void MyTabBarController::removeMarks(long tag) {
    if (!mytabbarView_) return;
    for (auto& subview : std::vector<std::shared_ptr<View>>(mytabbarView_->subviews()))
        if (subview->tag() == tag) subview->removeFromSuperview();
}

void MyTabBarController::setCount(Label& label, double x, const std::string& text) {
    const bool wide = text.size() > 2;
    label.setFrame({x, 16, wide ? 22.0 : 12.0, 12});
    label.setText(wide ? "99+" : text);
}

std::shared_ptr<Label> MyTabBarController::countLabel(long tag, double x, const std::string& text) {
    auto label = std::make_shared<Label>(Rect(x, 16, 12, 12));
    label->setTag(static_cast<int>(tag));
    label->setBackgroundColor(Color::rgb255(238, 54, 54));
    label->setTextColor(Color::whiteColor());
    label->setTextAlignment(TextAlignment::Center);
    label->setFont(Font::systemFontOfSize(8));
    label->setCornerRadius(6);
    label->setClipsToBounds(true);
    setCount(*label, x, text);
    if (mytabbarView_) mytabbarView_->addSubview(label);
    return label;
}

void MyTabBarController::addDot(long tag, const Rect& frame, double radius) {
    if (!mytabbarView_) return;
    auto dot = std::make_shared<View>(frame);
    dot->setTag(static_cast<int>(tag));
    dot->setBackgroundColor(Color::rgb255(238, 54, 54));
    dot->setCornerRadius(radius);
    dot->setUserInteractionEnabled(false);
    mytabbarView_->addSubview(dot);
}

void MyTabBarController::NewMarks(bool draw) {
    if (draw && unreadDic_.is_object() && !unreadDic_.empty()) {
        const std::string feed = textOf(unreadDic_, "newFeed");
        if (integerValue(feed) != 0) {
            removeMarks(kFeedCountTag);
            countLabel(kFeedCountTag, 43, feed);
        }
        const std::string messages = textOf(unreadDic_, "newPm");
        if (integerValue(messages) != 0) {
            removeMarks(kMessageCountTag);
            removeMarks(kMessageDotTag);
            const double x = newsBtn_ ? newsBtn_->frame().minX() + 27 : 0;
            countLabel(kMessageCountTag, x, messages.size() > 2 ? messages : std::to_string(integerValue(messages)));
        }
        return;
    }
    if (selectedIndex() == 0) {
        unreadDic_["newFeed"] = "0";
        cleanNewMarks(0);
    } else if (selectedIndex() == 1) {
        unreadDic_["newPm"] = "0";
        cleanNewMarks(1);
    }
}

void MyTabBarController::cleanNewMarks(int type) {
    auto& account = MVTAccount::sharedInstance();
    if (!account.newApply() && !account.newNoti()) removeMarks(kMessageDotTag);
    if (type == 0) {
        unreadDic_["newFeed"] = "0";
        sysFeed_ = 0;
        removeMarks(kFeedCountTag);
    } else if (type == 1) {
        const long long messages = integerValue(valueFor(unreadDic_, "newPm"));
        const int relevant = account.newRelevantMe();
        const double messageX = newsBtn_ ? newsBtn_->frame().minX() + 27 : 0;
        auto messageLabel = std::dynamic_pointer_cast<Label>(mark(kMessageCountTag));
        if (messageLabel) {
            if (messages == 0) {
                removeMarks(kMessageCountTag);
            } else {
                removeMarks(kMessageDotTag);
                setCount(*messageLabel, messageX, std::to_string(messages));
            }
        }
        if (auto relevantLabel = std::dynamic_pointer_cast<Label>(mark(kRelevantMeCountTag))) {
            if (relevant == 0)
                removeMarks(kRelevantMeCountTag);
            else
                setCount(*relevantLabel, tabBarScreenWidth() - 35, std::to_string(relevant));
        }
        if (!messageLabel && messages > 0) {
            removeMarks(kMessageDotTag);
            countLabel(kMessageCountTag, messageX, std::to_string(messages));
        }
        if (messages == 0 && !mark(kMessageDotTag)) {
            const bool parent = account.role().value_or("") == "parent";
            const bool something = parent ? account.newApply()
                                          : (account.newApply() || account.newHM() || account.newMicro() ||
                                             account.newExam());
            if (something && newsBtn_) addDot(kMessageDotTag, {newsBtn_->frame().minX() + 29.5, 14.5, 5, 5}, 2.5);
        }
        if (relevant >= 1) myMarks();
    } else if (type == 2) {
        removeMarks(kAppsDotTag);
    }
}

void MyTabBarController::myMarks() {
    const int relevant = MVTAccount::sharedInstance().newRelevantMe();
    if (relevant <= 0) {
        removeMarks(kRelevantMeCountTag);
        return;
    }
    if (auto label = std::dynamic_pointer_cast<Label>(mark(kRelevantMeCountTag)))
        setCount(*label, tabBarScreenWidth() - 35, std::to_string(relevant));
    else
        countLabel(kRelevantMeCountTag, tabBarScreenWidth() - 35, std::to_string(relevant));
}

void MyTabBarController::markUpside() {
    auto& account = MVTAccount::sharedInstance();
    if (!account.newHM()) sysHM_ = false;
    if (!account.newNoti()) sysNoti_ = false;
    cleanNewMarks(1);
    if (auto me = rootOfTab<MVTUserSettingViewController>(3)) me->reloadRelativeAndCommentCount();
    if (auto home = rootOfTab<MVTHomeViewController>(0)) home->initTheRelevantMeView();
    if (account.newHM() || account.newNoti() || account.newExam() || account.newMicro()) {
        if (auto apps = rootOfTab<MVTAppsViewController>(2)) apps->reloadView();
        if (!mark(kAppsDotTag) && discoveryBtn_)
            addDot(kAppsDotTag, {discoveryBtn_->frame().minX() + 27, 16, 10, 10}, 5.2);
    } else {
        cleanNewMarks(2);
    }
}

void MyTabBarController::cleanMarkWhenBecomeAction() {
    if (integerValue(valueFor(unreadDic_, "newFeed")) == 0) cleanNewMarks(0);
    if (integerValue(valueFor(unreadDic_, "newPm")) == 0) cleanNewMarks(1);
}

// ---- New-item polling ---------------------------------------------------------------------

double MyTabBarController::pollPeriod() const {
    const double seconds = doubleValue(valueFor(localNotiDic_, "defaultTime"));
    // A missing or non-positive setting would make the timer spin: keep the default.
    return seconds > 0 ? seconds : kDefaultPollSeconds;
}

void MyTabBarController::startTimer(double seconds) {
    if (refreshTimer_) refreshTimer_->invalidate();
    if (seconds <= 0) seconds = kDefaultPollSeconds;
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    refreshTimer_ = RunLoop::main().scheduleTimer(seconds, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->refreshDatas();
    });
}

void MyTabBarController::reloadNews() {
    const std::string id = userId();
    auto row = id.empty() ? nlohmann::json() : MVTtirraDataBase::selectUserNewsSettingDataWith(id);
    localNotiDic_ = row.is_object() ? row : nlohmann::json::object();
}

void MyTabBarController::reloadTimer() {
    reloadNews();
    if (refreshTimer_) refreshTimer_->invalidate();
    refreshTimer_.reset();
    startTimer(pollPeriod());
    refreshDatas();
}

void MyTabBarController::cleanSys() {
    sysPM_ = 0;
    sysFeed_ = 0;
    sysRelevantMe_ = 0;
}

// The comment bar and the post action sheets are in MyTabBarController_Comment.cpp, the
// publish menu in MyTabBarController_Publish.cpp.
