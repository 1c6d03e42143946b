// Class albums of the sample school and their pictures:
//   GET  services/norvo/class/<user>/album/list            the albums of the user's classes:
//        "limit", "page" (from 1)
//   GET  services/norvo/class/album/<album>/photo/list     an album's photos: "limit", "page"
//   POST services/norvo/class/<user>/album/<album>/photo/delete   "moduleTypeIds" ("a,b")
//   GET  services/norvo/feed/<user>/list/1 with "filter" "type:class_album"
//        the photo posts of the user's classes, newest first ("limit",
//        "maxIdNotIncludeSelf", "minIdNotIncludeSelf"); any other filter goes on to the feed
//   GET  services/norvo/<user>/class/album/power/list         the albums the user may fill
//   POST services/norvo/class/<user>/album/<album>/upload/photo "description", "image" parts:
//        kept with the album, a photo post made; answers "resourceModuleIds"
//   POST services/norvo/class/<class>/<user>/album/add      "name", "description", "power":
//        answers "albumId"
//   POST services/norvo/class/<album>/<user>/album/edit     "name", "description", "power"
//   GET  services/norvo/forum/<user>/<forum>/<field>/album/list   a group's albums under
//        "list": "limit", "maxIdNotIncludeSelf"
//   POST services/norvo/forum/<user>/<forum>/<field>/album/save   multipart "name",
//        "description" (a new album, answers "id"), with "id" an edit; with "image" parts
//        and "id" an upload of photos into that album
//   GET  services/norvo/forum/<user>/<forum>/<field>/album/<album>/remove
//   GET  services/norvo/forum/<user>/<forum>/<field>/<album>/photo/list  "limit", "page"
//   GET  services/norvo/forum/<user>/<forum>/<field>/<album>/photo/remove  "ids" ("a,b")
//   GET  resource/view/img_thumb/<id>?size=m|big            an album picture, 240 or 640 px wide
//   GET  resource/<id>/download                             an album picture whole, 1600 x 1200
// Album pictures are drawn from their number (a scene and a Chinese caption) and sent as
// JPEG; each is drawn once and kept. The photo posts live in the feed's store, in the
// service-only class "album:<class>", which the class circle does not list.
#include "FeedStore.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

namespace sample_service {

namespace {

using nlohmann::json;

// Ids of the sample: albums 501-512, photos 7xxxx, thumbnails 77xxxx, whole pictures 78xxxx,
// photo posts 901-917. Uploaded photos take the numbers after.
constexpr long long kFirstAlbum = 501;
constexpr int kAlbumCount = 12;
constexpr long long kFirstArchivePost = 901;
constexpr int kArchivePostCount = 17;
constexpr long long kFirstUploadPost = 1000;

const char* const kAlbumNames[kAlbumCount] = {"默认相册", "春游", "空相册",   "运动会", "六一儿童节", "手工课",
                                              "读书角",   "秋游", "元旦联欢", "科学课", "美术作品",   "毕业照"};
const char* const kSceneCaptions[] = {"春游", "运动会", "手工课", "读书角", "联欢会", "科学实验", "美术课", "合影"};

long long albumNumber(const std::string& text) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        return used == text.size() ? value : -1;
    } catch (...) {
        return -1;
    }
}

std::string albumText(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return {};
}

struct AlbumPhoto {
    long long id;          // removal key of group albums, and the post attachment id
    long long picture;     // the scene drawn
};

struct AlbumStore {
    std::mutex mutex;
    json albums = json::array();                       // newest first
    std::map<long long, std::vector<AlbumPhoto>> photos;  // by album id, newest first
    std::map<std::string, std::string> drawn;            // "<picture>/<width>" -> JPEG
    long long nextPhoto = 70001;
    long long nextUpload = 5000;
    long long nextAlbum = 600;
    std::map<std::string, json> groupAlbums;  // by "<forum>/<field>", newest first
};

bool userInClass(const json& user, const std::string& classId) {
    std::stringstream classes(user.value("classIds", ""));
    for (std::string item; std::getline(classes, item, ',');)
        if (item == classId) return true;
    return false;
}

std::string albumClassOf(const json& album) { return album.value("classId", ""); }

// The photo as the lists send it.
json photoRecord(const AlbumPhoto& photo) {
    return {{"id", photo.id},
            {"resourceId", std::to_string(770000 + photo.picture)},
            {"resourceModuleId", std::to_string(780000 + photo.picture)}};
}

void fillSampleAlbums(AlbumStore& store) {
    long long picture = 1;
    for (int i = 0; i < kAlbumCount; ++i) {
        const long long id = kFirstAlbum + i;
        const std::string classId = i % 3 == 2 ? "12" : "11";
        const int count = i == 1 ? 20 : i == 2 ? 0 : 1 + (i * 5) % 7;
        std::vector<AlbumPhoto> photos;
        for (int k = 0; k < count; ++k) photos.push_back({store.nextPhoto++, picture++});
        json album = {{"id", id},
                      {"uid", i == 0 ? "-1" : (i % 4 == 3 ? "1002" : "1001")},
                      {"name", kAlbumNames[i]},
                      {"count", std::to_string(count)},
                      {"dateline", 1767600000 - i * 86400},
                      {"classId", classId},
                      {"classFullName", classId == "11" ? "三年级一班" : "三年级二班"},
                      {"description", std::string(kAlbumNames[i]) + "的照片"},
                      {"ismanager", "1"}};
        if (!photos.empty()) album["resourceId"] = std::to_string(770000 + photos.front().picture);
        store.albums.push_back(album);
        store.photos[id] = photos;
    }
}

// The photo posts: mood 55 on one, student authors, emoticons and line breaks in the texts.
void addArchivePosts(FeedStore& feed) {
    const struct {
        const char* uid;
        const char* name;
        const char* role;
    } authors[] = {{"1001", "王老师", "teacher"}, {"2001", "李明", "student"}, {"2003", "赵小红", "student"}};
    std::lock_guard guard(feed.mutex);
    for (int i = 0; i < kArchivePostCount; ++i) {
        const auto& author = authors[i % 3];
        const std::string classId = i % 4 == 3 ? "12" : "11";
        json attachments = json::array();
        const int pictures = 1 + i % 5;
        for (int k = 0; k < pictures; ++k) {
            const long long picture = 1 + (i * 7 + k * 3) % 60;
            attachments.push_back({{"id", i == 5 && k == 0 ? 55 : 770000 + picture},
                                   {"type", "image"},
                                   {"resModuleId", 780000 + picture}});
        }
        std::string content = std::string("今天的") + kSceneCaptions[i % 8] + "[em:" + std::to_string(1 + i % 30) + ":]";
        if (i % 3 == 1) content += "</br>大家玩得很开心";
        feed.posts.push_back({{"id", kFirstArchivePost + i},
                              {"uid", author.uid},
                              {"name", author.name},
                              {"role", author.role},
                              {"className", classId == "11" ? "三年级一班" : "三年级二班"},
                              {"dateline", 1767400000 - i * 3600},
                              {"type", "class_album"},
                              {"title", std::string(kSceneCaptions[i % 8]) + "照片"},
                              {"content", content},
                              {"classId", "album:" + classId},
                              {"attachments", attachments},
                              {"links", json::array()},
                              {"praisers", json::array()},
                              {"comments", json::array()}});
    }
}

// ---- Pictures

std::string encodeJpeg(cairo_surface_t* surface) {
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    if (!pixbuf) return {};
    // Cairo keeps each pixel as one native-endian 32-bit word 0xXXRRGGBB.
    const unsigned char* from = cairo_image_surface_get_data(surface);
    const int fromStride = cairo_image_surface_get_stride(surface);
    unsigned char* to = gdk_pixbuf_get_pixels(pixbuf);
    const int toStride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto word = *reinterpret_cast<const std::uint32_t*>(from + y * fromStride + x * 4);
            unsigned char* pixel = to + y * toStride + x * 3;
            pixel[0] = (word >> 16) & 0xff;
            pixel[1] = (word >> 8) & 0xff;
            pixel[2] = word & 0xff;
        }
    gchar* buffer = nullptr;
    gsize size = 0;
    std::string bytes;
    if (gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "jpeg", nullptr, "quality", "85", nullptr))
        bytes.assign(buffer, size);
    g_free(buffer);
    g_object_unref(pixbuf);
    return bytes;
}

// A 4:3 scene for picture number `picture`: sky, sun, hills, a tree and the caption.
std::string drawAlbumPicture(long long picture, int width) {
    const int height = width * 3 / 4;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    const double hue = double((picture * 37) % 100) / 100.0;
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.35 + 0.3 * hue, 0.6, 0.95 - 0.3 * hue);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.9, 0.95, 1.0);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    cairo_set_source_rgb(cr, 1.0, 0.8, 0.2);
    cairo_arc(cr, width * (0.2 + 0.6 * hue), height * 0.25, height * 0.1, 0, 2 * M_PI);
    cairo_fill(cr);
    for (int hill = 0; hill < 3; ++hill) {
        cairo_set_source_rgb(cr, 0.2 + 0.1 * hill, 0.55 + 0.1 * hill, 0.25);
        const double base = height * (0.6 + 0.1 * hill);
        cairo_move_to(cr, 0, height);
        cairo_line_to(cr, 0, base);
        cairo_curve_to(cr, width * 0.3, base - height * 0.2, width * 0.6, base + height * 0.1, width, base - height * 0.05);
        cairo_line_to(cr, width, height);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0.45, 0.3, 0.15);
    const double treeX = width * (0.75 - 0.5 * hue);
    cairo_rectangle(cr, treeX, height * 0.45, width * 0.02, height * 0.2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.15, 0.5, 0.2);
    cairo_arc(cr, treeX + width * 0.01, height * 0.42, height * 0.09, 0, 2 * M_PI);
    cairo_fill(cr);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    const std::string font = "Noto Sans CJK SC Bold " + std::to_string(std::max(8, width / 20));
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout, description);
    const std::string caption = std::string(kSceneCaptions[picture % 8]) + " 第" + std::to_string(picture) + "张";
    pango_layout_set_text(layout, caption.c_str(), -1);
    int textWidth = 0, textHeight = 0;
    pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_rectangle(cr, 0, height - textHeight - width / 40.0, width, textHeight + width / 40.0);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, (width - textWidth) / 2.0, height - textHeight - width / 80.0);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::string bytes = encodeJpeg(surface);
    cairo_surface_destroy(surface);
    return bytes;
}

// The drawn picture, made on first use and kept; an uploaded picture as it was sent.
Reply albumPicture(AlbumStore& store, long long picture, int width) {
    const std::string key = std::to_string(picture) + "/" + std::to_string(width);
    {
        std::lock_guard guard(store.mutex);
        auto uploaded = store.drawn.find(std::to_string(picture) + "/upload");
        if (uploaded != store.drawn.end()) return Reply::text(uploaded->second, "image/png");
        auto found = store.drawn.find(key);
        if (found != store.drawn.end()) return Reply::text(found->second, "image/jpeg");
    }
    std::string bytes = drawAlbumPicture(picture, width);
    std::lock_guard guard(store.mutex);
    store.drawn[key] = bytes;
    return Reply::text(std::move(bytes), "image/jpeg");
}

// The number of the album picture a resource id names, or -1.
long long albumPictureOf(const std::string& id, long long base) {
    const long long value = albumNumber(id);
    return value > base && value < base + 10000 ? value - base : -1;
}

bool albumPostVisible(const json& post, const json& user) {
    const std::string classId = post.value("classId", "all");
    if (classId.rfind("album:", 0) == 0) return userInClass(user, classId.substr(6));
    return FeedStore::visibleTo(post, user);
}

long long albumPostId(const json& post) { return albumNumber(albumText(post.value("id", json()))); }

}  // namespace

void addAlbumRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = std::make_shared<AlbumStore>();
    fillSampleAlbums(*store);
    auto feed = FeedStore::of(service, dataDirectory);
    addArchivePosts(*feed);

    service.route("GET", "services/norvo/class/%@/album/list", [&service, store](const RecordedRequest& request) {
        const auto user = service.data().userWithId(request.arguments.at(0));
        if (!user) return Reply::json(json::array());
        const long long limit = std::clamp<long long>(albumNumber(request.queryValue("limit").value_or("10")), 1, 50);
        const long long page = std::max<long long>(1, albumNumber(request.queryValue("page").value_or("1")));
        std::lock_guard guard(store->mutex);
        json mine = json::array();
        for (const auto& album : store->albums)
            if (userInClass(*user, albumClassOf(album))) mine.push_back(album);
        json reply = json::array();
        for (long long i = (page - 1) * limit; i < page * limit && i < (long long)mine.size(); ++i) {
            json album = mine[std::size_t(i)];
            album.erase("classId");
            album["classId"] = albumClassOf(mine[std::size_t(i)]);
            reply.push_back(album);
        }
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/class/album/%@/photo/list", [store](const RecordedRequest& request) {
        const long long limit = std::clamp<long long>(albumNumber(request.queryValue("limit").value_or("15")), 1, 50);
        const long long page = std::max<long long>(1, albumNumber(request.queryValue("page").value_or("1")));
        std::lock_guard guard(store->mutex);
        auto found = store->photos.find(albumNumber(request.arguments.at(0)));
        json reply = json::array();
        if (found == store->photos.end()) return Reply::json(reply);
        for (long long i = (page - 1) * limit; i < page * limit && i < (long long)found->second.size(); ++i)
            reply.push_back(photoRecord(found->second[std::size_t(i)]));
        return Reply::json(reply);
    });

    service.route("POST", "services/norvo/class/%@/album/%@/photo/delete", [store](const RecordedRequest& request) {
        std::set<std::string> modules;
        std::stringstream list(request.formValue("moduleTypeIds").value_or(""));
        for (std::string item; std::getline(list, item, ',');) modules.insert(item);
        std::lock_guard guard(store->mutex);
        const long long albumId = albumNumber(request.arguments.at(1));
        auto found = store->photos.find(albumId);
        if (found == store->photos.end() || modules.empty()) return Reply::json({{"success", 0}});
        auto& photos = found->second;
        const auto before = photos.size();
        photos.erase(std::remove_if(photos.begin(), photos.end(),
                                    [&](const AlbumPhoto& photo) {
                                        return modules.count(std::to_string(780000 + photo.picture)) > 0;
                                    }),
                     photos.end());
        for (auto& album : store->albums)
            if (albumNumber(albumText(album["id"])) == albumId) album["count"] = std::to_string(photos.size());
        return Reply::json({{"success", photos.size() < before ? 1 : 0}});
    });

    // The photo posts of the class album; the class circle's own lists go on as before.
    auto feedList = service.handlerFor("GET", "services/norvo/feed/%@/list/1");
    service.route("GET", "services/norvo/feed/%@/list/1", [&service, feed, feedList](const RecordedRequest& request) {
        if (request.queryValue("filter").value_or("") != "type:class_album" && feedList) return feedList(request);
        const std::string userId = request.arguments.at(0);
        const auto user = service.data().userWithId(userId);
        if (!user) return Reply::json(json::array());
        const long long limit = std::clamp<long long>(albumNumber(request.queryValue("limit").value_or("15")), 1, 50);
        const auto maxId = request.queryValue("maxIdNotIncludeSelf");
        const auto minId = request.queryValue("minIdNotIncludeSelf");
        std::lock_guard guard(feed->mutex);
        std::vector<const json*> seen;
        for (const auto& post : feed->posts) {
            if (post.value("type", "") != "class_album" || !albumPostVisible(post, *user)) continue;
            const long long id = albumPostId(post);
            if (maxId && id >= albumNumber(*maxId)) continue;
            if (minId && id <= albumNumber(*minId)) continue;
            seen.push_back(&post);
        }
        std::sort(seen.begin(), seen.end(), [](const json* a, const json* b) { return albumPostId(*a) > albumPostId(*b); });
        json reply = json::array();
        for (std::size_t i = 0; i < seen.size() && i < std::size_t(limit); ++i)
            reply.push_back(feed->present(*seen[i], userId, service.baseUrl()));
        return Reply::json(reply);
    });

    // Album pictures have resource ids of their own ("77..." thumbnails, "78..." whole):
    // their routes leave every other resource to the routes before.
    service.route("GET", "resource/view/img_thumb/77%@", [store](const RecordedRequest& request) {
        const long long picture = albumPictureOf("77" + request.arguments.at(0), 770000);
        if (picture < 0) return Reply::text("", "text/plain", 404);
        return albumPicture(*store, picture, request.queryValue("size").value_or("m") == "big" ? 640 : 240);
    });
    service.route("GET", "resource/78%@/download", [store](const RecordedRequest& request) {
        const long long picture = albumPictureOf("78" + request.arguments.at(0), 780000);
        if (picture < 0) return Reply::text(kResourceNotFound);
        return albumPicture(*store, picture, 1600);
    });

    service.route("GET", "services/norvo/%@/class/album/power/list", [&service, store](const RecordedRequest& request) {
        const auto user = service.data().userWithId(request.arguments.at(0));
        json reply = json::array();
        if (!user) return Reply::json(reply);
        std::lock_guard guard(store->mutex);
        for (const auto& album : store->albums)
            if (userInClass(*user, albumClassOf(album)))
                reply.push_back({{"id", album["id"]}, {"name", album["name"]}, {"power", "1"}});
        return Reply::json(reply);
    });

    // Photos uploaded with a caption: kept with the album and shown as a photo post.
    service.route("POST", "services/norvo/class/%@/album/%@/upload/photo", [&service, store, feed](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const long long albumId = albumNumber(request.arguments.at(1));
        const auto user = service.data().userWithId(userId);
        std::string caption;
        std::vector<std::string> images;
        for (const auto& part : request.parts) {
            if (part.name == "description" && part.fileName.empty()) caption = part.bytes;
            if (part.name == "image" && !part.bytes.empty()) images.push_back(part.bytes);
        }
        if (!user || images.empty()) return Reply::json({{"success", 0}});
        std::string classId, albumName;
        json ids = json::array(), attachments = json::array();
        {
            std::lock_guard guard(store->mutex);
            auto photos = store->photos.find(albumId);
            if (photos == store->photos.end()) return Reply::json({{"success", 0}});
            for (const auto& bytes : images) {
                const long long picture = store->nextUpload++;
                store->drawn[std::to_string(picture) + "/upload"] = bytes;
                photos->second.insert(photos->second.begin(), {store->nextPhoto++, picture});
                ids.push_back(std::to_string(780000 + picture));
                attachments.push_back({{"id", 770000 + picture}, {"type", "image"}, {"resModuleId", 780000 + picture}});
            }
            for (auto& album : store->albums)
                if (albumNumber(albumText(album["id"])) == albumId) {
                    album["count"] = std::to_string(photos->second.size());
                    album["resourceId"] = std::to_string(770000 + photos->second.front().picture);
                    classId = albumClassOf(album);
                    albumName = album.value("name", "");
                }
        }
        std::lock_guard guard(feed->mutex);
        const long long postId = std::max(feed->nextPostId, kFirstUploadPost);
        feed->nextPostId = postId + 1;
        feed->posts.push_back({{"id", postId},
                               {"uid", userId},
                               {"name", user->value("name", "")},
                               {"role", user->value("role", "")},
                               {"dateline", FeedStore::now()},
                               {"type", "class_album"},
                               {"title", "上传到相册 " + albumName},
                               {"content", caption},
                               {"classId", classId},
                               {"attachments", attachments},
                               {"links", json::array()},
                               {"praisers", json::array()},
                               {"comments", json::array()}});
        return Reply::json({{"success", 1}, {"resourceModuleIds", ids}});
    });

    // A new class album and an edit of one.
    service.route("POST", "services/norvo/class/%@/%@/album/add", [&service, store](const RecordedRequest& request) {
        const std::string classId = request.arguments.at(0), userId = request.arguments.at(1);
        const std::string name = request.formValue("name").value_or("");
        const auto user = service.data().userWithId(userId);
        if (!user || name.empty()) return Reply::json({{"success", 0}, {"message", "创建相册失败"}});
        // Class "-1": the user's own first class.
        std::string target = classId;
        if (target == "-1") {
            std::stringstream classes(user->value("classIds", ""));
            std::getline(classes, target, ',');
        }
        if (!userInClass(*user, target)) return Reply::json({{"success", 0}, {"message", "创建相册失败"}});
        std::lock_guard guard(store->mutex);
        const long long id = store->nextAlbum++;
        store->albums.insert(store->albums.begin(),
                             json{{"id", id},
                                  {"uid", userId},
                                  {"name", name},
                                  {"count", "0"},
                                  {"dateline", FeedStore::now()},
                                  {"classId", target},
                                  {"classFullName", target == "11" ? "三年级一班" : "三年级二班"},
                                  {"description", request.formValue("description").value_or("")},
                                  {"ismanager", "1"}});
        store->photos[id] = {};
        return Reply::json({{"success", 1}, {"albumId", id}});
    });
    service.route("POST", "services/norvo/class/%@/%@/album/edit", [store](const RecordedRequest& request) {
        const long long albumId = albumNumber(request.arguments.at(0));
        const std::string name = request.formValue("name").value_or("");
        std::lock_guard guard(store->mutex);
        for (auto& album : store->albums)
            if (albumNumber(albumText(album["id"])) == albumId && !name.empty()) {
                album["name"] = name;
                album["description"] = request.formValue("description").value_or("");
                return Reply::json({{"success", 1}});
            }
        return Reply::json({{"success", 0}});
    });

    // Group albums: three for every group the first time it is asked about, the first a
    // system album.
    auto groupAlbumsOf = [store](const std::string& forum, const std::string& field) -> json& {
        json& albums = store->groupAlbums[forum + "/" + field];
        if (albums.is_null()) {
            albums = json::array();
            const char* names[] = {"群默认相册", "聚会", "外出活动"};
            const char* owners[] = {"-1", "1001", "2001"};
            long long picture = 40;
            for (int i = 0; i < 3; ++i) {
                const long long id = store->nextAlbum++;
                std::vector<AlbumPhoto> photos;
                for (int k = 0; k < 2 + 2 * i; ++k) photos.push_back({store->nextPhoto++, picture++});
                albums.push_back({{"id", id},
                                  {"uid", owners[i]},
                                  {"name", names[i]},
                                  {"count", std::to_string(photos.size())},
                                  {"dateline", 1767600000 - i * 3600},
                                  {"description", ""},
                                  {"resourceId", std::to_string(770000 + photos.front().picture)}});
                store->photos[id] = photos;
            }
        }
        return albums;
    };
    service.route("GET", "services/norvo/forum/%@/%@/%@/album/list", [store, groupAlbumsOf](const RecordedRequest& request) {
        const long long limit = std::clamp<long long>(albumNumber(request.queryValue("limit").value_or("15")), 1, 50);
        const auto maxId = request.queryValue("maxIdNotIncludeSelf");
        std::lock_guard guard(store->mutex);
        json list = json::array();
        bool after = !maxId;
        for (const auto& album : groupAlbumsOf(request.arguments.at(1), request.arguments.at(2))) {
            if (after && (long long)list.size() < limit) list.push_back(album);
            if (maxId && albumText(album["id"]) == *maxId) after = true;
        }
        return Reply::json({{"list", list}});
    });
    service.route("POST", "services/norvo/forum/%@/%@/%@/album/save", [store, groupAlbumsOf](const RecordedRequest& request) {
        std::string name, description, id;
        std::vector<std::string> images;
        for (const auto& part : request.parts) {
            if (part.name == "name") name = part.bytes;
            if (part.name == "description" && part.fileName.empty()) description = part.bytes;
            if (part.name == "id") id = part.bytes;
            if (part.name == "image" && !part.bytes.empty()) images.push_back(part.bytes);
        }
        std::lock_guard guard(store->mutex);
        json& albums = groupAlbumsOf(request.arguments.at(1), request.arguments.at(2));
        if (id.empty()) {
            if (name.empty()) return Reply::json({{"success", 0}, {"message", "创建相册失败"}});
            const long long newId = store->nextAlbum++;
            albums.insert(albums.begin(), json{{"id", newId}, {"uid", request.arguments.at(0)}, {"name", name},
                                               {"count", "0"}, {"dateline", FeedStore::now()},
                                               {"description", description}});
            store->photos[newId] = {};
            return Reply::json({{"success", 1}, {"id", newId}});
        }
        for (auto& album : albums) {
            if (albumText(album["id"]) != id) continue;
            if (images.empty()) {
                if (name.empty()) return Reply::json({{"success", 0}, {"msg", "相册名称不能为空"}});
                album["name"] = name;
                album["description"] = description;
                return Reply::json({{"success", 1}});
            }
            auto& photos = store->photos[albumNumber(id)];
            json ids = json::array();
            for (const auto& bytes : images) {
                const long long picture = store->nextUpload++;
                store->drawn[std::to_string(picture) + "/upload"] = bytes;
                photos.insert(photos.begin(), {store->nextPhoto++, picture});
                ids.push_back(std::to_string(780000 + picture));
            }
            album["count"] = std::to_string(photos.size());
            album["resourceId"] = std::to_string(770000 + photos.front().picture);
            return Reply::json({{"success", 1}, {"resourceModuleIds", ids}});
        }
        return Reply::json({{"success", 0}, {"msg", "相册不存在"}});
    });
    service.route("GET", "services/norvo/forum/%@/%@/%@/album/%@/remove", [store, groupAlbumsOf](const RecordedRequest& request) {
        std::lock_guard guard(store->mutex);
        json& albums = groupAlbumsOf(request.arguments.at(1), request.arguments.at(2));
        for (std::size_t i = 0; i < albums.size(); ++i) {
            if (albumText(albums[i]["id"]) != request.arguments.at(3)) continue;
            const std::string owner = albumText(albums[i]["uid"]);
            if (owner == "-1") return Reply::json({{"msg", "系统相册不能删除"}});
            albums.erase(albums.begin() + long(i));
            return Reply::json({{"success", 1}});
        }
        return Reply::json({{"msg", "相册不存在"}});
    });
    service.route("GET", "services/norvo/forum/%@/%@/%@/%@/photo/list", [store](const RecordedRequest& request) {
        const long long limit = std::clamp<long long>(albumNumber(request.queryValue("limit").value_or("15")), 1, 50);
        const long long page = std::max<long long>(1, albumNumber(request.queryValue("page").value_or("1")));
        std::lock_guard guard(store->mutex);
        json list = json::array();
        auto found = store->photos.find(albumNumber(request.arguments.at(3)));
        if (found != store->photos.end())
            for (long long i = (page - 1) * limit; i < page * limit && i < (long long)found->second.size(); ++i)
                list.push_back(photoRecord(found->second[std::size_t(i)]));
        return Reply::json({{"list", list}});
    });
    service.route("GET", "services/norvo/forum/%@/%@/%@/%@/photo/remove", [store](const RecordedRequest& request) {
        std::set<std::string> ids;
        std::stringstream list(request.queryValue("ids").value_or(""));
        for (std::string item; std::getline(list, item, ',');) ids.insert(item);
        std::lock_guard guard(store->mutex);
        auto found = store->photos.find(albumNumber(request.arguments.at(3)));
        if (found == store->photos.end() || ids.empty()) return Reply::json({{"success", 0}});
        auto& photos = found->second;
        const auto before = photos.size();
        photos.erase(std::remove_if(photos.begin(), photos.end(),
                                    [&](const AlbumPhoto& photo) { return ids.count(std::to_string(photo.id)) > 0; }),
                     photos.end());
        return Reply::json({{"success", photos.size() < before ? 1 : 0}});
    });
}

}  // namespace sample_service
