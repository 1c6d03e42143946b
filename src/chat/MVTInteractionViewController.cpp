#include "chat/MVTInteractionViewController.h"

#include "shell/InternationalControl.h"

using namespace platform;

MVTInteractionViewController::MVTInteractionViewController() = default;

MVTInteractionViewController::~MVTInteractionViewController() = default;

void MVTInteractionViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("消息"));
    std::weak_ptr<MVTInteractionViewController> weak =
        std::static_pointer_cast<MVTInteractionViewController>(shared_from_this());
    chatReadedToken_ = NotificationCenter::defaultCenter().addObserver("chatReaded", [weak](const Notification&) {
        if (auto self = weak.lock()) self->getNewData();
    });
}

void MVTInteractionViewController::getNewData() { ++getNewDataCount_; }

void MVTInteractionViewController::reloadTable() { ++reloadTableCount_; }
