#pragma once

// Decides when the window host draws a new frame: after any visible change, on every turn
// of its loop while something moves (each frame shows it further on; an animation still
// waiting out its delay asks for nothing), and once more after the last one ends, so the
// window rests on where they stopped.
class FramePacer {
public:
    // Asked once a turn; true: draw now.
    bool needsFrame();
    // The window lost its pixels (exposed again): the next turn draws.
    void invalidate() { stale_ = true; }

private:
    unsigned long drawn_ = 0;
    bool stale_ = true;
    bool animating_ = false;
};
