#include "platform/NotificationCenter.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static auto* center = new NotificationCenter();
    return *center;
}

ObserverToken NotificationCenter::addObserver(const std::string& name, Handler handler) {
    std::lock_guard lock(mutex_);
    unsigned long id = nextId_++;
    entries_.push_back({id, name, std::make_shared<Handler>(std::move(handler))});
    return ObserverToken([this, id] {
        std::lock_guard lock(mutex_);
        std::erase_if(entries_, [id](const Entry& e) { return e.id == id; });
    });
}

void NotificationCenter::postNotification(const std::string& name, nlohmann::json object,
                                          nlohmann::json userInfo, std::any sender) {
    post(Notification{name, std::move(object), std::move(userInfo), std::move(sender)});
}

void NotificationCenter::post(const Notification& notification) {
    // Copy the handlers first: an observer may add or remove observers while it runs.
    std::vector<std::pair<unsigned long, std::shared_ptr<Handler>>> handlers;
    {
        std::lock_guard lock(mutex_);
        for (auto& e : entries_)
            if (e.name == notification.name) handlers.emplace_back(e.id, e.handler);
    }
    for (auto& [id, handler] : handlers) {
        bool stillThere;
        {
            std::lock_guard lock(mutex_);
            stillThere = std::any_of(entries_.begin(), entries_.end(),
                                     [id = id](const Entry& e) { return e.id == id; });
        }
        if (stillThere) (*handler)(notification);
    }
}

size_t NotificationCenter::observerCount(const std::string& name) {
    std::lock_guard lock(mutex_);
    return std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
}

}  // namespace platform
