#pragma once
// Tables. reloadData asks the data source and delegate at once (synchronously) for every
// section and row, lays out header, section headers, rows and footer top to bottom, and
// places every row's cell as a subview at rectForRowAtIndexPath; cells that were shown before
// go to the reuse pool first. A tap on a cell (through the automation) selects its row and
// tells the delegate. The data source and delegate are held weakly. Main thread only.
//
// Delegate methods whose selector starts with the table alone ("tableView:xxx:") are named
// after their second part: tableView:cellForRowAtIndexPath: is cellForRowAtIndexPath.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/NSIndexPath.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITableViewCell.h"

class UITableView;

class UITableViewDataSource {
 public:
  virtual ~UITableViewDataSource() = default;
  virtual long numberOfSectionsInTableView(UITableView&) { return 1; }
  virtual long numberOfRowsInSection(UITableView&, long section) = 0;
  virtual std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                                 const NSIndexPath&) = 0;
  virtual std::string titleForHeaderInSection(UITableView&, long /*section*/) { return ""; }
};

class UITableViewDelegate : public virtual UIScrollViewDelegate {
 public:
  // A negative answer means "not implemented": the table's own height is used.
  virtual double heightForRowAtIndexPath(UITableView&, const NSIndexPath&) { return -1; }
  virtual double heightForHeaderInSection(UITableView&, long) { return -1; }
  virtual double heightForFooterInSection(UITableView&, long) { return -1; }
  virtual std::shared_ptr<UIView> viewForHeaderInSection(UITableView&, long) { return nullptr; }
  virtual std::shared_ptr<UIView> viewForFooterInSection(UITableView&, long) { return nullptr; }
  virtual void willDisplayCell(UITableView&, UITableViewCell&, const NSIndexPath&) {}
  // Answer nullopt to refuse the selection, or another path to select that one instead.
  virtual std::optional<NSIndexPath> willSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return ip;
  }
  virtual void didSelectRowAtIndexPath(UITableView&, const NSIndexPath&) {}
  virtual void didDeselectRowAtIndexPath(UITableView&, const NSIndexPath&) {}
};

enum UITableViewStyle : long { UITableViewStylePlain = 0, UITableViewStyleGrouped = 1 };
enum UITableViewCellSeparatorStyle : long {
  UITableViewCellSeparatorStyleNone = 0,
  UITableViewCellSeparatorStyleSingleLine = 1,
};
enum UITableViewScrollPosition : long {
  UITableViewScrollPositionNone = 0,
  UITableViewScrollPositionTop = 1,
  UITableViewScrollPositionMiddle = 2,
  UITableViewScrollPositionBottom = 3,
};
enum UITableViewRowAnimation : long {
  UITableViewRowAnimationFade = 0,
  UITableViewRowAnimationNone = 5,
  UITableViewRowAnimationAutomatic = 100,
};

class UITableView : public UIScrollView {
  TOVIRA_CLASS(UITableView)
 public:
  UITableView();
  static std::shared_ptr<UITableView> create(CGRect frame = CGRectZero,
                                             UITableViewStyle style = UITableViewStylePlain);
  UITableViewStyle style() const { return style_; }
  void setStyle(UITableViewStyle s) { style_ = s; }

  std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<UITableViewDataSource> d) { dataSource_ = std::move(d); }
  std::shared_ptr<UITableViewDelegate> delegate() const { return tableDelegate_.lock(); }
  // Also the scroll delegate.
  void setDelegate(std::weak_ptr<UITableViewDelegate> d);

  double rowHeight() const { return rowHeight_; }  // 44 by default
  void setRowHeight(double h) { rowHeight_ = h; }
  double sectionHeaderHeight() const { return sectionHeaderHeight_; }
  void setSectionHeaderHeight(double h) { sectionHeaderHeight_ = h; }
  double sectionFooterHeight() const { return sectionFooterHeight_; }
  void setSectionFooterHeight(double h) { sectionFooterHeight_ = h; }
  std::shared_ptr<UIView> tableHeaderView() const { return tableHeaderView_; }
  void setTableHeaderView(std::shared_ptr<UIView> v);
  std::shared_ptr<UIView> tableFooterView() const { return tableFooterView_; }
  void setTableFooterView(std::shared_ptr<UIView> v);
  UITableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
  void setSeparatorStyle(UITableViewCellSeparatorStyle s) { separatorStyle_ = s; }
  std::shared_ptr<UIColor> separatorColor() const { return separatorColor_; }
  void setSeparatorColor(std::shared_ptr<UIColor> c) { separatorColor_ = std::move(c); }
  bool allowsSelection() const { return allowsSelection_; }
  void setAllowsSelection(bool a) { allowsSelection_ = a; }

  // A cell from the reuse pool with that identifier, or nullptr.
  std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& id);
  void reloadData();
  // Reloads everything: rows are built at once.
  void reloadRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation) {
    reloadData();
  }
  void reloadSections(UITableViewRowAnimation) { reloadData(); }
  long numberOfSections() const { return (long)sections_.size(); }
  long numberOfRowsInSection(long section) const;
  CGRect rectForRowAtIndexPath(const NSIndexPath& ip) const;  // content coordinates
  CGRect rectForSection(long section) const;
  std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(const NSIndexPath& ip) const;
  std::optional<NSIndexPath> indexPathForCell(const UITableViewCell& cell) const;
  std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint p) const;
  std::vector<std::shared_ptr<UITableViewCell>> visibleCells() const;

  std::optional<NSIndexPath> indexPathForSelectedRow() const { return selected_; }
  // Programmatic selection does not tell the delegate, as on the device.
  void selectRowAtIndexPath(const NSIndexPath& ip, bool animated, UITableViewScrollPosition pos);
  void deselectRowAtIndexPath(const NSIndexPath& ip, bool animated);
  void scrollToRowAtIndexPath(const NSIndexPath& ip, UITableViewScrollPosition pos, bool animated);

  // A person tapped the row: willSelect, select, didSelect (didDeselect for the old row first).
  void userSelectRow(const NSIndexPath& ip);

 private:
  struct Section {
    double headerY = 0, headerHeight = 0, footerHeight = 0;
    std::vector<double> rowY, rowHeight;
    std::shared_ptr<UIView> headerView, footerView;
  };
  std::weak_ptr<UITableViewDataSource> dataSource_;
  std::weak_ptr<UITableViewDelegate> tableDelegate_;
  UITableViewStyle style_ = UITableViewStylePlain;
  double rowHeight_ = 44;
  double sectionHeaderHeight_ = 0;
  double sectionFooterHeight_ = 0;
  std::shared_ptr<UIView> tableHeaderView_;
  std::shared_ptr<UIView> tableFooterView_;
  UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyleSingleLine;
  std::shared_ptr<UIColor> separatorColor_;
  bool allowsSelection_ = true;
  std::vector<Section> sections_;
  std::map<NSIndexPath, std::shared_ptr<UITableViewCell>> cells_;
  std::map<std::string, std::vector<std::shared_ptr<UITableViewCell>>> reusePool_;
  std::optional<NSIndexPath> selected_;
};
