#include "FramePacer.h"

#include "platform/ui/Animation.h"
#include "platform/ui/View.h"

bool FramePacer::needsFrame() {
    bool wasAnimating = animating_;
    animating_ = platform::animationsRunning();
    unsigned long generation = platform::View::displayGeneration();
    if (!stale_ && generation == drawn_ && !animating_ && !wasAnimating) return false;
    stale_ = false;
    drawn_ = generation;
    return true;
}
