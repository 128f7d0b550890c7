#pragma once
// Views: a rectangle in its superview's coordinates with ordered subviews.
//
// Ownership: a view owns its subviews (strong); each subview points back to its superview
// weakly. Gesture recognizers are owned by their view. Everything runs on the main thread.
//
// Making views: views are built in two phases, because a view cannot hand out pointers to
// itself from its constructor. `UIView::make<T>(frame)` constructs T and then calls its
// `initWithFrame`, which subclasses override (calling the base first) to build their subviews.
// Every class also has a `create(...)` factory for its common initialiser.
//
// Geometry: the frame is in the superview's coordinates; the bounds' origin is the scroll
// position (a scroll view's content offset). Conversions walk the superview chain each time;
// nothing is cached. The transform is stored but does not change geometry or hit-testing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/UIResponder.h"

class CALayer;
class NSLayoutConstraint;
class UIColor;
class UIEvent;
class UIGestureRecognizer;
class UIViewController;
class UIWindow;

enum UIViewContentMode : long {
  UIViewContentModeScaleToFill = 0,
  UIViewContentModeScaleAspectFit = 1,
  UIViewContentModeScaleAspectFill = 2,
  UIViewContentModeCenter = 4,
};

using UIViewAnimationOptions = unsigned long;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveLinear = 3 << 16;

// One call of animateWithDuration, as recorded for tests.
struct UIViewAnimationRecord {
  double duration = 0;
  double delay = 0;
  UIViewAnimationOptions options = 0;
};

// Which of a view's margins and sizes follow its superview when the superview is resized.
enum UIViewAutoresizing : unsigned {
  UIViewAutoresizingNone = 0,
  UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
  UIViewAutoresizingFlexibleWidth = 1 << 1,
  UIViewAutoresizingFlexibleRightMargin = 1 << 2,
  UIViewAutoresizingFlexibleTopMargin = 1 << 3,
  UIViewAutoresizingFlexibleHeight = 1 << 4,
  UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

class UIView : public UIResponder {
  TOVIRA_CLASS(UIView)
 public:
  UIView();
  ~UIView() override;

  static std::shared_ptr<UIView> create(CGRect frame = CGRectZero);
  template <class T = UIView>
  static std::shared_ptr<T> make(CGRect frame = CGRectZero) {
    auto v = std::make_shared<T>();
    v->initWithFrame(frame);
    return v;
  }
  // Second phase of construction: sets the frame. Subclasses build their content here.
  virtual void initWithFrame(CGRect frame);
  // The other second phase, for a view made from an archived interface: the frame ("UIFrame",
  // rectangle text), "UITag", "UIHidden", "UIAlpha" (1 when absent) and the subviews
  // ("UISubviews", in order). Subclasses read their own fields after calling the base.
  void initWithCoder(const NSCoder& coder) override;

  // Geometry.
  CGRect frame() const { return frame_; }
  virtual void setFrame(CGRect frame);
  CGRect bounds() const { return CGRect{boundsOrigin_, frame_.size}; }
  // Keeps the centre in place when the size changes, as the platform does.
  virtual void setBounds(CGRect bounds);
  CGPoint center() const;
  void setCenter(CGPoint c);
  CGAffineTransform transform() const { return transform_; }
  void setTransform(CGAffineTransform t) { transform_ = t; }

  // Hierarchy. Adding a view that has another superview moves it.
  void addSubview(const std::shared_ptr<UIView>& view);
  void insertSubview(const std::shared_ptr<UIView>& view, long index);  // insertSubview:atIndex:
  void insertSubviewBelowSubview(const std::shared_ptr<UIView>& view,
                                 const std::shared_ptr<UIView>& sibling);
  void insertSubviewAboveSubview(const std::shared_ptr<UIView>& view,
                                 const std::shared_ptr<UIView>& sibling);
  void removeFromSuperview();
  void bringSubviewToFront(const std::shared_ptr<UIView>& view);
  void sendSubviewToBack(const std::shared_ptr<UIView>& view);
  // A copy, back to front: safe to iterate while removing views.
  std::vector<std::shared_ptr<UIView>> subviews() const { return subviews_; }
  std::shared_ptr<UIView> superview() const { return superview_.lock(); }
  bool isDescendantOfView(const std::shared_ptr<UIView>& view) const;
  virtual std::shared_ptr<UIWindow> window() const;

  long tag() const { return tag_; }
  void setTag(long t) { tag_ = t; }
  // The receiver itself first, then its subviews depth-first in order.
  std::shared_ptr<UIView> viewWithTag(long tag);

  bool isHidden() const { return hidden_; }
  bool hidden() const { return hidden_; }
  virtual void setHidden(bool h) { hidden_ = h; }
  double alpha() const { return alpha_; }
  void setAlpha(double a) { alpha_ = a; }
  std::shared_ptr<UIColor> backgroundColor() const { return backgroundColor_; }
  virtual void setBackgroundColor(std::shared_ptr<UIColor> c) { backgroundColor_ = std::move(c); }
  std::shared_ptr<UIColor> tintColor() const;  // inherited from the superview; default blue
  void setTintColor(std::shared_ptr<UIColor> c) { tintColor_ = std::move(c); }
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool e) { userInteractionEnabled_ = e; }
  // When this view's size changes, each subview's flexible parts share the change equally.
  unsigned autoresizingMask() const { return autoresizingMask_; }
  void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
  bool autoresizesSubviews() const { return autoresizesSubviews_; }
  void setAutoresizesSubviews(bool on) { autoresizesSubviews_ = on; }
  bool clipsToBounds() const { return clipsToBounds_; }
  void setClipsToBounds(bool c) { clipsToBounds_ = c; }
  bool isOpaque() const { return opaque_; }
  void setOpaque(bool o) { opaque_ = o; }
  UIViewContentMode contentMode() const { return contentMode_; }
  void setContentMode(UIViewContentMode m) { contentMode_ = m; }
  CALayer& layer() const { return *layer_; }

  // Hit-testing in this view's bounds coordinates. hitTest answers nullptr when the view is
  // hidden, has alpha below 0.01, does not take touches, or pointInside says no; otherwise the
  // deepest front-most subview that takes the point, or the view itself.
  virtual bool pointInside(CGPoint point, const UIEvent* event = nullptr) const;
  virtual std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr);

  // Conversions between this view's bounds coordinates and another's; a null view means the
  // window (the root of this view's hierarchy). Works through any common ancestor.
  CGPoint convertPoint(CGPoint p, const std::shared_ptr<UIView>& toView) const;
  CGPoint convertPointFromView(CGPoint p, const std::shared_ptr<UIView>& fromView) const;
  CGRect convertRect(CGRect r, const std::shared_ptr<UIView>& toView) const;
  CGRect convertRectFromView(CGRect r, const std::shared_ptr<UIView>& fromView) const;

  // Gestures, owned by the view.
  void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& g);
  void removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& g);
  std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers() const {
    return gestureRecognizers_;
  }

  // Layout. sizeToFit resizes the view to sizeThatFits(its size), keeping its origin.
  virtual CGSize sizeThatFits(CGSize size) const;
  void sizeToFit();
  virtual void layoutSubviews() {}
  void setNeedsLayout();
  void layoutIfNeeded();  // runs layoutSubviews here and below where needed
  void setNeedsDisplay() {}
  // Constraints held by this view (strongly); those tied to a layout guide are applied each
  // time the view lays out, before layoutSubviews.
  void addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
  void removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
  std::vector<std::shared_ptr<NSLayoutConstraint>> constraints() const { return constraints_; }

  // Resigns the first responder when it is this view or inside it.
  bool endEditing(bool force);

  // Hooks around hierarchy changes.
  virtual void willMoveToSuperview(const std::shared_ptr<UIView>& /*newSuperview*/) {}
  virtual void didMoveToSuperview() {}
  virtual void didAddSubview(const std::shared_ptr<UIView>& /*subview*/) {}
  virtual void willRemoveSubview(const std::shared_ptr<UIView>& /*subview*/) {}

  std::shared_ptr<UIResponder> nextResponder() const override;
  // The controller whose root view this is (set by UIViewController).
  std::shared_ptr<UIViewController> viewDelegate() const { return viewDelegate_.lock(); }
  void setViewDelegate(const std::shared_ptr<UIViewController>& vc) { viewDelegate_ = vc; }

  // Animations: the block runs at once (final values are set immediately); the call is
  // recorded; the completion runs on the main run loop once the clock has moved by
  // delay + duration, with finished YES.
  static void animateWithDuration(double duration, const std::function<void()>& animations,
                                  std::function<void(bool)> completion = {});
  static void animateWithDuration(double duration, double delay, UIViewAnimationOptions options,
                                  const std::function<void()>& animations,
                                  std::function<void(bool)> completion = {});
  static std::vector<UIViewAnimationRecord> recordedAnimations();
  static void clearRecordedAnimations();

 protected:
  // Lets subclasses move the bounds origin (scroll views) without touching the frame.
  void setBoundsOrigin(CGPoint origin) { boundsOrigin_ = origin; }

 private:
  void attachSubview(const std::shared_ptr<UIView>& view, size_t index);
  CGPoint pointToRoot(CGPoint p, const UIView** root) const;
  CGPoint pointFromRoot(CGPoint p, const UIView** root) const;

  CGRect frame_{};
  CGPoint boundsOrigin_{};
  CGAffineTransform transform_{};
  std::vector<std::shared_ptr<UIView>> subviews_;
  std::weak_ptr<UIView> superview_;
  std::weak_ptr<UIViewController> viewDelegate_;
  std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers_;
  std::vector<std::shared_ptr<NSLayoutConstraint>> constraints_;
  std::shared_ptr<CALayer> layer_;
  std::shared_ptr<UIColor> backgroundColor_;
  std::shared_ptr<UIColor> tintColor_;
  long tag_ = 0;
  double alpha_ = 1;
  bool hidden_ = false;
  bool userInteractionEnabled_ = true;
  bool clipsToBounds_ = false;
  unsigned autoresizingMask_ = UIViewAutoresizingNone;
  bool autoresizesSubviews_ = true;
  bool opaque_ = true;
  bool needsLayout_ = true;
  UIViewContentMode contentMode_ = UIViewContentModeScaleToFill;
  friend class CALayer;
};
