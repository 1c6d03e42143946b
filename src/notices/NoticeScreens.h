#pragma once

// How the notice screens are opened from outside this folder: the Apps tab's "班级通知" /
// "学校通知" launcher, the messages tab's notice row and its course row.

#include <string>

namespace platform {
class ViewController;
}

namespace notices {

// The Apps tab launcher: without a class the join-a-class alert; a student or parent gets
// the notices of the own class (the new-notice flag is cleared and "markUpside" posted),
// everybody else the class picker.
void presentNoticesFromApps(platform::ViewController& from);

// The messages tab's notice row: `list` (decided by the row) opens the notices of the row's
// class `classId` titled "班级通知"; otherwise the class picker opens.
void presentNoticesFromMessages(platform::ViewController& from, bool list, const std::string& classId);

// The messages tab's course row: the course notification centre in its own navigation
// controller, presented.
void presentCourseCentre(platform::ViewController& from);

}  // namespace notices
