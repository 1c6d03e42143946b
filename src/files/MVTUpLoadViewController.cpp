#include "files/MVTUpLoadViewController.h"

#include "files/MVTDownLoadViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

#include <algorithm>

using namespace platform;

namespace {
constexpr double kUploadPanelY = 20;
}

double MVTUpLoadViewController::panelHeightFor(std::size_t count) {
    if (count <= 3) return 81;
    if (count <= 7) return 154;
    return 227;
}

Rect MVTUpLoadViewController::slotFrame(std::size_t index) {
    return {8 + 73.0 * static_cast<double>(index % 4), 8 + 73.0 * static_cast<double>(index / 4), 65, 65};
}

void MVTUpLoadViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    if (typeOfFile_ == 1) setTitle(localized("上传图片"));
    if (typeOfFile_ == 2) setTitle(localized("上传视频"));
    auto weak = weakAs<MVTUpLoadViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel("back");
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto send = MVTPublicMethod::navigationrightBarButton(localized("上传"));
    send->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toPostFiles();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(send));

    isShowClass_ = false;
    const double W = Screen::mainScreen().bounds().width();
    picBgView_ = std::make_shared<View>(Rect(10, kUploadPanelY, W - 20, panelHeightFor(0)));
    picBgView_->setBackgroundColor(Color::whiteColor());
    picBgView_->setCornerRadius(4);
    view()->addSubview(picBgView_);
    addBtn_ = Button::buttonWithType(ButtonType::Custom);
    addBtn_->setFrame(slotFrame(0));
    addBtn_->setBackgroundColor(Color::whiteColor());
    addBtn_->setImage(Image::imageNamed("addPic.png"));
    addBtn_->setAccessibilityLabel("addPic");
    addBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toAddPic();
    });
    picBgView_->addSubview(addBtn_);

    if (whereFrom_ != "group") {
        const double top = picBgView_->frame().maxY();
        mytableview_ = myTableView::make({0, top, W, view()->bounds().height() - top}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(Color::white(0.961));
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
        getCourseData();
    }
}

void MVTUpLoadViewController::viewDidDisappear(bool animated) {
    ViewViewController::viewDidDisappear(animated);
    showHUDWithBool(false);
}

void MVTUpLoadViewController::showHUDWithBool(bool show) {
    if (show) {
        ProgressHUD::hideHUDForView(view(), false);
        ProgressHUD::showHUDAddedTo(view(), true);
    } else {
        ProgressHUD::hideHUDForView(view(), true);
    }
}

void MVTUpLoadViewController::getCourseData() {
    dataArray_ = Json::array();
    const std::string url = ServiceAddress::servicePrefix() + "teacher/" +
                            MVTAccount::sharedInstance().userId().value_or("") + "/classes";
    auto request = MVTPublicMethod::requestWithMethod("GET", url, Json::object());
    if (!request) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    auto weak = weakAs<MVTUpLoadViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self || !reply.is_array()) return;
            for (const auto& item : reply)
                if (item.is_object()) self->dataArray_.push_back(item);
            self->selectAllClass();
            self->mytableview_->reloadData();
        },
        [](HttpRequestOperation&, const HttpError&) {});
    operation->start();
}

void MVTUpLoadViewController::selectAllClass() {
    classIdArray_.clear();
    for (const auto& item : dataArray_) classIdArray_.push_back(textOf(item.value("id", Json())));
}

std::string MVTUpLoadViewController::dealWithClassIdArray() const {
    std::string joined;
    for (std::size_t i = 0; i < classIdArray_.size(); ++i) joined += (i ? "," : "") + classIdArray_[i];
    return joined;
}

void MVTUpLoadViewController::btnClick() {
    isShowClass_ = !isShowClass_;
    mytableview_->reloadData();
}

void MVTUpLoadViewController::tickClass(const std::string& id) {
    auto at = std::find(classIdArray_.begin(), classIdArray_.end(), id);
    if (at != classIdArray_.end())
        classIdArray_.erase(at);
    else
        classIdArray_.push_back(id);
}

void MVTUpLoadViewController::toAddPic() {
    if (picks_.size() >= kMaxPicks) return;
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(kMaxPicks - picks_.size());
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTUpLoadViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                           const std::vector<PickedAsset>& assets) {
    if (!assets.empty()) addNewPicWith(assets);
}

void MVTUpLoadViewController::addNewPicWith(const std::vector<PickedAsset>& assets) {
    auto weak = weakAs<MVTUpLoadViewController>();
    for (const auto& asset : assets) {
        if (picks_.size() >= kMaxPicks) break;
        Pick pick;
        pick.serial = nextSerial_++;
        pick.asset = asset;
        pick.view = std::make_shared<ImageView>(slotFrame(picks_.size()));
        pick.view->setBackgroundColor(Color::clear());
        // A video shows its picture until a still is made (none here: the platform makes
        // no stills of videos).
        if (typeOfFile_ == 2) pick.view->setImage(Image::imageNamed("upload_video.png"));
        picks_.push_back(pick);
        const unsigned long serial = pick.serial;
        dispatchBackground([weak, asset, serial] {
            auto image = asset.fullScreenImage();
            dispatchMain([weak, serial, image] {
                if (auto self = weak.lock()) self->previewMade(serial, image);
            });
        });
    }
    layoutPanel();
}

void MVTUpLoadViewController::previewMade(unsigned long serial, std::shared_ptr<Image> image) {
    auto found = std::find_if(picks_.begin(), picks_.end(), [serial](const Pick& p) { return p.serial == serial; });
    if (found == picks_.end() || !image) return;
    found->image = image;
    found->view->setImage(image);
}

void MVTUpLoadViewController::layoutPanel() {
    for (const auto& sub : std::vector<std::shared_ptr<View>>(picBgView_->subviews())) sub->removeFromSuperview();
    const std::size_t n = picks_.size();
    Rect panel = picBgView_->frame();
    picBgView_->setFrame({panel.x(), panel.y(), panel.width(), panelHeightFor(n)});
    if (mytableview_) {
        const double top = picBgView_->frame().maxY();
        mytableview_->setFrame({0, top, mytableview_->frame().width(), view()->bounds().height() - top});
    }
    auto weak = weakAs<MVTUpLoadViewController>();
    for (std::size_t i = 0; i < n; ++i) {
        auto& pick = picks_[i];
        pick.view->setFrame(slotFrame(i));
        pick.view->setTag(static_cast<long>(i));
        picBgView_->addSubview(pick.view);
        auto tap = Button::buttonWithType(ButtonType::Custom);
        tap->setFrame(slotFrame(i));
        tap->setBackgroundColor(Color::clear());
        tap->setTag(static_cast<long>(i));
        tap->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
            if (auto self = weak.lock()) self->deletePic(static_cast<Button&>(sender));
        });
        picBgView_->addSubview(tap);
    }
    addBtn_->setFrame(slotFrame(std::min(n, kMaxPicks - 1)));
    addBtn_->setHidden(n >= kMaxPicks);
    picBgView_->addSubview(addBtn_);
}

void MVTUpLoadViewController::deletePic(Button& button) {
    currentIndex_ = static_cast<std::size_t>(std::max<long>(0, button.tag()));
    auto& menu = MenuController::shared();
    menu.setMenuVisible(false);
    auto weak = weakAs<MVTUpLoadViewController>();
    menu.setMenuItems({{localized("删除"), [weak] {
                            if (auto self = weak.lock()) self->cancelBtnClick();
                        }}});
    const Rect frame = button.frame();
    menu.setTargetRect({frame.x(), frame.y() + 10, frame.width(), frame.height()}, picBgView_);
    menu.setMenuVisible(true, true);
}

void MVTUpLoadViewController::cancelBtnClick() {
    if (currentIndex_ >= picks_.size()) return;
    picks_.erase(picks_.begin() + static_cast<long>(currentIndex_));
    layoutPanel();
}

void MVTUpLoadViewController::toPostFiles() {
    Json parms = Json::object();
    if (whereFrom_ != "group" && !classIdArray_.empty() && classIdArray_.size() < dataArray_.size())
        parms["classIds"] = dealWithClassIdArray();
    if (picks_.empty()) {
        AlertView::make("", localized("您还未选择文件，无法上传"), {}, localized("知道了"))->show();
        return;
    }
    showHUDWithBool(true);
    auto manager = MVTDownLoadViewController::shareDownLoadViewController();
    for (std::size_t i = 0; i < picks_.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (typeOfFile_ == 1) {
            // A photo whose preview is still being made is read now: the task sends a picture.
            auto image = picks_[i].image ? picks_[i].image : picks_[i].asset.fullScreenImage();
            manager->addUpLoadTask(image, "", 1, "来自iPhone的" + number + "照片.png", upTaskdelegateFile_, parms,
                                   fileUpUrl_);
        } else {
            manager->addUpLoadTask(nullptr, picks_[i].asset.file.string(), typeOfFile_,
                                   "来自iPhone的" + number + "视频.mov", upTaskdelegateFile_, parms, fileUpUrl_);
        }
    }
    dismissViewController(true);
}

void MVTUpLoadViewController::goback() {
    StatisticsKit::shared().endLogPageView("班级文件");
    if (picks_.empty()) {
        dismissViewController(true);
        return;
    }
    auto alert = AlertView::make("", localized("您已经选择了文件,还未上传,是否退出"), weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(kLeaveAlertTag);
    alert->show();
}

void MVTUpLoadViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kLeaveAlertTag && index == 1) dismissViewController(true);
}

int MVTUpLoadViewController::numberOfSectionsInTableView(TableView&) { return 1; }

int MVTUpLoadViewController::numberOfRowsInSection(TableView&, int) {
    return isShowClass_ ? static_cast<int>(dataArray_.size()) : 0;
}

double MVTUpLoadViewController::heightForHeaderInSection(TableView&, int) { return 30; }

std::shared_ptr<View> MVTUpLoadViewController::viewForHeaderInSection(TableView&, int) {
    const double W = Screen::mainScreen().bounds().width();
    auto header = std::make_shared<View>(Rect(0, 0, W, 30));
    header->setBackgroundColor(Color::rgb255(244, 249, 243));
    auto label = std::make_shared<Label>(Rect(30, 5, W - 40, 20));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::white(0.333));
    label->setBackgroundColor(Color::clear());
    label->setText(localized("选择可见班级(默认全选)"));
    header->addSubview(label);
    auto arrowImage = Image::imageNamed(isShowClass_ ? "tri_03" : "tri2_03");
    auto arrow = std::make_shared<ImageView>(Rect(5, 10, arrowImage ? arrowImage->size().width : 0,
                                                  arrowImage ? arrowImage->size().height : 0));
    arrow->setImage(arrowImage);
    header->addSubview(arrow);
    auto line = std::make_shared<ImageView>(Rect(0, 30, W, 1));
    line->setImage(Image::imageNamed("line_10"));
    header->addSubview(line);
    auto fold = Button::buttonWithType(ButtonType::Custom);
    fold->setFrame({0, 0, W, 30});
    fold->setBackgroundColor(Color::clear());
    fold->setAccessibilityLabel("classHeader");
    auto weak = weakAs<MVTUpLoadViewController>();
    fold->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->btnClick();
    });
    header->addSubview(fold);
    return header;
}

double MVTUpLoadViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 25; }

std::shared_ptr<TableViewCell> MVTUpLoadViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                              const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    }
    for (const auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    const Json& item = dataArray_.at(static_cast<std::size_t>(indexPath.row));
    auto label = std::make_shared<Label>(Rect(30, 0, 230, 25));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::white(0.333));
    label->setBackgroundColor(Color::clear());
    label->setText(textOf(item.value("level", Json())) + textOf(item.value("name", Json())));
    cell->contentView()->addSubview(label);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const std::string id = textOf(item.value("id", Json()));
    const bool ticked = std::find(classIdArray_.begin(), classIdArray_.end(), id) != classIdArray_.end();
    cell->setAccessoryType(ticked ? TableViewCellAccessoryType::Checkmark : TableViewCellAccessoryType::None);
    return cell;
}

void MVTUpLoadViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (static_cast<std::size_t>(indexPath.row) >= dataArray_.size()) return;
    tickClass(textOf(dataArray_.at(static_cast<std::size_t>(indexPath.row)).value("id", Json())));
    tableView.reloadRowsAtIndexPaths({indexPath}, TableViewRowAnimation::None);
}
