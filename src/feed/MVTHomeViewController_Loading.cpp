// The home feed's list: pages from the user's cache of posts, then from the service;
// pull-to-refresh with the refresh time, new posts and changed counts; the filtered view
// of the user's own posts, which comes from the service only.

#include "feed/MVTHomeViewController.h"

#include "feed/FeedListParts.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <cstdio>

using namespace platform;

namespace {

// The posts of a reply that can be listed: dictionaries only.
std::vector<std::shared_ptr<Json>> postsOf(const Json& reply) {
    std::vector<std::shared_ptr<Json>> posts;
    if (!reply.is_array()) return posts;
    for (const auto& entry : reply)
        if (entry.is_object()) posts.push_back(std::make_shared<Json>(entry));
    return posts;
}

// What the cache can keep of a reply: dictionaries with an id.
Json cacheable(const Json& reply) {
    Json posts = Json::array();
    if (!reply.is_array()) return posts;
    for (const auto& entry : reply)
        if (entry.is_object() && !post::isBlankOrNullText(valueFor(entry, "id"))) posts.push_back(entry);
    return posts;
}

// A praiser list from a refresh entry: names joined by "," (or, from a service that sends
// it so, a list of names or praisers).
Json praisersFrom(const Json& value) {
    Json list = Json::array();
    if (value.is_array()) {
        for (const auto& entry : value) {
            if (entry.is_object()) list.push_back(entry);
            else if (entry.is_string()) list.push_back({{"name", entry}, {"uid", ""}});
        }
        return list;
    }
    if (MVTPublicMethod::stringIsClassNull(value)) return list;
    const std::string names = textOf(value);
    std::size_t start = 0;
    while (true) {
        std::size_t comma = names.find(',', start);
        list.push_back({{"name", names.substr(start, comma == std::string::npos ? std::string::npos : comma - start)},
                        {"uid", ""}});
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return list;
}

std::string jsonOrEmpty(const Json& list) { return list.empty() ? std::string() : list.dump(); }

}  // namespace

std::string MVTHomeViewController::getNowRefreshTime() {
    char text[64];
    std::snprintf(text, sizeof text, "%f", Clock::current()->now() * 1000.0);
    return std::string(text).substr(0, 10);
}

std::string MVTHomeViewController::filterFor(const std::string& label) const {
    const std::string key = label == localized("我的") ? localized("由我产生") : label;
    auto found = selectedDic_.find(key);
    return found == selectedDic_.end() ? std::string() : found->second;
}

std::optional<UrlRequest> MVTHomeViewController::listRequest(Json parameters) const {
    parameters["limit"] = std::to_string(kPageSize);
    if (isSeleted_) parameters["filter"] = filterFor(selectLa_ ? selectLa_->text() : "");
    return MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "feed/" + userId() + "/list/1",
                                              parameters);
}

void MVTHomeViewController::sendJson(UrlRequest request, std::function<void(MVTHomeViewController&, const Json&)> success,
                                     std::function<void(MVTHomeViewController&)> failure) {
    auto weak = weakAs<MVTHomeViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(request),
        [weak, success](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) success(*self, reply);
        },
        [weak, failure](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) failure(*self);
        });
    operation->setMaxResponseBytes(kMaxReplyBytes);
    operation->start();
}

void MVTHomeViewController::changeReloadDynamic(bool armed) {
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController()))
        tabs->changeReloadDynamicAndNewsBtnWith(0, armed);
}

void MVTHomeViewController::showEmptyState() { isNoDataNowWith(dataArray_.empty(), myTable_); }

// ---- Next page

void MVTHomeViewController::getData() {
    if (!isLoading_) return;
    changeReloadDynamic(false);
    myTableGetData();
}

void MVTHomeViewController::myTableGetData() {
    isNoDataNowWith(false, myTable_);
    Json parameters = Json::object();
    if (!dataArray_.empty()) parameters["maxIdNotIncludeSelf"] = textOf(*dataArray_.back(), "id");
    if (!isSeleted_) {
        const Json rows = MVTtirraDataBase::selectDynamicData(userId(), int(dataArray_.size()));
        if (rows.is_array() && !rows.empty()) {
            for (const auto& row : rows) dataArray_.push_back(std::make_shared<Json>(row));
            isLoading_ = true;
            auto weak = weakAs<MVTHomeViewController>();
            RunLoop::main().post([weak] {
                if (auto self = weak.lock()) self->initTable();
            });
            return;
        }
    }
    auto request = listRequest(parameters);
    if (!request) {
        isLoading_ = false;
        isFalse_ = true;
        initTable();
        MVTPublicMethod::stopWaitAnimation(view());
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    request->setTimeoutInterval(kNextPageTimeout);
    if (dataArray_.empty()) firstPageLoading_ = true;
    const bool toCache = !isSeleted_;
    sendJson(
        std::move(*request),
        [toCache](MVTHomeViewController& self, const Json& reply) {
            self.firstPageLoading_ = false;
            // Anything but a list is no page: the list and the cache stay as they were.
            if (!reply.is_array()) return self.listFailed();
            self.appendPage(reply, toCache);
        },
        [](MVTHomeViewController& self) {
            self.firstPageLoading_ = false;
            self.listFailed();
        });
}

void MVTHomeViewController::appendPage(const Json& reply, bool toCache) {
    auto posts = postsOf(reply);
    if (!posts.empty()) {
        isLoading_ = true;
        for (auto& record : posts) dataArray_.push_back(std::move(record));
    } else {
        isLoading_ = false;
        if (dataArray_.empty()) banner(MVTAppDelegate::NetworkMessageNoData);
    }
    if (toCache) MVTtirraDataBase::insertDynamicWithArr(cacheable(reply), userId());
    isFalse_ = false;
    initTable();
    showEmptyState();
}

void MVTHomeViewController::listFailed() {
    isLoading_ = false;
    isFalse_ = true;
    banner(MVTAppDelegate::NetworkMessageFailed);
    if (isSeleted_) {
        if (!dataArray_.empty() && myTable_)
            myTable_->reloadRowsAtIndexPaths({{kPostSection, int(dataArray_.size())}}, TableViewRowAnimation::None);
    } else {
        initTable();
    }
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0.5, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTHomeViewController::againGetListData() {
    isLoading_ = true;
    isMoring_ = true;
    isFalse_ = false;
    getData();
}

// ---- Refresh

void MVTHomeViewController::reloadTableViewDataSource() {
    if (!dataArray_.empty()) {
        reloadNewData();
    } else if (!firstPageLoading_) {
        // A refresh of an empty list asks for the first page; one already on its way is
        // not asked for again (its posts would be listed twice).
        isLoading_ = true;
        getData();
    }
    reloading_ = true;
}

void MVTHomeViewController::reloadNewData() {
    changeReloadDynamic(false);
    myTableReloadNewData();
}

void MVTHomeViewController::myTableReloadNewData() {
    isNoDataNowWith(false, myTable_);
    if (dataArray_.empty()) return;
    Json parameters = {{"minIdNotIncludeSelf", textOf(*dataArray_.front(), "id")}};
    if (!isSeleted_) {
        auto stored = UserDefaults::standard().stringForKey(refreshTimeKey(userId()));
        parameters["dateline"] = stored ? *stored : getNowRefreshTime();
    }
    auto request = listRequest(parameters);
    if (!request) {
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        if (isSeleted_) initTable();
        else reloadNullTableView();
        MVTPublicMethod::stopWaitAnimation(view());
        return;
    }
    if (isSeleted_) {
        sendJson(
            std::move(*request),
            [](MVTHomeViewController& self, const Json& reply) {
                auto posts = postsOf(reply);
                if (!posts.empty()) {
                    const Json& total = valueFor(reply[0], "totalCount");
                    if (!post::isBlank(total) && integerValue(total) > kPageSize) self.dataArray_.clear();
                    self.dataArray_.insert(self.dataArray_.begin(), posts.begin(), posts.end());
                    self.isLoading_ = !self.dataArray_.empty();
                    self.showEmptyState();
                }
                self.initTable();
            },
            [](MVTHomeViewController& self) { self.initTable(); });
        return;
    }
    sendJson(
        std::move(*request),
        [](MVTHomeViewController& self, const Json& reply) {
            const std::string uid = userId();
            // A reply that is no list of posts ends the refresh and changes nothing.
            if (!reply.is_array() || reply.empty() || !reply[0].is_object()) {
                self.reloadNullTableView();
                self.showEmptyState();
                return;
            }
            const Json& first = reply[0];
            const Json& updateTime = valueFor(first, "updateTime");
            UserDefaults::standard().setString(refreshTimeKey(uid),
                                               updateTime.is_discarded() ? getNowRefreshTime() : textOf(updateTime));
            if (!first.contains("id")) {
                if (first.contains("updateData")) self.refreshPraiseAndCommentWith(first, true);
                else self.reloadNullTableView();
                self.showEmptyState();
                return;
            }
            std::string message;
            const Json& total = valueFor(first, "totalCount");
            if (!post::isBlankOrNullText(total)) {
                const long long count = integerValue(total);
                if (count < 16) {
                    if (first.contains("updateData")) self.refreshPraiseAndCommentWith(first, false);
                    message = localized("发现") + " " + std::to_string(count) + " " + localized("条") + localized("动态");
                } else {
                    MVTtirraDataBase::deleteDynamicWith(uid);
                    message = post::fill(localized("发现 %d 条新动态"), {std::to_string(count)});
                }
            }
            MVTtirraDataBase::insertDynamicWithArr(cacheable(reply), uid);
            const Json rows = MVTtirraDataBase::selectDynamicData(uid, 0);
            self.dataArray_.clear();
            if (rows.is_array())
                for (const auto& row : rows) self.dataArray_.push_back(std::make_shared<Json>(row));
            self.isLoading_ = !self.dataArray_.empty();
            self.showReloadNews(message);
            if (auto* tabs = dynamic_cast<MyTabBarController*>(self.tabBarController())) tabs->cleanNewMarks(0);
            auto weak = self.weakAs<MVTHomeViewController>();
            RunLoop::main().performAfter(0, [weak] {
                if (auto alive = weak.lock()) alive->doneLoadingTableViewData();
            });
            self.initTable();
            self.showEmptyState();
        },
        [](MVTHomeViewController& self) {
            auto weak = self.weakAs<MVTHomeViewController>();
            RunLoop::main().performAfter(0, [weak] {
                if (auto alive = weak.lock()) alive->doneLoadingTableViewData();
            });
            self.initTable();
        });
}

void MVTHomeViewController::refreshPraiseAndCommentWith(const Json& first, bool redisplay) {
    const Json& updates = valueFor(first, "updateData");
    const std::string uid = userId();
    bool any = false;
    if (updates.is_array()) {
        for (const auto& entry : updates) {
            if (!entry.is_object()) continue;
            any = true;
            const std::string id = textOf(entry, "id");
            for (auto& record : dataArray_) {
                if (!post::hasId(*record, id)) continue;
                Json& post = *record;
                post["commentCount"] = textOf(entry, "commentCount");
                post["likeCount"] = textOf(entry, "likeCount");
                post["love"] = textOf(entry, "love");
                post["likeUsers"] = praisersFrom(valueFor(entry, "likeUsers"));
                const Json& comments = valueFor(entry, "comments");
                post["comments"] = comments.is_array() ? comments : Json::array();
                MVTtirraDataBase::updateDynamicData(uid, id, textOf(post, "likeCount"), textOf(post, "love"),
                                                    jsonOrEmpty(post["likeUsers"]));
                MVTtirraDataBase::updateDynamicData(uid, id, jsonOrEmpty(post["comments"]),
                                                    textOf(post, "commentCount"));
            }
        }
    }
    if (!redisplay) return;
    if (any) initTable();
    else reloadNullTableView();
}

void MVTHomeViewController::toGetNewData() {
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0, [weak] {
        if (auto self = weak.lock()) self->getNewData();
    });
}

void MVTHomeViewController::getNewData() {
    if (!isMytable_) {
        if (squareViewController_) squareViewController_->getNewData();
        return;
    }
    if (!myTable_) return;
    myTable_->setContentOffset({0, -60}, true);
    if (refreshHeaderView_) {
        refreshHeaderView_->egoRefreshScrollViewFirst(*myTable_);
        egoRefreshTableHeaderDidTriggerRefresh(*refreshHeaderView_);
    } else {
        reloadTableViewDataSource();
    }
}

void MVTHomeViewController::newFeedReloadData() {
    ++reloadCount_;
    if (!selectLa_) return;
    const std::string title = selectLa_->text();
    if (title == localized("班级圈")) {
        getNewData();
    } else if (title == localized("学校圈")) {
        toChangeSelecet(10);
        if (selectLa_->text() == localized("班级圈")) getNewData();
        else changeOtherToDynamic();
    } else {
        changeOtherToDynamic();
    }
}

void MVTHomeViewController::changeOtherToDynamic() {
    dynamicSelectStr_ = localized("班级圈");
    setTitleText(dynamicSelectStr_);
    toGetNewData();
    isSeleted_ = false;
    dataArray_.clear();
    isLoading_ = true;
    if (listFirstCachePage()) return;
    MVTPublicMethod::showWaitAnimation(view(), true);
    getData();
}

void MVTHomeViewController::showReloadNews(const std::string& text) {
    feedlist::showReloadNews(showCountLa_, *view(), text);
}

void MVTHomeViewController::reloadNullTableView() {
    isMoring_ = false;
    auto weak = weakAs<MVTHomeViewController>();
    RunLoop::main().performAfter(0.4, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTHomeViewController::doneLoadingTableViewData() {
    auto weak = weakAs<MVTHomeViewController>();
    feedlist::fadeReloadNews(showCountLa_, [weak] {
        if (auto self = weak.lock()) {
            self->changeReloadDynamic(true);
            self->reloading_ = false;
        }
    });
    if (refreshHeaderView_ && myTable_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*myTable_);
}
