#include "platform/uikit/UIView.h"

#include <algorithm>
#include <mutex>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

namespace {
std::mutex& animationMutex() {
  static std::mutex m;
  return m;
}
std::vector<UIViewAnimationRecord>& animationLog() {
  static std::vector<UIViewAnimationRecord> log;
  return log;
}
}  // namespace

UIView::UIView() : layer_(std::make_shared<CALayer>(this)) {}

UIView::~UIView() {
  // Children outlive us only if someone else holds them; they must not point back here.
  for (auto& child : subviews_) child->superview_.reset();
  for (auto& g : gestureRecognizers_) g->view_.reset();
}

std::shared_ptr<UIView> UIView::create(CGRect frame) { return make<UIView>(frame); }

void UIView::initWithFrame(CGRect frame) { setFrame(frame); }

namespace {

// Shares a change of the superview's extent among a subview's flexible parts along one axis:
// the leading margin, the size and the trailing margin.
void resizeAxis(double delta, bool leading, bool size, bool trailing, double& origin,
                double& extent) {
  const int parts = int(leading) + int(size) + int(trailing);
  if (parts == 0 || delta == 0) return;
  const double share = delta / parts;
  if (leading) origin += share;
  if (size) extent = std::max(0.0, extent + share);
}

}  // namespace

void UIView::setFrame(CGRect frame) {
  const CGSize old = frame_.size;
  bool resized = frame.size != old;
  frame_ = frame;
  if (!resized) return;
  if (autoresizesSubviews_) {
    const double dw = frame.size.width - old.width;
    const double dh = frame.size.height - old.height;
    for (const auto& sub : subviews()) {
      const unsigned m = sub->autoresizingMask();
      if (m == UIViewAutoresizingNone) continue;
      CGRect f = sub->frame();
      resizeAxis(dw, m & UIViewAutoresizingFlexibleLeftMargin, m & UIViewAutoresizingFlexibleWidth,
                 m & UIViewAutoresizingFlexibleRightMargin, f.origin.x, f.size.width);
      resizeAxis(dh, m & UIViewAutoresizingFlexibleTopMargin, m & UIViewAutoresizingFlexibleHeight,
                 m & UIViewAutoresizingFlexibleBottomMargin, f.origin.y, f.size.height);
      sub->setFrame(f);
    }
  }
  setNeedsLayout();
}

void UIView::setBounds(CGRect bounds) {
  CGPoint c = center();
  boundsOrigin_ = bounds.origin;
  if (bounds.size != frame_.size) {
    CGRect f{{c.x - bounds.size.width / 2, c.y - bounds.size.height / 2}, bounds.size};
    setFrame(f);
  }
}

CGPoint UIView::center() const { return CGPoint{CGRectGetMidX(frame_), CGRectGetMidY(frame_)}; }

void UIView::setCenter(CGPoint c) {
  CGRect f = frame_;
  f.origin = CGPoint{c.x - f.size.width / 2, c.y - f.size.height / 2};
  setFrame(f);
}

void UIView::attachSubview(const std::shared_ptr<UIView>& view, size_t index) {
  if (!view || view.get() == this) return;
  auto self = sharedSelf<UIView>();
  if (!self) return;
  // Refuse cycles: a view cannot become a subview of its own descendant.
  for (auto v = self; v; v = v->superview()) {
    if (v == view) return;
  }
  auto keep = view;  // removeFromSuperview may drop the last other reference
  if (view->superview().get() == this) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    size_t old = static_cast<size_t>(it - subviews_.begin());
    subviews_.erase(it);
    if (index > old) --index;
    subviews_.insert(subviews_.begin() + std::min(index, subviews_.size()), view);
    return;
  }
  view->willMoveToSuperview(self);
  if (view->superview()) view->removeFromSuperview();
  subviews_.insert(subviews_.begin() + std::min(index, subviews_.size()), view);
  view->superview_ = self;
  view->didMoveToSuperview();
  didAddSubview(view);
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
  attachSubview(view, subviews_.size());
}

void UIView::insertSubview(const std::shared_ptr<UIView>& view, long index) {
  attachSubview(view, index < 0 ? 0 : static_cast<size_t>(index));
}

void UIView::insertSubviewBelowSubview(const std::shared_ptr<UIView>& view,
                                       const std::shared_ptr<UIView>& sibling) {
  auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
  if (it == subviews_.end()) return addSubview(view);
  attachSubview(view, static_cast<size_t>(it - subviews_.begin()));
}

void UIView::insertSubviewAboveSubview(const std::shared_ptr<UIView>& view,
                                       const std::shared_ptr<UIView>& sibling) {
  auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
  if (it == subviews_.end()) return addSubview(view);
  attachSubview(view, static_cast<size_t>(it - subviews_.begin()) + 1);
}

void UIView::removeFromSuperview() {
  auto parent = superview();
  if (!parent) return;
  auto self = sharedSelf<UIView>();
  // A first responder inside the removed tree stops editing, as on the device.
  if (auto fr = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder())) {
    if (fr.get() == this || (self && fr->isDescendantOfView(self))) fr->resignFirstResponder();
  }
  willMoveToSuperview(nullptr);
  parent->willRemoveSubview(self);
  auto& siblings = parent->subviews_;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [this](const std::shared_ptr<UIView>& v) { return v.get() == this; });
  superview_.reset();
  if (it != siblings.end()) siblings.erase(it);  // may destroy *this unless `self` holds it
  if (self) self->didMoveToSuperview();
}

void UIView::bringSubviewToFront(const std::shared_ptr<UIView>& view) {
  auto it = std::find(subviews_.begin(), subviews_.end(), view);
  if (it == subviews_.end()) return;
  subviews_.erase(it);
  subviews_.push_back(view);
}

void UIView::sendSubviewToBack(const std::shared_ptr<UIView>& view) {
  auto it = std::find(subviews_.begin(), subviews_.end(), view);
  if (it == subviews_.end()) return;
  subviews_.erase(it);
  subviews_.insert(subviews_.begin(), view);
}

bool UIView::isDescendantOfView(const std::shared_ptr<UIView>& view) const {
  if (!view) return false;
  for (const UIView* v = this; v; v = v->superview_.lock().get()) {
    if (v == view.get()) return true;
  }
  return false;
}

std::shared_ptr<UIWindow> UIView::window() const {
  for (auto v = superview(); v; v = v->superview()) {
    if (auto w = std::dynamic_pointer_cast<UIWindow>(v)) return w;
  }
  return nullptr;
}

std::shared_ptr<UIView> UIView::viewWithTag(long tag) {
  if (tag_ == tag) return sharedSelf<UIView>();
  for (auto& child : subviews_) {
    if (auto found = child->viewWithTag(tag)) return found;
  }
  return nullptr;
}

std::shared_ptr<UIColor> UIView::tintColor() const {
  for (const UIView* v = this; v; v = v->superview_.lock().get()) {
    if (v->tintColor_) return v->tintColor_;
  }
  return UIColor::rgb(0, 122, 255);
}

bool UIView::pointInside(CGPoint point, const UIEvent*) const {
  return CGRectContainsPoint(bounds(), point);
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point, const UIEvent* event) {
  if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
  if (!pointInside(point, event)) return nullptr;
  auto children = subviews_;  // a hit test may not change the tree, but be safe
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const auto& child = *it;
    CGPoint p{point.x - child->frame_.origin.x + child->boundsOrigin_.x,
              point.y - child->frame_.origin.y + child->boundsOrigin_.y};
    if (auto hit = child->hitTest(p, event)) return hit;
  }
  return sharedSelf<UIView>();
}

// From this view's bounds coordinates to the coordinates of the topmost ancestor's
// superview space (the root's frame space), walking up each time.
CGPoint UIView::pointToRoot(CGPoint p, const UIView** root) const {
  const UIView* v = this;
  while (true) {
    p.x += v->frame_.origin.x - v->boundsOrigin_.x;
    p.y += v->frame_.origin.y - v->boundsOrigin_.y;
    auto parent = v->superview_.lock();
    if (!parent) break;
    v = parent.get();
  }
  if (root) *root = v;
  return p;
}

CGPoint UIView::pointFromRoot(CGPoint p, const UIView** root) const {
  std::vector<const UIView*> chain;
  for (const UIView* v = this; v; v = v->superview_.lock().get()) chain.push_back(v);
  if (root) *root = chain.back();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    p.x -= (*it)->frame_.origin.x - (*it)->boundsOrigin_.x;
    p.y -= (*it)->frame_.origin.y - (*it)->boundsOrigin_.y;
  }
  return p;
}

// "Window coordinates" are the root view's bounds coordinates (the window is the root of
// its tree). Views of different trees are taken to share their roots' frame space, which is
// how windows relate to each other on the screen.
CGPoint UIView::convertPoint(CGPoint p, const std::shared_ptr<UIView>& toView) const {
  const UIView* root = nullptr;
  CGPoint inRootFrame = pointToRoot(p, &root);
  if (!toView) {
    return CGPoint{inRootFrame.x - root->frame_.origin.x + root->boundsOrigin_.x,
                   inRootFrame.y - root->frame_.origin.y + root->boundsOrigin_.y};
  }
  return toView->pointFromRoot(inRootFrame, nullptr);
}

CGPoint UIView::convertPointFromView(CGPoint p, const std::shared_ptr<UIView>& fromView) const {
  if (!fromView) {
    const UIView* root = nullptr;
    pointToRoot(CGPointZero, &root);
    CGPoint rootFrame{p.x + root->frame_.origin.x - root->boundsOrigin_.x,
                      p.y + root->frame_.origin.y - root->boundsOrigin_.y};
    return pointFromRoot(rootFrame, nullptr);
  }
  const UIView* root = nullptr;
  CGPoint inRoot = fromView->pointToRoot(p, &root);
  return pointFromRoot(inRoot, nullptr);
}

CGRect UIView::convertRect(CGRect r, const std::shared_ptr<UIView>& toView) const {
  CGPoint o = convertPoint(r.origin, toView);
  return CGRect{o, r.size};
}

CGRect UIView::convertRectFromView(CGRect r, const std::shared_ptr<UIView>& fromView) const {
  CGPoint o = convertPointFromView(r.origin, fromView);
  return CGRect{o, r.size};
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& g) {
  if (!g) return;
  if (auto old = g->view()) {
    if (old.get() != this) old->removeGestureRecognizer(g);
  }
  if (std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), g) !=
      gestureRecognizers_.end())
    return;
  gestureRecognizers_.push_back(g);
  g->view_ = sharedSelf<UIView>();
}

void UIView::removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& g) {
  auto it = std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), g);
  if (it == gestureRecognizers_.end()) return;
  (*it)->view_.reset();
  gestureRecognizers_.erase(it);
}

CGSize UIView::sizeThatFits(CGSize) const { return frame_.size; }

void UIView::sizeToFit() {
  CGSize s = sizeThatFits(frame_.size);
  setFrame(CGRect{frame_.origin, s});
}

void UIView::setNeedsLayout() { needsLayout_ = true; }

void UIView::addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
  if (!constraint) return;
  if (std::find(constraints_.begin(), constraints_.end(), constraint) == constraints_.end())
    constraints_.push_back(constraint);
  setNeedsLayout();
}

void UIView::removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
  std::erase(constraints_, constraint);
}

void UIView::layoutIfNeeded() {
  auto keep = sharedSelf<UIView>();
  if (needsLayout_) {
    needsLayout_ = false;
    for (const auto& constraint : constraints()) constraint->applyInView(*this);
    layoutSubviews();
  }
  for (auto& child : subviews()) child->layoutIfNeeded();
}

bool UIView::endEditing(bool force) {
  auto fr = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
  auto self = sharedSelf<UIView>();
  if (!fr || !self || !fr->isDescendantOfView(self)) return true;
  if (fr->resignFirstResponder()) return true;
  if (force) {
    UIResponder::setCurrentFirstResponder(nullptr);
    return true;
  }
  return false;
}

std::shared_ptr<UIResponder> UIView::nextResponder() const {
  if (auto vc = viewDelegate_.lock()) {
    if (vc->isViewLoaded() && vc->view().get() == this) return vc;
  }
  return superview();
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
  animateWithDuration(duration, 0, 0, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, UIViewAnimationOptions options,
                                 const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
  {
    std::lock_guard<std::mutex> lock(animationMutex());
    animationLog().push_back(UIViewAnimationRecord{duration, delay, options});
  }
  if (animations) animations();
  if (completion) {
    double after = std::max(0.0, duration) + std::max(0.0, delay);
    RunLoop::main().postAfter(after, [completion = std::move(completion)] { completion(true); });
  }
}

std::vector<UIViewAnimationRecord> UIView::recordedAnimations() {
  std::lock_guard<std::mutex> lock(animationMutex());
  return animationLog();
}

void UIView::clearRecordedAnimations() {
  std::lock_guard<std::mutex> lock(animationMutex());
  animationLog().clear();
}

void UIView::initWithCoder(const NSCoder& coder) {
  NSObject::initWithCoder(coder);
  setFrame(CGRectFromString(coder.decodeStringForKey("UIFrame")));
  setTag(coder.decodeIntegerForKey("UITag"));
  setHidden(coder.decodeBoolForKey("UIHidden"));
  setAlpha(coder.containsValueForKey("UIAlpha") ? coder.decodeDoubleForKey("UIAlpha") : 1.0);
  for (const auto& object : coder.decodeArrayOfObjectsForKey("UISubviews"))
    if (auto view = std::dynamic_pointer_cast<UIView>(object)) addSubview(view);
}
