// The Apps tab's grid: launchers hidden by exact codes, the class files screen per user.
#include "FilesFixture.h"

#include "me/MVTAppsViewController.h"

using namespace platform;

namespace {

class AppsGridTest : public testing_support::FilesTest {};

TEST_F(AppsGridTest, AppsGridHidesByExactCodesAndOpensClassFilesPerUser) {
    struct Case {
        std::string hidden;
        std::vector<std::string> sections;
        std::size_t classLaunchers;
    } cases[] = {
        {"", {"班级", "教育服务"}, 4},
        {"banjitongzhi,banjiwenjian,banjixiangce", {"班级", "教育服务"}, 1},
        {"banjitongzhi,banjiwenjian,banjixiangce,zuoye,jiaoyufuwu", {}, 0},
        {"Banjiwenjian, zuoye", {"班级", "教育服务"}, 4},
    };
    for (const auto& c : cases) {
        signIn("teacher");
        MVTAccount::sharedInstance().setHideAppString(c.hidden);
        auto apps = std::make_shared<MVTAppsViewController>();
        apps->view();
        std::vector<std::string> titles;
        for (const auto& t : apps->titleArray()) titles.push_back(textOf(t));
        EXPECT_EQ(titles, c.sections) << c.hidden;
        if (!c.sections.empty()) {
            EXPECT_EQ(apps->appsArray()[0].size(), c.classLaunchers) << c.hidden;
        }
    }
    MVTAccount::sharedInstance().setHideAppString("");
    signIn("teacher");
    auto apps = showRoot(std::make_shared<MVTAppsViewController>());
    auto first = apps->classFile();
    ASSERT_TRUE(first);
    apps->viewWillAppear(false);
    EXPECT_EQ(apps->classFile(), first);
    signIn("student");
    apps->viewWillAppear(false);
    EXPECT_NE(apps->classFile(), first);
}

}  // namespace
