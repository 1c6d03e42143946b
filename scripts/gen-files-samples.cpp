// Writes the archives of the sample class and group files: zip archives with GBK names and
// "\" separators or with UTF-8 flagged names, and stored RAR 4 (GBK names) and RAR 5
// archives, by the same writers the tests use. Dates are fixed so a rebuild gives the
// same bytes.
#include "support/RarWriter.h"
#include "support/ZipWriter.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace testing_support;

namespace {

// GBK bytes of the Chinese names used below.
const std::string kUnit1 = "\xB5\xDA\xD2\xBB\xB5\xA5\xD4\xAA";      // 第一单元
const std::string kUnit2 = "\xB5\xDA\xB6\xFE\xB5\xA5\xD4\xAA";      // 第二单元
const std::string kAnswers = "\xD7\xF7\xD2\xB5\xB4\xF0\xB0\xB8";    // 作业答案
const std::string kReadme = "\xCB\xB5\xC3\xF7";                      // 说明
const std::string kWords = "\xC9\xFA\xD7\xD6\xB1\xED";              // 生字表
const std::string kQuiz = "\xB5\xA5\xD4\xAA\xB2\xE2\xD1\xE9";       // 单元测验

bool writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    const std::time_t when = 1767225600;  // 2026-01-01
    bool ok = writeZipArchive(out + "/answers-gbk.zip",
                              {{kUnit1 + "\\" + kAnswers + ".txt", "第一单元的答案：1. 春天 2. 小燕子", false, 0, false, when},
                               {kUnit1 + "\\" + kWords + ".doc", "生字表", false, 0, false, when},
                               {kUnit2 + "\\" + kAnswers + ".txt", "第二单元的答案：3. 秋天 4. 大雁", false, 0, false, when},
                               {kReadme + ".txt", "请先自己做，再对答案。", false, 0, false, when},
                               {"photo.jpg", "not really a picture", false, 0, true, when}});
    ok = writeZipArchive(out + "/outing-utf8.zip",
                         {{"春游照片/", "", true, 0, true, when},
                          {"春游照片/集合.txt", "早上八点在校门口集合。", true, 0, false, when},
                          {"春游照片/路线.txt", "学校 → 公园 → 学校", true, 0, false, when},
                          {"注意事项.txt", "带水和帽子。", true, 0, false, when}}) && ok;
    ok = writeBytes(out + "/quiz-rar4.rar",
                    rar4Archive({{kQuiz, "", true, false, when},
                                 {kQuiz + "\\" + kAnswers + ".txt", "单元测验答案", false, false, when},
                                 {kReadme + ".txt", "测验时间四十分钟", false, false, when}})) && ok;
    ok = writeBytes(out + "/reading-rar5.rar",
                    rar5Archive({{"课外阅读", "", true, false, when},
                                 {"课外阅读/书目.txt", "《小王子》《夏洛的网》", false, false, when},
                                 {"课外阅读/读后感要求.txt", "不少于三百字", false, false, when}})) && ok;
    if (!ok) {
        std::fprintf(stderr, "cannot write the archives\n");
        return 1;
    }
    return 0;
}
