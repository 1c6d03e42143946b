#pragma once

#include "feed/MVTSquareViewController.h"
#include "shell/ViewViewController.h"

#include <memory>
#include <vector>

// The home feed, root of tab 0: the class circle with the school circle embedded.
class MVTHomeViewController : public ViewViewController {
public:
    MVTHomeViewController();
    std::string className() const override { return "MVTHomeViewController"; }
    void viewDidLoad() override;

    // setIsSetNil: YES on an outgoing home screen; from then on it ignores sheet answers.
    bool isSetNil() const { return isSetNil_; }
    void setIsSetNil(bool setNil) { isSetNil_ = setNil; }
    // Scrolls to the top and refreshes whichever circle is shown.
    void getNewData();
    // Reloads the feed from the service, back on the class circle.
    void newFeedReloadData();
    // Shows or removes the relevant-to-me bar above the feed.
    void initTheRelevantMeView();
    // Shows the row of the post being published.
    void addNewUpDynamic();
    // newDynamicDidUpSucOrErr: the finished post left the upload queue.
    void newDynamicDidUpSucOrErr(bool succeeded);

    bool showAS() const { return showAS_; }
    void setShowAS(bool waiting) { showAS_ = waiting; }
    std::shared_ptr<MVTSquareViewController> squareViewController() const { return squareViewController_; }

    // How often each operation ran; the feed itself comes in a later stage.
    int reloadCount() const { return reloadCount_; }
    int relevantMeViewCount() const { return relevantMeViewCount_; }
    // How often the upload row was shown, and the outcome of each finished upload in order.
    int addNewUpDynamicCount() const { return addNewUpDynamicCount_; }
    const std::vector<bool>& upDynamicResults() const { return upDynamicResults_; }

private:
    std::shared_ptr<MVTSquareViewController> squareViewController_;
    bool isSetNil_ = false;
    bool showAS_ = false;
    int reloadCount_ = 0;
    int relevantMeViewCount_ = 0;
    int addNewUpDynamicCount_ = 0;
    std::vector<bool> upDynamicResults_;
};
