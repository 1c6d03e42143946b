#pragma once

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class ScrollView;
}

// What the detail screen tells the list that opened it.
class MVTDetailsViewControllerDelegate {
public:
    virtual ~MVTDetailsViewControllerDelegate() = default;
    // The item's dictionary changed (comment, counts, praise, vote): redraw its row.
    virtual void reloadOneCell() = 0;
    // The item is gone from the service (its cached copy already deleted): drop the row.
    virtual void deleteOneCell(int row) = 0;
    // Voice events, sent only when the screen was opened from a feed list (its view's
    // accessibility hint is "feed").
    virtual void toStartHomeAudio() {}
    virtual void toStopHomeAudio() {}
    virtual void toPlayOrStopAudio(bool playing) { (void)playing; }
    virtual void detalsStopAudio() {}
};

// The detail screen of one item (a post of module "feed", or an item of another module).
// Its opener makes it, then, before its view loads, hands it the item's own dictionary
// (which the screen changes in place), the module, the item's id, the row it came from
// and itself as delegate; it marks the view with tag 1 when it presents the screen
// modally (the back button then dismisses it instead of popping) and with the hint "feed"
// when it opens from a feed list. For now the screen shows the item as its list does.
class MVTDetailsViewController : public ViewViewController {
public:
    MVTDetailsViewController();
    ~MVTDetailsViewController() override;
    std::string className() const override { return "MVTDetailsViewController"; }

    static constexpr const char* kToStopDetailsAudio = "toStopDetailsAudio";
    static constexpr int kModalTag = 1;

    void viewDidLoad() override;

    std::shared_ptr<platform::Json> myDict() const { return myDict_; }
    void setMyDict(std::shared_ptr<platform::Json> item) { myDict_ = std::move(item); }
    const std::string& modelName() const { return modelName_; }
    void setModelName(const std::string& name) { modelName_ = name; }
    const std::string& modelID() const { return modelID_; }
    void setModelID(const std::string& id) { modelID_ = id; }
    const std::string& selfIndexStr() const { return selfIndexStr_; }
    void setSelfIndexStr(const std::string& row) { selfIndexStr_ = row; }
    // Held weakly: the opener owns this screen while it shows.
    std::shared_ptr<MVTDetailsViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MVTDetailsViewControllerDelegate>& delegate) { delegate_ = delegate; }

    // Back: dismisses a modal screen (view tag 1), pops a pushed one.
    void goback();
    // "toStopDetailsAudio": the feed's voice stopped; the screen's own voice display stops.
    void toStopDetailsAudio();
    int audioStops() const { return audioStops_; }

private:
    std::shared_ptr<platform::Json> myDict_;
    std::string modelName_;
    std::string modelID_;
    std::string selfIndexStr_;
    std::weak_ptr<MVTDetailsViewControllerDelegate> delegate_;
    std::shared_ptr<platform::ScrollView> scrollView_;
    platform::ObserverToken stopToken_;
    int audioStops_ = 0;
};
