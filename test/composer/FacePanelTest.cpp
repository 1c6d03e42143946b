// The emoticon panels: the grid of faces, its pages and dots, the tokens, and the button of
// the comment and chat panel.
#include "composer/EmojView.h"
#include "composer/MVTFacialView.h"
#include "shell/InternationalControl.h"

#include "support/AppTest.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Screen.h"

#include <set>

namespace {

using testing_support::AppTest;

struct Recorder : MVTFacialViewDelegate {
    std::vector<std::string> tokens;
    int sends = 0;
    void selectedFacialView(const std::string& token) override { tokens.push_back(token); }
    void sendMessage() override { ++sends; }
};

class FacePanelTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::Screen::mainScreen().reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        recorder_ = std::make_shared<Recorder>();
    }
    template <class T>
    std::shared_ptr<T> panel(bool chat = false) {
        auto view = std::make_shared<T>();
        view->initWithFrame({0, 352, 320, 216});
        view->setDelegate(recorder_);
        if constexpr (std::is_same_v<T, MVTFacialView>) view->setIsFromChatView(chat);
        view->layoutIfNeeded();
        return view;
    }
    static std::vector<std::shared_ptr<platform::Button>> faces(MVTFacePanel& panel) {
        std::vector<std::shared_ptr<platform::Button>> list;
        for (auto& sub : panel.myscrollView()->subviews())
            if (auto button = std::dynamic_pointer_cast<platform::Button>(sub)) list.push_back(button);
        return list;
    }
    std::shared_ptr<Recorder> recorder_;
};

TEST_F(FacePanelTest, SevenColumnsFourRowsTwoPages) {
    for (bool emoj : {true, false}) {
        SCOPED_TRACE(emoj ? "EmojView" : "MVTFacialView");
        std::shared_ptr<MVTFacePanel> view = emoj ? std::shared_ptr<MVTFacePanel>(panel<EmojView>())
                                                  : std::shared_ptr<MVTFacePanel>(panel<MVTFacialView>());
        const auto list = faces(*view);
        ASSERT_EQ(list.size(), 30u);
        std::set<double> columns, rows;
        for (size_t i = 0; i < 28; ++i) {
            columns.insert(list[i]->frame().minX());
            rows.insert(list[i]->frame().minY());
        }
        EXPECT_EQ(columns, (std::set<double>{19, 62, 105, 148, 191, 234, 277}));
        EXPECT_EQ(rows, (std::set<double>{16, 56, 96, 136}));
        // Faces 29 and 30 open the second page's first row.
        EXPECT_DOUBLE_EQ(list[28]->frame().minX(), 320 + 19);
        EXPECT_DOUBLE_EQ(list[29]->frame().minX(), 320 + 62);
        EXPECT_DOUBLE_EQ(list[29]->frame().minY(), 16);
        EXPECT_EQ(view->pageControl()->numberOfPages(), 2);
        EXPECT_DOUBLE_EQ(view->myscrollView()->contentSize().width, 640);
        EXPECT_DOUBLE_EQ(view->myscrollView()->frame().height(), emoj ? 216 : 177);
        EXPECT_EQ(list[11]->imageForState(platform::ControlStateNormal), platform::Image::imageNamed("12.png"));
    }
}

TEST_F(FacePanelTest, AFaceGivesItsTokenAndTheDotsFollowThePage) {
    auto view = panel<EmojView>();
    faces(*view)[11]->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    EXPECT_EQ(recorder_->tokens, (std::vector<std::string>{"[em:12:]"}));
    view->myscrollView()->setContentOffset({480, 0});
    EXPECT_EQ(view->pageControl()->currentPage(), 1);
    view->pageControl()->setCurrentPage(0);
    view->changePage();
    EXPECT_DOUBLE_EQ(view->myscrollView()->contentOffset().x, 0);
    view->loadFacialView(1);
    EXPECT_TRUE(faces(*view).empty());
    EXPECT_EQ(view->pageControl()->numberOfPages(), 0);
}

TEST_F(FacePanelTest, TheChatPanelsButtonIsReadOnceAndEmojViewHasNone) {
    auto chat = panel<MVTFacialView>(true);
    auto label = std::dynamic_pointer_cast<platform::Label>(chat->doneButton()->viewWithTag(MVTFacialView::kButtonLabelTag));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "发送");
    chat->setIsFromChatView(false);
    chat->layoutIfNeeded();
    EXPECT_EQ(label->text(), "发送");
    chat->doneButton()->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    EXPECT_EQ(recorder_->sends, 1);

    auto done = panel<MVTFacialView>(false);
    EXPECT_EQ(std::dynamic_pointer_cast<platform::Label>(done->doneButton()->viewWithTag(MVTFacialView::kButtonLabelTag))->text(), "完成");
    auto emoj = panel<EmojView>();
    EXPECT_EQ(emoj->subviews().size(), 2u);  // the faces and the dots, no button
}

}  // namespace
