#pragma once

// A files test against the sample service: a signed-in user of the sample school, a fresh
// transfer manager, short idle limits, and helpers for file list replies.

#include "homework/HomeworkFixture.h"

#include "files/MVTDownLoadViewController.h"
#include "files/MVTShowFileViewController.h"

#include "platform/ui/DocumentInteraction.h"

#include <string>

namespace testing_support {

class FilesTest : public HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        MVTDownLoadViewController::resetForTesting();
        MVTDownloadTask::setIdleTimeout(5);
        platform::DocumentInteraction::clearOffers();
    }
    void TearDown() override {
        MVTDownLoadViewController::resetForTesting();
        MVTDownloadTask::setIdleTimeout(5);
        HomeworkTest::TearDown();
    }
    static MVTDownLoadViewController& manager() { return *MVTDownLoadViewController::shareDownLoadViewController(); }
    // A list item as the service sends it.
    static platform::Json fileItem(long long id, const std::string& name, const platform::Json& suffix,
                                   const platform::Json& size, long long dateline) {
        return {{"id", id},     {"rid", id + 1}, {"resName", name},       {"suffix", suffix},
                {"size", size}, {"name", "王老师"}, {"dateline", dateline}};
    }
    std::string downloadsFolder() const { return MVTDownLoadViewController::downloadsFolder("1001"); }
};

}  // namespace testing_support
