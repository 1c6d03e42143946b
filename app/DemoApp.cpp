#include "DemoApp.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

class DemoViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    std::string className() const override { return "DemoViewController"; }

    void viewDidLoad() override {
        setTitle("班级圈");
        auto root = view();
        root->setBackgroundColor(Color::rgb255(240, 240, 240));
        double width = root->bounds().width();

        auto welcome = std::make_shared<Label>(Rect{15, 74, width - 30, 24});
        welcome->setText("欢迎使用校园通讯");
        welcome->setFont(Font::boldSystemFontOfSize(18));
        root->addSubview(welcome);

        auto hint = std::make_shared<Label>(Rect{15, 100, width - 30, 20});
        hint->setText("老师、学生和家长的班级动态");
        hint->setFont(Font::systemFontOfSize(13));
        hint->setTextColor(Color::gray());
        root->addSubview(hint);

        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({15, 128, width - 30, 40});
        button->setBackgroundColor(Color::rgb255(40, 150, 230));
        button->setCornerRadius(5);
        button->setTitle("显示提示");
        button->setTitleColor(Color::whiteColor());
        button->addTarget(ControlEventTouchUpInside, [](Control&) {
            AlertView::make("提示", "这是一个演示画面", {}, "确定")->show();
        });
        root->addSubview(button);

        table_ = std::make_shared<TableView>(
            Rect{0, 178, width, root->bounds().height() - 178}, TableViewStyle::Plain);
        table_->setAutoresizingMask(AutoresizingFlexibleHeight | AutoresizingFlexibleWidth);
        root->addSubview(table_);
    }

    void viewWillAppear(bool) override {
        // The table holds its data source weakly; by now a shared pointer owns this screen.
        if (!table_->dataSource()) {
            auto self = std::dynamic_pointer_cast<DemoViewController>(shared_from_this());
            table_->setDataSource(self);
            table_->setDelegate(self);
        }
    }

    int numberOfRowsInSection(TableView&, int) override { return 20; }

    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) override {
        auto cell = tableView.dequeueReusableCellWithIdentifier("row");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "row");
        cell->textLabel()->setText("第" + std::to_string(indexPath.row + 1) + "条班级动态");
        cell->detailTextLabel()->setText("三年级二班 · 王老师");
        return cell;
    }

private:
    std::shared_ptr<TableView> table_;
};

}  // namespace

bool DemoAppDelegate::didFinishLaunching(const nlohmann::json&) {
    window_ = std::make_shared<Window>();
    window_->setFrame(Screen::mainScreen().bounds());
    auto demo = std::make_shared<DemoViewController>();
    auto navigation = std::make_shared<NavigationController>();
    navigation->initWithRootViewController(demo);
    window_->setRootViewController(navigation);
    window_->makeKeyAndVisible();
    return true;
}
