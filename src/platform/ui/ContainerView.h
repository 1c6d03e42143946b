#pragma once

#include "platform/ui/View.h"

#include <functional>

namespace platform {

// The root view of a container screen: it hands its layout pass to the container.
class ContainerView : public View {
public:
    explicit ContainerView(const Rect& frame) : View(frame) {}
    std::string className() const override { return "ContainerView"; }
    void setLayoutHandler(std::function<void()> handler) { layout_ = std::move(handler); }
    void layoutSubviews() override {
        if (layout_) layout_();
    }

private:
    std::function<void()> layout_;
};

}  // namespace platform
