#pragma once
// Alerts. show() puts the alert on the stack of visible alerts (topmost last) and records it
// in shownAlerts(); the stack holds the alert until a button dismisses it. show() may be
// called from any thread: off the main thread it is posted to the main queue. Pressing a
// button calls clickedButtonAtIndex, then willDismissWithButtonIndex, removes the alert and
// calls didDismissWithButtonIndex, all on the main thread. The delegate is held weakly. An
// alert is dismissed once: a dismissal asked for from inside those callbacks is ignored.
//
// Button indices: the cancel button (when given) is 0, the other buttons follow in order.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/uikit/UIView.h"

class UIAlertView;

class UIAlertViewDelegate {
 public:
  virtual ~UIAlertViewDelegate() = default;
  // alertView:clickedButtonAtIndex:
  virtual void clickedButtonAtIndex(UIAlertView&, long) {}
  virtual void willPresentAlertView(UIAlertView&) {}
  virtual void didPresentAlertView(UIAlertView&) {}
  // alertView:willDismissWithButtonIndex: / alertView:didDismissWithButtonIndex:
  virtual void willDismissWithButtonIndex(UIAlertView&, long) {}
  virtual void didDismissWithButtonIndex(UIAlertView&, long) {}
  virtual void alertViewCancel(UIAlertView&) {}
};

enum UIAlertViewStyle : long {
  UIAlertViewStyleDefault = 0,
  UIAlertViewStyleSecureTextInput = 1,
  UIAlertViewStylePlainTextInput = 2,
};

class UIAlertView : public UIView {
  TOVIRA_CLASS(UIAlertView)
 public:
  UIAlertView();
  // initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:
  static std::shared_ptr<UIAlertView> create(
      const std::string& title, const std::string& message,
      std::weak_ptr<UIAlertViewDelegate> delegate, const std::string& cancelButtonTitle,
      const std::vector<std::string>& otherButtonTitles = {});

  const std::string& title() const { return title_; }
  void setTitle(const std::string& t) { title_ = t; }
  const std::string& message() const { return message_; }
  void setMessage(const std::string& m) { message_ = m; }
  std::shared_ptr<UIAlertViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIAlertViewDelegate> d) { delegate_ = std::move(d); }
  long addButtonWithTitle(const std::string& title);
  long numberOfButtons() const { return (long)buttons_.size(); }
  std::string buttonTitleAtIndex(long index) const;  // "" out of range
  std::vector<std::string> buttonTitles() const { return buttons_; }
  long cancelButtonIndex() const { return cancelIndex_; }  // -1 when none
  void setCancelButtonIndex(long i) { cancelIndex_ = i; }
  UIAlertViewStyle alertViewStyle() const { return style_; }
  void setAlertViewStyle(UIAlertViewStyle s) { style_ = s; }

  void show();
  bool isVisible() const;
  // What a button press does (clicked, will dismiss, gone, did dismiss).
  void pressButtonAtIndex(long index);
  // Programmatic dismissal: no clickedButtonAtIndex.
  void dismissWithClickedButtonIndex(long index, bool animated);

  // The alerts on screen, bottom to top, and every alert ever shown (in order).
  static std::vector<std::shared_ptr<UIAlertView>> visibleAlerts();
  static std::vector<std::shared_ptr<UIAlertView>> shownAlerts();
  static std::shared_ptr<UIAlertView> currentAlert();  // topmost visible or nullptr
  static void resetRecorded();                         // tests: forget every alert

 private:
  void showOnMain();
  void dismiss(long index, bool clicked);
  std::string title_;
  std::string message_;
  std::weak_ptr<UIAlertViewDelegate> delegate_;
  std::vector<std::string> buttons_;
  long cancelIndex_ = -1;
  UIAlertViewStyle style_ = UIAlertViewStyleDefault;
  bool dismissing_ = false;  // a delegate dismissing again from its callbacks changes nothing
};
