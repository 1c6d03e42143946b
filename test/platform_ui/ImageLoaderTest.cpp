// Pictures from http(s) addresses into image views: placeholder first, one fetch per
// address, the memory cache, and what is never fetched or shown.
#include "support/ServiceFixture.h"

#include "platform/ui/ImageLoader.h"
#include "platform/ui/ImageView.h"

using namespace platform;
using sample_service::Reply;

namespace {

class ImageLoaderTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        ImageLoader::clearCache();
        placeholder = Image::imageWithColor(Color::gray(), {4, 4});
        picture = Image::imageWithColor(Color::red(), {8, 6})->pngData();
    }
    void TearDown() override {
        ImageLoader::clearCache();
        ServiceTest::TearDown();
    }
    std::size_t requestsTo(const std::string& path) {
        std::size_t count = 0;
        for (const auto& r : service().requests())
            if (r.path == path) ++count;
        return count;
    }
    static bool showsPicture(const ImageView& view) { return view.image() && view.image()->size().width == 8; }

    ImageRef placeholder;
    std::string picture;
};

TEST_F(ImageLoaderTest, TwoViewsOfOneAddressShareOneFetchAndALaterViewIsServedFromTheCache) {
    Reply slow = Reply::text(picture, "image/png");
    slow.delay = 0.2;
    service().setReply("GET", "/pictures/a.png", slow);
    auto first = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
    auto second = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
    ImageLoader::setImageWithURL(first, baseUrl() + "pictures/a.png", placeholder);
    EXPECT_EQ(first->image(), placeholder);
    ImageLoader::setImageWithURL(second, baseUrl() + "pictures/a.png", placeholder);
    ASSERT_TRUE(pumpUntil([&] { return showsPicture(*first) && showsPicture(*second); }));
    EXPECT_EQ(requestsTo("/pictures/a.png"), 1u);

    auto third = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
    ImageLoader::setImageWithURL(third, baseUrl() + "pictures/a.png", placeholder);
    EXPECT_TRUE(showsPicture(*third));
    EXPECT_EQ(requestsTo("/pictures/a.png"), 1u);
}

TEST_F(ImageLoaderTest, WhatIsNoPictureOrNoWebAddressLeavesThePlaceholder) {
    service().setReply("GET", "/pictures/page.html", Reply::text("<html></html>", "text/html"));
    service().setReply("GET", "/pictures/gone.png", Reply::text("", "text/plain", 404));
    service().setReply("GET", "/pictures/huge.png", Reply::text(std::string(ImageLoader::kMaxPictureBytes + 1, 'x'), "image/png"));
    const std::vector<std::string> addresses = {baseUrl() + "pictures/page.html", baseUrl() + "pictures/gone.png",
                                                baseUrl() + "pictures/huge.png"};
    std::vector<std::shared_ptr<ImageView>> views;
    for (const auto& address : addresses) {
        views.push_back(std::make_shared<ImageView>(Rect(0, 0, 80, 80)));
        ImageLoader::setImageWithURL(views.back(), address, placeholder);
    }
    ASSERT_TRUE(pumpUntil([&] {
        return requestsTo("/pictures/page.html") && requestsTo("/pictures/gone.png") && requestsTo("/pictures/huge.png");
    }));
    // The next fetch of the first address is asked again: nothing bad was cached.
    ASSERT_TRUE(pumpUntil([&] {
        auto again = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
        ImageLoader::setImageWithURL(again, addresses[0], placeholder);
        return requestsTo("/pictures/page.html") >= 2;
    }));
    for (const auto& view : views) EXPECT_EQ(view->image(), placeholder);
    for (const auto& address : addresses) EXPECT_FALSE(ImageLoader::cachedImage(address));

    for (const std::string address : {"file:///etc/passwd", "ftp://127.0.0.1/a.png", "/pictures/a.png", "", "http:"}) {
        auto view = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
        ImageLoader::setImageWithURL(view, address, placeholder);
        EXPECT_EQ(view->image(), placeholder) << address;
    }
    // A picture asked for after them arrives; none of them reached the service.
    service().setReply("GET", "/pictures/last.png", Reply::text(picture, "image/png"));
    auto last = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
    ImageLoader::setImageWithURL(last, baseUrl() + "pictures/last.png", placeholder);
    ASSERT_TRUE(pumpUntil([&] { return showsPicture(*last); }));
    EXPECT_EQ(requestsTo("/pictures/a.png") + requestsTo("/a.png") + requestsTo("/etc/passwd"), 0u);
}

TEST_F(ImageLoaderTest, AViewAskedForAnotherAddressMeanwhileKeepsTheLaterPicture) {
    Reply slow = Reply::text(Image::imageWithColor(Color::blue(), {3, 3})->pngData(), "image/png");
    slow.delay = 0.3;
    service().setReply("GET", "/pictures/old.png", slow);
    service().setReply("GET", "/pictures/new.png", Reply::text(picture, "image/png"));
    auto view = std::make_shared<ImageView>(Rect(0, 0, 80, 80));
    ImageLoader::setImageWithURL(view, baseUrl() + "pictures/old.png", placeholder);
    ImageLoader::setImageWithURL(view, baseUrl() + "pictures/new.png", placeholder);
    ASSERT_TRUE(pumpUntil([&] { return ImageLoader::cachedImage(baseUrl() + "pictures/old.png") != nullptr; }));
    EXPECT_TRUE(showsPicture(*view));
}

}  // namespace
