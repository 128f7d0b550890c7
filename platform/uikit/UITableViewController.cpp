#include "platform/uikit/UITableViewController.h"

#include "platform/uikit/UIScreen.h"

std::shared_ptr<UITableViewController> UITableViewController::create() {
  return std::make_shared<UITableViewController>();
}

void UITableViewController::loadView() {
  auto table = UITableView::create(UIScreen::mainScreen()->bounds());
  auto self = sharedSelf<UITableViewController>();
  table->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
  table->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
  setView(table);
}

std::shared_ptr<UITableView> UITableViewController::tableView() {
  return std::dynamic_pointer_cast<UITableView>(view());
}
