#include "feed/MVTHomeViewController.h"

#include "shell/InternationalControl.h"

MVTHomeViewController::MVTHomeViewController() : squareViewController_(std::make_shared<MVTSquareViewController>()) {}

void MVTHomeViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("动态"));
}

void MVTHomeViewController::getNewData() { ++reloadCount_; }

void MVTHomeViewController::newFeedReloadData() { ++reloadCount_; }

void MVTHomeViewController::initTheRelevantMeView() { ++relevantMeViewCount_; }

void MVTHomeViewController::addNewUpDynamic() { ++addNewUpDynamicCount_; }

void MVTHomeViewController::newDynamicDidUpSucOrErr(bool succeeded) { upDynamicResults_.push_back(succeeded); }
