#pragma once

#include <memory>
#include <vector>

namespace platform {

struct Touch;
using Touches = std::vector<std::shared_ptr<Touch>>;

// Something that raw touches can reach: views and view controllers. Unhandled touches
// travel up the chain (view → its controller when it is a root view → superview).
class Responder {
public:
    virtual ~Responder() = default;
    virtual void touchesBegan(const Touches& touches) { (void)touches; }
    virtual void touchesMoved(const Touches& touches) { (void)touches; }
    virtual void touchesEnded(const Touches& touches) { (void)touches; }
    virtual void touchesCancelled(const Touches& touches) { (void)touches; }
};

}  // namespace platform
