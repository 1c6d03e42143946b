#pragma once

// The picture and text composer of the tab bar's publish menu: with no picture (text
// mode), with a camera photo or with album pictures (picture mode). Its send button sits
// on the navigation bar; only teachers choose who sees the post.

#include "composer/MVTPostComposerViewController.h"

class AddPicViewController : public MVTPostComposerViewController {
public:
    std::string className() const override { return "AddPicViewController"; }
    Kind kind() const override { return Kind::Pic; }
};
