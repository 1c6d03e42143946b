#include "tests/TestsScreen.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace quiz {

void showNetworkBanner(int kind) {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(kind);
}

bool isFilterSet(const Json& filter) { return filter.is_object(); }

void addFilterParameters(Json& parameters, const Json& levelDic, const Json& subjectDic, const Json& teacherDic) {
    if (isFilterSet(levelDic)) {
        parameters["grade"] = textOf(levelDic, "grade");
        parameters["levelId"] = textOf(levelDic, "levelId");
    }
    if (isFilterSet(subjectDic)) parameters["subjectId"] = textOf(subjectDic, "subjectId");
    if (isFilterSet(teacherDic)) parameters["teacherId"] = textOf(teacherDic, "teacherId");
}

MoreFooter MoreFooter::make(bool framed, const std::string& stillImage, const std::vector<std::string>& frames,
                            std::function<void()> action) {
    const double width = Screen::mainScreen().bounds().width();
    const Color grey = Color::rgb255(242, 242, 242);
    MoreFooter footer;
    footer.view = std::make_shared<View>(Rect(0, 0, width, 40));
    footer.view->setBackgroundColor(framed ? grey : Color::whiteColor());
    if (!framed) {
        auto line = std::make_shared<View>(Rect(5, 0, width - 10, 0.5));
        line->setBackgroundColor(Color::rgb255(225, 225, 225));
        footer.view->addSubview(line);
    }
    footer.moreBtn = Button::buttonWithType(ButtonType::Custom);
    footer.moreBtn->setFrame({5, 5, width - 10, 30});
    footer.moreBtn->setBackgroundColor(Color::whiteColor());
    footer.moreBtn->setTitleColor(Color::darkGray());
    footer.moreBtn->titleLabel()->setFont(Font::systemFontOfSize(14));
    if (framed) {
        footer.moreBtn->setCornerRadius(2);
        footer.moreBtn->setBorderWidth(0.5);
        footer.moreBtn->setBorderColor(grey);
    }
    footer.moreBtn->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    footer.view->addSubview(footer.moreBtn);
    footer.moreImageView = std::make_shared<ImageView>(Rect(105, 10, 20, 20));
    footer.moreImageView->setImage(Image::imageNamed(stillImage));
    std::vector<ImageRef> pictures;
    for (const auto& name : frames) pictures.push_back(Image::imageNamed(name));
    footer.moreImageView->setAnimationImages(pictures);
    footer.moreImageView->setAnimationDuration(0.8);
    footer.moreImageView->setHidden(true);
    footer.view->addSubview(footer.moreImageView);
    return footer;
}

void MoreFooter::showLoading() {
    moreBtn->setEnabled(false);
    moreBtn->setTitle("    " + localized("更多..."));
    moreImageView->setHidden(false);
    moreImageView->startAnimating();
}

void MoreFooter::finish(const std::string& chineseTitle, bool enabled) {
    moreImageView->stopAnimating();
    moreImageView->setHidden(true);
    moreBtn->setTitle(localized(chineseTitle));
    moreBtn->setEnabled(enabled);
}

double courseNameHeight(const std::string& name) {
    const double width = Screen::mainScreen().bounds().width() - 20;
    const Size size =
        TextMeasure::sizeWithFont(name, Font::systemFontOfSize(16), {width, 200}, LineBreakMode::CharWrap);
    return size.height > 20 ? size.height : 20;
}

}  // namespace quiz
