#include "platform/ui/View.h"

#include <gtest/gtest.h>

namespace {

// A view that builds its subviews in its constructor, before a shared pointer owns it.
class Composite : public platform::View {
public:
    Composite() : View(platform::Rect{0, 0, 50, 50}) {
        child = std::make_shared<platform::View>(platform::Rect{0, 0, 10, 10});
        addSubview(child);
    }
    std::shared_ptr<platform::View> child;
};

TEST(ViewTreeTest, SubviewsMadeInAConstructorKnowTheirSuperview) {
    auto outer = std::make_shared<platform::View>(platform::Rect{0, 0, 100, 100});
    auto composite = std::make_shared<Composite>();
    outer->addSubview(composite);
    EXPECT_EQ(composite->child->superview(), composite);
    EXPECT_TRUE(composite->child->isDescendantOf(outer.get()));
    EXPECT_EQ(composite->child->convertPointTo({1, 1}, outer.get()).x, 1);
    std::weak_ptr<platform::View> weakComposite = composite;
    auto child = composite->child;
    outer.reset();
    composite.reset();
    EXPECT_TRUE(weakComposite.expired());
    EXPECT_EQ(child->superview(), nullptr);  // the dead parent let go of it
}

}  // namespace
