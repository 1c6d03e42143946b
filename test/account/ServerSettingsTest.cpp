// The pre-login server settings: the four switches with their keys, the four server fields,
// the keyboard moves of the table, and what going back stores.

#include "support/ServiceFixture.h"

#include "account/MVTLoginViewController.h"
#include "account/MVToutSettingViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"

using namespace platform;

namespace {

class ServerSettingsTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        driver_ = std::make_unique<UiDriver>();
    }
    void TearDown() override {
        driver_.reset();
        ServiceTest::TearDown();
    }
    // The login screen as the root, as it is before sign-in, with the settings presented
    // over it.
    void openOverLogin() {
        login_ = std::make_shared<MVTLoginViewController>();
        driver_->show(login_);
        driver_->settle();
        settings_ = std::make_shared<MVToutSettingViewController>();
        login_->presentViewController(myNavigationController::withRoot(settings_), false);
        driver_->settle();
        driver_->window().layoutIfNeeded();
    }
    static UserDefaults& defaults() { return UserDefaults::standard(); }
    // What a later start of the app finds under the key.
    static nlohmann::json storedAfterRestart(const std::string& key) {
        UserDefaults::reloadStandard();
        return UserDefaults::standard().objectForKey(key);
    }
    void tapSwitch(int tag) {
        auto toggle = settings_->switchWithTag(tag);
        ASSERT_NE(toggle, nullptr);
        ASSERT_TRUE(driver_->tap(toggle)) << tag;
    }
    std::vector<bool> switchStates() const {
        std::vector<bool> states;
        for (int tag = 201; tag <= 204; ++tag) states.push_back(settings_->switchWithTag(tag)->isOn());
        return states;
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<MVTLoginViewController> login_;
    std::shared_ptr<MVToutSettingViewController> settings_;
};

TEST_F(ServerSettingsTest, AfterTheLoginScreenTheFieldsShowItsServersAndAFreshInstallHasEverySwitchOff) {
    openOverLogin();
    EXPECT_EQ(settings_->title(), localized("设置"));
    EXPECT_EQ(settings_->XMPPtextfield1()->text(), MVTLoginViewController::kDefaultServer);
    EXPECT_EQ(settings_->XMPPtextfield2()->text(), "5222");
    EXPECT_EQ(settings_->HTTPtextfield1()->text(), MVTLoginViewController::kDefaultServer);
    EXPECT_EQ(settings_->HTTPtextField2()->text(), "80");
    EXPECT_EQ(switchStates(), (std::vector<bool>{false, false, false, false}));

    // Two sections of four 47-point rows, each labelled and holding its switch or field.
    auto table = settings_->mytable();
    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->numberOfRowsInSection(1), 4);
    EXPECT_EQ(table->rectForRowAtIndexPath(IndexPath::forRow(0, 1)).height(), 47);
    EXPECT_FALSE(table->isScrollEnabled());
    for (const char* text : {"开启声音", "开启震动", "记住账号密码", "自动登录", "XMPP地址", "XMPP端口", "HTTP地址",
                             "HTTP端口"})
        EXPECT_NE(driver_->byText(localized(text)), nullptr) << text;
    EXPECT_EQ(settings_->HTTPtextfield1()->placeholder(), localized("请输入HTTP地址"));
    EXPECT_EQ(settings_->XMPPtextfield2()->returnKeyType(), ReturnKeyType::Next);
    EXPECT_EQ(settings_->HTTPtextField2()->returnKeyType(), ReturnKeyType::Done);
}

TEST_F(ServerSettingsTest, TheLoginScreenOffersTheSettingsAndBackReturnsToIt) {
    login_ = std::make_shared<MVTLoginViewController>();
    driver_->show(login_);
    driver_->settle();
    ASSERT_TRUE(driver_->tap(login_->settingButton()));
    driver_->settle();
    auto navigation = std::dynamic_pointer_cast<NavigationController>(login_->presentedViewController());
    ASSERT_NE(navigation, nullptr);
    settings_ = std::dynamic_pointer_cast<MVToutSettingViewController>(navigation->topViewController());
    ASSERT_NE(settings_, nullptr);
    EXPECT_TRUE(UiDriver::isOnScreen(*settings_->view()));
    ASSERT_TRUE(driver_->tap(settings_->leftBtn()));
    driver_->settle();
    EXPECT_EQ(login_->presentedViewController(), nullptr);
}

TEST_F(ServerSettingsTest, SwitchesShowExactlyTheStoredValues) {
    defaults().setBool(kIsCloseMusicKey, true);
    defaults().setBool(kIsRememberUserKey, true);
    openOverLogin();
    EXPECT_EQ(switchStates(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(ServerSettingsTest, EachSwitchStoresItsPositionAndKeepsRememberingAndAutomaticSignInConsistent) {
    struct Case {
        const char* what;
        std::vector<bool> before;  // sound, vibration, remember, automatic
        int tap;
        std::vector<bool> after;
    };
    const Case cases[] = {
        {"sound on", {false, false, false, false}, 201, {true, false, false, false}},
        {"sound off", {true, false, false, false}, 201, {false, false, false, false}},
        {"vibration on", {false, false, false, false}, 202, {false, true, false, false}},
        {"remember on", {false, false, false, false}, 203, {false, false, true, false}},
        {"automatic on turns remember on", {false, false, false, false}, 204, {false, false, true, true}},
        {"automatic on with remember on", {false, false, true, false}, 204, {false, false, true, true}},
        {"remember off turns automatic off", {false, false, true, true}, 203, {false, false, false, false}},
        {"automatic off keeps remember", {false, false, true, true}, 204, {false, false, true, false}},
    };
    const char* keys[] = {kIsCloseMusicKey, kIsCloseMoveKey, kIsRememberUserKey, kIsAutoUserKey};
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i) defaults().setBool(keys[i], c.before[i]);
        defaults().synchronize();
        openOverLogin();
        tapSwitch(c.tap);
        driver_->settle();
        EXPECT_EQ(switchStates(), c.after) << c.what;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(storedAfterRestart(keys[i]), nlohmann::json(c.after[i])) << c.what << " " << keys[i];
    }
}

TEST_F(ServerSettingsTest, GoingBackStoresTheFourFieldsAndAnEmptyOneRemovesItsKey) {
    openOverLogin();
    settings_->XMPPtextfield1()->setText("chat.school.example");
    settings_->HTTPtextfield1()->setText("");
    settings_->HTTPtextField2()->setText("8080");
    ASSERT_TRUE(driver_->tap(settings_->leftBtn()));
    driver_->settle();
    EXPECT_EQ(storedAfterRestart(kXmppServerKey), "chat.school.example");
    EXPECT_EQ(storedAfterRestart(kXmppPortKey), "5222");
    EXPECT_TRUE(storedAfterRestart(kHttpServerKey).is_null());
    EXPECT_EQ(storedAfterRestart(kHttpPortKey), "8080");
    EXPECT_EQ(login_->presentedViewController(), nullptr);
    EXPECT_FALSE(UiDriver::isOnScreen(*settings_->view()));
}

TEST_F(ServerSettingsTest, GoingBackWithoutEditingStillStoresTheFieldTexts) {
    // Texts stored some other way than as the screen writes them come back as plain texts.
    defaults().setString(kXmppServerKey, "10.0.0.2");
    defaults().removeObjectForKey(kHttpPortKey);
    settings_ = std::make_shared<MVToutSettingViewController>();
    driver_->show(myNavigationController::withRoot(settings_));
    driver_->settle();
    EXPECT_EQ(settings_->HTTPtextField2()->text(), "");
    settings_->goback();
    EXPECT_EQ(storedAfterRestart(kXmppServerKey), "10.0.0.2");
    EXPECT_TRUE(storedAfterRestart(kHttpPortKey).is_null());
}

TEST_F(ServerSettingsTest, EditingAFieldMovesTheTableAboveTheKeyboardAndReturnWalksTheFields) {
    struct Case {
        Size screen;
        std::vector<double> tops;  // table top while editing each field in turn
    };
    // The view is the screen less the bar (64 points): 504 on the tall screen, 416 on the other.
    for (const Case& c : {Case{{320, 568}, {0, 0, -40, -70}}, Case{{320, 480}, {-130, -170, -210, -210}}}) {
        Screen::mainScreen().setSize(c.screen);
        openOverLogin();
        auto table = settings_->mytable();
        ASSERT_TRUE(driver_->tap(settings_->XMPPtextfield1()));
        driver_->settle();
        EXPECT_EQ(table->frame().y(), c.tops[0]) << c.screen.height;
        const std::shared_ptr<TextField> fields[] = {settings_->XMPPtextfield1(), settings_->XMPPtextfield2(),
                                                     settings_->HTTPtextfield1(), settings_->HTTPtextField2()};
        for (int i = 1; i < 4; ++i) {
            driver_->type("\n");
            driver_->settle();
            EXPECT_TRUE(fields[i]->isFirstResponder()) << i;
            EXPECT_EQ(table->frame().y(), c.tops[i]) << c.screen.height << " field " << i;
        }
        // Return on the last field puts the table back and closes the keyboard.
        driver_->type("\n");
        driver_->settle();
        EXPECT_EQ(table->frame().y(), 0) << c.screen.height;
        for (const auto& field : fields) EXPECT_FALSE(field->isFirstResponder());
        settings_->goback();
        driver_->settle();
    }
}

TEST_F(ServerSettingsTest, TheKeptServerKeysDoNotRedirectRequests) {
    // The screen only keeps what is typed; requests keep going to the service the build
    // (or TIRRA_BASE_URL) names, and the login screen rewrites its own addresses anyway.
    openOverLogin();
    settings_->HTTPtextfield1()->setText("10.9.9.9");
    settings_->HTTPtextField2()->setText("9999");
    settings_->goback();
    driver_->settle();
    ASSERT_EQ(defaults().stringForKey(kHttpServerKey), std::optional<std::string>("10.9.9.9"));

    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "auth/teacher/teacher123",
                                                      nlohmann::json{{"noSchoolLogin", "true"}});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->url().rfind(baseUrl(), 0), 0u) << request->url();
    bool answered = false;
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request), [&](HttpJsonRequestOperation&, const nlohmann::json&) { answered = true; },
        [&](HttpRequestOperation&, const HttpError&) { answered = true; });
    operation->start();
    ASSERT_TRUE(pumpUntil([&] { return answered; }));
    EXPECT_TRUE(service().lastRequest("services/norvo/auth/teacher/teacher123"));
}

}  // namespace
