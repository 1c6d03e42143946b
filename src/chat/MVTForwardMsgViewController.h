#pragma once

// The forward picker "转发": where a held chat message goes. This first version lists the
// recent conversations that the message centre handed to the chat; choosing one opens
// that conversation, which sends the message as it loads. The search and the contact and
// group lists come with the contacts screens.

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>

class myTableView;

class MVTForwardMsgViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTForwardMsgViewController"; }
    void viewDidLoad() override;

    const platform::Json& forwardDictionary() const { return forwardDictionary_; }
    void setForwardDictionary(const platform::Json& message) { forwardDictionary_ = message; }
    const platform::Json& recelentArray() const { return recelentArray_; }
    // Keeps the person and group conversations of the list.
    void setRecelentArray(const platform::Json& rows);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    platform::Json forwardDictionary_ = platform::Json::object();
    platform::Json recelentArray_ = platform::Json::array();
    std::shared_ptr<myTableView> table_;
};
