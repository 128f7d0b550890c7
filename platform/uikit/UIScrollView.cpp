#include "platform/uikit/UIScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/RunLoop.h"

UIScrollView::UIScrollView() { setClipsToBounds(true); }

std::shared_ptr<UIScrollView> UIScrollView::create(CGRect frame) {
  return make<UIScrollView>(frame);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
  auto keep = sharedSelf<UIScrollView>();
  lastOffsetAnimated_ = animated;
  bool moved = offset != contentOffset();
  setBoundsOrigin(offset);
  if (moved) {
    didScroll();
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
  }
  if (animated && moved) {
    std::weak_ptr<UIScrollView> weak = keep;
    RunLoop::main().post([weak] {
      auto self = weak.lock();
      if (!self) return;
      if (auto d = self->delegate()) d->scrollViewDidEndScrollingAnimation(*self);
    });
  }
}

void UIScrollView::scrollRectToVisible(CGRect rect, bool animated) {
  CGPoint o = contentOffset();
  CGSize s = bounds().size;
  if (rect.origin.x < o.x)
    o.x = rect.origin.x;
  else if (CGRectGetMaxX(rect) > o.x + s.width)
    o.x = CGRectGetMaxX(rect) - s.width;
  if (rect.origin.y < o.y)
    o.y = rect.origin.y;
  else if (CGRectGetMaxY(rect) > o.y + s.height)
    o.y = CGRectGetMaxY(rect) - s.height;
  setContentOffset(o, animated);
}

void UIScrollView::simulateDrag(CGPoint releaseOffset, CGPoint velocity) {
  auto self = sharedSelf<UIScrollView>();
  if (!self) return;
  CGSize size = bounds().size;
  UIEdgeInsets in = contentInset_;
  auto clampAxis = [](double v, double lo, double hi) {
    return std::max(lo, std::min(v, std::max(lo, hi)));
  };
  double minX = -in.left, maxX = contentSize_.width + in.right - size.width;
  double minY = -in.top, maxY = contentSize_.height + in.bottom - size.height;

  dragging_ = true;
  if (auto d = delegate()) d->scrollViewWillBeginDragging(*self);
  setContentOffset(releaseOffset, false);

  CGPoint target{clampAxis(releaseOffset.x, minX, maxX), clampAxis(releaseOffset.y, minY, maxY)};
  if (paging_) {
    auto page = [](double offset, double pageSize, double v) {
      if (pageSize <= 0) return offset;
      double p = std::round(offset / pageSize);
      if (v > 0 && p * pageSize < offset) p += 1;
      if (v < 0 && p * pageSize > offset) p -= 1;
      return p * pageSize;
    };
    target.x = clampAxis(page(releaseOffset.x, size.width, velocity.x), minX, maxX);
    target.y = clampAxis(page(releaseOffset.y, size.height, velocity.y), minY, maxY);
  }
  if (auto d = delegate()) d->scrollViewWillEndDragging(*self, velocity, target);
  dragging_ = false;
  bool decelerate = target != contentOffset();
  if (auto d = delegate()) d->scrollViewDidEndDragging(*self, decelerate);
  if (!decelerate) return;
  decelerating_ = true;
  if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*self);
  setContentOffset(target, false);
  std::weak_ptr<UIScrollView> weak = self;
  RunLoop::main().post([weak] {
    auto s = weak.lock();
    if (!s) return;
    s->decelerating_ = false;
    if (auto d = s->delegate()) d->scrollViewDidEndDecelerating(*s);
  });
}
