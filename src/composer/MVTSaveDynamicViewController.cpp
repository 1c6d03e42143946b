// The box of unsent posts: loading, the rows, deleting, sending again, the notice and the
// voice of a row.
#include "composer/MVTSaveDynamicViewController.h"

#include "composer/ComposerScreen.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"

#include <cstdlib>

using namespace platform;

namespace {

constexpr const char* kPageName = "草稿箱";
constexpr double kSendTimeout = 30;

std::string userIdText() { return MVTAccount::sharedInstance().userId().value_or(""); }

// Rows whose stored text was no post (broken JSON, no key) stay in the table untouched:
// without a key nothing could delete or send them.
bool isUsablePost(const nlohmann::json& post) {
    return post.is_object() && post.contains("dynamicId") && !textOf(post, "dynamicId").empty();
}

}  // namespace

MVTSaveDynamicViewController::~MVTSaveDynamicViewController() {
    if (sending_) sending_->cancel();
}

void MVTSaveDynamicViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("草稿箱"));
    auto weak = weakAs<MVTSaveDynamicViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setNowPage(MVTAppDelegate::VoicePageSave);
    dataArray_ = nlohmann::json::array();
    initTable();

    HUD = std::make_shared<ProgressHUD>();
    HUD->initWithView(view());
    view()->addSubview(HUD);
    HUD->show(true);
    RunLoop::main().performAfter(0.06, [weak] {
        if (auto self = weak.lock()) self->toGetData();
    });

    auto& center = NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver(kToStopSaveAudioPlay, [weak](const Notification&) {
        auto self = weak.lock();
        if (!self || !self->myTable_) return;
        if (auto cell = self->cellAt(self->myTable_->tag())) cell->showAudioProgress(1.1);
    }));
    observers_.push_back(center.addObserver(MVTAppDelegate::kToShowSaveProgress, [weak](const Notification& note) {
        auto self = weak.lock();
        if (!self || !self->myTable_) return;
        const double fraction = std::strtod(textOf(note.object).c_str(), nullptr);
        if (auto cell = self->cellAt(self->myTable_->tag())) cell->showAudioProgress(fraction);
    }));
}

void MVTSaveDynamicViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setNowPage(MVTAppDelegate::VoicePageSave);
}

void MVTSaveDynamicViewController::initTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const double W = composer_screen::width(), H = composer_screen::height();
    myTable_ = myTableView::make({0, 0, W, H - 64}, TableViewStyle::Plain);
    myTable_->setBackgroundColor(Color::clear());
    myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    myTable_->setTag(0);
    myTable_->setDataSource(std::static_pointer_cast<TableViewDataSource>(weakAs<MVTSaveDynamicViewController>().lock()));
    myTable_->setDelegate(std::static_pointer_cast<TableViewDelegate>(weakAs<MVTSaveDynamicViewController>().lock()));
    view()->addSubview(myTable_);
}

void MVTSaveDynamicViewController::toGetData() {
    if (HUD) HUD->hide(true);
    nlohmann::json posts = nlohmann::json::array();
    for (auto& post : MVTtirraDataBase::selectSaveDynamicData(userIdText()))
        if (isUsablePost(post)) posts.push_back(std::move(post));
    if (!posts.empty()) {
        dataArray_ = std::move(posts);
        initTable();
        return;
    }
    auto alert = AlertView::make(localized("暂无数据"), "", weakAs<AlertViewDelegate>(), localized("知道了"));
    alert->setTag(kEmptyAlertTag);
    alert->show();
}

// ---- Table ----------------------------------------------------------------------------------

int MVTSaveDynamicViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(dataArray_.size());
}

std::shared_ptr<MVTSaveDynamicCell> MVTSaveDynamicViewController::makeCell(int row, bool loadPictures) {
    auto cell = std::make_shared<MVTSaveDynamicCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "saveDynamicCell");
    cell->setDelegate(std::static_pointer_cast<MVTSaveDynamicCellDelegate>(weakAs<MVTSaveDynamicViewController>().lock()));
    cell->contentView()->setTag(row);
    cell->reloadDataWith(dataArray_.at(row), loadPictures);
    return cell;
}

std::shared_ptr<TableViewCell> MVTSaveDynamicViewController::cellForRowAtIndexPath(TableView&,
                                                                                   const IndexPath& indexPath) {
    const int row = indexPath.row;
    auto cell = makeCell(row);
    auto app = MVTAppDelegate::sharedAppDelegate();
    const bool playing = app && !app->nowPlayPath().empty();
    cell->changeState(row == myTable_->tag() && playing ? 2 : 0);
    cell->setBackgroundColor(Color::white(0.961));
    cell->contentView()->setBackgroundColor(Color::white(0.961));
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    if (row == subIndex_ && sending_) cell->changeSubmitBtnState(true);
    return cell;
}

double MVTSaveDynamicViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(dataArray_.size())) return 0;
    return makeCell(indexPath.row, false)->frame().height();
}

std::string MVTSaveDynamicViewController::heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(dataArray_.size())) return {};
    return textOf(dataArray_.at(indexPath.row), "dynamicId");
}

std::shared_ptr<MVTSaveDynamicCell> MVTSaveDynamicViewController::cellAt(int row) const {
    if (!myTable_) return nullptr;
    return std::dynamic_pointer_cast<MVTSaveDynamicCell>(myTable_->cellForRowAtIndexPath({0, row}));
}

// ---- Deleting ------------------------------------------------------------------------------

void MVTSaveDynamicViewController::toDeleteSaveDynamicWith(const std::string& dynamicId, int row) {
    deleteDynamicId_ = dynamicId;
    deleteIndex_ = row;
    auto alert =
        AlertView::make(localized("确认删除？"), "", weakAs<AlertViewDelegate>(), localized("取消"), {localized("确定")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTSaveDynamicViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kEmptyAlertTag) {
        goback();
    } else if (alert.tag() == kDeleteAlertTag && index == 1) {
        deleteSaveDynamic();
    }
}

void MVTSaveDynamicViewController::removePost(int row) {
    if (row < 0 || row >= static_cast<int>(dataArray_.size())) return;
    const nlohmann::json post = dataArray_.at(row);
    MVTAppDelegate::deletePostFiles(post);
    MVTtirraDataBase::deleteSaveDynamicWith(userIdText(), textOf(post, "dynamicId"));
    dataArray_.erase(dataArray_.begin() + row);
    // The playing row moves with the rows under the removed one.
    if (myTable_ && myTable_->tag() > row) myTable_->setTag(myTable_->tag() - 1);
    initTable();
}

void MVTSaveDynamicViewController::deleteSaveDynamic() {
    // The row is found again by its key: a send that ended meanwhile may have moved it.
    int row = -1;
    for (int i = 0; i < static_cast<int>(dataArray_.size()); ++i)
        if (textOf(dataArray_.at(i), "dynamicId") == deleteDynamicId_) row = i;
    if (row < 0 || (sending_ && row == subIndex_)) return;
    if (sending_ && subIndex_ > row) --subIndex_;
    removePost(row);
    showReloadNews(localized("图说删除成功"));
}

// ---- Sending again --------------------------------------------------------------------------

void MVTSaveDynamicViewController::showHud2(bool show) {
    if (show) {
        if (HUD2) HUD2->removeFromSuperview();
        HUD2 = std::make_shared<ProgressHUD>();
        HUD2->initWithView(view());
        HUD2->setLabelText(localized("正在发送"));
        view()->addSubview(HUD2);
        HUD2->show(true);
    } else if (HUD2) {
        HUD2->hide(true);
    }
}

void MVTSaveDynamicViewController::toSubmitWhichDynamicWith(int row) {
    if (sending_ || row < 0 || row >= static_cast<int>(dataArray_.size())) {
        if (auto cell = cellAt(row)) cell->changeSubmitBtnState(false);
        return;
    }
    subIndex_ = row;
    const nlohmann::json post = dataArray_.at(row);
    showHud2(true);
    const std::string url = MVTAppDelegate::publishUrl(userIdText());
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        showHud2(false);
        if (auto cell = cellAt(row)) cell->changeSubmitBtnState(false);
        return;
    }
    UrlRequest request = client->multipartFormRequestWithMethod(
        "POST", url, nullptr, [&post](HttpMultipartForm& form) { MVTAppDelegate::appendPostParts(form, post); });
    request.setTimeoutInterval(kSendTimeout);
    auto weak = weakAs<MVTSaveDynamicViewController>();
    const std::string key = textOf(post, "dynamicId");
    auto ended = [weak, key](bool sent) {
        auto self = weak.lock();
        if (!self) return;
        self->sending_.reset();
        int at = -1;
        for (int i = 0; i < static_cast<int>(self->dataArray_.size()); ++i)
            if (textOf(self->dataArray_.at(i), "dynamicId") == key) at = i;
        self->submitEnded(at, sent);
    };
    sending_ = client->HTTPRequestOperationWithRequest(
        request, [ended](HttpRequestOperation&, const std::string& body) { ended(integerValue(body) != 0); },
        [ended](HttpRequestOperation&, const HttpError&) { ended(false); });
    sending_->start();
}

void MVTSaveDynamicViewController::submitEnded(int row, bool sent) {
    if (auto cell = cellAt(row)) cell->changeSubmitBtnState(false);
    if (sent) {
        showReloadNews(localized("图说发送成功"));
        removePost(row);
    } else {
        showReloadNews(localized("图说发送失败"));
        initTable();
    }
    subIndex_ = -1;
    showHud2(false);
}

// ---- Notice and leaving ----------------------------------------------------------------------

void MVTSaveDynamicViewController::showReloadNews(const std::string& text) {
    const double W = composer_screen::width();
    if (!showCountLa_) {
        showCountLa_ = std::make_shared<Label>(Rect(5, 5, W - 10, 26));
        showCountLa_->setBackgroundColor(Color::rgb255(58, 145, 32));
        showCountLa_->setTextColor(Color::whiteColor());
        showCountLa_->setFont(Font::boldSystemFontOfSize(14));
        showCountLa_->setTextAlignment(TextAlignment::Center);
        showCountLa_->setCornerRadius(4);
        showCountLa_->setClipsToBounds(true);
        view()->addSubview(showCountLa_);
    }
    showCountLa_->setText(text);
    showCountLa_->setFrame({5, -30, W - 10, 26});
    showCountLa_->setAlpha(0);
    auto label = showCountLa_;
    auto weak = weakAs<MVTSaveDynamicViewController>();
    animate(0.4, [label, W] {
        label->setFrame({5, 5, W - 10, 26});
        label->setAlpha(1);
    });
    // endShow: out again 1.0 s after the slide in began.
    RunLoop::main().performAfter(1.0, [weak, label, W] {
        animate(
            0.4,
            [label, W] {
                label->setFrame({5, -30, W - 10, 26});
                label->setAlpha(0);
            },
            [weak](bool) {
                auto self = weak.lock();
                if (self && self->dataArray_.empty()) self->goback();
            },
            0.5, AnimationCurve::EaseIn);
    });
}

void MVTSaveDynamicViewController::goback() {
    if (left_) return;
    left_ = true;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app && !app->nowPlayPath().empty()) app->stopPlayAudio();
    observers_.clear();
    if (app) {
        app->setNowPage(0);
        app->setNowPlayPage(0);
    }
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}

// ---- Voice -------------------------------------------------------------------------------------

void MVTSaveDynamicViewController::playRecord(const std::string& name, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app || row < 0 || row >= static_cast<int>(dataArray_.size())) return;
    app->setNowPlayPage(MVTAppDelegate::VoicePageSave);
    const nlohmann::json& post = dataArray_.at(row);
    const std::string take = post.contains("vedioPath") && !post.at("vedioPath").is_null() ? textOf(post, "vedioPath") : "";
    if (take.empty()) return;
    const std::string wav = MVTPublicMethod::getPathByFileName(take, "wav");
    const std::string bg = textOf(post, "vedioBg");
    const std::string tune = bg == "1" || bg == "2" || bg == "3" || bg == "4" || bg == "5" ? bg + ".mp3" : "";
    if (app->nowPlayPath().empty()) {
        myTable_->setTag(row);
        app->toSetAudio(wav, tune);
    } else if (row != myTable_->tag()) {
        app->stopPlayAudio();
        myTable_->setTag(row);
        app->toSetAudio(wav, tune);
    } else if (!name.empty()) {
        app->playsound();
    } else {
        app->pauseSound();
    }
}
