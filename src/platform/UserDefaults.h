#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// The defaults store: small preferences under text keys, kept as one JSON file
// (home/Library/Preferences/defaults.json). Every change is written through at once, so
// nothing is lost when the process ends; synchronize() re-writes it explicitly.
// Data values are stored as {"$data": base64}.
class UserDefaults {
public:
    static UserDefaults& standard();
    // Re-reads the store from the current home (after Paths::setHome in tests).
    static void reloadStandard();

    explicit UserDefaults(std::filesystem::path file);

    nlohmann::json objectForKey(const std::string& key) const;  // null when absent
    void setObject(const std::string& key, const nlohmann::json& value);  // null removes
    // Every key of the dictionary at once, with one write of the file.
    void setObjects(const nlohmann::json& values);
    void removeObjectForKey(const std::string& key);
    bool hasKey(const std::string& key) const;

    bool boolForKey(const std::string& key) const;
    long long integerForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    // nullopt when absent or not a text.
    std::optional<std::string> stringForKey(const std::string& key) const;
    nlohmann::json arrayForKey(const std::string& key) const;       // null unless a list
    nlohmann::json dictionaryForKey(const std::string& key) const;  // null unless a dictionary
    std::optional<std::string> dataForKey(const std::string& key) const;

    void setBool(const std::string& key, bool value) { setObject(key, value); }
    void setInteger(const std::string& key, long long value) { setObject(key, value); }
    void setDouble(const std::string& key, double value) { setObject(key, value); }
    void setString(const std::string& key, const std::string& value) { setObject(key, value); }
    void setData(const std::string& key, const std::string& bytes);

    bool synchronize();
    const std::filesystem::path& file() const { return file_; }

private:
    bool writeLocked() const;

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    nlohmann::json values_ = nlohmann::json::object();
};

}  // namespace platform
