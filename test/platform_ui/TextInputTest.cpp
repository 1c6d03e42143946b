#include "support/AppTest.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"

#include <optional>
#include <string>
#include <vector>

using namespace platform;

namespace {

class RecordingFieldDelegate : public TextFieldDelegate {
public:
    bool textFieldShouldBeginEditing(TextField&) override { return allowBegin; }
    void textFieldDidBeginEditing(TextField&) override { events.push_back("begin"); }
    bool textFieldShouldEndEditing(TextField&) override { return allowEnd; }
    void textFieldDidEndEditing(TextField&) override { events.push_back("end"); }
    bool textFieldShouldChangeCharacters(TextField&, Range range, const std::string& replacement) override {
        changes.push_back({range, replacement});
        // No digits.
        return replacement.find_first_of("0123456789") == std::string::npos;
    }
    bool textFieldShouldReturn(TextField& field) override {
        events.push_back("return");
        field.resignFirstResponder();
        return true;
    }
    bool textFieldShouldClear(TextField&) override { return allowClear; }
    bool allowBegin = true, allowEnd = true, allowClear = true;
    std::vector<std::string> events;
    std::vector<std::pair<Range, std::string>> changes;
};

class TextInputTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        driver_ = std::make_unique<UiDriver>();
        screen_ = std::make_shared<ViewController>();
        driver_->show(screen_);
        for (auto* name : {kKeyboardWillShowNotification, kKeyboardDidShowNotification, kKeyboardWillHideNotification,
                           kKeyboardDidHideNotification}) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(name, [this](const Notification& n) {
                posted_.push_back(n.name);
                lastInfo_ = n.userInfo;
            }));
        }
    }
    void TearDown() override {
        tokens_.clear();
        driver_.reset();
        AppTest::TearDown();
    }
    std::shared_ptr<TextField> addField(Rect frame, const std::string& placeholder) {
        auto f = std::make_shared<TextField>(frame);
        f->setPlaceholder(placeholder);
        screen_->view()->addSubview(f);
        return f;
    }
    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewController> screen_;
    std::vector<ObserverToken> tokens_;
    std::vector<std::string> posted_;
    nlohmann::json lastInfo_;
};

TEST_F(TextInputTest, TappingAFieldBringsTheKeyboardWithItsFrameAndSwitchingFieldsKeepsItUp) {
    auto name = addField({20, 100, 280, 30}, "Name");
    auto mail = addField({20, 140, 280, 30}, "Mail");
    ASSERT_TRUE(driver_->tap(driver_->byPlaceholder("Name")));
    EXPECT_TRUE(name->isFirstResponder());
    EXPECT_EQ(posted_, (std::vector<std::string>{kKeyboardWillShowNotification, kKeyboardDidShowNotification}));
    EXPECT_EQ(keyboardFrameFromUserInfo(lastInfo_, kKeyboardFrameEndUserInfoKey), Rect(0, 568 - 216, 320, 216));
    EXPECT_DOUBLE_EQ(lastInfo_[kKeyboardAnimationDurationUserInfoKey].get<double>(), 0.25);

    posted_.clear();
    ASSERT_TRUE(driver_->tap(mail));
    EXPECT_TRUE(mail->isFirstResponder());
    EXPECT_TRUE(posted_.empty());
    EXPECT_TRUE(Keyboard::shared().isVisible());

    mail->resignFirstResponder();
    EXPECT_EQ(posted_, (std::vector<std::string>{kKeyboardWillHideNotification, kKeyboardDidHideNotification}));
    EXPECT_EQ(keyboardFrameFromUserInfo(lastInfo_, kKeyboardFrameEndUserInfoKey).y(), 568);
}

TEST_F(TextInputTest, TheKeyboardCoversWhatLiesUnderIt) {
    auto low = addField({20, 500, 280, 30}, "Low");
    auto high = addField({20, 100, 280, 30}, "High");
    ASSERT_TRUE(driver_->tap(high));
    EXPECT_FALSE(driver_->tap(low));
    EXPECT_TRUE(high->isFirstResponder());
}

// The drawn keyboard's key with `title`, in window points.
std::optional<Rect> keyFrame(const std::string& title) {
    auto view = Keyboard::shared().view();
    if (!view) return std::nullopt;
    for (const auto& key : Keyboard::shared().keys())
        if (key.title == title) return view->convertRectTo(key.frame, nullptr);
    return std::nullopt;
}

TEST_F(TextInputTest, TheReturnKeyIsTitledByTheInputsKindInTheInterfaceLanguage) {
    struct Case {
        ReturnKeyType type;
        std::string chinese, english;
    };
    const Case cases[] = {
        {ReturnKeyType::Next, "下一项", "Next"}, {ReturnKeyType::Done, "完成", "Done"},
        {ReturnKeyType::Go, "前往", "Go"},       {ReturnKeyType::Search, "搜索", "Search"},
        {ReturnKeyType::Send, "发送", "Send"},   {ReturnKeyType::Default, "换行", "return"},
    };
    auto field = addField({20, 100, 280, 30}, "Field");
    auto notes = std::make_shared<TextView>(Rect{20, 140, 280, 60});
    screen_->view()->addSubview(notes);
    std::string language = "zh-Hans";
    Keyboard::shared().setLanguageSource([&] { return language; });
    for (const auto& c : cases) {
        for (const auto& [code, title] : {std::pair{"zh-Hans", c.chinese}, std::pair{"en", c.english}}) {
            language = code;
            // A text field and a text view; moving between them keeps the keyboard up and
            // changes its Return key.
            field->setReturnKeyType(c.type);
            notes->setReturnKeyType(c.type);
            ASSERT_TRUE(driver_->tap(field));
            EXPECT_TRUE(keyFrame(title)) << title;
            notes->becomeFirstResponder();
            EXPECT_TRUE(keyFrame(title)) << title;
            notes->resignFirstResponder();
        }
    }
    EXPECT_FALSE(Keyboard::shared().isVisible());
    Keyboard::shared().setLanguageSource(nullptr);
}

TEST_F(TextInputTest, TappingDrawnKeysTypesThem) {
    auto field = addField({20, 100, 280, 30}, "Name");
    auto d = std::make_shared<RecordingFieldDelegate>();
    field->setDelegate(d);
    d->events.clear();
    ASSERT_TRUE(driver_->tap(field));
    auto press = [&](const std::string& title) {
        auto frame = keyFrame(title);
        ASSERT_TRUE(frame) << "no key " << title;
        EXPECT_TRUE(driver_->tapPoint({frame->midX(), frame->midY()})) << title;
    };
    // Shift capitalises the next letter only; space, the digits and back.
    // (The delegate refuses digits.)
    for (auto* key : {"shift", "H", "i", "space", "x", "delete", "123", "-", "!", "ABC", "q"}) press(key);
    EXPECT_EQ(field->text(), "Hi -!q");
    EXPECT_TRUE(field->isFirstResponder());  // taps on the keyboard leave the caret where it is
    // A finger in the gap between two keys takes the nearer one.
    auto w = keyFrame("w"), e = keyFrame("e");
    driver_->tapPoint({w->maxX() + 1, w->midY()});
    driver_->tapPoint({e->minX() - 1, e->midY()});
    EXPECT_EQ(field->text(), "Hi -!qwe");
    press("return");
    EXPECT_EQ(d->events, (std::vector<std::string>{"begin", "return", "end"}));

    // A field for numbers opens on the digits.
    auto phone = addField({20, 140, 280, 30}, "Phone");
    phone->setKeyboardType(KeyboardType::NumbersAndPunctuation);
    ASSERT_TRUE(driver_->tap(phone));
    press("1");
    EXPECT_EQ(phone->text(), "1");
    EXPECT_TRUE(keyFrame("ABC"));
}

TEST_F(TextInputTest, TheKeyboardIsDrawnAsRowsOfKeys) {
    auto field = addField({20, 100, 280, 30}, "Name");
    field->setReturnKeyType(ReturnKeyType::Done);
    ASSERT_TRUE(driver_->tap(field));
    auto picture = Renderer::render(driver_->window(), {320, 568}, 2);
    auto pixel = [&](Point p) { return picture->colorAt(int(p.x * 2), int(p.y * 2)); };
    auto near = [](Color a, int r, int g, int b) {
        return std::abs(a.r * 255 - r) + std::abs(a.g * 255 - g) + std::abs(a.b * 255 - b) < 12;
    };
    auto keys = Keyboard::shared().keys();
    ASSERT_EQ(keys.size(), 10u + 9u + 1u + 7u + 1u + 3u);  // three rows of letters, shift, delete, the bottom row
    ASSERT_TRUE(keyFrame("q") && keyFrame("Done"));
    Rect q = *keyFrame("q"), done = *keyFrame("Done");
    // A white key face with a dark letter on it, on the keyboard's grey; the Return key of
    // a field that is done blue.
    EXPECT_TRUE(near(pixel({q.minX() + 2, q.minY() + 3}), 255, 255, 255));
    int dark = 0;
    for (double y = q.minY(); y < q.maxY(); y += 0.5)
        for (double x = q.minX(); x < q.maxX(); x += 0.5) dark += pixel({x, y}).r < 0.4;
    EXPECT_GT(dark, 10);
    EXPECT_TRUE(near(pixel({q.maxX() + 3, q.midY()}), 209, 213, 219));
    EXPECT_TRUE(near(pixel({done.minX() + 5, done.minY() + 5}), 0, 122, 255));
    // All the keys lie inside the keyboard, none over another.
    for (size_t i = 0; i < keys.size(); ++i) {
        const Rect& k = keys[i].frame;
        EXPECT_TRUE(k.minX() >= 0 && k.minY() >= 0 && k.maxX() <= 320 && k.maxY() <= 216) << keys[i].title;
        for (size_t j = i + 1; j < keys.size(); ++j)
            EXPECT_FALSE(keys[i].frame.intersects(keys[j].frame)) << keys[i].title << " " << keys[j].title;
    }
}

TEST_F(TextInputTest, TypingGoesThroughTheDelegateInUtf16Ranges) {
    auto field = addField({20, 100, 280, 30}, "Name");
    auto d = std::make_shared<RecordingFieldDelegate>();
    field->setDelegate(d);
    int changed = 0;
    field->addTarget(ControlEventEditingChanged, [&](Control&) { ++changed; });
    ASSERT_TRUE(driver_->tap(field));
    EXPECT_TRUE(driver_->type("a1😀b"));
    EXPECT_EQ(field->text(), "a😀b");
    EXPECT_EQ(changed, 3);
    ASSERT_EQ(d->changes.size(), 4u);
    EXPECT_EQ(d->changes[1].first, (Range{1, 0}));
    EXPECT_EQ(d->changes[3].first, (Range{3, 0}));  // the emoji took two code units

    // Backspace removes "b", then the whole emoji.
    driver_->type("\b\b");
    EXPECT_EQ(field->text(), "a");
    EXPECT_EQ(d->changes[4], (std::pair<Range, std::string>{{3, 1}, ""}));
    EXPECT_EQ(d->changes[5], (std::pair<Range, std::string>{{1, 2}, ""}));

    // Return asks the delegate, which closes the keyboard here.
    driver_->type("\n");
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(d->events, (std::vector<std::string>{"begin", "return", "end"}));
    // Keystrokes with nobody editing are dropped.
    EXPECT_FALSE(driver_->type("x"));
    EXPECT_EQ(field->text(), "a");
}

TEST_F(TextInputTest, DelegateCanRefuseBeginningEndingAndClearing) {
    auto field = addField({20, 100, 280, 30}, "Name");
    auto d = std::make_shared<RecordingFieldDelegate>();
    field->setDelegate(d);
    d->allowBegin = false;
    driver_->tap(field);
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_TRUE(posted_.empty());

    d->allowBegin = true;
    driver_->tap(field);
    d->allowEnd = false;
    auto other = addField({20, 140, 280, 30}, "Other");
    driver_->tap(other);
    EXPECT_TRUE(field->isFirstResponder());

    field->setText("abc");
    d->allowClear = false;
    field->clearButtonTapped();
    EXPECT_EQ(field->text(), "abc");
    d->allowClear = true;
    field->clearButtonTapped();
    EXPECT_EQ(field->text(), "");
}

TEST_F(TextInputTest, SecureFieldsShowBullets) {
    auto field = addField({20, 100, 280, 30}, "Password");
    field->setSecureTextEntry(true);
    field->setText("pw😀");
    EXPECT_EQ(field->displayedText(), "\u2022\u2022\u2022");
    EXPECT_EQ(field->text(), "pw😀");
}

class NoNewlineTextDelegate : public TextViewDelegate {
public:
    bool textViewShouldChangeText(TextView& view, Range, const std::string& replacement) override {
        if (replacement == "\n") {
            view.resignFirstResponder();
            return false;
        }
        return true;
    }
    void textViewDidChange(TextView&) override { ++changes; }
    void textViewDidBeginEditing(TextView&) override { ++begins; }
    int changes = 0, begins = 0;
};

TEST_F(TextInputTest, TextViewGrowsWithItsLinesAndItsDelegateSeesReturn) {
    auto view = std::make_shared<TextView>(Rect(10, 100, 200, 60));
    screen_->view()->addSubview(view);
    view->setFont(Font::systemFontOfSize(14));
    double oneLine = view->contentSize().height;
    ASSERT_TRUE(driver_->tap(view));
    EXPECT_TRUE(view->isEditing());
    driver_->type("first\nsecond\nthird");
    EXPECT_EQ(view->text(), "first\nsecond\nthird");
    EXPECT_GT(view->contentSize().height, oneLine + 1.5 * Font::systemFontOfSize(14).lineHeight());
    Rect caret = view->caretRectForPosition(static_cast<long>(view->text().size()));
    EXPECT_GT(caret.y(), view->caretRectForPosition(0).y() + Font::systemFontOfSize(14).lineHeight());

    auto d = std::make_shared<NoNewlineTextDelegate>();
    view->setDelegate(d);
    driver_->type("!\n");
    EXPECT_EQ(view->text(), "first\nsecond\nthird!");
    EXPECT_EQ(d->changes, 1);
    EXPECT_FALSE(view->isFirstResponder());
    EXPECT_EQ(posted_.back(), kKeyboardDidHideNotification);

    view->setEditable(false);
    driver_->tap(view);
    EXPECT_FALSE(view->isEditing());
}

class RecordingSearchDelegate : public SearchBarDelegate {
public:
    bool searchBarShouldBeginEditing(SearchBar&) override { return allow; }
    void searchBarTextDidChange(SearchBar&, const std::string& text) override { texts.push_back(text); }
    void searchBarSearchButtonClicked(SearchBar& bar) override { searched.push_back(bar.text()); }
    void searchBarCancelButtonClicked(SearchBar&) override { ++cancels; }
    bool allow = true;
    std::vector<std::string> texts, searched;
    int cancels = 0;
};

TEST_F(TextInputTest, SearchBarReportsTypingSearchAndCancel) {
    auto bar = std::make_shared<SearchBar>(Rect(0, 64, 320, 44));
    bar->setPlaceholder("Search");
    bar->setShowsCancelButton(true);
    screen_->view()->addSubview(bar);
    auto d = std::make_shared<RecordingSearchDelegate>();
    bar->setDelegate(d);
    d->allow = false;
    driver_->tap(driver_->byPlaceholder("Search"));
    EXPECT_FALSE(bar->searchField()->isFirstResponder());
    d->allow = true;
    driver_->tap(driver_->byPlaceholder("Search"));
    driver_->type("li\n");
    EXPECT_EQ(d->texts, (std::vector<std::string>{"l", "li"}));
    EXPECT_EQ(d->searched, std::vector<std::string>{"li"});
    EXPECT_TRUE(driver_->tapText("Cancel"));
    EXPECT_EQ(d->cancels, 1);
}

}  // namespace
