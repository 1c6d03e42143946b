#include "homework/MVTNHWGetStudentsViewController.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;
using homework::kAccent;

namespace {

constexpr double kPickerStripTop = 44;
constexpr double kPickerGridTop = 88;
constexpr int kPickerTabNameTag = 1;
constexpr int kPickerTabTextTag = 2;
constexpr int kPickerCheckTag = 3;
// Student buttons and their name labels in the grid (the select-all button has neither).
constexpr int kPickerStudentButtonTag = 500;
constexpr int kPickerStudentNameTag = 501;
const Color kPickerBorderGrey = Color::rgba(0.851, 0.871, 0.847);

Rect pickerScreenBounds() { return Screen::mainScreen().bounds(); }

std::string pickerIdText(const Json& value) { return textOf(value); }

}  // namespace

void MVTNHWGetStudentsViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("作业接收人"));
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    setRightTextButton(localized("完成"), [weak] {
        if (auto self = weak.lock()) self->toDone();
    });
    if (!selectClassDic_.is_object()) selectClassDic_ = Json::object();
    if (!selectStudentsDic_.is_object()) selectStudentsDic_ = Json::object();

    const Rect screen = pickerScreenBounds();
    const bool seven = Screen::systemVersion() >= 7;
    topBackground_ = std::make_shared<ImageView>(Rect(0, 0, screen.width(), seven ? 64 : 44));
    topBackground_->setImage(Image::imageNamed(seven ? "header_bg_7" : "header_bg"));
    topBackground_->setHidden(true);
    view()->addSubview(topBackground_);

    contentView_ = std::make_shared<View>(Rect(0, 0, screen.width(), screen.height() - 64));
    contentView_->setBackgroundColor(Color::clear());
    view()->addSubview(contentView_);

    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, screen.width(), 44));
    searchBar_->setPlaceholder(localized("请输入接收人姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    contentView_->addSubview(searchBar_);
    cancelBtn_ = Button::buttonWithType(ButtonType::Custom);
    cancelBtn_->setFrame({screen.width(), 0, 50, 44});
    cancelBtn_->setTitle(localized("取消"));
    cancelBtn_->setTitleColor(kAccent);
    cancelBtn_->setTitleColor(Color::lightGray(), ControlStateHighlighted);
    cancelBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    cancelBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toCancelSearchBar();
    });
    contentView_->addSubview(cancelBtn_);

    classScrol_ = std::make_shared<ScrollView>(Rect(0, kPickerStripTop, screen.width(), 44));
    classScrol_->setShowsHorizontalScrollIndicator(false);
    contentView_->addSubview(classScrol_);
    for (double y : {kPickerStripTop, 87.5}) {
        auto line = std::make_shared<ImageView>(Rect(0, y, screen.width(), 0.5));
        line->setImage(Image::imageNamed("line1.png"));
        contentView_->addSubview(line);
    }
    studentScrol_ = std::make_shared<ScrollView>(Rect(0, kPickerGridTop, screen.width(), screen.height() - 152));
    contentView_->addSubview(studentScrol_);

    selectAllBtn_ = Button::buttonWithType(ButtonType::Custom);
    selectAllBtn_->setFrame({10, 10, 52, 52});
    selectAllBtn_->setBackgroundColor(Color::whiteColor());
    selectAllBtn_->setCornerRadius(2);
    selectAllBtn_->setBorderWidth(0.5);
    selectAllBtn_->setBorderColor(kPickerBorderGrey);
    selectAllBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    selectAllBtn_->titleLabel()->setNumberOfLines(2);
    selectAllBtn_->setTitle(localized("全选"));
    selectAllBtn_->setTitleColor(kAccent);
    selectAllBtn_->setTitle(localized("重置"), ControlStateSelected);
    selectAllBtn_->setTitleColor(Color::red(), ControlStateSelected);
    selectAllBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toSelectAllOrClear(static_cast<Button&>(control));
    });
    selectAllBtn_->setHidden(true);
    selectAllBtn_->setSelected(false);
    studentScrol_->addSubview(selectAllBtn_);

    searchBgView_ = std::make_shared<View>(Rect(0, kPickerStripTop, screen.width(), screen.height() - 64));
    searchBgView_->setBackgroundColor(Color::rgba(0, 0, 0, 0.4));
    searchBgView_->setHidden(true);
    contentView_->addSubview(searchBgView_);
    searchTable_ = myTableView::make({0, 0, screen.width(), screen.height() - 64}, TableViewStyle::Plain);
    searchTable_->setBackgroundColor(homework::kBackgroundGrey);
    searchTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    searchTable_->setDataSource(weakAs<TableViewDataSource>().lock());
    searchTable_->setDelegate(weakAs<TableViewDelegate>().lock());
    searchTable_->setHidden(true);
    searchBgView_->addSubview(searchTable_);

    classArr_ = Json::array();
    allStudentsDic_ = Json::object();
    faceImageDic_.clear();
    didSearchArr_ = Json::array();
    getClassData();
}

Json& MVTNHWGetStudentsViewController::listOf(const std::string& classId) {
    Json& list = selectStudentsDic_[classId];
    if (!list.is_array()) list = Json::array();
    return list;
}

bool MVTNHWGetStudentsViewController::listHas(const std::string& classId, const std::string& uid) const {
    if (!selectStudentsDic_.contains(classId) || !selectStudentsDic_[classId].is_array()) return false;
    for (const auto& id : selectStudentsDic_[classId])
        if (pickerIdText(id) == uid) return true;
    return false;
}

std::string MVTNHWGetStudentsViewController::countText(const char* word, std::size_t count) const {
    return homework::fill("%@ %d %@", {localized(word), std::to_string(count), localized("人")});
}

void MVTNHWGetStudentsViewController::getClassData() {
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/clazz/list", nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!reply.is_array()) return;
            for (const auto& c : reply)
                if (c.is_object()) self->classArr_.push_back(c);
            if (self->classArr_.empty()) return;
            self->selectAllBtn_->setHidden(false);
            self->showClassInfo();
        },
        [] {});
}

void MVTNHWGetStudentsViewController::showClassInfo() {
    const double width = pickerScreenBounds().width();
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    double x = 10;
    bool first = true;
    for (const auto& c : classArr_) {
        const std::string classId = textOf(c, "id");
        listOf(classId);
        const std::string name = textOf(c, "name");
        const double w = TextMeasure::sizeWithFont(name, Font::systemFontOfSize(14)).width + 10;
        auto tab = Button::buttonWithType(ButtonType::Custom);
        tab->setFrame({x, 2, w, 40});
        tab->setAccessibilityValue(classId);
        tab->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->classBtnClicked(static_cast<Button&>(control));
        });
        auto nameLabel = std::make_shared<Label>(Rect(2, 0, w - 4, 22));
        nameLabel->setTag(kPickerTabNameTag);
        nameLabel->setFont(Font::systemFontOfSize(14));
        nameLabel->setTextColor(first ? kAccent : Color::darkGray());
        nameLabel->setTextAlignment(TextAlignment::Center);
        nameLabel->setText(name);
        nameLabel->setUserInteractionEnabled(false);
        tab->addSubview(nameLabel);
        auto text = std::make_shared<Label>(Rect(2, 20, w - 4, 18));
        text->setTag(kPickerTabTextTag);
        text->setFont(Font::systemFontOfSize(12));
        text->setTextColor(Color::lightGray());
        text->setTextAlignment(TextAlignment::Center);
        text->setUserInteractionEnabled(false);
        if (isWhole(classId))
            text->setText(localized("已全选"));
        else if (!listOf(classId).empty())
            text->setText(countText("已选", listOf(classId).size()));
        else
            text->setText(localized("未选择"));
        tab->addSubview(text);
        if (first) {
            tab->setUserInteractionEnabled(false);
            if (!underline_) {
                underline_ = std::make_shared<View>(Rect(x + 5, 42, w - 10, 1));
                underline_->setBackgroundColor(kAccent);
                classScrol_->addSubview(underline_);
            }
            selectClassId_ = classId;
        }
        classScrol_->addSubview(tab);
        x += w + 10;
        first = false;
    }
    if (x > width) classScrol_->setContentSize({x, 44});
    getStudentsData();
}

std::shared_ptr<Button> MVTNHWGetStudentsViewController::tabOfClass(const std::string& classId) const {
    for (const auto& sub : classScrol_->subviews()) {
        auto tab = std::dynamic_pointer_cast<Button>(sub);
        if (tab && tab->accessibilityValue() == classId) return tab;
    }
    return nullptr;
}

std::string MVTNHWGetStudentsViewController::selectionTextOf(const std::string& classId) const {
    auto tab = tabOfClass(classId);
    auto label = tab ? std::dynamic_pointer_cast<Label>(tab->viewWithTag(kPickerTabTextTag)) : nullptr;
    return label ? label->text() : "";
}

void MVTNHWGetStudentsViewController::changeClassSelectCountWith(const std::string& classId, const std::string& text) {
    auto tab = tabOfClass(classId);
    if (!tab) return;
    if (auto label = std::dynamic_pointer_cast<Label>(tab->viewWithTag(kPickerTabTextTag))) label->setText(text);
}

void MVTNHWGetStudentsViewController::clearGrid() {
    for (const auto& sub : std::vector<std::shared_ptr<View>>(studentScrol_->subviews()))
        if (sub->tag() == kPickerStudentButtonTag || sub->tag() == kPickerStudentNameTag) sub->removeFromSuperview();
}

void MVTNHWGetStudentsViewController::classBtnClicked(Button& tapped) {
    const double width = pickerScreenBounds().width();
    for (const auto& sub : classScrol_->subviews()) {
        auto tab = std::dynamic_pointer_cast<Button>(sub);
        if (!tab) continue;
        const bool current = tab.get() == &tapped;
        tab->setUserInteractionEnabled(!current);
        if (auto name = std::dynamic_pointer_cast<Label>(tab->viewWithTag(kPickerTabNameTag)))
            name->setTextColor(current ? kAccent : Color::darkGray());
    }
    const Rect tab = tapped.frame();
    auto line = underline_;
    animate(0.2, [line, tab] { line->setFrame({tab.x() + 5, 42, tab.width() - 10, 1}); });
    const double contentWidth = classScrol_->contentSize().width;
    if (contentWidth > width) {
        const double offset = tab.x() + width - 10 >= contentWidth ? contentWidth - width : tab.x() - 10;
        classScrol_->setContentOffset({offset, 0}, true);
    }
    selectClassId_ = tapped.accessibilityValue();
    clearGrid();
    selectAllBtn_->setSelected(isWhole(selectClassId_));
    if (allStudentsDic_.contains(selectClassId_))
        showSelectClassStudentInfo();
    else
        getStudentsData();
}

void MVTNHWGetStudentsViewController::getStudentsData() {
    const std::string classId = selectClassId_;
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    sendRequest(
        "GET", "homework/clazz/" + classId + "/stds", nullptr,
        [weak, classId](const Json& reply) {
            auto self = weak.lock();
            if (!reply.is_array()) return;
            Json students = Json::array();
            for (const auto& s : reply)
                if (s.is_object()) students.push_back(s);
            self->allStudentsDic_[classId] = students;
            // Another class may have been chosen while this one's pupils came.
            if (classId != self->selectClassId_) return;
            self->selectAllBtn_->setSelected(self->isWhole(classId));
            self->showSelectClassStudentInfo();
        },
        [] {});
}

void MVTNHWGetStudentsViewController::setChosen(Button& button, bool chosen) {
    button.setSelected(chosen);
    if (auto check = button.viewWithTag(kPickerCheckTag)) check->setHidden(!chosen);
}

void MVTNHWGetStudentsViewController::showSelectClassStudentInfo() {
    const std::string classId = selectClassId_;
    const Json& students = allStudentsDic_[classId];
    Json& chosen = listOf(classId);
    clearGrid();
    if (students.empty()) {
        selectAllBtn_->setSelected(false);
        selectAllBtn_->setEnabled(false);
        return;
    }
    if (chosen.size() >= students.size()) {
        selectAllBtn_->setSelected(true);
        selectClassDic_[classId] = std::to_string(students.size());
        chosen = Json::array();
    }
    selectAllBtn_->setEnabled(true);

    const double width = pickerScreenBounds().width();
    const double pitch = (width - 280) / 4 + 52;
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    for (std::size_t j = 0; j < students.size(); ++j) {
        const std::size_t k = j + 1;
        const double x = pitch * static_cast<double>(k % 5) + 10;
        const double y = 72 * static_cast<double>(k / 5) + 10;
        const std::string uid = textOf(students[j], "uid");
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x, y, 52, 52});
        button->setCornerRadius(2);
        button->setClipsToBounds(true);
        button->setTag(kPickerStudentButtonTag);
        button->setAccessibilityValue(uid);
        auto check = std::make_shared<ImageView>(Rect(33, 35, 17, 15));
        check->setTag(kPickerCheckTag);
        check->setImage(Image::imageNamed("nhw_dui"));
        check->setUserInteractionEnabled(false);
        button->addSubview(check);
        if (auto cached = faceImageDic_.find(uid); cached != faceImageDic_.end()) {
            button->setImage(cached->second);
        } else {
            button->setImage(Image::imageNamed("nhw_stdFace"));
            loadAvatar(button, uid, false);
        }
        setChosen(*button, isWhole(classId) || listHas(classId, uid));
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->studentsBtnClicked(static_cast<Button&>(control));
        });
        studentScrol_->addSubview(button);
        auto name = std::make_shared<Label>(Rect(x - 3, y + 52, 58, 20));
        name->setTag(kPickerStudentNameTag);
        name->setFont(Font::systemFontOfSize(12));
        name->setTextColor(homework::kTextGrey);
        name->setTextAlignment(TextAlignment::Center);
        name->setText(textOf(students[j], "name"));
        studentScrol_->addSubview(name);
    }
    const std::size_t cells = students.size() + 1;
    double height = 72 * static_cast<double>(cells / 5) + 10;
    if (cells % 5 != 0) height += 72;
    const double gridHeight = studentScrol_->frame().height();
    studentScrol_->setContentSize({width, height > gridHeight ? height : gridHeight});
}

std::shared_ptr<Button> MVTNHWGetStudentsViewController::buttonOfStudent(const std::string& uid) const {
    for (const auto& sub : studentScrol_->subviews())
        if (sub->tag() == kPickerStudentButtonTag && sub->accessibilityValue() == uid) return std::static_pointer_cast<Button>(sub);
    return nullptr;
}

void MVTNHWGetStudentsViewController::studentsBtnClicked(Button& button) {
    const std::string classId = selectClassId_;
    const std::string uid = button.accessibilityValue();
    const Json& students = allStudentsDic_[classId];
    Json& chosen = listOf(classId);
    const bool nowChosen = !button.isSelected();
    setChosen(button, nowChosen);
    if (nowChosen) {
        chosen.push_back(uid);
        if (chosen.size() >= students.size()) {
            selectClassDic_[classId] = std::to_string(students.size());
            selectAllBtn_->setSelected(true);
            chosen = Json::array();
            changeClassSelectCountWith(classId, localized("已全选"));
        } else {
            changeClassSelectCountWith(classId, countText("已选择", chosen.size()));
        }
        return;
    }
    if (isWhole(classId)) {
        selectClassDic_.erase(classId);
        selectAllBtn_->setSelected(false);
        chosen = Json::array();
        for (const auto& student : students)
            if (textOf(student, "uid") != uid) chosen.push_back(textOf(student, "uid"));
    } else {
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(), [&](const Json& id) { return pickerIdText(id) == uid; }),
                     chosen.end());
    }
    changeClassSelectCountWith(classId, chosen.empty() ? localized("未选择") : countText("已选择", chosen.size()));
}

void MVTNHWGetStudentsViewController::toSelectAllOrClear(Button& button) {
    const std::string classId = selectClassId_;
    const bool whole = !button.isSelected();
    button.setSelected(whole);
    listOf(classId) = Json::array();
    if (whole) {
        if (!isWhole(classId)) selectClassDic_[classId] = std::to_string(allStudentsDic_[classId].size());
        changeClassSelectCountWith(classId, localized("已全选"));
    } else {
        selectClassDic_.erase(classId);
        changeClassSelectCountWith(classId, localized("未选择"));
    }
    for (const auto& sub : studentScrol_->subviews())
        if (sub->tag() == kPickerStudentButtonTag) setChosen(static_cast<Button&>(*sub), whole);
}

void MVTNHWGetStudentsViewController::loadAvatar(const std::shared_ptr<View>& target, const std::string& uid,
                                                 bool searchRow) {
    std::weak_ptr<View> weakTarget = target;
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    const std::string path = "account/" + uid + (searchRow ? "/avatar" : "/avatar?default=false");
    homework::loadPictureInBackground(path, [weak, weakTarget, uid, searchRow](std::shared_ptr<Image> image) {
        auto self = weak.lock();
        if (!self) return;
        if (!image) {
            self->faceImageDic_[uid] = Image::imageNamed("default_user");
            return;
        }
        self->faceImageDic_[uid] = image;
        auto view = weakTarget.lock();
        if (!view) return;
        if (searchRow) {
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view)) picture->setImage(image);
        } else if (auto button = std::dynamic_pointer_cast<Button>(view)) {
            button->setImage(image);
        }
    });
}

// ---- Search

void MVTNHWGetStudentsViewController::searchBarTextDidBeginEditing(SearchBar&) { showNagView(false); }

void MVTNHWGetStudentsViewController::showNagView(bool show) {
    const Rect screen = pickerScreenBounds();
    auto stack = navigationController();
    if (stack) stack->setNavigationBarHidden(!show, true);
    const double top = Screen::systemVersion() >= 7 ? 20 : 0;
    auto content = contentView_;
    auto bar = searchBar_;
    auto cancel = cancelBtn_;
    topBackground_->setHidden(show);
    searchBgView_->setHidden(show);
    animate(0.2, [=] {
        if (show) {
            content->setFrame({0, 0, screen.width(), screen.height() - 64});
            bar->setFrame({0, 0, screen.width(), 44});
            cancel->setFrame({screen.width(), 0, 50, 44});
        } else {
            content->setFrame({0, top, screen.width(), screen.height() - 20});
            bar->setFrame({0, 0, screen.width() - 50, 44});
            cancel->setFrame({screen.width() - 50, 0, 50, 44});
        }
    });
}

void MVTNHWGetStudentsViewController::toCancelSearchBar() {
    searchBar_->setText("");
    searchBar_->resignFirstResponder();
    showNagView(true);
}

void MVTNHWGetStudentsViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    bar.resignFirstResponder();
    getSearchStudentDataWith(bar.text());
}

void MVTNHWGetStudentsViewController::getSearchStudentDataWith(const std::string& name) {
    auto weak = weakAs<MVTNHWGetStudentsViewController>();
    sendRequest(
        "POST", "homework/" + homework::currentUserId() + "/student/search", Json{{"name", name}, {"limit", "100"}},
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!reply.is_null() && !reply.is_array()) return;
            self->didSearchArr_ = Json::array();
            self->searchTable_->reloadData();
            if (!reply.is_array() || reply.empty()) return;
            self->searchTable_->setHidden(false);
            for (const auto& hit : reply)
                if (hit.is_object()) self->didSearchArr_.push_back(hit);
            self->searchTable_->reloadData();
        },
        [] {});
}

int MVTNHWGetStudentsViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(didSearchArr_.size());
}

double MVTNHWGetStudentsViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

std::shared_ptr<TableViewCell> MVTNHWGetStudentsViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                      const IndexPath& indexPath) {
    const double width = pickerScreenBounds().width();
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellId);
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, kCellId);
        homework::addSubmissionViews(*cell->contentView());
        cell->contentView()->viewWithTag(1000)->setFrame({10, 49.5, width - 20, 0.5});
    }
    const Json& hit = didSearchArr_.at(indexPath.row);
    auto content = cell->contentView();
    const std::string uid = textOf(hit, "uid");
    auto avatar = std::static_pointer_cast<ImageView>(content->viewWithTag(11));
    if (auto cached = faceImageDic_.find(uid); cached != faceImageDic_.end()) {
        avatar->setImage(cached->second);
    } else {
        avatar->setImage(Image::imageNamed("default_user"));
        loadAvatar(avatar, uid, true);
    }
    std::static_pointer_cast<Label>(content->viewWithTag(12))->setText(textOf(hit, "name"));
    std::static_pointer_cast<Label>(content->viewWithTag(13))->setText(textOf(hit, "className"));
    const std::string classId = textOf(hit, "classId");
    cell->setAccessoryType(isWhole(classId) || listHas(classId, uid) ? TableViewCellAccessoryType::Checkmark
                                                                      : TableViewCellAccessoryType::None);
    cell->setBackgroundColor(homework::kBackgroundGrey);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

void MVTNHWGetStudentsViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(didSearchArr_.size())) return;
    const Json hit = didSearchArr_[indexPath.row];
    toCancelSearchBar();
    addSearchStudentWith(hit);
}

void MVTNHWGetStudentsViewController::addSearchStudentWith(const Json& hit) {
    const std::string classId = textOf(hit, "classId");
    const std::string uid = textOf(hit, "uid");
    // Only pupils of the classes in the strip, not yet chosen, and not of a whole class.
    if (isWhole(classId) || !selectStudentsDic_.contains(classId) || listHas(classId, uid)) return;
    Json& chosen = listOf(classId);
    chosen.push_back(uid);
    const std::size_t size = allStudentsDic_.contains(classId) ? allStudentsDic_[classId].size() : 0;
    if (chosen.size() == size) {
        selectClassDic_[classId] = std::to_string(size);
        chosen = Json::array();
        changeClassSelectCountWith(classId, localized("已全选"));
        if (classId == selectClassId_) selectAllBtn_->setSelected(true);
    } else {
        changeClassSelectCountWith(classId, countText("已选择", chosen.size()));
    }
    if (classId == selectClassId_)
        if (auto button = buttonOfStudent(uid)) setChosen(*button, true);
}

// ---- Done

std::string MVTNHWGetStudentsViewController::joinedClassIds() const {
    std::string ids;
    for (const auto& [classId, size] : selectClassDic_.items()) {
        (void)size;
        if (!ids.empty()) ids += ",";
        ids += classId;
    }
    return ids;
}

std::string MVTNHWGetStudentsViewController::joinedStudentIds() const {
    std::string ids;
    for (const auto& [classId, list] : selectStudentsDic_.items()) {
        (void)classId;
        if (!list.is_array()) continue;
        for (const auto& id : list) {
            if (!ids.empty()) ids += ",";
            ids += pickerIdText(id);
        }
    }
    return ids;
}

int MVTNHWGetStudentsViewController::selectedCount() const {
    int count = 0;
    for (const auto& [classId, size] : selectClassDic_.items()) {
        (void)classId;
        count += intValue(size);
    }
    for (const auto& [classId, list] : selectStudentsDic_.items()) {
        (void)classId;
        if (list.is_array()) count += static_cast<int>(list.size());
    }
    return count;
}

void MVTNHWGetStudentsViewController::toDone() {
    bool any = !selectClassDic_.empty();
    for (const auto& [classId, list] : selectStudentsDic_.items()) {
        (void)classId;
        if (list.is_array() && !list.empty()) any = true;
    }
    if (!any) {
        AlertView::make(localized("请选择学生"), "", {}, localized("知道了"))->show();
        return;
    }
    if (auto delegate = delegate_.lock())
        delegate->didSelectStudentsWith(joinedClassIds(), joinedStudentIds(), selectedCount(), selectClassDic_,
                                        selectStudentsDic_);
    goback();
}

void MVTNHWGetStudentsViewController::goback() {
    if (auto stack = navigationController()) {
        stack->setNavigationBarHidden(false, false);
        stack->popViewController(true);
    }
}
