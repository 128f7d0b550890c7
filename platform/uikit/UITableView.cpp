#include "platform/uikit/UITableView.h"

#include <algorithm>

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"

UITableView::UITableView() { setBackgroundColor(UIColor::whiteColor()); }

std::shared_ptr<UITableView> UITableView::create(CGRect frame, UITableViewStyle style) {
  auto t = make<UITableView>(frame);
  t->style_ = style;
  return t;
}

void UITableView::setDelegate(std::weak_ptr<UITableViewDelegate> d) {
  tableDelegate_ = d;
  UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(d.lock()));
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> v) {
  if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
  tableHeaderView_ = std::move(v);
  reloadData();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> v) {
  if (tableFooterView_) tableFooterView_->removeFromSuperview();
  tableFooterView_ = std::move(v);
  reloadData();
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(
    const std::string& id) {
  auto it = reusePool_.find(id);
  if (it == reusePool_.end() || it->second.empty()) return nullptr;
  auto cell = it->second.back();
  it->second.pop_back();
  cell->prepareForReuse();
  return cell;
}

void UITableView::reloadData() {
  auto keep = sharedSelf<UITableView>();
  // Cells shown until now go to the pool; headers and footers are rebuilt. The pool holds
  // only those: cells pooled earlier and never taken again are let go, so that a data source
  // that makes new cells does not grow the pool on every reload.
  reusePool_.clear();
  for (auto& [ip, cell] : cells_) {
    cell->removeFromSuperview();
    cell->setSelected(false);
    if (!cell->reuseIdentifier().empty()) reusePool_[cell->reuseIdentifier()].push_back(cell);
  }
  cells_.clear();
  for (auto& s : sections_) {
    if (s.headerView) s.headerView->removeFromSuperview();
    if (s.footerView) s.footerView->removeFromSuperview();
  }
  sections_.clear();
  selected_.reset();

  auto ds = dataSource();
  auto del = delegate();
  double width = bounds().size.width;
  double y = 0;
  if (tableHeaderView_) {
    CGRect f = tableHeaderView_->frame();
    tableHeaderView_->setFrame(CGRectMake(0, 0, width, f.size.height));
    addSubview(tableHeaderView_);
    y = f.size.height;
  }
  long sectionCount = ds ? std::max(0L, ds->numberOfSectionsInTableView(*this)) : 0;
  for (long s = 0; s < sectionCount; ++s) {
    Section sec;
    sec.headerY = y;
    std::string title = ds->titleForHeaderInSection(*this, s);
    double hh = del ? del->heightForHeaderInSection(*this, s) : -1;
    if (hh < 0) hh = !title.empty() ? std::max(sectionHeaderHeight_, 22.0) : sectionHeaderHeight_;
    sec.headerHeight = hh;
    if (del) sec.headerView = del->viewForHeaderInSection(*this, s);
    if (!sec.headerView && !title.empty()) {
      auto label = UILabel::create();
      label->setText(title);
      label->setFont(UIFont::boldSystemFontOfSize(14));
      sec.headerView = label;
    }
    if (sec.headerView) {
      sec.headerView->setFrame(CGRectMake(0, y, width, hh));
      addSubview(sec.headerView);
    }
    y += hh;
    long rows = std::max(0L, ds->numberOfRowsInSection(*this, s));
    for (long r = 0; r < rows; ++r) {
      NSIndexPath ip{s, r};
      double h = del ? del->heightForRowAtIndexPath(*this, ip) : -1;
      if (h < 0) h = rowHeight_;
      sec.rowY.push_back(y);
      sec.rowHeight.push_back(h);
      y += h;
    }
    double fh = del ? del->heightForFooterInSection(*this, s) : -1;
    sec.footerHeight = fh < 0 ? sectionFooterHeight_ : fh;
    if (del) sec.footerView = del->viewForFooterInSection(*this, s);
    if (sec.footerView) {
      sec.footerView->setFrame(CGRectMake(0, y, width, sec.footerHeight));
      addSubview(sec.footerView);
    }
    y += sec.footerHeight;
    sections_.push_back(std::move(sec));
  }
  // Cells are asked for after every height is known, as the platform does.
  for (long s = 0; s < static_cast<long>(sections_.size()); ++s) {
    for (long r = 0; r < static_cast<long>(sections_[s].rowY.size()); ++r) {
      NSIndexPath ip{s, r};
      auto cell = ds->cellForRowAtIndexPath(*this, ip);
      if (!cell) continue;  // the platform would raise; an empty row is kinder
      cell->setFrame(CGRectMake(0, sections_[s].rowY[r], width, sections_[s].rowHeight[r]));
      addSubview(cell);
      cells_[ip] = cell;
      if (del) del->willDisplayCell(*this, *cell, ip);
    }
  }
  if (tableFooterView_) {
    CGRect f = tableFooterView_->frame();
    tableFooterView_->setFrame(CGRectMake(0, y, width, f.size.height));
    addSubview(tableFooterView_);
    y += f.size.height;
  }
  setContentSize(CGSize{width, y});
}

long UITableView::numberOfRowsInSection(long section) const {
  if (section < 0 || section >= static_cast<long>(sections_.size())) return 0;
  return static_cast<long>(sections_[section].rowY.size());
}

CGRect UITableView::rectForRowAtIndexPath(const NSIndexPath& ip) const {
  if (ip.section < 0 || ip.section >= static_cast<long>(sections_.size())) return CGRectZero;
  const auto& s = sections_[ip.section];
  if (ip.row < 0 || ip.row >= static_cast<long>(s.rowY.size())) return CGRectZero;
  return CGRectMake(0, s.rowY[ip.row], bounds().size.width, s.rowHeight[ip.row]);
}

CGRect UITableView::rectForSection(long section) const {
  if (section < 0 || section >= static_cast<long>(sections_.size())) return CGRectZero;
  const auto& s = sections_[section];
  double h = s.headerHeight + s.footerHeight;
  for (double rh : s.rowHeight) h += rh;
  return CGRectMake(0, s.headerY, bounds().size.width, h);
}

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(const NSIndexPath& ip) const {
  auto it = cells_.find(ip);
  return it == cells_.end() ? nullptr : it->second;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const {
  for (const auto& [ip, c] : cells_) {
    if (c.get() == &cell) return ip;
  }
  return std::nullopt;
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint p) const {
  for (long s = 0; s < static_cast<long>(sections_.size()); ++s) {
    for (long r = 0; r < static_cast<long>(sections_[s].rowY.size()); ++r) {
      if (CGRectContainsPoint(rectForRowAtIndexPath({s, r}), p)) return NSIndexPath{s, r};
    }
  }
  return std::nullopt;
}

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() const {
  std::vector<std::shared_ptr<UITableViewCell>> out;
  CGRect visible = bounds();
  for (const auto& [ip, c] : cells_) {
    if (CGRectIntersectsRect(c->frame(), visible)) out.push_back(c);
  }
  return out;
}

void UITableView::selectRowAtIndexPath(const NSIndexPath& ip, bool animated,
                                       UITableViewScrollPosition pos) {
  if (selected_) {
    if (auto old = cellForRowAtIndexPath(*selected_)) old->setSelected(false, animated);
  }
  selected_ = ip;
  if (auto c = cellForRowAtIndexPath(ip)) c->setSelected(true, animated);
  if (pos != UITableViewScrollPositionNone) scrollToRowAtIndexPath(ip, pos, animated);
}

void UITableView::deselectRowAtIndexPath(const NSIndexPath& ip, bool animated) {
  if (auto c = cellForRowAtIndexPath(ip)) c->setSelected(false, animated);
  if (selected_ && *selected_ == ip) selected_.reset();
}

void UITableView::scrollToRowAtIndexPath(const NSIndexPath& ip, UITableViewScrollPosition pos,
                                         bool animated) {
  CGRect r = rectForRowAtIndexPath(ip);
  double h = bounds().size.height;
  double y = contentOffset().y;
  switch (pos) {
    case UITableViewScrollPositionTop:
      y = r.origin.y;
      break;
    case UITableViewScrollPositionMiddle:
      y = CGRectGetMidY(r) - h / 2;
      break;
    case UITableViewScrollPositionBottom:
      y = CGRectGetMaxY(r) - h;
      break;
    default:
      return scrollRectToVisible(r, animated);
  }
  y = std::max(0.0, std::min(y, std::max(0.0, contentSize().height - h)));
  setContentOffset(CGPoint{contentOffset().x, y}, animated);
}

void UITableView::userSelectRow(const NSIndexPath& tapped) {
  auto keep = sharedSelf<UITableView>();
  if (!allowsSelection_) return;
  auto del = delegate();
  std::optional<NSIndexPath> ip = tapped;
  if (del) ip = del->willSelectRowAtIndexPath(*this, tapped);
  if (!ip) return;
  if (selected_ && *selected_ != *ip) {
    NSIndexPath old = *selected_;
    deselectRowAtIndexPath(old, false);
    if (auto d = delegate()) d->didDeselectRowAtIndexPath(*this, old);
  }
  selectRowAtIndexPath(*ip, false, UITableViewScrollPositionNone);
  if (auto d = delegate()) d->didSelectRowAtIndexPath(*this, *ip);
}
