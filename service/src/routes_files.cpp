// Class and group file libraries of the sample school:
//   GET  services/norvo/user/<user>/class/lib/list          the files of the user's class,
//        newest first: "limit", "maxIdNotIncludeSelf", "name" (a part of the file's name
//        or of the uploader's)
//   POST services/norvo/user/<user>/class/lib/save          multipart "image": the file joins
//        the class list (optional "classIds"); answers "success"
//   GET  services/norvo/forum/<user>/<forum>/<field>/lib/list    a group's files under "list"
//   GET  services/norvo/forum/<user>/<forum>/<field>/lib/remove  "ids": one file
//   POST services/norvo/forum/<user>/<forum>/<field>/lib/save    multipart "image"
//   GET  resource/<id>/download                             a library file's bytes; every
//        other id goes on to the routes before
// The files are those of files.json (their bytes in data/files); uploads are kept in
// memory for as long as the service runs.
#include "sample_service/SampleService.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/UrlEncoding.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr std::size_t kLargestLibraryFile = 8u * 1024 * 1024;
constexpr long long kFirstUploadedFile = 5000;

struct LibraryFile {
    long long id = 0;
    std::string resName;
    json suffix;
    std::string uploader;
    long long dateline = 0;
    std::string bytes;
    bool noLength = false;
};

struct LibraryStore {
    std::mutex mutex;
    std::vector<LibraryFile> classFiles;
    std::map<std::string, std::vector<LibraryFile>> groupFiles;  // by group id
    std::map<std::string, std::string> groupFields;              // group id -> field id
    long long nextId = kFirstUploadedFile;
};

std::vector<LibraryFile> readLibrary(const json& items, const std::filesystem::path& folder, long long now) {
    std::vector<LibraryFile> files;
    if (!items.is_array()) return files;
    for (const auto& item : items) {
        const std::string file = item.value("file", "");
        // Only plain names inside data/files.
        if (file.empty() || file.find('/') != std::string::npos || file.find("..") != std::string::npos) continue;
        LibraryFile entry;
        entry.id = item.value("id", 0LL);
        entry.resName = item.value("resName", "");
        entry.suffix = item.value("suffix", json());
        entry.uploader = item.value("uploader", "");
        entry.dateline = now - item.value("age", 0LL);
        entry.noLength = item.value("noLength", false);
        entry.bytes = platform::readFile(folder / file, kLargestLibraryFile).value_or("");
        files.push_back(std::move(entry));
    }
    return files;
}

json itemOf(const LibraryFile& file) {
    return {{"id", file.id},
            {"rid", file.id + 100000},
            {"resName", file.resName},
            {"suffix", file.suffix},
            {"size", file.bytes.size()},
            {"name", file.uploader},
            {"dateline", file.dateline}};
}

long long libraryNumber(const std::string& text) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        return used == text.size() ? value : -1;
    } catch (...) {
        return -1;
    }
}

// A page of `files` (newest first) as the request asks for it.
json libraryPage(const std::vector<LibraryFile>& files, const RecordedRequest& request) {
    const long long limit = std::clamp(libraryNumber(request.queryValue("limit").value_or("15")), 1LL, 100LL);
    const auto before = request.queryValue("maxIdNotIncludeSelf");
    const long long below = before ? libraryNumber(*before) : -1;
    const std::string name = request.queryValue("name").value_or("");
    std::vector<const LibraryFile*> shown;
    for (const auto& file : files) {
        if (before && file.id >= below) continue;
        if (!name.empty() && file.resName.find(name) == std::string::npos &&
            file.uploader.find(name) == std::string::npos)
            continue;
        shown.push_back(&file);
    }
    std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->id > b->id; });
    json page = json::array();
    for (std::size_t i = 0; i < shown.size() && static_cast<long long>(i) < limit; ++i) page.push_back(itemOf(*shown[i]));
    return page;
}

// The uploaded file of a save request, or nothing without an "image" part.
std::optional<LibraryFile> uploadedFile(LibraryStore& store, SampleService& service, const RecordedRequest& request) {
    for (const auto& part : request.parts) {
        if (part.name != "image" || part.fileName.empty()) continue;
        LibraryFile file;
        file.id = store.nextId++;
        // The app sends the name percent-escaped as UTF-8.
        const std::string name = platform::percentDecode(part.fileName);
        const auto dot = name.rfind('.');
        file.resName = name.substr(0, dot);
        file.suffix = dot == std::string::npos ? json() : json(name.substr(dot + 1));
        const auto user = service.data().userWithId(request.arguments.at(0));
        file.uploader = user ? user->value("name", "") : "";
        file.dateline = static_cast<long long>(platform::Clock::current()->now());
        file.bytes = part.bytes;
        return file;
    }
    return std::nullopt;
}

Reply fileReply(const LibraryFile& file) {
    Reply reply = Reply::text(file.bytes, "application/octet-stream");
    reply.chunked = file.noLength;
    return reply;
}

}  // namespace

void addFileRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = std::make_shared<LibraryStore>();
    const long long now = static_cast<long long>(platform::Clock::current()->now());
    if (auto text = platform::readFile(dataDirectory / "files.json", kLargestLibraryFile)) {
        const json sample = json::parse(*text, nullptr, false);
        if (sample.is_object()) {
            store->classFiles = readLibrary(sample.value("class", json::array()), dataDirectory / "files", now);
            const json groups = sample.value("groups", json::object());
            for (const auto& [group, items] : groups.items())
                store->groupFiles[group] = readLibrary(items, dataDirectory / "files", now);
        }
    }

    service.route("GET", "services/norvo/user/%@/class/lib/list", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        return Reply::json(libraryPage(store->classFiles, request));
    });
    service.route("POST", "services/norvo/user/%@/class/lib/save", [store, &service](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        auto file = uploadedFile(*store, service, request);
        if (!file) return Reply::json({{"success", false}, {"message", "no file"}});
        store->classFiles.push_back(std::move(*file));
        return Reply::json({{"success", true}});
    });
    service.route("GET", "services/norvo/forum/%@/%@/%@/lib/list", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        const auto found = store->groupFiles.find(request.arguments.at(1));
        if (found == store->groupFiles.end()) return Reply::json({{"list", json::array()}});
        return Reply::json({{"list", libraryPage(found->second, request)}});
    });
    service.route("GET", "services/norvo/forum/%@/%@/%@/lib/remove", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        auto& files = store->groupFiles[request.arguments.at(1)];
        const long long id = libraryNumber(request.queryValue("ids").value_or(""));
        const auto before = files.size();
        std::erase_if(files, [id](const LibraryFile& file) { return file.id == id; });
        return Reply::json({{"success", files.size() < before}});
    });
    service.route("POST", "services/norvo/forum/%@/%@/%@/lib/save", [store, &service](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        auto file = uploadedFile(*store, service, request);
        if (!file) return Reply::json({{"success", false}, {"message", "no file"}});
        store->groupFiles[request.arguments.at(1)].push_back(std::move(*file));
        return Reply::json({{"success", true}});
    });

    auto earlier = service.handlerFor("GET", "resource/%@/download");
    service.route("GET", "resource/%@/download", [store, earlier](const RecordedRequest& request) {
        const long long id = libraryNumber(request.arguments.at(0));
        {
            std::lock_guard lock(store->mutex);
            for (const auto& file : store->classFiles)
                if (file.id == id) return fileReply(file);
            for (const auto& [group, files] : store->groupFiles)
                for (const auto& file : files)
                    if (file.id == id) return fileReply(file);
        }
        return earlier ? earlier(request) : Reply::text("", "text/plain", 404);
    });
}

}  // namespace sample_service
