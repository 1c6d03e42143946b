// Web pages the app shows in its page screens, straight on the base address and without
// the service credentials:
//   GET pages/advert           an advert page with a title, text, three pictures (whole
//                              addresses), a picture without an address and a link that
//                              closes the page
//   GET pages/pictures/<n>.png the advert's pictures (1 to 3), small solid PNG pictures
//   GET report/<id>?...        the report page: what is reported, and a link whose script
//                              asks the page's bridge object "serverinfo" to go back
#include "sample_service/SampleService.h"

#include "platform/Markup.h"

#include <array>
#include <cstdint>

namespace sample_service {

namespace {

uint32_t crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& png, const char* type, const std::string& data) {
    putBigEndian(png, static_cast<uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    putBigEndian(png, crc32(typed));
}

// A solid RGB picture as PNG, its pixels in stored (uncompressed) deflate blocks: no
// compression library is needed for a few small pictures.
std::string solidPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b) {
    std::string raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (uint32_t x = 0; x < width; ++x) {
            raw += static_cast<char>(r);
            raw += static_cast<char>(g);
            raw += static_cast<char>(b);
        }
    }
    std::string zlib = "\x78\x01";
    for (size_t at = 0; at < raw.size() || at == 0;) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        bool last = at + n >= raw.size();
        zlib += static_cast<char>(last ? 1 : 0);
        zlib += static_cast<char>(n & 0xFF);
        zlib += static_cast<char>(n >> 8);
        zlib += static_cast<char>(~n & 0xFF);
        zlib += static_cast<char>((~n >> 8) & 0xFF);
        zlib.append(raw, at, n);
        at += n;
        if (last) break;
    }
    uint32_t a = 1, s = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        s = (s + a) % 65521;
    }
    putBigEndian(zlib, (s << 16) | a);

    std::string header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace

    std::string png = "\x89PNG\r\n\x1a\n";
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", "");
    return png;
}

constexpr const char* kAdvertPage = R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width">
<title>春季开放日</title>
<style>body { font-family: sans-serif; }</style>
<script>document.title = "script ran";</script>
</head>
<body>
<h1>春季开放日</h1>
<p>欢迎家长走进课堂，和孩子一起度过一个上午。</p>
<img src="{base}pages/pictures/1.png" width="240" height="160">
<p>上午九点：升旗仪式与班级展示。</p>
<img src="{base}pages/pictures/2.png" width="240" height="160">
<img alt="没有地址的图片">
<p>十点半：亲子阅读。</p>
<img src="{base}pages/pictures/3.png" width="240" height="160">
<p><a href="closewebview:">关闭页面</a></p>
</body>
</html>
)";

}  // namespace

void addPageRoutes(SampleService& service) {
    service.route("GET", "pages/advert", [&service](const RecordedRequest&) {
        // Picture addresses are whole addresses on the service, wherever it runs.
        std::string page = kAdvertPage;
        for (size_t at = page.find("{base}"); at != std::string::npos; at = page.find("{base}", at))
            page.replace(at, 6, service.baseUrl());
        return Reply::text(page, "text/html; charset=utf-8");
    });

    service.route("GET", "pages/pictures/%@", [](const RecordedRequest& request) {
        const std::string& name = request.arguments.at(0);
        if (name == "1.png") return Reply::text(solidPng(240, 160, 35, 183, 229), "image/png");
        if (name == "2.png") return Reply::text(solidPng(240, 160, 58, 145, 32), "image/png");
        if (name == "3.png") return Reply::text(solidPng(240, 160, 229, 120, 35), "image/png");
        return Reply::text("not found", "text/plain; charset=utf-8", 404);
    });

    service.route("GET", "report/%@", [](const RecordedRequest& request) {
        const std::string target = request.arguments.at(0);
        const std::string name = request.queryValue("name").value_or("");
        const std::string type = request.queryValue("type").value_or("");
        std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                           "<meta name=\"viewport\" content=\"width=device-width\">\n<title>举报</title>\n"
                           "</head>\n<body>\n<h2>举报</h2>\n<p>举报对象：" +
                           platform::escapeHtml(name) + "（" + platform::escapeHtml(type) + " " +
                           platform::escapeHtml(target) +
                           "）</p>\n<p>请选择举报原因：</p>\n<ul>\n<li>广告</li>\n<li>不实信息</li>\n"
                           "<li>不文明用语</li>\n</ul>\n"
                           "<p><a href=\"javascript:serverinfo.goBack()\">提交并返回</a></p>\n"
                           "</body>\n</html>\n";
        return Reply::text(page, "text/html; charset=utf-8");
    });
}

}  // namespace sample_service
