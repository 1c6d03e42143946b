#include "files/MVTDownLoadViewController.h"

#include "files/MVTShowFileViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/SignOut.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <ctime>
#include <mutex>

using namespace platform;

namespace {

constexpr std::size_t kLargestFinishedList = 16u * 1024 * 1024;
constexpr double kTransferRowHeight = 80;

std::shared_ptr<MVTDownLoadViewController>& transferManagerInstance() {
    static std::shared_ptr<MVTDownLoadViewController> instance;
    return instance;
}

double transferScreenWidth() { return Screen::mainScreen().bounds().width(); }

std::string plistEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string plistDate(double seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::optional<double> plistDateSeconds(const std::string& text) {
    std::tm utc{};
    if (!strptime(text.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc)) return std::nullopt;
    return static_cast<double>(timegm(&utc));
}

std::string plistText(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

// The records of the XML property list: an array of dictionaries of strings and dates.
std::optional<Json> parseFinishedPlist(const std::string& bytes) {
    xmlDoc* doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "finish.plist", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) return std::nullopt;
    Json records = Json::array();
    bool ok = false;
    xmlNode* root = xmlDocGetRootElement(doc);
    if (root && xmlStrEqual(root->name, BAD_CAST "plist")) {
        for (xmlNode* array = root->children; array; array = array->next) {
            if (array->type != XML_ELEMENT_NODE) continue;
            if (!xmlStrEqual(array->name, BAD_CAST "array")) break;
            ok = true;
            for (xmlNode* dict = array->children; dict; dict = dict->next) {
                if (dict->type != XML_ELEMENT_NODE || !xmlStrEqual(dict->name, BAD_CAST "dict")) continue;
                Json record = Json::object();
                std::string key;
                for (xmlNode* item = dict->children; item; item = item->next) {
                    if (item->type != XML_ELEMENT_NODE) continue;
                    if (xmlStrEqual(item->name, BAD_CAST "key")) {
                        key = plistText(item);
                    } else if (!key.empty()) {
                        const std::string value = plistText(item);
                        if (xmlStrEqual(item->name, BAD_CAST "date")) {
                            if (auto seconds = plistDateSeconds(value)) record[key] = *seconds;
                        } else {
                            record[key] = value;
                        }
                        key.clear();
                    }
                }
                records.push_back(record);
            }
            break;
        }
    }
    xmlFreeDoc(doc);
    if (!ok) return std::nullopt;
    return records;
}

std::string finishedPlistText(const Json& records) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<array>\n";
    for (const auto& record : records) {
        out += "\t<dict>\n";
        for (const char* key : {"filePath", "filename", "time", "filesize"}) {
            out += std::string("\t\t<key>") + key + "</key>\n";
            if (std::string(key) == "time")
                out += "\t\t<date>" + plistDate(record.value("time", 0.0)) + "</date>\n";
            else
                out += "\t\t<string>" + plistEscaped(textOf(record, key)) + "</string>\n";
        }
        out += "\t</dict>\n";
    }
    out += "</array>\n</plist>\n";
    return out;
}

std::shared_ptr<Label> transferLabel(const Rect& frame, double size, const Color& color) {
    auto label = std::make_shared<Label>(frame);
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(color);
    return label;
}

}  // namespace

// ---- Rows ---------------------------------------------------------------------------------

void downLodingCell::build() {
    if (lblUrl_) return;
    const double w = transferScreenWidth();
    lblUrl_ = transferLabel({20, 0, w - 40, 30}, 16, Color::black());
    lblUrl_->setBackgroundColor(Color::whiteColor());
    progress_ = std::make_shared<ProgressView>();
    progress_->setFrame({20, 35, w - 40, 20});
    downLoading_ = transferLabel({20, 60, 150, 30}, 14, Color::gray());
    lblBytes_ = transferLabel({w - 160, 60, 120, 30}, 14, Color::gray());
    lblBytes_->setBackgroundColor(Color::whiteColor());
    for (const auto& view : std::vector<std::shared_ptr<View>>{lblUrl_, progress_, downLoading_, lblBytes_})
        contentView()->addSubview(view);
}

void downLodingCell::updatecell() {
    build();
    if (!myTask_) return;
    const bool download = myTask_->isDownload();
    downLoading_->setText(localized(download ? "正在等待下载…" : "正在等待上传…"));
    lblUrl_->setText(myTask_->shownName());
    lblBytes_->setText(myTask_->bytesProgress());
    progress_->setProgress(std::max(0.0f, myTask_->progress()));
    std::weak_ptr<downLodingCell> weak = std::static_pointer_cast<downLodingCell>(shared_from_this());
    myTask_->receiveObject([weak, download](const Json& value) {
        auto row = weak.lock();
        if (!row) return;
        if (download)
            row->updateCellData(std::stof(textOf(value, "progr")), textOf(value, "bytesProgress"));
        else
            row->updateCellData(std::stof(textOf(value)));
    });
}

void downLodingCell::updateCellData(float x, const std::string& text) {
    if (x < 0) {
        downLoading_->setText(localized("下载失败"));
        lblBytes_->setText(localized("滑动删除失败任务"));
        progress_->setProgress(0);
        return;
    }
    if (downLoading_->text() == localized("正在等待下载…")) downLoading_->setText(localized("正在下载…"));
    lblBytes_->setText(text);
    progress_->setProgress(x);
    if (x == 1.0f && myTask_)
        NotificationCenter::defaultCenter().postNotification(kDownCompleteNotification, nullptr, nullptr, myTask_);
}

void downLodingCell::updateCellData(float x) {
    if (x < 0) {
        downLoading_->setText(localized("上传失败"));
        lblBytes_->setText(localized("滑动删除失败任务"));
        progress_->setProgress(0);
        return;
    }
    if (downLoading_->text() == localized("正在等待上传…")) downLoading_->setText(localized("正在上传…"));
    progress_->setProgress(x);
}

void MyCompletedCell::updatecell() {
    const double w = transferScreenWidth();
    if (!lblUrl_) {
        lblUrl_ = transferLabel({20, 0, w - 70, 30}, 16, Color::black());
        lblUrl_->setBackgroundColor(Color::whiteColor());
        contentView()->addSubview(lblUrl_);
        const std::string status = localized(isDownLoaded_ ? "下载完成" : "上传完成");
        downLoading_ = transferLabel(
            {20, 40, TextMeasure::sizeWithFont(status, Font::systemFontOfSize(14)).width, 30}, 14, Color::gray());
        downLoading_->setText(status);
        contentView()->addSubview(downLoading_);
        if (isDownLoaded_) {
            lblBytes_ = transferLabel({w - 160, 40, 150, 30}, 14, Color::gray());
            lblBytes_->setTextAlignment(TextAlignment::Right);
            contentView()->addSubview(lblBytes_);
            showButton_ = Button::buttonWithType(ButtonType::Custom);
            showButton_->setFrame({w - 50, 10, 40, 30});
            showButton_->setTitle(localized("查看"));
            showButton_->setTitleColor(Color::black());
            showButton_->titleLabel()->setFont(Font::systemFontOfSize(12));
            showButton_->setBorderColor(Color::gray());
            showButton_->setBorderWidth(1);
            showButton_->setCornerRadius(2);
            const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
            const std::string folder = MVTDownLoadViewController::downloadsFolder(userId);
            // The record's name is its own last path component: it cannot point elsewhere.
            const std::string stored = std::filesystem::path(textOf(fileDic_, "filename")).filename().string();
            showButton_->setAccessibilityHint(folder + "/" + stored);
            auto delegate = delegate_;
            showButton_->addTarget(ControlEventTouchUpInside, [delegate](Control& control) {
                if (auto target = delegate.lock()) target->fileShow(static_cast<Button&>(control));
            });
            contentView()->addSubview(showButton_);
        }
    }
    const std::string name = filesShownName(textOf(fileDic_, "filename"));
    lblUrl_->setText(isDownLoaded_ ? MVTDownLoadViewController::shortenedName(name, 16, 7, 8)
                                   : MVTDownLoadViewController::shortenedName(name, 21, 10, 8));
    if (lblBytes_) lblBytes_->setText(textOf(fileDic_, "filesize"));
}

// ---- The manager --------------------------------------------------------------------------

std::shared_ptr<MVTDownLoadViewController> MVTDownLoadViewController::shareDownLoadViewController() {
    static std::mutex creation;
    std::lock_guard lock(creation);
    auto& instance = transferManagerInstance();
    if (!instance) {
        instance = std::make_shared<MVTDownLoadViewController>();
        std::weak_ptr<MVTDownLoadViewController> weak = instance;
        auto taskOf = [](const Notification& note) -> std::shared_ptr<MVTTransferTask> {
            if (auto task = std::any_cast<std::shared_ptr<MVTTransferTask>>(&note.sender)) return *task;
            return nullptr;
        };
        instance->downObserver_ =
            NotificationCenter::defaultCenter().addObserver(kDownCompleteNotification, [weak, taskOf](const Notification& n) {
                if (auto self = weak.lock())
                    if (auto task = taskOf(n)) self->handleCompleteTask(task);
            });
        instance->upObserver_ =
            NotificationCenter::defaultCenter().addObserver(kUpLoadCompleteNotification, [weak, taskOf](const Notification& n) {
                if (auto self = weak.lock())
                    if (auto task = taskOf(n)) self->hanleUpLoadTask(task);
            });
        instance->signOutObserver_ =
            NotificationCenter::defaultCenter().addObserver(kSignedOutNotification, [weak](const Notification&) {
                if (auto self = weak.lock()) self->stopAllTasks();
            });
        instance->view();  // the screen with both tables at once
    }
    return instance;
}

void MVTDownLoadViewController::resetForTesting() {
    auto& instance = transferManagerInstance();
    if (instance)
        for (auto& task : instance->tasks_) task->stop();
    instance.reset();
}

std::string MVTDownLoadViewController::downloadsFolder(const std::string& userId) {
    return Paths::documentsPath() + "/" + userId + "Downloads";
}

std::string MVTDownLoadViewController::finishedListPath(const std::string& userId) {
    return Paths::documentsPath() + "/" + userId + "finishPlist.plist";
}

std::string MVTDownLoadViewController::shortenedName(const std::string& name, std::size_t from, std::size_t head,
                                                     std::size_t tail) {
    const std::u16string wide = toUtf16(name);
    if (wide.size() < from) return name;
    return fromUtf16(wide.substr(0, head)) + "···" + fromUtf16(wide.substr(wide.size() - tail));
}

Json MVTDownLoadViewController::readFinishedList(const std::string& userId) {
    auto bytes = readFile(finishedListPath(userId), kLargestFinishedList);
    if (!bytes) return Json::array();
    if (auto records = parseFinishedPlist(*bytes)) return *records;
    return Json::array();
}

void MVTDownLoadViewController::showRefusal(const std::string& message) {
    showAlert_ = AlertView::make(localized("提醒"), localized(message), {}, localized("知道了"), {});
    showAlert_->show();
}

std::shared_ptr<MVTDownloadTask> MVTDownLoadViewController::downFileUrl(const std::string& url,
                                                                        const std::string& filePath) {
    if (fileExists(filePath)) {
        showRefusal("文件已经下载，请勿重复下载");
        return nullptr;
    }
    if (isHaveThisTask(url)) {
        showRefusal("已经存在该下载进程，请勿重复");
        return nullptr;
    }
    auto task = MVTDownloadTask::initWithUrl(url, filePath);
    if (!task) return nullptr;
    addTask(task);
    return task;
}

void MVTDownLoadViewController::addUpLoadTask(std::shared_ptr<Image> image, const std::string& video, int type,
                                              const std::string& fileName, std::weak_ptr<MVTUploadFileDelegate> delegate,
                                              const Json& parms, const std::string& fileUpUrl) {
    auto task = MVTUpLoadTask::initWithData(std::move(image), video, type, fileName, parms, fileUpUrl);
    task->setDelegateFile(std::move(delegate));
    addTask(task);
}

void MVTDownLoadViewController::addTask(const std::shared_ptr<MVTTransferTask>& task) {
    tasks_.push_back(task);
    if (downloadingTable_) downloadingTable_->reloadData();
    if (tasks_.size() < 2) startHead();
}

bool MVTDownLoadViewController::isHaveThisTask(const std::string& url) const {
    if (MVTPublicMethod::stringIsClassNull(url)) return false;
    for (const auto& task : tasks_) {
        if (MVTPublicMethod::stringIsClassNull(task->url())) continue;
        const std::string prefix = task->url().substr(0, task->url().find("?token"));
        if (url.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

void MVTDownLoadViewController::startHead() {
    if (tasks_.empty()) return;
    auto head = tasks_.front();
    if (!head->isWaitting()) return;
    head->start();
    if (downloadingTable_) downloadingTable_->reloadData();
}

void MVTDownLoadViewController::record(const std::shared_ptr<MVTTransferTask>& task) {
    const std::string userId = task->userId();
    Json records = readFinishedList(userId);
    const std::string path = finishedListPath(userId);
    // An unreadable list is kept aside under another name, never written over.
    if (records.empty() && fileExists(path)) {
        auto bytes = readFile(path, kLargestFinishedList);
        if (!bytes || !parseFinishedPlist(*bytes)) {
            std::error_code ec;
            std::filesystem::rename(path, path + ".unreadable", ec);
        }
    }
    Json entry = Json::object();
    if (task->isDownload()) {
        entry["filePath"] = task->filePath();
        entry["filename"] = std::filesystem::path(task->filePath()).filename().string();
        const std::string& bytes = task->bytesProgress();
        entry["filesize"] = bytes.substr(0, bytes.find('/'));
    } else {
        entry["filePath"] = "upLoad";
        entry["filename"] = std::filesystem::path(task->fileName()).filename().string();
        entry["filesize"] = "-100";
    }
    entry["time"] = platform::Clock::current()->now();
    records.push_back(entry);
    if (!writeFileAtomically(path, finishedPlistText(records))) logText("write plist fail");
}

void MVTDownLoadViewController::handleCompleteTask(const std::shared_ptr<MVTTransferTask>& task) {
    auto found = std::find(tasks_.begin(), tasks_.end(), task);
    if (found == tasks_.end()) return;
    record(task);
    tasks_.erase(found);
    startHead();
    if (downloadingTable_) downloadingTable_->reloadData();
}

// Uploads end as downloads do: recorded, removed, the next started.
void MVTDownLoadViewController::hanleUpLoadTask(const std::shared_ptr<MVTTransferTask>& task) {
    handleCompleteTask(task);
}

void MVTDownLoadViewController::taskFiledDetail(const std::shared_ptr<MVTTransferTask>& task) {
    auto found = std::find(tasks_.begin(), tasks_.end(), task);
    if (found != tasks_.end()) removeTask(static_cast<int>(found - tasks_.begin()));
}

void MVTDownLoadViewController::removeTask(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= tasks_.size()) return;
    auto task = tasks_[static_cast<std::size_t>(index)];
    task->stop();
    // The partial file of an unfinished download goes with it.
    if (task->isDownload() && fileExists(task->filePath())) {
        std::error_code ec;
        std::filesystem::remove(task->filePath(), ec);
    }
    tasks_.erase(tasks_.begin() + index);
    if (downloadingTable_) downloadingTable_->reloadData();
    NotificationCenter::defaultCenter().postNotification(kCleanDownLoadListBtnNotification, task->shownName());
    startHead();
    if (downloadingTable_) downloadingTable_->reloadData();
}

void MVTDownLoadViewController::stopAllTasks() {
    if (tasks_.empty()) return;
    // Removed from the back, so that no later task starts as the head goes.
    while (!tasks_.empty()) {
        auto task = tasks_.back();
        task->stop();
        if (task->isDownload() && fileExists(task->filePath())) {
            std::error_code ec;
            std::filesystem::remove(task->filePath(), ec);
        }
        tasks_.pop_back();
    }
    if (downloadingTable_) downloadingTable_->reloadData();
}

void MVTDownLoadViewController::fileShow(Button& button) {
    const std::string path = button.accessibilityHint();
    MVTShowFileViewController::openFile(*this, path, std::filesystem::path(path).filename().string(),
                                        [this](std::shared_ptr<AlertView> notice) { showAlert_ = std::move(notice); });
}

void MVTDownLoadViewController::loadFinishedfiles() {
    finishedList_ = readFinishedList(MVTAccount::sharedInstance().userId().value_or(""));
}

void MVTDownLoadViewController::cleanFinish() {
    class CleanAnswer : public AlertViewDelegate {
    public:
        explicit CleanAnswer(std::weak_ptr<MVTDownLoadViewController> owner) : owner_(std::move(owner)) {}
        void alertViewClickedButtonAtIndex(AlertView& alert, long index) override {
            auto self = owner_.lock();
            if (!self || index == alert.cancelButtonIndex()) return;
            std::error_code ec;
            std::filesystem::remove(finishedListPath(MVTAccount::sharedInstance().userId().value_or("")), ec);
            self->finishedList_ = Json::array();
            if (self->finishedTable_) self->finishedTable_->reloadData();
        }

    private:
        std::weak_ptr<MVTDownLoadViewController> owner_;
    };
    static std::shared_ptr<CleanAnswer> answer;
    answer = std::make_shared<CleanAnswer>(weakAs<MVTDownLoadViewController>());
    showAlert_ = AlertView::make(localized("提醒"), localized("确定要删除下载完成记录吗？"), answer, localized("取消"),
                                 {localized("确定")});
    showAlert_->show();
}

void MVTDownLoadViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTDownLoadViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock())
            if (auto stack = self->navigationController()) stack->popViewController(true);
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    initTitleView();
    initTableView();
    selectTab(false);
}

void MVTDownLoadViewController::initTitleView() {
    const std::string left = localized("进行中"), right = localized("已完成");
    const Font bold = Font::boldSystemFontOfSize(14);
    const double w = std::max(60.0, std::max(TextMeasure::sizeWithFont(left, bold).width,
                                             TextMeasure::sizeWithFont(right, bold).width) + 10);
    auto title = std::make_shared<ImageView>(Rect(0, 0, 2 * w, 30));
    title->setImage(Image::imageNamed("title_tailored"));
    title->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTDownLoadViewController>();
    auto make = [&](const std::string& text, int tag, double x, bool finished) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x, 0, w, 30});
        button->setTag(tag);
        button->setTitle(text);
        button->titleLabel()->setFont(bold);
        button->addTarget(ControlEventTouchUpInside, [weak, finished](Control&) {
            if (auto self = weak.lock()) finished ? self->goFinishedView() : self->goDownloadingView();
        });
        title->addSubview(button);
        return button;
    };
    downloadingViewBtn_ = make(left, 101, 0, false);
    finieshedViewBtn_ = make(right, 102, w, true);
    navigationItem().setTitleView(title);
}

void MVTDownLoadViewController::initTableView() {
    const Rect screen = Screen::mainScreen().bounds();
    auto make = [&] {
        auto table = myTableView::make({0, 0, screen.width(), screen.height() - 64}, TableViewStyle::Plain);
        table->setDataSource(weakAs<TableViewDataSource>().lock());
        table->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(table);
        return table;
    };
    downloadingTable_ = make();
    finishedTable_ = make();
}

void MVTDownLoadViewController::selectTab(bool finished) {
    finishedSelected_ = finished;
    if (downloadingViewBtn_) {
        downloadingViewBtn_->setTitleColor(finished ? Color::black() : Color::whiteColor());
        downloadingViewBtn_->setBackgroundImage(Image::imageNamed(finished ? "Segmented-right" : "Segmented-left-active"));
        finieshedViewBtn_->setTitleColor(finished ? Color::whiteColor() : Color::black());
        finieshedViewBtn_->setBackgroundImage(Image::imageNamed(finished ? "Segmented-right-active" : "Segmented-left"));
    }
    if (downloadingTable_) downloadingTable_->setHidden(finished);
    if (finishedTable_) finishedTable_->setHidden(!finished);
    if (finished) {
        auto clean = MVTPublicMethod::navigationrightBarButton(localized(" 清空 "));
        auto weak = weakAs<MVTDownLoadViewController>();
        clean->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cleanFinish();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(clean));
        loadFinishedfiles();
        if (finishedTable_) finishedTable_->reloadData();
    } else {
        navigationItem().setRightBarButtonItem(nullptr);
        if (downloadingTable_) downloadingTable_->reloadData();
    }
}

void MVTDownLoadViewController::goDownloadingView() { selectTab(false); }
void MVTDownLoadViewController::goFinishedView() { selectTab(true); }

void MVTDownLoadViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (finishedSelected_) {
        loadFinishedfiles();
        if (finishedTable_) finishedTable_->reloadData();
    } else if (downloadingTable_) {
        downloadingTable_->reloadData();
    }
}

void MVTDownLoadViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (showAlert_) {
        showAlert_->setDelegate({});
        if (showAlert_->isVisible()) showAlert_->dismissWithClickedButtonIndex(0, false);
        showAlert_.reset();
    }
}

int MVTDownLoadViewController::numberOfRowsInSection(TableView& tableView, int) {
    if (&tableView == finishedTable_.get()) return static_cast<int>(finishedList_.size());
    return static_cast<int>(tasks_.size());
}

std::shared_ptr<TableViewCell> MVTDownLoadViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                const IndexPath& indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.row);
    if (&tableView == finishedTable_.get()) {
        auto cell = std::make_shared<MyCompletedCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "MyCompletedCell");
        const Json& record = finishedList_.at(row);
        cell->setFileDic(record);
        cell->setIsDownLoaded(textOf(record, "filePath") != "upLoad");
        cell->setDelegate(weakAs<fileShowDelegate>());
        cell->setTag(indexPath.row);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->updatecell();
        return cell;
    }
    auto cell = std::make_shared<downLodingCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "MyCell");
    cell->setMyTask(tasks_.at(row));
    cell->setTag(indexPath.row);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->updatecell();
    return cell;
}

double MVTDownLoadViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kTransferRowHeight; }

bool MVTDownLoadViewController::canEditRowAtIndexPath(TableView& tableView, const IndexPath&) {
    return &tableView == downloadingTable_.get();
}

void MVTDownLoadViewController::commitEditingStyle(TableView&, TableViewCellEditingStyle style,
                                                   const IndexPath& indexPath) {
    if (style == TableViewCellEditingStyle::Delete) removeTask(indexPath.row);
}

std::string MVTDownLoadViewController::titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&,
                                                                                         const IndexPath&) {
    return localized("删除任务");
}
