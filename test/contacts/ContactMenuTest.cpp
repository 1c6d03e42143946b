// The contacts menu: item tags and icons by position, equal widths, the slide in and the
// closing order (the owner hears it first, the view goes when the slide ends).

#include "ContactsFixture.h"

#include "contacts/MVTContactTitleDownSelectView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <optional>

namespace {

struct Owner : MVTContactTitleDownSelectViewDelegate {
    std::vector<long> clicked;
    int closings = 0;
    // Whether the menu was still on screen when the owner heard of the closing.
    bool onScreenAtClosing = false;
    std::shared_ptr<platform::View> menu;
    void buttonClick(platform::Button& button) override { clicked.push_back(button.tag()); }
    void setRightButton() override {
        ++closings;
        onScreenAtClosing = menu && menu->superview();
    }
};

class ContactMenuTest : public testing_support::ContactsTest {
protected:
    std::shared_ptr<MVTContactTitleDownSelectView> make(const std::vector<std::string>& titles) {
        host = std::make_shared<platform::View>(platform::Rect(0, 0, width(), 500));
        menu = std::make_shared<MVTContactTitleDownSelectView>(platform::Rect(0, 0, width(), 500));
        host->addSubview(menu);
        owner->menu = menu;
        menu->setDelegate(owner);
        menu->setSelectViewWith(titles);
        return menu;
    }
    static double width() { return platform::Screen::mainScreen().bounds().width(); }
    static std::optional<std::string> icon(const platform::Button& item) {
        for (const auto& sub : item.subviews())
            if (auto picture = std::dynamic_pointer_cast<platform::ImageView>(sub))
                return picture->accessibilityIdentifier();
        return std::nullopt;
    }
    std::shared_ptr<platform::View> host;
    std::shared_ptr<MVTContactTitleDownSelectView> menu;
    std::shared_ptr<Owner> owner = std::make_shared<Owner>();
};

TEST_F(ContactMenuTest, ItemsTakeTagsAndIconsByPosition) {
    struct Case {
        std::vector<std::string> titles;
        std::vector<long> tags;
        std::vector<std::optional<std::string>> icons;
    };
    const std::vector<Case> cases = {
        {{"创建群组"}, {1}, {"add_group.png"}},
        {{"添加好友", "创建群组", "加入班级"}, {0, 1, 2}, {"add_friends.png", "add_group.png", "insert_class.png"}},
        {{"a", "b", "c", "d", "e"}, {0, 1, 2, 0, 0},
         {"add_friends.png", "add_group.png", "insert_class.png", std::nullopt, std::nullopt}},
    };
    for (const auto& c : cases) {
        make(c.titles);
        ASSERT_EQ(menu->items().size(), c.titles.size());
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            const auto& item = *menu->items()[i];
            EXPECT_EQ(item.tag(), c.tags[i]) << c.titles[i];
            EXPECT_EQ(icon(item), c.icons[i]) << c.titles[i];
            EXPECT_DOUBLE_EQ(item.frame().width(), width() / static_cast<double>(c.titles.size()));
            EXPECT_DOUBLE_EQ(item.frame().x(), width() / static_cast<double>(c.titles.size()) * static_cast<double>(i));
        }
    }
}

TEST_F(ContactMenuTest, TheStripSlidesInAndAnItemReachesTheOwner) {
    make({"添加好友", "创建群组", "加入班级"});
    EXPECT_EQ(menu->titleView()->presentation().frame().y(), MVTContactTitleDownSelectView::kHiddenY);
    advance(MVTContactTitleDownSelectView::kShowTime);
    EXPECT_EQ(menu->titleView()->presentation().frame().y(), 0);
    menu->items()[2]->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    EXPECT_EQ(owner->clicked, std::vector<long>{2});
}

TEST_F(ContactMenuTest, ClosingTellsTheOwnerFirstAndRemovesTheViewAfterTheSlide) {
    make({"添加好友", "创建群组", "加入班级"});
    advance(MVTContactTitleDownSelectView::kShowTime);
    menu->selfremoveFromSuperview();
    EXPECT_EQ(owner->closings, 1);
    EXPECT_TRUE(owner->onScreenAtClosing);
    // A second close while sliding away changes nothing.
    menu->selfremoveFromSuperview();
    EXPECT_EQ(owner->closings, 1);
    EXPECT_TRUE(menu->superview());
    advance(MVTContactTitleDownSelectView::kCloseTime);
    ASSERT_TRUE(pumpUntil([&] {
        driver->pump();
        return menu->superview() == nullptr;
    }));
    EXPECT_EQ(menu->titleView()->frame().y(), MVTContactTitleDownSelectView::kHiddenY);
}

}  // namespace
