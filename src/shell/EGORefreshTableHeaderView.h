#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

#include <memory>

class EGORefreshTableHeaderView;

enum EGOPullRefreshState { EGOOPullRefreshPulling = 0, EGOOPullRefreshNormal = 1, EGOOPullRefreshLoading = 2 };

// The list screen behind a pull-to-refresh header.
class EGORefreshTableHeaderDelegate {
public:
    virtual ~EGORefreshTableHeaderDelegate() = default;
    // The user asked for a reload: start loading.
    virtual void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) = 0;
    // Whether the screen is loading now.
    virtual bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) = 0;
    // The time of the last reload (the header never asks; it shows no date).
    virtual double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) {
        (void)view;
        return 0;
    }
};

// Pull-to-refresh header above a table's first row. Dragging the list down past 65
// points and letting go asks the delegate to reload; the header then stays 60 points
// high until the screen reports that loading has finished.
class EGORefreshTableHeaderView : public platform::View {
public:
    static constexpr double kTriggerOffset = 65;
    static constexpr double kLoadingInset = 60;

    EGORefreshTableHeaderView();
    ~EGORefreshTableHeaderView() override;
    std::string className() const override { return "EGORefreshTableHeaderView"; }

    // initWithFrame: list screens pass (0, -table height, table width, table height).
    void initWithFrame(const platform::Rect& frame);
    static std::shared_ptr<EGORefreshTableHeaderView> make(const platform::Rect& frame);

    void setDelegate(std::weak_ptr<EGORefreshTableHeaderDelegate> delegate) { _delegate = std::move(delegate); }
    std::shared_ptr<EGORefreshTableHeaderDelegate> delegate() const { return _delegate.lock(); }

    void setState(int state);
    int state() const { return _state; }

    void egoRefreshScrollViewDidScroll(platform::ScrollView& scrollView);
    void egoRefreshScrollViewDidEndDragging(platform::ScrollView& scrollView);
    void egoRefreshScrollViewDataSourceDidFinishedLoading(platform::ScrollView& scrollView);
    void egoRefreshScrollViewFirst(platform::ScrollView& scrollView);
    // Changes nothing visible (the header shows no date).
    void refreshLastUpdatedDate() {}

    // The parts, for tests and for screens that restyle them.
    std::shared_ptr<platform::Label> statusLabel() const { return _statusLabel; }
    std::shared_ptr<platform::ImageView> arrowImage() const { return _arrowImage; }
    std::shared_ptr<platform::ImageView> waitView() const { return _waitView; }

private:
    bool delegateIsLoading();

    std::shared_ptr<platform::Label> _statusLabel;
    std::shared_ptr<platform::ImageView> _arrowImage;
    std::shared_ptr<platform::ImageView> _waitView;
    int _orientation = 0;
    std::weak_ptr<platform::ScrollView> _scrollView;
    std::weak_ptr<EGORefreshTableHeaderDelegate> _delegate;
    int _state = EGOOPullRefreshNormal;
    bool _pagingEnabled = false;
    // Whether a drag that started loading saved the table's paging setting.
    bool _pagingSaved = false;
};
