#include "platform/uikit/UIResponder.h"

#include <mutex>

#include "platform/uikit/UIKit.h"

namespace {
// The first responder of the process; main thread only, like every responder call.
std::weak_ptr<UIResponder>& firstResponderSlot() {
  static std::weak_ptr<UIResponder> slot;
  return slot;
}

template <class T>
void reg(const char* super) {
  ClassRegistry::registerClass(
      T::staticClassName(), super,
      [] {
        if constexpr (requires { T::create(); }) {
          return std::shared_ptr<NSObject>(T::create());
        } else {
          return std::shared_ptr<NSObject>(std::make_shared<T>());
        }
      },
      tovira_detail::allocFor<T>());
}
}  // namespace

void registerUIKitClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    reg<UIResponder>("NSObject");
    reg<UIView>("UIResponder");
    reg<UIControl>("UIView");
    reg<UILabel>("UIView");
    reg<UIButton>("UIControl");
    reg<UIImageView>("UIView");
    reg<UITextField>("UIControl");
    reg<UIScrollView>("UIView");
    reg<UITextView>("UIScrollView");
    reg<UITableView>("UIScrollView");
    reg<UITableViewCell>("UIView");
    reg<UICollectionView>("UIScrollView");
    reg<UICollectionViewCell>("UIView");
    reg<UISegmentedControl>("UIControl");
    reg<UIActivityIndicatorView>("UIView");
    reg<UIWebView>("UIView");
    reg<UIAlertView>("UIView");
    reg<UIWindow>("UIView");
    reg<UIToolbar>("UIView");
    reg<UISearchBar>("UIView");
    reg<UINavigationBar>("UIView");
    reg<UINavigationItem>("NSObject");
    reg<UITabBar>("UIView");
    reg<UIViewController>("UIResponder");
    reg<UITabBarController>("UIViewController");
    reg<UINavigationController>("UIViewController");
    reg<UITableViewController>("UIViewController");
    ClassRegistry::registerClass("UIApplication", "UIResponder", nullptr);
    ClassRegistry::registerClass("UIColor", "NSObject",
                                 [] { return std::shared_ptr<NSObject>(UIColor::clearColor()); });
    ClassRegistry::registerClass("UIFont", "NSObject",
                                 [] { return std::shared_ptr<NSObject>(UIFont::defaultFont()); });
    ClassRegistry::registerClass("UIImage", "NSObject", nullptr);
    ClassRegistry::registerClass("UIScreen", "NSObject", nullptr);
    ClassRegistry::registerClass("UIDevice", "NSObject", nullptr);
    ClassRegistry::registerClass("UIPasteboard", "NSObject", nullptr);
    ClassRegistry::registerClass("CALayer", "NSObject", nullptr);
    reg<UIGestureRecognizer>("NSObject");
    reg<UITapGestureRecognizer>("UIGestureRecognizer");
    reg<UISwipeGestureRecognizer>("UIGestureRecognizer");
    reg<UILongPressGestureRecognizer>("UIGestureRecognizer");
    reg<UIBarButtonItem>("NSObject");
    reg<NSAttributedString>("NSObject");
    reg<NSMutableAttributedString>("NSAttributedString");
    reg<NSLayoutConstraint>("NSObject");
    reg<UILayoutSupport>("NSObject");
    reg<UICollectionViewFlowLayout>("NSObject");
    ClassRegistry::registerClass("UILocalNotification", "NSObject", [] {
      return std::shared_ptr<NSObject>(UILocalNotification::create());
    });
    ClassRegistry::registerClass("UIUserNotificationSettings", "NSObject", nullptr);
    ClassRegistry::registerClass("NSNumberAttribute", "NSObject", nullptr);
  });
}

UIResponder::UIResponder() { registerUIKitClasses(); }

UIResponder::~UIResponder() = default;

std::shared_ptr<UIResponder> UIResponder::nextResponder() const { return nullptr; }

bool UIResponder::canBecomeFirstResponder() const { return false; }

bool UIResponder::canResignFirstResponder() const { return true; }

bool UIResponder::isFirstResponder() const {
  auto current = firstResponderSlot().lock();
  return current && current.get() == this;
}

std::shared_ptr<UIResponder> UIResponder::currentFirstResponder() {
  return firstResponderSlot().lock();
}

void UIResponder::setCurrentFirstResponder(const std::shared_ptr<UIResponder>& responder) {
  firstResponderSlot() = responder;
}

bool UIResponder::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (!canBecomeFirstResponder()) return false;
  auto self = sharedSelf<UIResponder>();
  if (!self) return false;
  if (auto current = currentFirstResponder()) {
    if (!current->resignFirstResponder()) return false;
  }
  setCurrentFirstResponder(self);
  return true;
}

bool UIResponder::resignFirstResponder() {
  if (!isFirstResponder()) return true;
  if (!canResignFirstResponder()) return false;
  setCurrentFirstResponder(nullptr);
  return true;
}

std::shared_ptr<UIView> UIResponder::inputView() const { return nullptr; }

std::shared_ptr<UIView> UIResponder::inputAccessoryView() const { return nullptr; }

void UIResponder::reloadInputViews() {
  if (isFirstResponder()) UIKeyboard::shared().reloadInputViews(sharedSelf<UIResponder>());
}
