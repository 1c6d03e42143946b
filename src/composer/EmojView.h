#pragma once

// The composers' emoticon panel: the faces only, over the panel's full 216 points.

#include "composer/MVTFacePanel.h"

class EmojView : public MVTFacePanel {
public:
    std::string className() const override { return "EmojView"; }

protected:
    platform::Rect scrollFrame() const override;
    platform::Rect dotsFrame() const override;
};
