// The class-notice list against the sample service: pages and footers, the retry, the
// administrator's path, replies of every wrong kind, and the attachment overlay.
#include "NoticeFixture.h"

#include "notices/NotiViewController.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

Json noticeRows(int count, int first) {
    Json rows = Json::array();
    for (int i = 0; i < count; ++i)
        rows.push_back({{"id", first + i}, {"uid", 1001}, {"name", "王老师"}, {"title", "通知" + std::to_string(first + i)},
                        {"dateline", 1767500000 - i}});
    return rows;
}

class NoticeListTest : public testing_support::NoticeTest {
protected:
    // Pages of `total` notices for class 11, 15 a page; `failPage` answers 500.
    void servePages(int total, int failPage = 0) {
        service().route("GET", "services/norvo/user/%@/class/%@/notice/%@", [total, failPage, this](const RecordedRequest& r) {
            const int page = std::stoi(r.arguments.at(2));
            if (page == failPage && failing) return Reply::text("oops", "text/plain", 500);
            const int first = (page - 1) * 15;
            return Reply::json(noticeRows(std::max(0, std::min(15, total - first)), 100 + first));
        });
    }
    std::shared_ptr<NotiViewController> open(const std::optional<Json>& dic = Json{{"id", "11"}, {"name", "一班"}}) {
        list = NotiViewController::initWithClassDic(dic);
        showPushed(list);
        return list;
    }
    std::vector<int> pagesAsked(const std::string& prefix) {
        std::vector<int> pages;
        for (const auto& r : service().requests())
            if (r.path.rfind("/services/norvo/" + prefix, 0) == 0) pages.push_back(std::stoi(r.path.substr(r.path.rfind('/') + 1)));
        return pages;
    }
    // Generous: the 9 MB reply takes a while on a busy machine.
    bool settled() { return pumpUntil([&] { return !list->isloading(); }, 30); }
    // What the table would do when its footer row comes on screen.
    void showFooter() {
        auto cell = list->buildCell(int(list->myArray().size()));
        list->willDisplayCell(*list->mytableview(), *cell, {0, int(list->myArray().size())});
    }

    std::shared_ptr<NotiViewController> list;
    bool failing = true;
};

TEST_F(NoticeListTest, AFullPageOfFifteenLeadsToPageTwoAndFourteenEndTheList) {
    signIn("student");
    servePages(17);
    open();
    ASSERT_TRUE(settled());
    EXPECT_EQ(list->myArray().size(), 15u);
    EXPECT_TRUE(list->isMoring());
    EXPECT_EQ(list->buildCell(15)->footerLabel()->text(), "更多...");
    showFooter();
    ASSERT_TRUE(settled());
    EXPECT_EQ(list->myArray().size(), 17u);
    EXPECT_FALSE(list->isMoring());
    EXPECT_EQ(pagesAsked("user/2001/class/11/notice/"), (std::vector<int>{1, 2}));
    EXPECT_FALSE(service().lastRequest("/services/norvo/user/2001/class/11/notice/1")->queryValue("limit"));

    showFooter();
    driver->pump();
    EXPECT_EQ(pagesAsked("user/2001/class/11/notice/").size(), 2u);
}

TEST_F(NoticeListTest, FourteenNoticesNeverAskPageTwo) {
    signIn("student");
    servePages(14);
    open();
    ASSERT_TRUE(settled());
    EXPECT_FALSE(list->isMoring());
    EXPECT_EQ(list->buildCell(14)->footerLabel()->text(), "没有更多了");
    showFooter();
    driver->pump();
    EXPECT_EQ(pagesAsked("user/2001/class/11/notice/"), (std::vector<int>{1}));
}

TEST_F(NoticeListTest, AnEmptyPageTwoKeepsTheRowsWithoutAlertAndAnEmptyFirstPageAlerts) {
    signIn("student");
    servePages(15);
    open();
    ASSERT_TRUE(settled());
    showFooter();
    ASSERT_TRUE(settled());
    EXPECT_EQ(list->myArray().size(), 15u);
    EXPECT_FALSE(list->isMoring());
    EXPECT_FALSE(driver->alert());

    servePages(0);
    list->reloadTableViewDataSource();
    ASSERT_TRUE(settled());
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "暂时没有本班的通知");
}

TEST_F(NoticeListTest, AFailedPageTwoShowsTheRetryWhichAsksPageTwoAgain) {
    signIn("student");
    servePages(30, 2);
    open();
    ASSERT_TRUE(settled());
    showFooter();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(list->failed());
    EXPECT_EQ(list->buildCell(15)->footerLabel()->text(), "加载失败,点击重新加载");
    showFooter();
    driver->pump();
    EXPECT_EQ(pagesAsked("user/2001/class/11/notice/"), (std::vector<int>{1, 2}));

    failing = false;
    list->againGetListData();
    ASSERT_TRUE(settled());
    EXPECT_EQ(pagesAsked("user/2001/class/11/notice/"), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(list->myArray().size(), 30u);
    EXPECT_FALSE(list->failed());
}

TEST_F(NoticeListTest, RepliesOfTheWrongKindFailTheLoadAndKeepTheRows) {
    signIn("student");
    servePages(15);
    open();
    ASSERT_TRUE(settled());
    const Reply wrong[] = {
        Reply::json({{"list", noticeRows(2, 1)}}), Reply::json(Json::array({1, 2})), Reply::text("<html>", "text/plain"),
        Reply::json(Json::array(), 500), Reply::text(std::string(9u * 1024 * 1024, '['), "application/json"),
    };
    for (const auto& reply : wrong) {
        service().setReply("GET", "/services/norvo/user/2001/class/11/notice/1", reply);
        list->againGetListData();
        ASSERT_TRUE(settled());
        EXPECT_EQ(list->myArray().size(), 15u);
        EXPECT_TRUE(list->failed());
        // The retry asks the same page again next time.
        EXPECT_EQ(list->currentpage(), 1);
    }
}

TEST_F(NoticeListTest, WithoutADictionaryTheTitleIsClassNoticesAndClassZeroIsAsked) {
    signIn("parent");
    open(std::nullopt);
    ASSERT_TRUE(settled());
    EXPECT_EQ(list->title(), "班级通知");
    EXPECT_TRUE(service().lastRequest("/services/norvo/user/3001/class/0/notice/1"));
    // The sample service answers class 0 with the parent's own class.
    EXPECT_EQ(list->myArray().size(), 15u);
}

TEST_F(NoticeListTest, AnAdministratorsListUsesTheGradePathWithThePickedId) {
    signInNotices("admin");
    open(Json{{"id", 21}, {"name", "高一年级"}});
    ASSERT_TRUE(settled());
    EXPECT_TRUE(service().lastRequest("/services/norvo/admin/1101/grade/21/notice/1"));
    EXPECT_EQ(list->myArray().size(), 2u);
}

TEST_F(NoticeListTest, AFileOpensFromItsCopyWithoutARequestAlsoFromAnotherList) {
    signIn("student");
    open();
    ASSERT_TRUE(settled());
    list->toDownLoadAttachWith("880003", "班级公约", "txt");
    ASSERT_TRUE(pumpUntil([&] { return fileExists(AttachmentDownloadOverlay::attachmentPath("880003", "txt")); }));
    list->dismissViewController(false);
    driver->pump();

    service().clearRequests();
    auto other = NotiViewController::initWithClassDic(Json{{"id", "12"}});
    showPushed(other);
    ASSERT_TRUE(pumpUntil([&] { return !other->isloading(); }));
    service().clearRequests();
    other->toDownLoadAttachWith("880003", "班级公约", "txt");
    driver->pump();
    EXPECT_EQ(service().requestCount(), 0u);
    EXPECT_FALSE(other->downloadOverlay()->attDownloading());
}

TEST_F(NoticeListTest, TheNotFoundTextAloneGivesTheAlertButALongerBodyIsStored) {
    signIn("student");
    open();
    ASSERT_TRUE(settled());
    service().setReply("GET", "/resource/990001/download", Reply::text("没有找到资源"));
    service().setReply("GET", "/resource/990002/download", Reply::text("没有找到资源了吗"));
    list->toDownLoadAttachWith("990001", "a", "txt");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->title(), "没有找到资源");
    EXPECT_FALSE(fileExists(AttachmentDownloadOverlay::attachmentPath("990001", "txt")));
    driver->pressAlertButton(0);
    list->toDownLoadAttachWith("990002", "b", "txt");
    ASSERT_TRUE(pumpUntil([&] { return fileExists(AttachmentDownloadOverlay::attachmentPath("990002", "txt")); }));
}

TEST_F(NoticeListTest, CancellingLeavesNoFileAndAnIdThatCouldNameAnotherFileIsNeverFetched) {
    signIn("student");
    open();
    ASSERT_TRUE(settled());
    service().setReply("GET", "/resource/990003/download", testing_support::delayedReply("text/plain", "x"));
    list->toDownLoadAttachWith("990003", "c", "txt");
    EXPECT_TRUE(list->downloadOverlay()->attDownloading());
    list->downloadOverlay()->toCancelDownLoad();
    EXPECT_FALSE(list->downloadOverlay()->attDownloading());
    EXPECT_FALSE(fileExists(AttachmentDownloadOverlay::attachmentPath("990003", "txt")));

    service().clearRequests();
    list->toDownLoadAttachWith("../../x", "d", "txt");
    list->toDownLoadAttachWith("990004", "e", "../txt");
    driver->pump();
    EXPECT_EQ(service().requestCount(), 0u);
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "下载失败");
}

}  // namespace
