// The sample service's homework: what a publish and an answer change for the others while
// it runs, the starred and filtered lists, and resources of uploads.
#include "HomeworkFixture.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/HttpClient.h"
#include "platform/HttpEngine.h"
#include "platform/HttpMultipartForm.h"
#include "platform/ui/Image.h"

using namespace platform;

namespace {

class HomeworkServiceTest : public testing_support::HomeworkTest {
protected:
    Json get(const std::string& path, const Json& parameters = nullptr) {
        auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + path, parameters);
        EXPECT_TRUE(request.has_value());
        HttpResponse response = HttpEngine::shared().fetch(*request);
        EXPECT_TRUE(response.ok()) << path;
        return Json::parse(response.body, nullptr, false);
    }
    std::string post(const std::string& path, const std::function<void(HttpMultipartForm&)>& parts) {
        const std::string url = ServiceAddress::servicePrefix() + path;
        auto client = MVTPublicMethod::clientWithUrl(url);
        HttpResponse response = HttpEngine::shared().fetch(client->multipartFormRequestWithMethod("POST", url, nullptr, parts));
        EXPECT_TRUE(response.ok()) << path;
        return response.body;
    }
    static const Json* rowWithId(const Json& rows, const std::string& id) {
        for (const auto& row : rows)
            if (textOf(row, "id") == id) return &row;
        return nullptr;
    }
};

TEST_F(HomeworkServiceTest, APublishedHomeworkReachesItsPupilsUnreadAndTheirAnswersReachTheTeacher) {
    const std::string picture = Image::imageWithColor(Color::red(), {20, 20})->pngData();
    const std::string id = post("homework/publish/1001", [&](HttpMultipartForm& form) {
        form.appendPart("classes", "11");
        form.appendPart("students", "2201");
        form.appendPart("content", "新的古诗背诵");
        form.appendPart("image", "%E5%9B%BE.png", "application/octet-stream", picture);
    });
    ASSERT_NE(integerValue(id), 0);

    const Json teacherRows = get("homework/list/1001", {{"page", "1"}, {"limit", "20"}});
    ASSERT_TRUE(teacherRows.is_array());
    EXPECT_EQ(textOf(teacherRows[0], "id"), id);
    EXPECT_EQ(textOf(teacherRows[0], "stdCount"), "31");
    EXPECT_EQ(textOf(teacherRows[0], "readed"), "1");

    const Json pupilRows = get("homework/list/2001", {{"page", "1"}, {"limit", "20"}});
    ASSERT_TRUE(pupilRows.is_array());
    EXPECT_EQ(textOf(pupilRows[0], "id"), id);
    EXPECT_EQ(textOf(pupilRows[0], "readed"), "0");
    EXPECT_EQ(textOf(pupilRows[0], "star"), "0");
    EXPECT_FALSE(pupilRows[0].contains("stdCount"));

    Json content = get("homework/2001/content/" + id);
    EXPECT_EQ(content["isAnswered"], 0);
    const Json resources = content["resList"];
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(textOf(resources[0], "resourceName"), "图.png");
    HttpResponse file = HttpEngine::shared().fetch(UrlRequest(ServiceAddress::baseUrl() + "resource/" +
                                                              textOf(resources[0], "id") + "/download?token=x"));
    EXPECT_EQ(file.body, picture);
    EXPECT_EQ(textOf(get("homework/list/2001", {{"page", "1"}})[0], "readed"), "1");

    const Json answer = Json::parse(post("homework/2001/answer/" + id, [&](HttpMultipartForm& form) {
        form.appendPart("image", "a.png", "application/octet-stream", picture);
    }));
    EXPECT_EQ(answer["success"], 1);
    EXPECT_EQ(get("homework/2001/content/" + id)["isAnswered"], 1);
    const Json handIns = get("homework/1001/answers/" + id + "/get", {{"page", "1"}, {"limit", "20"}});
    ASSERT_TRUE(handIns.is_array());
    EXPECT_EQ(textOf(handIns[0], "uid"), "2001");
    EXPECT_EQ(textOf(handIns[0], "count"), "1");
    EXPECT_TRUE(handIns[1]["dateline"].is_null());
    const Json own = get("homework/2001/answers/" + id + "/get", {{"page", "1"}});
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0]["answers"].size(), 1u);

    // Nothing to anyone, or no text: refused with "0".
    EXPECT_EQ(post("homework/publish/1001", [](HttpMultipartForm& form) { form.appendPart("content", "x"); }), "0");
    EXPECT_EQ(post("homework/publish/1001", [](HttpMultipartForm& form) { form.appendPart("classes", "11"); }), "0");
    EXPECT_EQ(post("homework/publish/2001", [](HttpMultipartForm& form) {
                  form.appendPart("classes", "11");
                  form.appendPart("content", "x");
              }),
              "0");
}

TEST_F(HomeworkServiceTest, StarsFiltersAndTheTeachersOfAPupil) {
    const Json starred = get("homework/list/2001", {{"page", "1"}, {"flag", "3"}});
    ASSERT_EQ(starred.size(), 3u);
    EXPECT_EQ(get("homework/2001/fav/5002/star", {{"flag", "1"}})["success"], 1);
    EXPECT_EQ(get("homework/list/2001", {{"flag", "3"}}).size(), 4u);
    EXPECT_EQ(get("homework/2001/fav/5003/star", {{"flag", "1"}})["success"], 0);  // class 12 only

    const Json teachers = get("homework/2001/teacher/list");
    ASSERT_EQ(teachers.size(), 3u);
    EXPECT_EQ(teachers[0], Json({{"uid", "1001"}, {"name", "王老师"}}));
    for (const auto& row : get("homework/list/2001", {{"teacherId", "1002,1003"}, {"limit", "100"}}))
        EXPECT_NE(textOf(row, "teacherId"), "1001");
    EXPECT_EQ(get("homework/list/3001", {{"teacherId", "1002"}}).size(), 2u);
    EXPECT_EQ(get("homework/1001/clazz/list").size(), 2u);
    EXPECT_EQ(get("homework/clazz/12/stds").size(), 30u);
    EXPECT_TRUE(get("homework/2001/content/999999").value("success", true) == false);
}

}  // namespace
