#include "shell/myTableView.h"

#include "platform/ui/Screen.h"

using namespace platform;

void myTableView::applyLook() {
    if (Screen::systemVersion() >= 7.0) {
        auto header = std::make_shared<View>(Rect(0, 0, Screen::mainScreen().bounds().width(), 0.5));
        header->setBackgroundColor(Color::clear());
        setTableHeaderView(header);
    }
    setBackgroundColor(Color::clear());
    setBackgroundView(nullptr);
    setShowsVerticalScrollIndicator(true);
    setShowsHorizontalScrollIndicator(false);
}

void myTableView::initWithFrame(const Rect& frame, TableViewStyle style) {
    TableView::initWithFrame(frame, style);
    applyLook();
    if (style == TableViewStyle::Plain) setSeparatorColor(Color::clear());
}

void myTableView::initWithFrame(const Rect& frame) {
    TableView::initWithFrame(frame, TableViewStyle::Plain);
    applyLook();
}

std::shared_ptr<myTableView> myTableView::make(const Rect& frame, TableViewStyle style) {
    auto table = std::make_shared<myTableView>();
    table->initWithFrame(frame, style);
    return table;
}
