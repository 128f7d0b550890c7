#include "keyboard/KBViewHierarchy.h"

#include <cmath>
#include <cstdio>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UISearchBar.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

namespace {
const char* const kDistanceKey = "keyboardDistanceFromTextField";
const char* const kConstraintKey = "KBLayoutGuideConstraint";
const char* const kAskingKey = "isAskingCanBecomeFirstResponder";

// Classes that only some systems have; a name that resolves to no registered class tests false.
bool isKindOfSystemClass(const UIView& view, const char* name) {
  return ClassRegistry::exists(name) && view.isKindOfClass(name);
}

bool isInternalScrollView(const UIView& view) {
  return isKindOfSystemClass(view, "UITableViewCellScrollView") ||
         isKindOfSystemClass(view, "UITableViewWrapperView") ||
         isKindOfSystemClass(view, "_UIQueuingScrollView");
}

std::string format(const char* fmt, double a, double b, double c, double d) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
  return buf;
}

CGAffineTransform accumulatedTransform(const std::shared_ptr<UIView>& view) {
  if (!view) return CGAffineTransformIdentity;
  return CGAffineTransformConcat(view->transform(), accumulatedTransform(view->superview()));
}
}  // namespace

void setKeyboardDistanceFromTextField(const std::shared_ptr<UIView>& view, double distance) {
  if (!view) return;
  if (!(distance >= 0)) distance = 0;  // negative or not a number
  view->setAssociatedObject(kDistanceKey, std::make_shared<float>(static_cast<float>(distance)));
}

double keyboardDistanceFromTextField(const std::shared_ptr<UIView>& view) {
  if (!view) return 0;
  auto stored = view->associatedObjectAs<float>(kDistanceKey);
  return stored ? static_cast<double>(*stored) : kKBNoDistance;
}

void setKBLayoutGuideConstraint(const std::shared_ptr<UIViewController>& controller,
                                const std::shared_ptr<NSLayoutConstraint>& constraint) {
  if (controller) controller->setAssociatedObject(kConstraintKey, constraint);
}

std::shared_ptr<NSLayoutConstraint> KBLayoutGuideConstraint(
    const std::shared_ptr<UIViewController>& controller) {
  if (!controller) return nullptr;
  return controller->associatedObjectAs<NSLayoutConstraint>(kConstraintKey);
}

bool KBTagOf(const NSObject* object, long& tag) {
  if (auto* view = dynamic_cast<const UIView*>(object)) {
    tag = view->tag();
    return true;
  }
  if (auto* item = dynamic_cast<const UIBarButtonItem*>(object)) {
    tag = item->tag();
    return true;
  }
  return false;
}

std::shared_ptr<UIViewController> topMostController(const std::shared_ptr<UIWindow>& window) {
  if (!window) return nullptr;
  auto top = window->rootViewController();
  while (top && top->presentedViewController()) top = top->presentedViewController();
  return top;
}

std::shared_ptr<UIViewController> currentViewController(const std::shared_ptr<UIWindow>& window) {
  auto current = topMostController(window);
  while (auto nav = std::dynamic_pointer_cast<UINavigationController>(current)) {
    auto next = nav->topViewController();
    if (!next) break;
    current = next;
  }
  return current;
}

bool isAskingCanBecomeFirstResponder(const std::shared_ptr<UIView>& view) {
  if (!view) return false;
  auto stored = view->associatedObjectAs<bool>(kAskingKey);
  return stored && *stored;
}

void setIsAskingCanBecomeFirstResponder(const std::shared_ptr<UIView>& view, bool asking) {
  if (view) view->setAssociatedObject(kAskingKey, std::make_shared<bool>(asking));
}

std::shared_ptr<UIViewController> viewController(const std::shared_ptr<UIView>& view) {
  std::shared_ptr<UIResponder> next = view;
  while (next) {
    if (auto vc = std::dynamic_pointer_cast<UIViewController>(next)) return vc;
    next = next->nextResponder();
  }
  return nullptr;
}

std::shared_ptr<UIViewController> topMostController(const std::shared_ptr<UIView>& view) {
  if (!view) return nullptr;
  std::vector<std::shared_ptr<UIViewController>> chain;
  if (auto window = view->window()) {
    auto top = window->rootViewController();
    while (top) {
      chain.push_back(top);
      top = top->presentedViewController();
      if (std::find(chain.begin(), chain.end(), top) != chain.end()) break;
    }
  }
  auto inChain = [&](const std::shared_ptr<UIViewController>& vc) {
    return std::find(chain.begin(), chain.end(), vc) != chain.end();
  };
  auto candidate = viewController(view);
  while (candidate && !inChain(candidate)) {
    std::shared_ptr<UIResponder> next = candidate->nextResponder();
    candidate = nullptr;
    while (next) {
      if (auto vc = std::dynamic_pointer_cast<UIViewController>(next)) {
        candidate = vc;
        break;
      }
      next = next->nextResponder();
    }
  }
  return candidate;
}

std::shared_ptr<UIView> superviewOfClassType(const std::shared_ptr<UIView>& view,
                                             const std::string& className) {
  if (!view) return nullptr;
  for (auto super = view->superview(); super; super = super->superview()) {
    if (super->isKindOfClass(className) && !isInternalScrollView(*super)) return super;
  }
  return nullptr;
}

bool KBcanBecomeFirstResponder(const std::shared_ptr<UIView>& view) {
  if (!view) return false;
  setIsAskingCanBecomeFirstResponder(view, true);
  bool can = view->canBecomeFirstResponder() && view->isUserInteractionEnabled() &&
             !view->isHidden() && view->alpha() != 0 && !isAlertViewTextField(view) &&
             !isSearchBarTextField(view);
  if (can) {
    if (auto field = std::dynamic_pointer_cast<UITextField>(view)) {
      can = field->isEnabled();
    } else if (auto textView = std::dynamic_pointer_cast<UITextView>(view)) {
      can = textView->isEditable();
    }
  }
  setIsAskingCanBecomeFirstResponder(view, false);
  return can;
}

std::vector<std::shared_ptr<UIView>> responderSiblings(const std::shared_ptr<UIView>& view) {
  std::vector<std::shared_ptr<UIView>> siblings;
  auto super = view ? view->superview() : nullptr;
  if (!super) return siblings;
  for (auto& sibling : super->subviews())
    if (KBcanBecomeFirstResponder(sibling)) siblings.push_back(sibling);
  return siblings;
}

std::vector<std::shared_ptr<UIView>> deepResponderViews(const std::shared_ptr<UIView>& view) {
  std::vector<std::shared_ptr<UIView>> found;
  if (!view) return found;
  for (auto& sub : sortedArrayByPosition(view->subviews())) {
    if (KBcanBecomeFirstResponder(sub)) {
      found.push_back(sub);
    } else if (!sub->subviews().empty()) {
      auto deeper = deepResponderViews(sub);
      found.insert(found.end(), deeper.begin(), deeper.end());
    }
  }
  return found;
}

bool isAlertViewTextField(const std::shared_ptr<UIView>& view) {
  return view && (isKindOfSystemClass(*view, "UIAlertSheetTextField") ||
                  isKindOfSystemClass(*view, "_UIAlertControllerTextField"));
}

bool isSearchBarTextField(const std::shared_ptr<UIView>& view) {
  return view && (isKindOfSystemClass(*view, "UISearchBarTextField") ||
                  std::dynamic_pointer_cast<UISearchBar>(view) != nullptr);
}

long depth(const std::shared_ptr<UIView>& view) {
  long levels = 0;
  for (auto super = view ? view->superview() : nullptr; super; super = super->superview()) ++levels;
  return levels;
}

std::string debugHierarchy(const std::shared_ptr<UIView>& view) {
  if (!view) return "";
  CGRect f = view->frame();
  std::string text = view->className() + format(": ( %.0f, %.0f, %.0f, %.0f )", f.origin.x,
                                                f.origin.y, f.size.width, f.size.height);
  if (auto scroll = std::dynamic_pointer_cast<UIScrollView>(view)) {
    CGSize s = scroll->contentSize();
    text += std::string("contentSize") + format(": ( %.0f, %.0f )", s.width, s.height, 0, 0);
  }
  CGAffineTransform t = view->transform();
  if (!CGAffineTransformIsIdentity(t)) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "[%g, %g, %g, %g, %g, %g]", t.a, t.b, t.c, t.d, t.tx, t.ty);
    text += std::string("transform: ") + buf;
  }
  return text;
}

std::string subHierarchy(const std::shared_ptr<UIView>& view) {
  if (!view) return "";
  std::string text = "\n";
  for (long i = 0; i < depth(view); ++i) text += "|  ";
  text += debugHierarchy(view);
  for (auto& sub : view->subviews()) text += subHierarchy(sub);
  return text;
}

std::string superHierarchy(const std::shared_ptr<UIView>& view) {
  if (!view) return "";
  auto super = view->superview();
  std::string text = super ? superHierarchy(super) : "\n";
  for (long i = 0; i < depth(view); ++i) text += "|  ";
  text += debugHierarchy(view);
  text += "\n";
  return text;
}

CGAffineTransform convertTransformToView(const std::shared_ptr<UIView>& view,
                                         const std::shared_ptr<UIView>& target) {
  std::shared_ptr<UIView> to = target;
  if (!to && view) to = view->window();
  return CGAffineTransformConcat(accumulatedTransform(view),
                                 CGAffineTransformInvert(accumulatedTransform(to)));
}

std::string KBDescription(const NSObject* object) {
  if (!object) return "(null)";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%p", static_cast<const void*>(object));
  return "<" + object->className() + " " + buf + ">";
}
