#pragma once

// The sample school's changing data, shared by the routes: the users (sign-in, joining,
// registration change it) and the school with its classes. Every access holds one lock;
// readers get copies.

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace sample_service {

class SampleData {
public:
    SampleData() = default;
    // Reads users.json and school.json of the folder (missing files: no users, no school).
    explicit SampleData(const std::filesystem::path& dataDirectory);

    nlohmann::json users() const;
    std::optional<nlohmann::json> userWithCredentials(const std::string& userName, const std::string& password) const;
    std::optional<nlohmann::json> userWithId(const std::string& userId) const;
    std::optional<nlohmann::json> userWithName(const std::string& userName) const;
    // Changes the user with the id under the lock; false when there is none.
    bool updateUser(const std::string& userId, const std::function<void(nlohmann::json&)>& change);
    // Adds a user and gives it the next free numeric id, which it returns.
    std::string addUser(nlohmann::json user);

    nlohmann::json school() const;
    void updateSchool(const std::function<void(nlohmann::json&)>& change);

private:
    mutable std::mutex mutex_;
    nlohmann::json users_ = nlohmann::json::array();
    nlohmann::json school_ = nlohmann::json::object();
};

}  // namespace sample_service
