#pragma once
// Windows: the root of a view tree on screen. The key window is the one made key last.
// Keyboard notifications are posted by UIKeyboard and named here as on the device.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UIViewController;

// Keyboard notifications; user info: UIKeyboardFrameBeginUserInfoKey and
// UIKeyboardFrameEndUserInfoKey (rectangles as NSStringFromCGRect text, screen coordinates),
// UIKeyboardAnimationDurationUserInfoKey (seconds), UIKeyboardAnimationCurveUserInfoKey (7).
extern const std::string UIKeyboardWillShowNotification;
extern const std::string UIKeyboardDidShowNotification;
extern const std::string UIKeyboardWillHideNotification;
extern const std::string UIKeyboardDidHideNotification;
extern const std::string UIKeyboardWillChangeFrameNotification;
extern const std::string UIKeyboardFrameBeginUserInfoKey;
extern const std::string UIKeyboardFrameEndUserInfoKey;
extern const std::string UIKeyboardAnimationDurationUserInfoKey;
extern const std::string UIKeyboardAnimationCurveUserInfoKey;

class UIWindow : public UIView {
  TOVIRA_CLASS(UIWindow)
 public:
  static std::shared_ptr<UIWindow> create(CGRect frame);  // initWithFrame:

  std::shared_ptr<UIViewController> rootViewController() const { return root_; }
  // Puts the controller's view in the window at full size (replacing the previous root's);
  // appearance calls follow when the window is visible.
  void setRootViewController(const std::shared_ptr<UIViewController>& vc);
  void makeKeyAndVisible();
  void makeKeyWindow();
  bool isKeyWindow() const;
  static std::shared_ptr<UIWindow> keyWindow();  // same as the application's keyWindow
  double windowLevel() const { return level_; }
  void setWindowLevel(double l) { level_ = l; }

  std::shared_ptr<UIWindow> window() const override;
  std::shared_ptr<UIResponder> nextResponder() const override;

 private:
  std::shared_ptr<UIViewController> root_;
  double level_ = 0;
};
