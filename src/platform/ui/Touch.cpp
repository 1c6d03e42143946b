#include "platform/ui/Touch.h"

#include "platform/ui/View.h"

namespace platform {

Point Touch::locationInView(const View* inView) const {
    return inView ? inView->convertPointFrom(locationInWindow, nullptr) : locationInWindow;
}

Point Touch::previousLocationInView(const View* inView) const {
    return inView ? inView->convertPointFrom(previousLocationInWindow, nullptr) : previousLocationInWindow;
}

}  // namespace platform
