#include "shell/ViewViewController.h"

#include "shell/InternationalControl.h"

#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

using namespace platform;

ViewViewController::ViewViewController() = default;

ViewViewController::~ViewViewController() = default;

void ViewViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    SDH = 0;
    if (Screen::systemVersion() >= 7.0) {
        setEdgesForExtendedLayout(RectEdgeNone);
        SDH = 20;
    }
    view()->setBackgroundColor(Color::rgba(0.961, 0.961, 0.961, 1));
}

StatusBarStyle ViewViewController::preferredStatusBarStyle() const {
    return statusBarLightContent_ ? StatusBarStyle::LightContent : StatusBarStyle::Default;
}

std::shared_ptr<Button> ViewViewController::addButtonWithTitle(const std::string& title, Control::Handler action) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 0, 44, 40});
    button->setTitle(title);
    button->setTitleColor(Color::rgba(0.38, 0.78, 0.976, 1));
    button->titleLabel()->setFont(Font::systemFontOfSize(18));
    if (action) button->addTarget(ControlEventTouchUpInside, std::move(action));
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(button));
    return button;
}

void ViewViewController::isNoDataNowWith(bool show, const std::shared_ptr<View>& host) {
    if (!show) {
        if (noDataView) noDataView->removeFromSuperview();
        return;
    }
    if (!noDataView) {
        noDataView = std::make_shared<View>(Rect(0, 0, 120, 150));
        noDataView->setBackgroundColor(Color::clear());
        auto picture = std::make_shared<ImageView>(Rect(0, 0, 120, 120));
        picture->setBackgroundColor(Color::clear());
        picture->setImage(Image::imageNamed("nodataImg.png"));
        noDataView->addSubview(picture);
        auto label = std::make_shared<Label>(Rect(0, 120, 120, 30));
        label->setBackgroundColor(Color::clear());
        label->setFont(Font::systemFontOfSize(16));
        label->setTextColor(Color::rgba(0.831, 0.867, 0.875, 1));
        label->setTextAlignment(TextAlignment::Center);
        label->setNumberOfLines(0);
        label->setText(localized("暂无数据"));
        noDataView->addSubview(label);
    }
    noDataView->removeFromSuperview();
    if (!host) return;
    noDataView->setCenter({Screen::mainScreen().bounds().width() / 2, host->frame().height() / 2});
    host->addSubview(noDataView);
}

void ViewViewController::didSelectWhich(Button& button) {
    std::string title = button.currentTitle();
    // The delayed call keeps the screen alive until it has run.
    auto self = std::static_pointer_cast<ViewViewController>(shared_from_this());
    RunLoop::main().performAfter(0.1, [self, title] { self->tosendSelect(title); });
}

void ViewViewController::tosendSelect(const std::string& title) {
    NotificationCenter::defaultCenter().postNotification(kShowDidSelectItemNotification, title);
}

void ViewViewController::toClickedMove(Control& control) {
    if (auto holder = control.superview()) holder->removeFromSuperview();
}
