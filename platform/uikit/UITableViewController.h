#pragma once
// A controller whose view is a table, with itself as data source and delegate.

#include <memory>

#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class UITableViewController : public UIViewController,
                              public UITableViewDataSource,
                              public UITableViewDelegate {
  TOVIRA_CLASS(UITableViewController)
 public:
  static std::shared_ptr<UITableViewController> create();
  std::shared_ptr<UITableView> tableView();
  void loadView() override;
  long numberOfRowsInSection(UITableView&, long) override { return 0; }
  std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                         const NSIndexPath&) override {
    return nullptr;
  }
};
