#pragma once

#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

class MXSCycleScrollView;

// The rows of a wheel: how many pages, and a new row view for a page.
class MXSCycleScrollViewDatasource {
public:
    virtual ~MXSCycleScrollViewDatasource() = default;
    virtual int numberOfPages(MXSCycleScrollView& wheel) = 0;
    virtual std::shared_ptr<platform::View> pageAtIndex(int page, MXSCycleScrollView& wheel) = 0;
};

class MXSCycleScrollViewDelegate {
public:
    virtual ~MXSCycleScrollViewDelegate() = default;
    // Sent on every movement of the wheel and at the end of every drag and deceleration.
    virtual void scrollviewDidChangeNumber(MXSCycleScrollView& wheel) { (void)wheel; }
    virtual void didClickPage(MXSCycleScrollView& wheel, int page) {
        (void)wheel;
        (void)page;
    }
};

// A vertical wheel that turns without end: five rows show, the selected page in the
// middle one; after the last page the first follows. Only seven row views exist, asked of
// the data source anew whenever the wheel turns by a row.
class MXSCycleScrollView : public platform::View, public platform::ScrollViewDelegate {
public:
    static constexpr int kRows = 7;

    explicit MXSCycleScrollView(const platform::Rect& frame);
    std::string className() const override { return "MXSCycleScrollView"; }
    // Makes the inner scroll view; call once after construction.
    void initWithFrame(const platform::Rect& frame);
    static std::shared_ptr<MXSCycleScrollView> make(const platform::Rect& frame);

    std::shared_ptr<platform::ScrollView> scrollView() const { return scrollView_; }
    int currentPage() const { return curPage_; }
    void setCurrentPage(int page) { curPage_ = page; }
    // setCurrentSelectPage: the first visible row's page, without redrawing.
    void setCurrentSelectPage(int page) { curPage_ = page; }
    int totalPages() const { return totalPages_; }
    // setDataource: stores the data source and reloads.
    void setDataource(std::weak_ptr<MXSCycleScrollViewDatasource> datasource);
    std::shared_ptr<MXSCycleScrollViewDatasource> datasource() const { return datasource_.lock(); }
    void setDelegate(std::weak_ptr<MXSCycleScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<MXSCycleScrollViewDelegate> delegate() const { return delegate_.lock(); }

    void reloadData();
    void loadData();
    // The wrap of a page index into 0 .. pages - 1.
    int validPageValue(int value) const;
    // Gives the five visible rows their look (always called with first row 1).
    void setAfterScrollShowView(platform::ScrollView& scrollView, int firstRow);
    void setViewContent(const std::shared_ptr<platform::View>& view, int index);
    void handleTap();
    // The page shown in the middle row.
    int middlePage() const { return validPageValue(curPage_ + 2); }
    const std::vector<std::shared_ptr<platform::View>>& curViews() const { return curViews_; }
    double rowHeight() const { return bounds().height() / 5; }

    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewWillBeginDragging(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void scrollViewWillBeginDecelerating(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;

private:
    void snapBack();
    void tellDelegate();

    std::shared_ptr<platform::ScrollView> scrollView_;
    int curPage_ = 0;
    int totalPages_ = 0;
    std::vector<std::shared_ptr<platform::View>> curViews_;
    std::weak_ptr<MXSCycleScrollViewDatasource> datasource_;
    std::weak_ptr<MXSCycleScrollViewDelegate> delegate_;
};
