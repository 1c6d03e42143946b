#pragma once

#include <nlohmann/json.hpp>

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct Notification {
    std::string name;
    // What the notifications of this app carry: a text, a list or a dictionary.
    nlohmann::json object;
    nlohmann::json userInfo;
    // The posting object when a receiver needs it (a screen, a cell).
    std::any sender;
};

// Removes its observer when it dies: a screen keeps the tokens of what it observes as
// members, so it can never be called after it is gone.
class ObserverToken {
public:
    ObserverToken() = default;
    explicit ObserverToken(std::function<void()> remove) : remove_(std::move(remove)) {}
    ~ObserverToken() { reset(); }
    ObserverToken(ObserverToken&& other) noexcept : remove_(std::move(other.remove_)) { other.remove_ = nullptr; }
    ObserverToken& operator=(ObserverToken&& other) noexcept {
        if (this != &other) {
            reset();
            remove_ = std::move(other.remove_);
            other.remove_ = nullptr;
        }
        return *this;
    }
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;
    void reset() {
        if (remove_) {
            auto remove = std::move(remove_);
            remove_ = nullptr;
            remove();
        }
    }
    explicit operator bool() const { return static_cast<bool>(remove_); }

private:
    std::function<void()> remove_;
};

// Named notifications, delivered at once on the posting thread to every observer of the
// name, in the order they registered.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    [[nodiscard]] ObserverToken addObserver(const std::string& name, Handler handler);
    void postNotification(const std::string& name, nlohmann::json object = nullptr,
                          nlohmann::json userInfo = nullptr, std::any sender = {});
    void post(const Notification& notification);
    size_t observerCount(const std::string& name);

private:
    struct Entry {
        unsigned long id;
        std::string name;
        std::shared_ptr<Handler> handler;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
    unsigned long nextId_ = 1;
};

}  // namespace platform
