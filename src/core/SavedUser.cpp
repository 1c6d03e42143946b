#include "core/SavedUser.h"

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Values.h"

using platform::textOfOptional;

void rewriteSavedUserFromAccount() {
    MVTAccount& account = MVTAccount::sharedInstance();
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::insertSaveUserTableWithDict({{"userName", textOfOptional(account.userName())},
                                                   {"userPassword", textOfOptional(account.password())},
                                                   {"name", textOfOptional(account.name())},
                                                   {"userId", textOfOptional(account.userId())},
                                                   {"role", textOfOptional(account.role())},
                                                   {"status", textOfOptional(account.status())},
                                                   {"power", textOfOptional(account.power())},
                                                   {"schoolId", textOfOptional(account.schoolId())},
                                                   {"classId", textOfOptional(account.classId())},
                                                   {"ecampus", account.ecampus() ? "1" : "0"},
                                                   {"vfsUrl", textOfOptional(account.vfsUrl())},
                                                   {"hideString", textOfOptional(account.hideAppString())},
                                                   {"hideSquare", textOfOptional(account.hideSquare())},
                                                   {"userLvl", textOfOptional(account.userLvl())},
                                                   {"userIntegral", textOfOptional(account.userIntegral())},
                                                   {"userIntegralGet", textOfOptional(account.userIntegralGet())}});
}
