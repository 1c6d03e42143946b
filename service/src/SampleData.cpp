#include "sample_service/SampleData.h"

#include "sample_service/SampleService.h"

#include <algorithm>

namespace sample_service {

SampleData::SampleData(const std::filesystem::path& dataDirectory) {
    nlohmann::json users = readDataFile(dataDirectory, "users.json");
    if (users.is_array()) users_ = std::move(users);
    nlohmann::json school = readDataFile(dataDirectory, "school.json");
    if (school.is_object()) school_ = std::move(school);
}

nlohmann::json SampleData::users() const {
    std::lock_guard lock(mutex_);
    return users_;
}

namespace {
template <class Match>
std::optional<nlohmann::json> findUser(const nlohmann::json& users, Match match) {
    for (const auto& user : users)
        if (match(user)) return user;
    return std::nullopt;
}
}  // namespace

std::optional<nlohmann::json> SampleData::userWithCredentials(const std::string& userName,
                                                               const std::string& password) const {
    std::lock_guard lock(mutex_);
    return findUser(users_, [&](const nlohmann::json& user) {
        return user.value("userName", "") == userName && user.value("password", "") == password;
    });
}

std::optional<nlohmann::json> SampleData::userWithId(const std::string& userId) const {
    std::lock_guard lock(mutex_);
    return findUser(users_, [&](const nlohmann::json& user) { return user.value("userId", "") == userId; });
}

std::optional<nlohmann::json> SampleData::userWithName(const std::string& userName) const {
    std::lock_guard lock(mutex_);
    return findUser(users_, [&](const nlohmann::json& user) { return user.value("userName", "") == userName; });
}

bool SampleData::updateUser(const std::string& userId, const std::function<void(nlohmann::json&)>& change) {
    std::lock_guard lock(mutex_);
    for (auto& user : users_) {
        if (user.value("userId", "") != userId) continue;
        change(user);
        return true;
    }
    return false;
}

std::string SampleData::addUser(nlohmann::json user) {
    std::lock_guard lock(mutex_);
    long long highest = 0;
    for (const auto& existing : users_) {
        const std::string id = existing.value("userId", "");
        if (!id.empty() && id.size() < 18 && std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
            highest = std::max(highest, std::stoll(id));
    }
    const std::string id = std::to_string(highest + 1);
    user["userId"] = id;
    users_.push_back(std::move(user));
    return id;
}

nlohmann::json SampleData::school() const {
    std::lock_guard lock(mutex_);
    return school_;
}

void SampleData::updateSchool(const std::function<void(nlohmann::json&)>& change) {
    std::lock_guard lock(mutex_);
    change(school_);
}

}  // namespace sample_service
