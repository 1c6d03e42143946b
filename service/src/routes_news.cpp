// Campus news and the discussion channels (news.json):
//   GET services/norvo/rss/<uid>/list            the news channels, a bare array
//   GET services/norvo/rss/<id>/content/list     a channel's articles under "list", each with
//                                                its picture and page as whole addresses
//   GET news/pictures/<name>.png                 the article pictures (resources/news)
//   GET news/article/<id>                        an article's page
//   GET services/norvo/<uid>/bbs/thread/list     "page" from 1, "limit" rows, "type" teacher
//                                                or parent: a bare array of threads
//   GET forum/bbs/thread/<tid>/index             a thread's page, on the base address
// The data is read once and never changes, so no lock is needed.
#include "sample_service/SampleService.h"

#include "platform/Files.h"
#include "platform/Markup.h"
#include "platform/Values.h"

#include <memory>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr std::size_t kLargestNewsPicture = 1024 * 1024;

// Letters, digits, "-" and "_" only: safe as a file name or a key.
bool newsPlainName(const std::string& text) {
    if (text.empty() || text.size() > 64) return false;
    for (unsigned char c : text)
        if (!std::isalnum(c) && c != '-' && c != '_') return false;
    return true;
}

std::string withBase(std::string text, const std::string& base) {
    for (std::size_t at = text.find("{base}"); at != std::string::npos; at = text.find("{base}", at + base.size()))
        text.replace(at, 6, base);
    return text;
}

Reply newsPage(const std::string& title, const std::string& body) {
    return Reply::text("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width\">\n<title>" +
                           platform::escapeHtml(title) + "</title>\n</head>\n<body>\n<h2>" +
                           platform::escapeHtml(title) + "</h2>\n" + body + "</body>\n</html>\n",
                       "text/html; charset=utf-8");
}

// The article with this id, in any channel; null when there is none.
json findArticle(const json& articles, const std::string& id) {
    for (const auto& [channel, rows] : articles.items())
        for (const auto& row : rows)
            if (row.value("id", "") == id) return row;
    return nullptr;
}

}  // namespace

void addNewsRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto sample = std::make_shared<const json>([&] {
        json read = readDataFile(dataDirectory, "news.json");
        return read.is_object() ? read : json::object();
    }());
    const std::filesystem::path pictures = dataDirectory / "resources" / "news";

    service.route("GET", "services/norvo/rss/%@/list", [sample](const RecordedRequest&) {
        return Reply::json(sample->value("channels", json::array()));
    });
    service.route("GET", "services/norvo/rss/%@/content/list", [sample, &service](const RecordedRequest& request) {
        const json articles = sample->value("articles", json::object());
        const std::string channel = request.arguments.at(0);
        if (!articles.contains(channel)) return Reply::json({{"success", 0}, {"message", "no such channel"}}, 404);
        const std::string base = service.baseUrl();
        json list = json::array();
        for (const auto& row : articles[channel]) {
            json article = {{"title", row.value("title", "")},
                            {"description", row.value("description", "")},
                            {"link", base + "news/article/" + row.value("id", "")}};
            if (row.contains("picture")) article["image"] = base + "news/pictures/" + row.value("picture", "") + ".png";
            list.push_back(article);
        }
        return Reply::json({{"list", list}});
    });
    service.route("GET", "news/pictures/%@", [pictures](const RecordedRequest& request) {
        const std::string file = request.arguments.at(0);
        const std::string name = file.size() > 4 && file.ends_with(".png") ? file.substr(0, file.size() - 4) : "";
        if (newsPlainName(name))
            if (auto bytes = platform::readFile(pictures / (name + ".png"), kLargestNewsPicture))
                return Reply::text(std::move(*bytes), "image/png");
        return Reply::text("not found", "text/plain; charset=utf-8", 404);
    });
    service.route("GET", "news/article/%@", [sample, &service](const RecordedRequest& request) {
        const json article = findArticle(sample->value("articles", json::object()), request.arguments.at(0));
        if (article.is_null()) return Reply::text("not found", "text/plain; charset=utf-8", 404);
        std::string body = "<p>" + platform::escapeHtml(article.value("description", "")) + "</p>\n";
        if (article.contains("picture"))
            body += "<img src=\"" + service.baseUrl() + "news/pictures/" + article.value("picture", "") +
                    ".png\" width=\"160\" height=\"160\">\n";
        return newsPage(article.value("title", ""), body);
    });

    service.route("GET", "services/norvo/%@/bbs/thread/list", [sample, &service](const RecordedRequest& request) {
        const long long page = platform::integerValue(request.queryValue("page").value_or(""));
        const long long limit = platform::integerValue(request.queryValue("limit").value_or(""));
        const std::string type = request.queryValue("type").value_or("");
        if (page < 1 || limit < 1 || (type != "teacher" && type != "parent"))
            return Reply::json({{"success", 0}, {"message", "bad page, limit or type"}}, 400);
        const json threads = sample->value("threads", json::object()).value(type, json::array());
        json rows = json::array();
        for (long long i = (page - 1) * limit; i < static_cast<long long>(threads.size()) && i < page * limit; ++i)
            rows.push_back(json::parse(withBase(threads[std::size_t(i)].dump(), service.baseUrl())));
        return Reply::json(rows);
    });
    service.route("GET", "forum/bbs/thread/%@/index", [sample](const RecordedRequest& request) {
        const std::string tid = request.arguments.at(0);
        for (const auto& [type, threads] : sample->value("threads", json::object()).items())
            for (const auto& thread : threads)
                if (platform::textOf(thread, "tid") == tid) {
                    const std::string author = thread.value("author", json()).is_string()
                                                   ? thread["author"].get<std::string>()
                                                   : std::string("匿名");
                    return newsPage(thread.value("subject", ""),
                                    "<p>" + platform::escapeHtml(author) + "</p>\n<p>欢迎大家在这里交流。</p>\n");
                }
        return Reply::text("not found", "text/plain; charset=utf-8", 404);
    });
}

}  // namespace sample_service
