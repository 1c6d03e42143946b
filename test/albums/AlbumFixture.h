#pragma once

// An album screen test against the sample service: a signed-in user of the sample school,
// the screens in Chinese, a driver, and helpers to read what the service was asked.

#include "homework/HomeworkFixture.h"

#include "platform/Values.h"

#include <string>

namespace testing_support {

class AlbumTest : public HomeworkTest {
protected:
    // `count` photo posts with ids from `first` downwards, each with one picture.
    static platform::Json photoPosts(int count, int first) {
        platform::Json posts = platform::Json::array();
        for (int i = 0; i < count; ++i)
            posts.push_back({{"id", first - i},
                             {"uid", "2001"},
                             {"name", "李明"},
                             {"role", "student"},
                             {"type", "class_album"},
                             {"content", "照片"},
                             {"likeCount", "0"},
                             {"attachments", platform::Json::array({{{"id", "55"}, {"type", "image"}}})}});
        return posts;
    }
    // `count` albums with ids from `first`.
    static platform::Json albumRecords(int count, int first) {
        platform::Json albums = platform::Json::array();
        for (int i = 0; i < count; ++i)
            albums.push_back({{"id", first + i}, {"uid", "1001"}, {"name", "相册" + std::to_string(first + i)}});
        return albums;
    }
    static std::string servicePath(const std::string& path) { return "/services/norvo/" + path; }
    bool waitFor(const std::string& path, std::size_t count, const std::shared_ptr<platform::View>& screen) {
        return waitForRequests(path, count, screen);
    }
};

}  // namespace testing_support
