#pragma once
// Scroll views: the bounds origin is the content offset. Delegate calls run on the main
// thread; the delegate is held weakly. Scrolling happens only through setContentOffset or a
// simulated drag (simulateDrag), which calls the delegate as a finger would.

#include <memory>

#include "platform/uikit/UIView.h"

class UIScrollView;

class UIScrollViewDelegate {
 public:
  virtual ~UIScrollViewDelegate() = default;
  virtual void scrollViewDidScroll(UIScrollView&) {}
  virtual void scrollViewWillBeginDragging(UIScrollView&) {}
  // targetContentOffset may be changed by the delegate.
  virtual void scrollViewWillEndDragging(UIScrollView&, CGPoint /*velocity*/,
                                         CGPoint& /*targetContentOffset*/) {}
  virtual void scrollViewDidEndDragging(UIScrollView&, bool /*decelerate*/) {}
  virtual void scrollViewWillBeginDecelerating(UIScrollView&) {}
  virtual void scrollViewDidEndDecelerating(UIScrollView&) {}
  virtual void scrollViewDidEndScrollingAnimation(UIScrollView&) {}
};

enum UIScrollViewIndicatorStyle : long {
  UIScrollViewIndicatorStyleDefault = 0,
  UIScrollViewIndicatorStyleBlack = 1,
  UIScrollViewIndicatorStyleWhite = 2,
};

class UIScrollView : public UIView {
  TOVIRA_CLASS(UIScrollView)
 public:
  UIScrollView();
  static std::shared_ptr<UIScrollView> create(CGRect frame = CGRectZero);

  CGSize contentSize() const { return contentSize_; }
  void setContentSize(CGSize s) { contentSize_ = s; }
  CGPoint contentOffset() const { return bounds().origin; }
  // Moves the bounds origin and tells scrollViewDidScroll. Animated: the offset is set at once
  // and scrollViewDidEndScrollingAnimation follows on the run loop. No clamping.
  void setContentOffset(CGPoint offset, bool animated = false);
  bool lastContentOffsetAnimated() const { return lastOffsetAnimated_; }
  UIEdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(UIEdgeInsets i) { contentInset_ = i; }
  UIEdgeInsets scrollIndicatorInsets() const { return indicatorInsets_; }
  void setScrollIndicatorInsets(UIEdgeInsets i) { indicatorInsets_ = i; }
  bool isPagingEnabled() const { return paging_; }
  void setPagingEnabled(bool p) { paging_ = p; }
  bool isScrollEnabled() const { return scrollEnabled_; }
  void setScrollEnabled(bool s) { scrollEnabled_ = s; }
  bool bounces() const { return bounces_; }
  void setBounces(bool b) { bounces_ = b; }
  bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
  void setAlwaysBounceVertical(bool b) { alwaysBounceVertical_ = b; }
  bool showsHorizontalScrollIndicator() const { return showsH_; }
  void setShowsHorizontalScrollIndicator(bool s) { showsH_ = s; }
  bool showsVerticalScrollIndicator() const { return showsV_; }
  void setShowsVerticalScrollIndicator(bool s) { showsV_ = s; }
  UIScrollViewIndicatorStyle indicatorStyle() const { return indicatorStyle_; }
  void setIndicatorStyle(UIScrollViewIndicatorStyle s) { indicatorStyle_ = s; }
  bool scrollsToTop() const { return scrollsToTop_; }
  void setScrollsToTop(bool s) { scrollsToTop_ = s; }
  bool isDragging() const { return dragging_; }
  bool isDecelerating() const { return decelerating_; }
  // Makes the rectangle (content coordinates) visible with the least scrolling.
  void scrollRectToVisible(CGRect rect, bool animated);

  std::shared_ptr<UIScrollViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIScrollViewDelegate> d) { delegate_ = std::move(d); }

  // A finger drags the content to `releaseOffset` and lifts with `velocity` (points per
  // millisecond, as the platform reports it). Calls, in order: scrollViewWillBeginDragging,
  // scrollViewDidScroll (at the release offset), scrollViewWillEndDragging with the target
  // offset (the release offset clamped to the content; with paging, the nearest page, moved
  // one page on in the velocity's direction), scrollViewDidEndDragging (decelerate when the
  // target differs from the release offset); then, when decelerating, the offset moves to the
  // (possibly delegate-changed) target and scrollViewDidEndDecelerating follows on the run
  // loop.
  void simulateDrag(CGPoint releaseOffset, CGPoint velocity = CGPointZero);

 protected:
  virtual void didScroll() {}

 private:
  CGSize contentSize_{};
  UIEdgeInsets contentInset_{};
  UIEdgeInsets indicatorInsets_{};
  std::weak_ptr<UIScrollViewDelegate> delegate_;
  UIScrollViewIndicatorStyle indicatorStyle_ = UIScrollViewIndicatorStyleDefault;
  bool paging_ = false;
  bool scrollEnabled_ = true;
  bool bounces_ = true;
  bool alwaysBounceVertical_ = false;
  bool showsH_ = true;
  bool showsV_ = true;
  bool scrollsToTop_ = true;
  bool dragging_ = false;
  bool decelerating_ = false;
  bool lastOffsetAnimated_ = false;
};
