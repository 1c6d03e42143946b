#pragma once

// A notice screen test against the sample service: the homework fixture's home, account,
// driver and request helpers, with the sample administrator added.

#include "../homework/HomeworkFixture.h"

#include "core/MVTAccount.h"

#include "platform/ui/View.h"

#include <functional>

namespace testing_support {

// The first view under `root` (depth first) that satisfies `test`.
inline std::shared_ptr<platform::View> findInside(const std::shared_ptr<platform::View>& root,
                                                  const std::function<bool(const platform::View&)>& test) {
    for (const auto& sub : root->subviews()) {
        if (test(*sub)) return sub;
        if (auto found = findInside(sub, test)) return found;
    }
    return nullptr;
}

class NoticeTest : public HomeworkTest {
protected:
    void signInNotices(const std::string& role) {
        if (role == "admin") {
            auto& account = MVTAccount::sharedInstance();
            account.setRole("admin");
            account.setUserId("1101");
            account.setClassId("");
            account.setName("张校长");
            return;
        }
        signIn(role);
    }
};

}  // namespace testing_support
