#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"

#include "core/MVTPublicMethod.h"

#include <cctype>
#include <filesystem>
#include <regex>

namespace post {

namespace {

const Json& emptyList() {
    static const Json list = Json::array();
    return list;
}

const Json& emptyObject() {
    static const Json object = Json::object();
    return object;
}

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

std::string emoticon(const std::string& number, int size) {
    const std::string side = std::to_string(size);
    return "<img style=\"vertical-align:middle;\" src='" + number + ".png' width=" + side + " height=" + side + "/>";
}

// "[em:N:]" tokens become inline face pictures.
std::string replaceEmoticons(const std::string& text, int size) {
    static const std::string open = "[em:";
    std::string result;
    result.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t start = text.find(open, at);
        if (start == std::string::npos) break;
        std::size_t digits = start + open.size(), end = digits;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end > digits && text.compare(end, 2, ":]") == 0) {
            result.append(text, at, start - at);
            result += emoticon(text.substr(digits, end - digits), size);
            at = end + 2;
        } else {
            result.append(text, at, digits - at);
            at = digits;
        }
    }
    result.append(text, at, std::string::npos);
    return result;
}

}  // namespace

bool isBlank(const Json& value) {
    if (value.is_discarded() || value.is_null()) return true;
    if (!value.is_string()) return false;
    const auto& s = value.get_ref<const std::string&>();
    return s.empty() || s == "<null>";
}

bool isBlankOrNullText(const Json& value) {
    return isBlank(value) || (value.is_string() && value.get_ref<const std::string&>() == "(null)");
}

std::string text(const Json& record, const std::string& key) { return platform::textOf(record, key); }

const Json& listOf(const Json& record, const std::string& key) {
    const Json& value = platform::valueFor(record, key);
    return value.is_array() ? value : emptyList();
}

const Json& objectOf(const Json& record, const std::string& key) {
    const Json& value = platform::valueFor(record, key);
    return value.is_object() ? value : emptyObject();
}

bool isOwn(const Json& record, const std::string& userId) {
    if (userId.empty() || isBlank(platform::valueFor(record, "uid"))) return false;
    return platform::integerValue(platform::valueFor(record, "uid")) == platform::integerValue(userId);
}

bool isPraised(const Json& record) {
    const Json& love = platform::valueFor(record, "love");
    if (isBlankOrNullText(love) || platform::integerValue(love) == 0) return false;
    return text(record, "likeCount") != "0";
}

std::string visibilityKey(const Json& record, const std::string& viewerRole) {
    static const char* const student[] = {"", "班级可见", "我的好友可见", "我的老师可见", "我的同学可见", "我的家长可见"};
    static const char* const others[] = {"全校可见", "我的关系可见", "我的好友可见",
                                         "全校老师可见", "我的学生可见", "学生家长可见"};
    const Json& perm = platform::valueFor(record, "perm");
    // A post that names no visibility shows none (the cache keeps a missing one as "").
    if (isBlank(perm)) return {};
    const long long code = platform::integerValue(perm);
    if (code < 0 || code > 4) return {};
    return (viewerRole == "student" ? student : others)[code + 1];
}

std::string bodyText(const Json& record) {
    const Json& content = platform::valueFor(record, "content");
    if (text(record, "type") == "class_album") {
        std::string body;
        const Json& title = platform::valueFor(record, "title");
        if (!isBlank(title)) body += "<li>" + platform::textOf(title) + "</li>";
        if (!isBlank(content)) body += "<li>" + platform::textOf(content) + "</li>";
        return body;
    }
    return isBlank(content) ? std::string() : platform::textOf(content);
}

bool hasId(const Json& record, const std::string& id) {
    const Json& value = platform::valueFor(record, "id");
    if (value.is_discarded()) return false;
    return platform::textOf(value) == id;
}

bool isPlainName(const std::string& text) {
    if (text.empty() || text.size() > 100 || text[0] == '.') return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') return false;
    return true;
}

std::string voiceFile(const std::string& resourceId) {
    std::filesystem::path path = MVTPublicMethod::getPathByFileName("audio" + resourceId, "wav");
    return path.replace_extension().string();
}

std::string wavFile(const std::string& resourceId) {
    return MVTPublicMethod::getPathByFileName("audio" + resourceId, "wav");
}

Attachments splitAttachments(const Json& record) {
    Attachments split;
    for (const auto& entry : listOf(record, "attachments")) {
        if (!entry.is_object()) continue;
        const std::string type = text(entry, "type");
        if (type == "image")
            split.pictures.push_back(entry);
        else if (type == "audio")
            split.voices.push_back(entry);
        else
            split.files.push_back(entry);
    }
    return split;
}

std::string fill(std::string format, std::initializer_list<std::string> arguments) {
    std::size_t from = 0;
    for (const auto& argument : arguments) {
        std::size_t at = format.find('%', from);
        while (at != std::string::npos && at + 1 < format.size() && format[at + 1] != '@' && format[at + 1] != 'd')
            at = format.find('%', at + 1);
        if (at == std::string::npos || at + 1 >= format.size()) break;
        format.replace(at, 2, argument);
        from = at + argument.size();
    }
    return format;
}

std::string convertText(const std::string& markup, const Json& record, const TextConversion& conversion) {
    std::string result = markup;
    if (conversion.suffixKey && record.is_object() && record.contains(conversion.suffixKey) &&
        (conversion.suffixByPresence || !text(record, conversion.suffixKey).empty())) {
        std::string format = localized("%@...    <span style=\"color:cornflowerblue;\">显示更多</span>");
        auto at = format.find("%@");
        if (at != std::string::npos) format.replace(at, 2, result);
        result = format;
    }
    result = replaceEmoticons(result, conversion.faceSize);
    if (conversion.servicePictures) {
        static const std::regex face(
            R"re(<img src="http://[\w.:]*[/\w]*/static/images/face/(\d+).gif" class="face">)re");
        result = std::regex_replace(result, face, emoticon("$1", 16));
    }
    if (result.find("</br>") != std::string::npos) {
        replaceAll(result, "</br>", "<span style=\"color:white;\">.</span></li><li>");
        result = "<li>" + result + "</li>";
    }
    return result;
}

}  // namespace post
