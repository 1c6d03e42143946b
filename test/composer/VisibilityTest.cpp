// Who sees a post: codes by role, the stored button index (inserted, then updated), the
// cancel button, and the picture composer's row for teachers only.
#include "ComposerFixture.h"

#include "core/MVTtirraDataBase.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"

namespace {

using testing_support::ComposerTest;

class VisibilityTest : public ComposerTest {
protected:
    std::string label(MVTPostComposerViewController& composer) {
        auto value = std::dynamic_pointer_cast<platform::Label>(composer.permissionView->viewWithTag(1));
        return value ? value->text() : "";
    }
    // Opens the sheet and presses button `index`.
    void choose(MVTPostComposerViewController& composer, long index) {
        composer.choosePermission();
        auto sheet = platform::ActionSheet::topSheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->tag(), 100);
        sheet->clickButtonAtIndex(index);
    }
};

TEST_F(VisibilityTest, ChoicesGiveTheCodeOfTheRoleAndStoreTheButtonIndex) {
    struct Case {
        const char* role;
        long index;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {"teacher", 0, -1, "全校"},      {"teacher", 5, 4, "学生家长"}, {"student", 4, 4, "我的家长"},
        {"parent", 1, 1, "我的好友"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.role) + " " + c.text);
        setRole(c.role);
        auto composer = open<AddFeedViewController>();
        EXPECT_EQ(composer->permissionNum, std::string(c.role) == "teacher" ? -1 : 0);
        choose(*composer, c.index);
        EXPECT_EQ(composer->permissionNum, c.code);
        EXPECT_EQ(label(*composer), c.text);
        EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("12"), std::to_string(c.index));
        // Right-aligned 28 points from the row's end, whatever the text.
        auto value = composer->permissionView->viewWithTag(1);
        EXPECT_DOUBLE_EQ(value->frame().maxX(), composer->permissionView->frame().width() - 28);
        closePresented();
    }
}

TEST_F(VisibilityTest, TheFirstChoiceIsInsertedLaterOnesUpdateAndNoneIsReadBack) {
    auto composer = open<AddFeedViewController>();
    choose(*composer, 5);
    choose(*composer, 3);
    EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("12"), "3");
    closePresented();
    auto again = open<AddRecordViewController>();
    EXPECT_EQ(again->permissionNum, -1);
    EXPECT_EQ(label(*again), "全校");
}

TEST_F(VisibilityTest, CancelChangesNothing) {
    for (const auto& [role, cancel] : {std::pair{"student", 5L}, std::pair{"parent", 2L}, std::pair{"teacher", 6L}}) {
        SCOPED_TRACE(role);
        setRole(role);
        auto composer = open<AddFeedViewController>();
        const int before = composer->permissionNum;
        const std::string text = label(*composer);
        choose(*composer, cancel);
        EXPECT_EQ(composer->permissionNum, before);
        EXPECT_EQ(label(*composer), text);
        EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("12"), "");
        closePresented();
    }
}

TEST_F(VisibilityTest, ThePictureComposerSendsWholeSchoolAndShowsTheRowToTeachersOnly) {
    for (const char* role : {"teacher", "student", "parent"}) {
        SCOPED_TRACE(role);
        setRole(role);
        auto composer = open<AddPicViewController>();
        EXPECT_EQ(composer->permissionNum, -1);
        const bool shown = composer->permissionView && composer->permissionView->superview();
        EXPECT_EQ(shown, std::string(role) == "teacher");
        composer->mytextView->setText("hi");
        EXPECT_EQ(composer->pendingPost()["permission"], "-1");
        closePresented();
    }
}

}  // namespace
