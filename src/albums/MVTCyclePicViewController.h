#pragma once

#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class ActivityIndicatorView;
class ImageView;
class Label;
class GestureRecognizer;
}  // namespace platform

// One photo of the pager, zoomable from 1x to 2x: the cached thumbnail first, then the full
// picture from its file or downloaded; a long press offers "存入相册".
class MVTAlbumBigPicView : public platform::View,
                           public platform::ScrollViewDelegate,
                           public platform::ActionSheetDelegate {
public:
    static constexpr int kImageTag = 10000;
    std::string className() const override { return "MVTAlbumBigPicView"; }
    static std::shared_ptr<MVTAlbumBigPicView> make(const platform::Rect& frame);

    // toGetBigPicWith:and: shows the photo of thumbnail id `thumbnailId` and module id `moduleId`.
    void toGetBigPicWith(const std::string& thumbnailId, const std::string& moduleId);
    void handleLong(platform::GestureRecognizer& press);
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    std::shared_ptr<platform::View> viewForZoomingInScrollView(platform::ScrollView& scrollView) override;
    // The toast after saving: "图片保存成功" or, when nothing could be written, "图片保存失败".
    void showMind(bool saved);

    std::shared_ptr<platform::ImageView> imageView() const { return imageView_; }
    std::shared_ptr<platform::ScrollView> scrol() const { return scrol_; }
    std::shared_ptr<platform::ActivityIndicatorView> indicator() const { return indicator_; }
    std::shared_ptr<platform::Label> mindLa() const { return mindLa_; }

private:
    void build();
    std::shared_ptr<platform::ScrollView> scrol_;
    std::shared_ptr<platform::ImageView> imageView_;
    std::shared_ptr<platform::ActivityIndicatorView> indicator_;
    std::shared_ptr<platform::Label> mindLa_;
};

class XLCycleScrollViewDatasource {
public:
    virtual ~XLCycleScrollViewDatasource() = default;
    virtual int numberOfPages() = 0;
    virtual std::shared_ptr<MVTAlbumBigPicView> pageAtIndex(int index) = 0;
};

class XLCycleScrollViewDelegate {
public:
    virtual ~XLCycleScrollViewDelegate() = default;
    virtual void didClickPage(int index) { (void)index; }
};

// Endless paging over any number of photos with three live page views (previous, current,
// next): a swipe recycles the one that left for the photo that comes.
class XLCycleScrollView : public platform::View, public platform::ScrollViewDelegate {
public:
    std::string className() const override { return "XLCycleScrollView"; }
    static std::shared_ptr<XLCycleScrollView> make(const platform::Rect& frame);

    void setSourseArr(const platform::Json& records) { sourseArr_ = records; }
    void setCurrentPage(int page) { currentPage_ = page; }
    int currentPage() const { return currentPage_; }
    void setDelegate(std::weak_ptr<XLCycleScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }
    // setDataource: sets the data source and loads.
    void setDataource(std::weak_ptr<XLCycleScrollViewDatasource> datasource);
    void reloadData();
    void loadData();
    int validPageValue(int value) const;
    void handleTap();

    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;

    std::shared_ptr<platform::ScrollView> scrollView() const { return scrollView_; }
    std::shared_ptr<platform::Label> pageLa() const { return pageLa_; }
    const std::vector<std::shared_ptr<MVTAlbumBigPicView>>& curViews() const { return curViews_; }

private:
    void build();
    void getDisplayImagesWithCurpage(int page);
    void loadRecordInto(MVTAlbumBigPicView& page, int index, bool fallback) const;

    std::shared_ptr<platform::ScrollView> scrollView_;
    std::shared_ptr<platform::Label> pageLa_;
    int currentPage_ = 0;
    int oldPage_ = 0;
    int totalPages_ = 0;
    std::vector<std::shared_ptr<MVTAlbumBigPicView>> curViews_;
    platform::Json sourseArr_ = platform::Json::array();
    std::weak_ptr<XLCycleScrollViewDatasource> datasource_;
    std::weak_ptr<XLCycleScrollViewDelegate> delegate_;
};

// The photos of an album full screen, presented by the photo grid at the tapped photo. A
// tap flips the top bar, the status bar and the page label.
class MVTCyclePicViewController : public platform::ViewController,
                                  public XLCycleScrollViewDatasource,
                                  public XLCycleScrollViewDelegate {
public:
    std::string className() const override { return "MVTCyclePicViewController"; }
    void setPicDataArr(const platform::Json& records) { picDataArr_ = records; }
    void setIndex(int index) { index_ = index; }

    void viewDidLoad() override;
    bool prefersStatusBarHidden() const override;
    void goback();

    int numberOfPages() override;
    std::shared_ptr<MVTAlbumBigPicView> pageAtIndex(int index) override;
    void didClickPage(int index) override;

    std::shared_ptr<platform::View> topView() const { return topView_; }
    std::shared_ptr<XLCycleScrollView> cycleView() const { return cycleView_; }

    // The picture the page of `record` starts from ("resourceId", else "rId").
    static std::string thumbnailIdOf(const platform::Json& record);

private:
    platform::Json picDataArr_ = platform::Json::array();
    int index_ = 0;
    std::shared_ptr<platform::View> topView_;
    std::shared_ptr<XLCycleScrollView> cycleView_;
};
