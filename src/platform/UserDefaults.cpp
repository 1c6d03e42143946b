#include "platform/UserDefaults.h"

#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Values.h"

#include <memory>

namespace fs = std::filesystem;
using nlohmann::json;

namespace platform {

namespace {
std::mutex standardMutex;
std::unique_ptr<UserDefaults>& standardSlot() {
    static std::unique_ptr<UserDefaults> slot;
    return slot;
}
fs::path standardFile() { return Paths::preferencesDirectory() / "defaults.json"; }
}  // namespace

UserDefaults& UserDefaults::standard() {
    std::lock_guard lock(standardMutex);
    if (!standardSlot()) standardSlot() = std::make_unique<UserDefaults>(standardFile());
    return *standardSlot();
}

void UserDefaults::reloadStandard() {
    std::lock_guard lock(standardMutex);
    standardSlot() = std::make_unique<UserDefaults>(standardFile());
}

UserDefaults::UserDefaults(fs::path file) : file_(std::move(file)) {
    auto text = readFile(file_);
    if (!text) return;
    auto parsed = json::parse(*text, nullptr, false);
    if (parsed.is_object()) {
        values_ = std::move(parsed);
    } else {
        log("defaults file %s is unreadable; starting empty", file_.c_str());
    }
}

json UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? json() : *it;
}

bool UserDefaults::hasKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return values_.contains(key);
}

void UserDefaults::setObject(const std::string& key, const json& value) {
    std::lock_guard lock(mutex_);
    if (value.is_null() || value.is_discarded())
        values_.erase(key);
    else
        values_[key] = value;
    writeLocked();
}

void UserDefaults::setObjects(const json& values) {
    if (!values.is_object() || values.empty()) return;
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : values.items()) {
        if (value.is_null())
            values_.erase(key);
        else
            values_[key] = value;
    }
    writeLocked();
}

void UserDefaults::removeObjectForKey(const std::string& key) { setObject(key, nullptr); }

bool UserDefaults::boolForKey(const std::string& key) const { return boolValue(objectForKey(key)); }
long long UserDefaults::integerForKey(const std::string& key) const { return integerValue(objectForKey(key)); }
double UserDefaults::doubleForKey(const std::string& key) const { return doubleValue(objectForKey(key)); }

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (v.is_string()) return v.get<std::string>();
    if (v.is_number()) return textOf(v);
    return std::nullopt;
}

json UserDefaults::arrayForKey(const std::string& key) const {
    auto v = objectForKey(key);
    return v.is_array() ? v : json();
}

json UserDefaults::dictionaryForKey(const std::string& key) const {
    auto v = objectForKey(key);
    return v.is_object() && !v.contains("$data") ? v : json();
}

void UserDefaults::setData(const std::string& key, const std::string& bytes) {
    setObject(key, json{{"$data", base64Encode(bytes)}});
}

std::optional<std::string> UserDefaults::dataForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (v.is_object() && v.contains("$data") && v["$data"].is_string())
        return base64Decode(v["$data"].get<std::string>());
    return std::nullopt;
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    return writeLocked();
}

bool UserDefaults::writeLocked() const {
    bool ok = writeFileAtomically(file_, values_.dump(1, ' ', false, nlohmann::json::error_handler_t::replace));
    if (!ok) log("could not write defaults to %s", file_.c_str());
    return ok;
}

}  // namespace platform
