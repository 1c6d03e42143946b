#pragma once

// The reports the homework screens send to the screens that open them.

#include "platform/Values.h"

#include <string>

// Told by the details screen (the homework list and the course notification centre).
class MVTNHWDetailsViewDelegate {
public:
    virtual ~MVTNHWDetailsViewDelegate() = default;
    // The opened homework has been read (at most once, when its content reply came).
    virtual void didReadHomework() = 0;
    // The service accepted a star change; YES: now starred.
    virtual void didStarOrNotHomeworkWith(bool starred) = 0;
    // The homework no longer exists; sent as the details screen closes.
    virtual void reloadNewHomeworkData() = 0;
};

// Told by the teacher filter.
class MVTNHWSelectViewDelegate {
public:
    virtual ~MVTNHWSelectViewDelegate() = default;
    // The chosen teachers ({"uid", "name"}) in the service's order, or null for none.
    virtual void whichTeacherDidSelectWith(const platform::Json& teachers) = 0;
};

// Told by the composer in publish mode.
class MVTNHWAddViewDelegate {
public:
    virtual ~MVTNHWAddViewDelegate() = default;
    // A homework was published; the row for the opener's list, every value a text.
    virtual void didAddSuccessWith(const platform::Json& row) = 0;
};

// Told by the recipients picker when "完成" hands the selection back.
class MVTNHWGetStudentsViewDelegate {
public:
    virtual ~MVTNHWGetStudentsViewDelegate() = default;
    // didSelectStudentsWith:and:and:With:With: class ids and student ids joined with ",",
    // the number of recipients, the whole-class and the single-student selections.
    virtual void didSelectStudentsWith(const std::string& classIds, const std::string& studentIds, int count,
                                       const platform::Json& selectClassDic,
                                       const platform::Json& selectStudentsDic) = 0;
};

// Told by the class assignment screen after a successful send.
class SenAgainDelegate {
public:
    virtual ~SenAgainDelegate() = default;
    // The homework of row `row` is now assigned to `shareTargets` (the list the screen built
    // from the reply); told right before ReloadOneCell so the row shows the new classes.
    virtual void takeShareTargets(int row, const platform::Json& shareTargets) {
        (void)row;
        (void)shareTargets;
    }
    // ReloadOneCell: redraws row `row`.
    virtual void ReloadOneCell(int row) = 0;
};
