#include "account/MVToutSettingViewController.h"

#include "account/MVTLoginViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

struct SwitchRow {
    const char* title;
    const char* key;
};
constexpr SwitchRow kSwitchRows[] = {{"开启声音", kIsCloseMusicKey},
                                     {"开启震动", kIsCloseMoveKey},
                                     {"记住账号密码", kIsRememberUserKey},
                                     {"自动登录", kIsAutoUserKey}};

struct FieldRow {
    const char* title;
    const char* placeholder;
    const char* key;
};
constexpr FieldRow kFieldRows[] = {{"XMPP地址", "请输入XMPP地址", kXmppServerKey},
                                   {"XMPP端口", "请输入XMPP端口", kXmppPortKey},
                                   {"HTTP地址", "请输入HTTP地址", kHttpServerKey},
                                   {"HTTP端口", "请输入HTTP端口", kHttpPortKey}};

}  // namespace

MVToutSettingViewController::MVToutSettingViewController() = default;

MVToutSettingViewController::~MVToutSettingViewController() = default;

void MVToutSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("设置"));

    std::weak_ptr<MVToutSettingViewController> weak = weakAs<MVToutSettingViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));

    // The fields live as long as the screen, so what is typed survives a reload.
    auto& defaults = UserDefaults::standard();
    std::shared_ptr<TextField>* fields[] = {&XMPPtextfield1_, &XMPPtextfield2_, &HTTPtextfield1_, &HTTPtextField2_};
    for (int i = 0; i < 4; ++i) {
        auto field = std::make_shared<TextField>(Rect(90, 6, 200, 31));
        field->setFont(Font::systemFontOfSize(16));
        field->setBorderStyle(TextBorderStyle::RoundedRect);
        field->setTextAlignment(TextAlignment::Left);
        field->setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
        field->setPlaceholder(localized(kFieldRows[i].placeholder));
        field->setText(defaults.stringForKey(kFieldRows[i].key).value_or(""));
        field->setReturnKeyType(i < 3 ? ReturnKeyType::Next : ReturnKeyType::Done);
        field->setDelegate(weakAs<TextFieldDelegate>());
        *fields[i] = field;
    }
    for (int i = 0; i < 4; ++i) {
        auto toggle = std::make_shared<Switch>(Rect(210, 8, 79, 27));
        toggle->setTag(kFirstSwitchTag + i);
        toggle->setOn(defaults.boolForKey(kSwitchRows[i].key));
        toggle->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            auto self = weak.lock();
            auto* sender = dynamic_cast<Switch*>(&control);
            if (self && sender) self->selectSwitch(*sender);
        });
        switches_[i] = toggle;
    }

    const Rect bounds = view()->bounds();
    mytable_ = myTableView::make(Rect(0, 0, bounds.width(), bounds.height() - 44 - SDH), TableViewStyle::Grouped);
    mytable_->setScrollEnabled(false);
    mytable_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytable_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytable_->setSectionHeaderHeight(0);
    view()->addSubview(mytable_);
}

std::shared_ptr<Switch> MVToutSettingViewController::switchWithTag(int tag) const {
    const int index = tag - kFirstSwitchTag;
    return index >= 0 && index < 4 ? switches_[index] : nullptr;
}

void MVToutSettingViewController::selectSwitch(Switch& sender) {
    const int index = sender.tag() - kFirstSwitchTag;
    if (index < 0 || index >= 4) return;
    auto& defaults = UserDefaults::standard();
    defaults.setBool(kSwitchRows[index].key, sender.isOn());
    // Signing in by itself needs the remembered password, and forgetting it ends that.
    if (index == 2 && !sender.isOn() && defaults.boolForKey(kIsAutoUserKey)) {
        defaults.setBool(kIsAutoUserKey, false);
        if (auto autoSwitch = switchWithTag(204)) autoSwitch->setOn(false, true);
    } else if (index == 3 && sender.isOn() && !defaults.boolForKey(kIsRememberUserKey)) {
        defaults.setBool(kIsRememberUserKey, true);
        if (auto remember = switchWithTag(203)) remember->setOn(true, true);
    }
    defaults.synchronize();
}

void MVToutSettingViewController::goback() {
    if (XMPPtextfield1_) {
        MVTPublicMethod::setField(XMPPtextfield1_->text(), kXmppServerKey);
        MVTPublicMethod::setField(XMPPtextfield2_->text(), kXmppPortKey);
        MVTPublicMethod::setField(HTTPtextfield1_->text(), kHttpServerKey);
        MVTPublicMethod::setField(HTTPtextField2_->text(), kHttpPortKey);
    }
    dismissViewController(true);
}

// ---- Table ------------------------------------------------------------------------------------

int MVToutSettingViewController::numberOfSectionsInTableView(TableView&) { return 2; }

int MVToutSettingViewController::numberOfRowsInSection(TableView&, int) { return 4; }

double MVToutSettingViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVToutSettingViewController::cellForRowAtIndexPath(TableView&,
                                                                                 const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row < 0 || row >= 4) return std::make_shared<TableViewCell>();
    // Eight fixed rows that never scroll: each is made as it is shown, holding the
    // screen's own switch or field.
    auto cell = std::make_shared<TableViewCell>();
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);

    const std::string title = localized(indexPath.section == 0 ? kSwitchRows[row].title : kFieldRows[row].title);
    const Font font = Font::systemFontOfSize(16);
    auto label = std::make_shared<Label>(Rect(11, 11, TextMeasure::sizeWithFont(title, font).width, 22));
    label->setFont(font);
    label->setText(title);
    label->setTextColor(Color::darkGray());
    label->setTextAlignment(TextAlignment::Left);
    label->setBackgroundColor(Color::clear());
    cell->contentView()->addSubview(label);

    if (indexPath.section == 0) {
        cell->contentView()->addSubview(switches_[row]);
    } else {
        const std::shared_ptr<TextField> fields[] = {XMPPtextfield1_, XMPPtextfield2_, HTTPtextfield1_,
                                                     HTTPtextField2_};
        cell->contentView()->addSubview(fields[row]);
    }
    return cell;
}

// ---- Fields -----------------------------------------------------------------------------------

int MVToutSettingViewController::indexOfField(const TextField& field) const {
    const TextField* fields[] = {XMPPtextfield1_.get(), XMPPtextfield2_.get(), HTTPtextfield1_.get(),
                                 HTTPtextField2_.get()};
    for (int i = 0; i < 4; ++i)
        if (fields[i] == &field) return i;
    return -1;
}

std::optional<double> MVToutSettingViewController::tableTopWhileEditing(int fieldIndex, bool tall) {
    switch (fieldIndex) {
        case 0: return tall ? std::nullopt : std::optional<double>(-130);
        case 1: return tall ? 0 : -170;
        case 2: return tall ? -40 : -210;
        case 3: return tall ? -70 : -210;
        default: return std::nullopt;
    }
}

void MVToutSettingViewController::textFieldDidBeginEditing(TextField& field) {
    const auto top = tableTopWhileEditing(indexOfField(field), view()->bounds().height() >= 480);
    if (!top || !mytable_) return;
    auto table = mytable_;
    const double y = *top;
    animate(kKeyboardAnimation, [table, y] {
        Rect frame = table->frame();
        table->setFrame({frame.x(), y, frame.width(), frame.height()});
    });
}

bool MVToutSettingViewController::textFieldShouldReturn(TextField& field) {
    switch (indexOfField(field)) {
        case 0: XMPPtextfield2_->becomeFirstResponder(); break;
        case 1: HTTPtextfield1_->becomeFirstResponder(); break;
        case 2: HTTPtextField2_->becomeFirstResponder(); break;
        case 3: {
            Rect frame = mytable_->frame();
            mytable_->setFrame({frame.x(), 0, frame.width(), frame.height()});
            field.resignFirstResponder();
            break;
        }
        default: break;
    }
    return true;
}
