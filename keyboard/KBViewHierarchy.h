#pragma once
// Hierarchy helpers that the keyboard manager and the return-key handler add to the platform's
// views, windows, controllers and arrays: finding the fields of a form, ordering them, finding
// the controller to move, and recognising views that must be left alone.
//
// They are free functions taking the object first; per-view values are associated objects of
// the view, keyed by the getter's name. Main thread only, like the views themselves.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/UIView.h"

class NSLayoutConstraint;
class UIViewController;
class UIWindow;

// --- Per-view and per-controller values --------------------------------------------------------

// The largest double: what keyboardDistanceFromTextField reads on a view without an override.
inline constexpr double kKBNoDistance = 1.7976931348623157e308;

// A per-view override of the manager's distance above the keyboard, kept in single precision.
// A negative value, or one that is not a number, is stored as 0.
void setKeyboardDistanceFromTextField(const std::shared_ptr<UIView>& view, double distance);
double keyboardDistanceFromTextField(const std::shared_ptr<UIView>& view);

// A constraint tied to the controller's top or bottom layout guide, which the manager changes
// instead of moving the controller's view. Held strongly by the controller.
void setKBLayoutGuideConstraint(const std::shared_ptr<UIViewController>& controller,
                                const std::shared_ptr<NSLayoutConstraint>& constraint);
std::shared_ptr<NSLayoutConstraint> KBLayoutGuideConstraint(
    const std::shared_ptr<UIViewController>& controller);

// --- Ordering ----------------------------------------------------------------------------------

// The tag of a view or bar item; false for anything else.
bool KBTagOf(const NSObject* object, long& tag);

// Ascending tag, as a new array. Two elements compare equal unless both have a tag; equal
// elements keep their order.
template <class T>
std::vector<std::shared_ptr<T>> sortedArrayByTag(std::vector<std::shared_ptr<T>> items) {
  std::vector<long> tags(items.size());
  bool allTagged = true;
  for (size_t i = 0; i < items.size(); ++i) allTagged &= KBTagOf(items[i].get(), tags[i]);
  if (allTagged) {
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return tags[a] < tags[b]; });
    std::vector<std::shared_ptr<T>> sorted;
    sorted.reserve(items.size());
    for (size_t i : order) sorted.push_back(items[i]);
    return sorted;
  }
  // Untagged elements make the comparison no ordering at all; a stable insertion sort still
  // gives a well-defined answer and never moves an element past one it compares equal to.
  for (size_t i = 1; i < items.size(); ++i) {
    for (size_t j = i; j > 0; --j) {
      long a = 0, b = 0;
      bool both = KBTagOf(items[j - 1].get(), a) && KBTagOf(items[j].get(), b);
      if (!both || !(b < a)) break;
      std::swap(items[j - 1], items[j]);
    }
  }
  return items;
}

// Ascending minY of each view's frame (in its own superview), then ascending minX, as a new
// array; equal positions keep their order.
template <class T>
std::vector<std::shared_ptr<T>> sortedArrayByPosition(std::vector<std::shared_ptr<T>> views) {
  std::stable_sort(views.begin(), views.end(), [](const auto& a, const auto& b) {
    CGRect fa = a->frame(), fb = b->frame();
    if (CGRectGetMinY(fa) != CGRectGetMinY(fb)) return CGRectGetMinY(fa) < CGRectGetMinY(fb);
    return CGRectGetMinX(fa) < CGRectGetMinX(fb);
  });
  return views;
}

// --- Windows -----------------------------------------------------------------------------------

// The window's root controller, then what it presents, to the last presented one.
std::shared_ptr<UIViewController> topMostController(const std::shared_ptr<UIWindow>& window);
// topMostController, then down the navigation stack's top controllers.
std::shared_ptr<UIViewController> currentViewController(const std::shared_ptr<UIWindow>& window);

// --- Views -------------------------------------------------------------------------------------

// YES only while KBcanBecomeFirstResponder is asking the view.
bool isAskingCanBecomeFirstResponder(const std::shared_ptr<UIView>& view);
void setIsAskingCanBecomeFirstResponder(const std::shared_ptr<UIView>& view, bool asking);
// The first controller met along the view's responder chain.
std::shared_ptr<UIViewController> viewController(const std::shared_ptr<UIView>& view);
// The controller to move for the view: the root or presented controller of its window that
// contains it.
std::shared_ptr<UIViewController> topMostController(const std::shared_ptr<UIView>& view);
// The nearest superview (never the view itself) of the class or a subclass, skipping the
// platform's internal scroll views.
std::shared_ptr<UIView> superviewOfClassType(const std::shared_ptr<UIView>& view,
                                             const std::string& className);
// Whether the view can take part in a chain of fields: it can become first responder, takes
// touches, is shown, is no alert's or search bar's field, and is an enabled text field, an
// editable text view or a view of any other class.
bool KBcanBecomeFirstResponder(const std::shared_ptr<UIView>& view);
// The superview's subviews (the view included) that pass KBcanBecomeFirstResponder, in
// subview order.
std::vector<std::shared_ptr<UIView>> responderSiblings(const std::shared_ptr<UIView>& view);
// Every field inside the view, depth first, each level ordered by position.
std::vector<std::shared_ptr<UIView>> deepResponderViews(const std::shared_ptr<UIView>& view);
bool isAlertViewTextField(const std::shared_ptr<UIView>& view);
bool isSearchBarTextField(const std::shared_ptr<UIView>& view);

// Debug descriptions.
long depth(const std::shared_ptr<UIView>& view);
std::string debugHierarchy(const std::shared_ptr<UIView>& view);
std::string subHierarchy(const std::shared_ptr<UIView>& view);
std::string superHierarchy(const std::shared_ptr<UIView>& view);
// The view's accumulated transform relative to the target's (nullptr: the view's window).
CGAffineTransform convertTransformToView(const std::shared_ptr<UIView>& view,
                                         const std::shared_ptr<UIView>& target);
// "<ClassName 0x...>".
std::string KBDescription(const NSObject* object);
