#pragma once

#include "account/ClassCodeJoin.h"
#include "account/MVTZXingViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
}

// The in-app join screen: joins a class by its class code (typed or scanned), says so and
// closes. Opened, inside a navigation controller with the cross-dissolve transition, from
// the "+" menus of the message centre and the contacts tab. The twin of the
// join-a-class-first screen without its sign-in mode, waiting indicator and approval alert.
class MVTAddToClassViewController : public ViewViewController,
                                    public platform::TextFieldDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTZXingViewControllerDelegate {
public:
    MVTAddToClassViewController();
    ~MVTAddToClassViewController() override;
    std::string className() const override { return "MVTAddToClassViewController"; }

    // "班级加入成功": its answer closes the screen.
    static constexpr long kJoinedAlertTag = 888;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void initTitleView();
    void initMainView();
    // Gives the code field the keyboard (0.24 seconds after loading).
    void startClassIdField();
    void goback();
    // "完成": looks the typed class code up.
    void addToClass();
    // The confirmed join.
    void sureToAddToClass();
    void successGetClassIdWith(const platform::Json& reply);
    void toZXing();
    void doNotKnowTheClassCode();

    void MVTZXingViewControllerDidScanResult(MVTZXingViewController& screen, const std::string& result) override;
    void MVTZXingViewControllerDidCancel(MVTZXingViewController& screen) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // A typed line break is refused and closes the keyboard.
    bool textFieldShouldChangeCharacters(platform::TextField& field, platform::Range range,
                                         const std::string& replacement) override;
    // The return key closes the keyboard here too.
    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textFieldShouldClear(platform::TextField& field) override;

    // So named in this screen (its twin has classIdTextField).
    const std::shared_ptr<platform::TextField>& classIdTextFiled() const { return form_.codeField; }
    const std::shared_ptr<platform::Button>& getClassIdBtn() const { return form_.getClassIdBtn; }

private:
    class_code_join::Form form_;
    platform::TimerRef focusTimer_;
};
