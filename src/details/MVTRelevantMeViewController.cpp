#include "details/MVTRelevantMeViewController.h"

#include "feed/PostRecord.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

// A page of reactions is a few kB; anything far above it is refused.
constexpr std::size_t kRelevantMaxReplyBytes = 4u * 1024 * 1024;
const Color kRelevantPanelLine = Color::rgb255(217, 222, 216);
const Color kRelevantChosen = Color::rgba(0.38, 0.78, 0.976);

std::shared_ptr<HttpJsonRequestOperation> relevantOperation(
    UrlRequest request, std::weak_ptr<MVTRelevantMeViewController> weak,
    std::function<void(MVTRelevantMeViewController&, const Json&)> done,
    std::function<void(MVTRelevantMeViewController&)> failed) {
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(request),
        [weak, done](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) done(*self, reply);
        },
        [weak, failed](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) failed(*self);
        });
    operation->setMaxResponseBytes(kRelevantMaxReplyBytes);
    return operation;
}

}  // namespace

const std::vector<MVTRelevantMeViewController::Kind>& MVTRelevantMeViewController::kinds() {
    static const std::vector<Kind> all = {
        {"与我相关", ""}, {"提到我的", "relative"}, {"评论", "comment"}, {"赞", "like"}, {"我参与了", "comment_like"}};
    return all;
}

MVTRelevantMeViewController::~MVTRelevantMeViewController() {
    if (titleSelectView_) titleSelectView_->removeFromSuperview();
}

std::string MVTRelevantMeViewController::userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

// ---- Building

void MVTRelevantMeViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width(), H = screen.height();
    auto weak = weakAs<MVTRelevantMeViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    // The title button, with the label at its top left, is the title view: the drop-down
    // opens from it.
    titleBtn_ = Button::buttonWithType(ButtonType::Custom);
    titleBtn_->setFrame({(W - 160) / 2, 0, 160, 44});
    titleBtn_->setBackgroundColor(Color::clear());
    titleBtn_->setImage(Image::imageNamed("qx_arrow_down.png"));
    titleLa_ = std::make_shared<Label>(Rect(0, 0, 160, 44));
    titleLa_->setBackgroundColor(Color::clear());
    titleLa_->setTextColor(Color::whiteColor());
    titleLa_->setFont(Font::fontWithName("Helvetica-Bold", 18));
    titleLa_->setTextAlignment(TextAlignment::Center);
    titleLa_->setText(localized("与我相关"));
    titleLa_->setUserInteractionEnabled(false);
    titleBtn_->addSubview(titleLa_);
    setArrowInsets();
    titleBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toChangeTitle();
    });
    navigationItem().setTitleView(titleBtn_);

    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPage(MVTAppDelegate::VoicePageRelevantMe);
    auto& centre = NotificationCenter::defaultCenter();
    observers_.push_back(centre.addObserver(kToStopRelevantMeAudioPlay, [weak](const Notification&) {
        auto self = weak.lock();
        if (!self) return;
        // The rows of this list show no voice progress: only the state is kept.
        self->downloading_ = false;
        self->stop_ = true;
    }));
    observers_.push_back(centre.addObserver(MVTAppDelegate::kToShowRelevantMeProgress, [](const Notification&) {}));

    // The drop-down: a cover over the whole window with the panel of kinds inside it.
    titleSelectView_ = std::make_shared<View>(Rect(0, 0, W, H));
    titleSelectView_->setBackgroundColor(Color::clear());
    titleSelectView_->setTag(kCoverTag);
    selectTap_ = std::make_shared<TapGestureRecognizer>();
    selectTap_->setAction([weak](GestureRecognizer& recognizer) {
        auto self = weak.lock();
        if (self && self->titleSelectView_) self->closeTapClicked(recognizer.locationInView(self->titleSelectView_.get()));
    });
    selectTap_->setEnabled(false);
    titleSelectView_->addGestureRecognizer(selectTap_);
    litebgView_ = std::make_shared<View>(Rect((W - 160) / 2, 76, 160, 224));
    litebgView_->setBackgroundColor(Color::clear());
    litebgView_->setCornerRadius(4);
    litebgView_->setBorderWidth(0.6);
    litebgView_->setBorderColor(kRelevantPanelLine);
    litebgView_->setClipsToBounds(true);
    litebgView_->setAlpha(0);
    titleSelectView_->addSubview(litebgView_);
    for (std::size_t i = 0; i < kinds().size(); ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({0, 44.0 * double(i) + 2, 160, 44});
        button->setBackgroundColor(Color::clear());
        const std::string title = localized(kinds()[i].title);
        button->setTitle(title);
        button->setTitleColor(Color::lightGray());
        button->setTitleColor(kRelevantChosen, ControlStateHighlighted);
        button->setTitleColor(kRelevantChosen, ControlStateSelected);
        button->titleLabel()->setFont(Font::systemFontOfSize(16));
        button->setAccessibilityValue(title);
        button->setAccessibilityLabel(kinds()[i].type);
        button->setTag(kKindButtonTag + int(i));
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->didGetSelectedWith(static_cast<Button&>(control));
        });
        if (i + 1 < kinds().size()) {
            auto line = std::make_shared<View>(Rect(4, 43.4, 152, 0.6));
            line->setBackgroundColor(kRelevantPanelLine);
            button->addSubview(line);
        }
        if (i == 0) {
            button->setSelected(true);
            button->setUserInteractionEnabled(false);
        }
        litebgView_->addSubview(button);
    }

    dataArray_.clear();
    initTableView();
    pageIndex_ = 1;
    relevantMeType_.clear();
    isLoading_ = true;
    toReloadRelevantMeData();
}

void MVTRelevantMeViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    MVTAppDelegate::sharedAppDelegate()->setNowPage(MVTAppDelegate::VoicePageRelevantMe);
}

void MVTRelevantMeViewController::setArrowInsets() {
    const std::string text = titleLa_->text();
    const double b = text.empty() ? 2 : (TextMeasure::sizeWithFont(text, titleLa_->font()).width + 4) / 2;
    titleBtn_->setImageEdgeInsets({19, b + 80, 19, 70 - b});
}

void MVTRelevantMeViewController::showWait(bool show) {
    if (!show) {
        if (HUD_) HUD_->hide(true);
        return;
    }
    if (HUD_) HUD_->removeFromSuperview();
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
}

void MVTRelevantMeViewController::goback() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    observers_.clear();
    downloadTokens_.clear();
    app->setNowPage(0);
    app->setNowPlayPage(0);
    if (titleSelectView_) titleSelectView_->removeFromSuperview();
    dismissViewController(true);
}

// ---- The drop-down

void MVTRelevantMeViewController::toChangeTitle() {
    if (auto window = Window::keyWindowRef()) window->addSubview(titleSelectView_);
    else view()->addSubview(titleSelectView_);
    auto panel = litebgView_;
    auto tap = selectTap_;
    animate(
        0.3,
        [panel] {
            panel->setAlpha(1);
            Rect frame = panel->frame();
            panel->setFrame({frame.x(), 56, frame.width(), frame.height()});
        },
        [tap](bool) { tap->setEnabled(true); });
}

void MVTRelevantMeViewController::closeTapClicked(Point at) {
    auto hit = titleSelectView_->hitTest(at);
    if (!hit || hit->tag() != kCoverTag) return;
    closeDropDown();
}

void MVTRelevantMeViewController::closeDropDown() {
    auto panel = litebgView_;
    auto tap = selectTap_;
    auto cover = titleSelectView_;
    animate(
        0.3,
        [panel] {
            panel->setAlpha(0);
            Rect frame = panel->frame();
            panel->setFrame({frame.x(), 76, frame.width(), frame.height()});
        },
        [tap, cover](bool) {
            tap->setEnabled(false);
            cover->removeFromSuperview();
        });
}

void MVTRelevantMeViewController::didGetSelectedWith(Button& chosen) {
    for (const auto& view : litebgView_->subviews()) {
        auto button = std::dynamic_pointer_cast<Button>(view);
        if (!button || button->tag() < kKindButtonTag) continue;
        const bool isChosen = button.get() == &chosen;
        button->setSelected(isChosen);
        button->setUserInteractionEnabled(!isChosen);
    }
    const std::string title = chosen.titleForState(ControlStateNormal);
    if (title != titleLa_->text()) {
        titleLa_->setText(title);
        setArrowInsets();
        relevantMeType_ = chosen.accessibilityLabel();
        toReloadRelevantMeData();
    }
    closeDropDown();
}

// ---- Loading

bool MVTRelevantMeViewController::isPage(const Json& reply) { return reply.is_array(); }

void MVTRelevantMeViewController::sendListRequest(int page,
                                                  std::function<void(MVTRelevantMeViewController&, const Json&)> done,
                                                  std::function<void(MVTRelevantMeViewController&)> failed) {
    Json parameters = nullptr;
    if (!relevantMeType_.empty()) parameters = Json{{"type", relevantMeType_}};
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + userId() + "/relative/" + std::to_string(page) + "/list", parameters);
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        showWait(false);
        isLoading_ = false;
        isFalse_ = true;
        // The title button answers again: a later refresh can still be chosen.
        titleBtn_->setUserInteractionEnabled(true);
        initTableView();
        return;
    }
    request->setTimeoutInterval(kListTimeout);
    relevantOperation(std::move(*request), weakAs<MVTRelevantMeViewController>(), std::move(done), std::move(failed))
        ->start();
}

// Records of a page: its dictionaries, each a mutable copy.
static std::vector<Json> relevantRecords(const Json& reply) {
    std::vector<Json> records;
    if (!reply.is_array()) return records;
    for (const auto& entry : reply)
        if (entry.is_object()) records.push_back(entry);
    return records;
}

void MVTRelevantMeViewController::toReloadRelevantMeData() {
    showWait(true);
    titleBtn_->setUserInteractionEnabled(false);
    pageIndex_ = 1;
    sendListRequest(
        1,
        [](MVTRelevantMeViewController& self, const Json& reply) {
            self.showWait(false);
            self.titleBtn_->setUserInteractionEnabled(true);
            self.pageIndex_ = 2;
            MVTAccount::sharedInstance().setNewRelevantMe(0);
            NotificationCenter::defaultCenter().postNotification(kMarkUpsideNotification);
            if (isPage(reply)) {
                self.dataArray_ = relevantRecords(reply);
                self.isLoading_ = reply.size() >= std::size_t(kPageFull);
                self.isFalse_ = false;
            } else {
                // An empty or unreadable body.
                self.isLoading_ = false;
                self.isFalse_ = true;
                self.dataArray_.clear();
            }
            self.initTableView();
            self.myTable_->setContentOffset({0, 0}, false);
        },
        [](MVTRelevantMeViewController& self) {
            self.showWait(false);
            self.titleBtn_->setUserInteractionEnabled(true);
            self.isLoading_ = false;
            self.isFalse_ = true;
            self.dataArray_.clear();
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            self.initTableView();
        });
}

void MVTRelevantMeViewController::initRelevantMeData() {
    showWait(true);
    sendListRequest(
        pageIndex_,
        [](MVTRelevantMeViewController& self, const Json& reply) {
            self.showWait(false);
            const auto records = relevantRecords(reply);
            if (isPage(reply)) {
                for (const auto& record : records) self.dataArray_.push_back(record);
                self.isLoading_ = reply.size() >= std::size_t(kPageFull);
                self.isFalse_ = false;
            } else {
                self.isLoading_ = false;
            }
            self.initTableView();
            ++self.pageIndex_;
        },
        [](MVTRelevantMeViewController& self) {
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            self.showWait(false);
            self.isLoading_ = false;
            self.isFalse_ = true;
            self.isMoring_ = false;
            if (!self.dataArray_.empty())
                self.myTable_->reloadRowsAtIndexPaths({{0, int(self.dataArray_.size())}}, TableViewRowAnimation::None);
        });
}

void MVTRelevantMeViewController::againGetListData() {
    isLoading_ = true;
    isMoring_ = true;
    isFalse_ = false;
    initRelevantMeData();
}

void MVTRelevantMeViewController::initTableView() {
    if (!myTable_) {
        const Rect screen = Screen::mainScreen().bounds();
        myTable_ = myTableView::make({0, 0, screen.width(), screen.height() - 64}, TableViewStyle::Plain);
        myTable_->setBackgroundColor(Color::white(0.961));
        myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        myTable_->setBackgroundView(nullptr);
        myTable_->setTag(0);
        myTable_->setDataSource(weakAs<TableViewDataSource>().lock());
        myTable_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(myTable_);
        const double height = myTable_->bounds().height();
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, myTable_->bounds().width(), height});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        myTable_->addSubview(refreshHeaderView_);
        return;
    }
    isMoring_ = false;
    myTable_->reloadData();
    auto weak = weakAs<MVTRelevantMeViewController>();
    RunLoop::main().performAfter(0.5, [weak] {
        auto self = weak.lock();
        if (!self || !self->reloading_) return;
        self->reloading_ = false;
        self->refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*self->myTable_);
    });
}

// ---- Rows

int MVTRelevantMeViewController::numberOfRowsInSection(TableView&, int) {
    return dataArray_.empty() ? 0 : int(dataArray_.size()) + 1;
}

std::shared_ptr<TableViewCell> MVTRelevantMeViewController::cellForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const std::size_t row = std::size_t(indexPath.row);
    auto cell = row < dataArray_.size() ? MVTRelevantMeCell::initWithtData(dataArray_[row])
                                        : MVTRelevantMeCell::initWithStyle("aCell", isLoading_, isFalse_);
    cell->setDelegate(weakAs<MVTRelevantMeCellDelegate>());
    cell->contentView()->setBackgroundColor(Color::white(0.961));
    return cell;
}

double MVTRelevantMeViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    return cellForRowAtIndexPath(tableView, indexPath)->frame().height();
}

void MVTRelevantMeViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (std::size_t(indexPath.row) != dataArray_.size() || !isLoading_ || isMoring_) return;
    isMoring_ = true;
    auto weak = weakAs<MVTRelevantMeViewController>();
    RunLoop::main().performAfter(0.01, [weak] {
        if (auto self = weak.lock()) self->initRelevantMeData();
    });
}

void MVTRelevantMeViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (std::size_t(indexPath.row) >= dataArray_.size()) return;
    tableView.deselectRowAtIndexPath(indexPath, true);
    selectedRow_ = indexPath.row;
    goToDetailWith(indexPath.row);
}

void MVTRelevantMeViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTRelevantMeViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTRelevantMeViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    toReloadRelevantMeData();
}

bool MVTRelevantMeViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

// ---- Opening a post

Json MVTRelevantMeViewController::decorationFromContent(const std::string& content) {
    const auto honour = content.rfind("/honor/");
    const auto open = content.rfind("<span>");
    if (honour == std::string::npos || open == std::string::npos) return nullptr;
    std::string picture = content.substr(honour + 7);
    picture = picture.substr(0, picture.find('.'));
    const auto close = content.find("</span>", open);
    const std::string inner = content.substr(open + 6, close == std::string::npos ? std::string::npos : close - open - 6);
    static const std::string colon = "：";
    const auto first = inner.find(colon), last = inner.rfind(colon);
    return Json{{"img", picture + ".gif"},
                {"name", first == std::string::npos ? inner : inner.substr(0, first)},
                {"description", last == std::string::npos ? std::string() : inner.substr(last + colon.size())}};
}

void MVTRelevantMeViewController::goToDetailWith(int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    const Json& record = dataArray_[std::size_t(row)];
    const std::string postId = textOf(record, "feedId"), kind = textOf(record, "feedType");
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/message", Json::object());
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showWait(true);
    request->setTimeoutInterval(kItemTimeout);
    view()->setUserInteractionEnabled(false);
    relevantOperation(
        std::move(*request), weakAs<MVTRelevantMeViewController>(),
        [postId, kind, row](MVTRelevantMeViewController& self, const Json& reply) {
            self.showWait(false);
            self.view()->setUserInteractionEnabled(true);
            if (!reply.is_object() || reply.empty()) return;
            self.selectdict_ = std::make_shared<Json>(reply);
            Json& post = *self.selectdict_;
            if (kind == "decoration") {
                // Without a picture path or a span there is no medal to draw: the post
                // opens as it came.
                const Json decoration = decorationFromContent(textOf(reply, "content"));
                if (decoration.is_object()) {
                    post["decoration"] = decoration;
                    post["type"] = "decoration";
                }
            }
            post["type"] = kind;
            auto details = std::make_shared<MVTDetailsViewController>();
            details->setMyDict(self.selectdict_);
            details->setModelName("feed");
            details->setModelID(postId);
            details->setDelegate(self.weakAs<MVTDetailsViewControllerDelegate>().lock());
            details->setSelfIndexStr(std::to_string(row));
            if (auto* navigation = self.navigationController()) navigation->pushViewController(details, true);
        },
        [](MVTRelevantMeViewController& self) {
            self.showWait(false);
            self.view()->setUserInteractionEnabled(true);
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageBusy);
        })
        ->start();
}

void MVTRelevantMeViewController::reloadOneCell() {
    if (!selectdict_ || selectedRow_ < 0 || std::size_t(selectedRow_) >= dataArray_.size()) return;
    Json& record = dataArray_[std::size_t(selectedRow_)];
    bool changed = false;
    // The praise state comes as the detail screen left it: praise taken back stays taken back.
    if (textOf(*selectdict_, "likeCount") != textOf(record, "likeCount") ||
        textOf(*selectdict_, "love") != textOf(record, "love")) {
        record["likeCount"] = textOf(*selectdict_, "likeCount");
        record["love"] = textOf(*selectdict_, "love");
        changed = true;
    }
    if (textOf(*selectdict_, "commentCount") != textOf(record, "commentCount")) {
        record["commentCount"] = textOf(*selectdict_, "commentCount");
        changed = true;
    }
    if (changed && myTable_) myTable_->reloadRowsAtIndexPaths({{0, selectedRow_}}, TableViewRowAnimation::None);
}

void MVTRelevantMeViewController::deleteOneCell(int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    dataArray_.erase(dataArray_.begin() + row);
    if (myTable_) myTable_->reloadData();
}

// ---- Praise, voices, attachments and links of post rows

void MVTRelevantMeViewController::sendPraiseWith(Button& praiseButton) {
    const int row = praiseButton.tag();
    const std::string postId = praiseButton.accessibilityHint();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/praise");
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showWait(true);
    auto target = std::static_pointer_cast<Button>(praiseButton.shared_from_this());
    relevantOperation(
        std::move(*request), weakAs<MVTRelevantMeViewController>(),
        [target, row, postId](MVTRelevantMeViewController& self, const Json& reply) {
            self.showWait(false);
            auto label = std::dynamic_pointer_cast<Label>(target->viewWithTag(1121));
            auto praised = [&](const std::string& count) {
                if (label) label->setText(count);
                target->setUserInteractionEnabled(false);
                // The cached row is the post's, whatever the reaction's own id.
                MVTtirraDataBase::updateDynamicDataWithIDWithLikeCount(userId(), postId, count);
                if (row >= 0 && std::size_t(row) < self.dataArray_.size()) {
                    self.dataArray_[std::size_t(row)]["likeCount"] = count;
                    self.dataArray_[std::size_t(row)]["love"] = "1";
                }
                if (auto heart = std::dynamic_pointer_cast<ImageView>(target->viewWithTag(102))) {
                    heart->setImage(Image::imageNamed("liked.png"));
                    heart->setFrame({6, 8, 24, 24});
                    animate(0.3, [heart] { heart->setFrame({10, 12, 16, 16}); });
                }
            };
            const std::string message = textOf(reply, "message");
            if (reply.is_object() && integerValue(Json(textOf(reply, "success"))) != 0) {
                praised(std::to_string(integerValue(Json(textOf(reply, "count")))));
            } else if (message == "该内容已被删除") {
                MVTtirraDataBase::deleteDynamicWith(userId(), postId);
                self.deleteOneCell(row);
            } else if (message == "已经赞过了，不能再赞了") {
                std::string count = label ? label->text() : "1";
                if (integerValue(Json(count)) == 0) count = "1";
                praised(count);
            } else {
                MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            }
        },
        [](MVTRelevantMeViewController& self) {
            self.showWait(false);
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        })
        ->start();
}

void MVTRelevantMeViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    if (!post::isPlainName(resourceId) || row < 0 || std::size_t(row) >= dataArray_.size()) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    downloading_ = true;
    voiceRow_ = row;
    audioFeedId_ = textOf(dataArray_[std::size_t(row)], "id");
    auto weak = weakAs<MVTRelevantMeViewController>();
    // Each download has its own notice, observed until it ends or the screen goes.
    const std::string name = "relevantMe" + resourceId;
    downloadTokens_[name] = NotificationCenter::defaultCenter().addObserver(
        name, [weak, resourceId, name](const Notification& notification) {
            auto self = weak.lock();
            if (!self) return;
            self->downloadTokens_.erase(name);
            self->downloading_ = false;
            const bool ok = textOf(notification.object) == "downloadSuccess" &&
                            MVTVoiceJoiner::amrToWav(post::voiceFile(resourceId), post::wavFile(resourceId)) > 0;
            if (ok) {
                self->playRecord(resourceId, self->voiceRow_);
            } else if (!self->dataArray_.empty() && self->myTable_) {
                MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
                self->myTable_->reloadRowsAtIndexPaths({{0, self->voiceRow_}}, TableViewRowAnimation::None);
            }
        });
    MVTAppDelegate::downloadVoice(ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" +
                                      app->getTokenWith(resourceId),
                                  post::voiceFile(resourceId), name);
}

void MVTRelevantMeViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayPage(MVTAppDelegate::VoicePageRelevantMe);
    audioFeedId_ = textOf(dataArray_[std::size_t(row)], "id");
    if (app->nowPlayPath().empty() && !downloading_) {
        if (resourceId) startVoice(*resourceId, row);
        return;
    }
    if (voiceRow_ == row) {
        if (resourceId) app->playsound();
        else app->pauseSound();
        return;
    }
    app->stopPlayAudio();
    if (resourceId) startVoice(*resourceId, row);
}

void MVTRelevantMeViewController::startVoice(const std::string& resourceId, int row) {
    if (!post::isPlainName(resourceId)) return;
    vedioStr_ = resourceId;
    std::string music;
    for (const auto& attachment : post::listOf(dataArray_[std::size_t(row)], "attachments")) {
        if (textOf(attachment, "type") != "audio") continue;
        const std::string bg = textOf(attachment, "bg");
        if (bg == "1" || bg == "2" || bg == "3" || bg == "4" || bg == "5") music = bg + ".mp3";
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayId(audioFeedId_);
    app->toSetAudio(post::wavFile(resourceId), music);
    stop_ = true;
    voiceRow_ = row;
}

void MVTRelevantMeViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                       const std::string& type) {
    if (!post::isPlainName(resourceId) || !post::isPlainName(type)) {
        AlertView::make(localized("没有找到资源"), "", weakAs<AlertViewDelegate>(), localized("知道了"))->show();
        return;
    }
    if (!attachments_) {
        AttachmentDownloadOverlay::Options options;
        options.amrIsVoice = false;
        options.voiceAction = AttachmentDownloadOverlay::VoiceAction::AsFile;
        options.overlayFillsHostView = true;
        attachments_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), options, {}, weakAs<AlertViewDelegate>());
    }
    attachments_->toDownLoadAttachsWith(resourceId, type, name);
}

void MVTRelevantMeViewController::sendLinkWith(const std::string& url, const std::string& title) {
    auto page = std::make_shared<MVTWebViewController>();
    page->setIsFromHomeView(true);
    presentViewController(myNavigationController::withRoot(page), true);
    page->reloadUrlWith(url, title);
}
