#pragma once

#include <memory>
#include <string>
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

    // The next link of the chain: a view's controller when it is a controller's root view,
    // else its superview; a controller's root view's superview.
    virtual Responder* nextResponder() const { return nullptr; }
    // A named action sent up the chain by a control with no target of its own (a button
    // whose host screen answers it). True when this responder answered it.
    virtual bool performResponderAction(const std::string& action) { (void)action; return false; }
    // Offers `action` to `from`, then to each next responder, until one answers; false
    // when nobody does.
    static bool sendActionUpChain(Responder* from, const std::string& action) {
        for (Responder* r = from; r; r = r->nextResponder())
            if (r->performResponderAction(action)) return true;
        return false;
    }
};

}  // namespace platform
