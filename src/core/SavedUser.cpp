#include "core/SavedUser.h"

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"

namespace {

using Json = nlohmann::json;

Json textOrNull(const MVTAccount::Text& text) { return text ? Json(*text) : Json(); }

}  // namespace

void rewriteSavedUserFromAccount() {
    MVTAccount& account = MVTAccount::sharedInstance();
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::insertSaveUserTableWithDict({{"userName", textOrNull(account.userName())},
                                                   {"userPassword", textOrNull(account.password())},
                                                   {"name", textOrNull(account.name())},
                                                   {"userId", textOrNull(account.userId())},
                                                   {"role", textOrNull(account.role())},
                                                   {"status", textOrNull(account.status())},
                                                   {"power", textOrNull(account.power())},
                                                   {"schoolId", textOrNull(account.schoolId())},
                                                   {"classId", textOrNull(account.classId())},
                                                   {"ecampus", account.ecampus() ? "1" : "0"},
                                                   {"vfsUrl", textOrNull(account.vfsUrl())},
                                                   {"hideString", textOrNull(account.hideAppString())},
                                                   {"hideSquare", textOrNull(account.hideSquare())},
                                                   {"userLvl", textOrNull(account.userLvl())},
                                                   {"userIntegral", textOrNull(account.userIntegral())},
                                                   {"userIntegralGet", textOrNull(account.userIntegralGet())}});
}
