#include "platform/uikit/UICollectionView.h"

#include <algorithm>

#include "platform/uikit/UIColor.h"

UICollectionViewCell::UICollectionViewCell() = default;

void UICollectionViewCell::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  contentView_ = UIView::create(bounds());
  addSubview(contentView_);
}

void UICollectionViewCell::setFrame(CGRect frame) {
  UIView::setFrame(frame);
  if (contentView_) contentView_->setFrame(bounds());
}

std::shared_ptr<UICollectionView> UICollectionViewCell::collectionView() const {
  for (auto v = superview(); v; v = v->superview()) {
    if (auto c = std::dynamic_pointer_cast<UICollectionView>(v)) return c;
  }
  return nullptr;
}

UICollectionView::UICollectionView() { setBackgroundColor(UIColor::blackColor()); }

std::shared_ptr<UICollectionView> UICollectionView::create(
    CGRect frame, std::shared_ptr<UICollectionViewFlowLayout> layout) {
  auto cv = make<UICollectionView>(frame);
  cv->layout_ = layout ? std::move(layout) : UICollectionViewFlowLayout::create();
  return cv;
}

void UICollectionView::setDelegate(std::weak_ptr<UICollectionViewDelegate> d) {
  cvDelegate_ = d;
  UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(d.lock()));
}

void UICollectionView::registerCellFactory(
    const std::string& reuseIdentifier,
    std::function<std::shared_ptr<UICollectionViewCell>()> make) {
  factories_[reuseIdentifier] = std::move(make);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::dequeueReusableCellWithReuseIdentifier(
    const std::string& reuseIdentifier, const NSIndexPath& ip) {
  auto& pool = reusePool_[reuseIdentifier];
  std::shared_ptr<UICollectionViewCell> cell;
  if (!pool.empty()) {
    cell = pool.back();
    pool.pop_back();
    cell->prepareForReuse();
  } else {
    auto it = factories_.find(reuseIdentifier);
    if (it == factories_.end() || !it->second) return nullptr;
    cell = it->second();
    if (!cell) return nullptr;
    cell->reuseIdentifier_ = reuseIdentifier;
  }
  if (!frames_.empty()) cell->setFrame(frameForItemAtIndexPath(ip));
  return cell;
}

void UICollectionView::reloadData() {
  auto keep = sharedSelf<UICollectionView>();
  if (!layout_) layout_ = UICollectionViewFlowLayout::create();
  for (auto& [ip, cell] : cells_) {
    cell->removeFromSuperview();
    cell->setSelected(false);
    reusePool_[cell->reuseIdentifier_].push_back(cell);
  }
  cells_.clear();
  frames_.clear();
  selected_.clear();
  auto ds = dataSource();
  auto del = delegate();
  auto& L = *layout_;
  double width = bounds().size.width;
  double y = 0;
  long sections = ds ? std::max(0L, ds->numberOfSectionsInCollectionView(*this)) : 0;
  for (long s = 0; s < sections; ++s) {
    UIEdgeInsets inset = L.sectionInset;
    if (del) {
      if (auto i = del->insetForSectionAtIndex(*this, L, s)) inset = *i;
    }
    double lineSpacing = del ? del->minimumLineSpacingForSectionAtIndex(*this, L, s) : -1;
    if (lineSpacing < 0) lineSpacing = L.minimumLineSpacing;
    double itemSpacing = del ? del->minimumInteritemSpacingForSectionAtIndex(*this, L, s) : -1;
    if (itemSpacing < 0) itemSpacing = L.minimumInteritemSpacing;
    y += L.headerReferenceSize.height + inset.top;
    long count = std::max(0L, ds->numberOfItemsInSection(*this, s));
    std::vector<CGSize> sizes;
    for (long i = 0; i < count; ++i) {
      CGSize sz = del ? del->sizeForItemAtIndexPath(*this, L, NSIndexPath{s, i}) : CGSize{-1, -1};
      if (sz.width < 0 || sz.height < 0) sz = L.itemSize;
      sizes.push_back(sz);
    }
    std::vector<CGRect> frames(count);
    double avail = width - inset.left - inset.right;
    long i = 0;
    double firstLineGap = itemSpacing;
    bool firstLine = true;
    while (i < count) {
      // Fill one line.
      long start = i;
      double used = sizes[i].width;
      ++i;
      while (i < count && used + itemSpacing + sizes[i].width <= avail + 1e-9) {
        used += itemSpacing + sizes[i].width;
        ++i;
      }
      long n = i - start;
      bool lastLine = i >= count;
      double gap = itemSpacing;
      if (n > 1 && !lastLine) {
        double widths = used - itemSpacing * (n - 1);
        gap = (avail - widths) / (n - 1);
      } else if (n > 1 && lastLine && !firstLine) {
        gap = firstLineGap;
      }
      if (firstLine) firstLineGap = gap;
      firstLine = false;
      double lineHeight = 0;
      for (long k = start; k < i; ++k) lineHeight = std::max(lineHeight, sizes[k].height);
      double x = inset.left;
      for (long k = start; k < i; ++k) {
        frames[k] =
            CGRectMake(x, y + (lineHeight - sizes[k].height) / 2, sizes[k].width, sizes[k].height);
        x += sizes[k].width + gap;
      }
      y += lineHeight;
      if (i < count) y += lineSpacing;
    }
    y += inset.bottom + L.footerReferenceSize.height;
    frames_.push_back(std::move(frames));
  }
  setContentSize(CGSize{width, y});
  for (long s = 0; s < static_cast<long>(frames_.size()); ++s) {
    for (long i = 0; i < static_cast<long>(frames_[s].size()); ++i) {
      NSIndexPath ip{s, i};
      auto cell = ds->cellForItemAtIndexPath(*this, ip);
      if (!cell) continue;
      cell->setFrame(frames_[s][i]);
      addSubview(cell);
      cells_[ip] = cell;
    }
  }
}

long UICollectionView::numberOfItemsInSection(long section) const {
  if (section < 0 || section >= static_cast<long>(frames_.size())) return 0;
  return static_cast<long>(frames_[section].size());
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellForItemAtIndexPath(
    const NSIndexPath& ip) const {
  auto it = cells_.find(ip);
  return it == cells_.end() ? nullptr : it->second;
}

std::optional<NSIndexPath> UICollectionView::indexPathForCell(
    const UICollectionViewCell& cell) const {
  for (const auto& [ip, c] : cells_) {
    if (c.get() == &cell) return ip;
  }
  return std::nullopt;
}

CGRect UICollectionView::frameForItemAtIndexPath(const NSIndexPath& ip) const {
  if (ip.section < 0 || ip.section >= static_cast<long>(frames_.size())) return CGRectZero;
  const auto& f = frames_[ip.section];
  if (ip.row < 0 || ip.row >= static_cast<long>(f.size())) return CGRectZero;
  return f[ip.row];
}

std::vector<std::shared_ptr<UICollectionViewCell>> UICollectionView::visibleCells() const {
  std::vector<std::shared_ptr<UICollectionViewCell>> out;
  for (const auto& [ip, c] : cells_) {
    if (CGRectIntersectsRect(c->frame(), bounds())) out.push_back(c);
  }
  return out;
}

std::vector<NSIndexPath> UICollectionView::indexPathsForSelectedItems() const { return selected_; }

void UICollectionView::selectItemAtIndexPath(const NSIndexPath& ip, bool,
                                             UICollectionViewScrollPosition) {
  for (auto& old : selected_) {
    if (auto c = cellForItemAtIndexPath(old)) c->setSelected(false);
  }
  selected_ = {ip};
  if (auto c = cellForItemAtIndexPath(ip)) c->setSelected(true);
}

void UICollectionView::deselectItemAtIndexPath(const NSIndexPath& ip, bool) {
  selected_.erase(std::remove(selected_.begin(), selected_.end(), ip), selected_.end());
  if (auto c = cellForItemAtIndexPath(ip)) c->setSelected(false);
}

void UICollectionView::userSelectItem(const NSIndexPath& ip) {
  auto keep = sharedSelf<UICollectionView>();
  if (!allowsSelection_) return;
  if (auto d = delegate()) {
    if (!d->shouldSelectItemAtIndexPath(*this, ip)) return;
  }
  auto previous = selected_;
  for (auto& old : previous) {
    if (old == ip) continue;
    deselectItemAtIndexPath(old, false);
    if (auto d = delegate()) d->didDeselectItemAtIndexPath(*this, old);
  }
  selectItemAtIndexPath(ip, false, UICollectionViewScrollPositionNone);
  if (auto d = delegate()) d->didSelectItemAtIndexPath(*this, ip);
}
