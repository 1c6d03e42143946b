#pragma once

#include "homework/HomeworkScreen.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

class MVTSelectClassOrAlbumViewDelegate {
public:
    virtual ~MVTSelectClassOrAlbumViewDelegate() = default;
    virtual void whichSelectdWith(const std::string& name, const std::string& id) = 0;
};

// A one-level list to pick from: the classes the teacher manages ("class") or the class
// albums the user may fill ("album", headed by "创建新相册"). The pick goes to the delegate
// and the chooser closes.
class MVTSelectClassOrAlbumViewController : public HomeworkScreen,
                                            public platform::TableViewDataSource,
                                            public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTSelectClassOrAlbumViewController"; }
    void setTypeStr(const std::string& type) { typeStr_ = type; }
    void setIdStr(const std::string& id) { idStr_ = id; }
    void setNameStr(const std::string& name) { nameStr_ = name; }
    void setDelegate(std::weak_ptr<MVTSelectClassOrAlbumViewDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void getSelectData();
    void toDone();
    void createNewAlbum();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return 44; }
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& listArr() const { return listArr_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    const std::string& idStr() const { return idStr_; }

private:
    void initMyTableView();
    std::string typeStr_, idStr_, nameStr_;
    std::weak_ptr<MVTSelectClassOrAlbumViewDelegate> delegate_;
    platform::Json listArr_ = platform::Json::array();
    std::shared_ptr<myTableView> mytableview_;
};
