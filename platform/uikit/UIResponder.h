#pragma once
// The responder base of views, controllers and the application. Holds the one first-responder
// slot of the process (main thread only).

#include <memory>

#include "platform/foundation/NSObject.h"

class UIView;

class UIResponder : public NSObject {
  TOVIRA_CLASS(UIResponder)
 public:
  UIResponder();
  ~UIResponder() override;

  // Views answer their controller (when they are its root view) or their superview;
  // controllers answer their view's superview or their parent.
  virtual std::shared_ptr<UIResponder> nextResponder() const;

  virtual bool canBecomeFirstResponder() const;  // NO
  // Asks the current first responder to resign first; fails when it refuses.
  virtual bool becomeFirstResponder();
  virtual bool canResignFirstResponder() const;  // YES
  virtual bool resignFirstResponder();
  bool isFirstResponder() const;
  static std::shared_ptr<UIResponder> currentFirstResponder();
  // Tests: empties the slot without asking anyone.
  static void clearFirstResponderForTesting() { setCurrentFirstResponder(nullptr); }

  // The keyboard's input views; text inputs override them.
  virtual std::shared_ptr<UIView> inputView() const;
  virtual std::shared_ptr<UIView> inputAccessoryView() const;
  virtual void reloadInputViews();

  // This object as a shared pointer of its own type (nullptr when not owned by one).
  template <class T>
  std::shared_ptr<T> sharedSelf() {
    auto w = weak_from_this().lock();
    return std::dynamic_pointer_cast<T>(w);
  }
  template <class T>
  std::shared_ptr<const T> sharedSelf() const {
    auto w = weak_from_this().lock();
    return std::dynamic_pointer_cast<const T>(w);
  }

 protected:
  // Fills or clears the first-responder slot without asking anyone; for subclasses that run
  // their own begin/end protocol.
  static void setCurrentFirstResponder(const std::shared_ptr<UIResponder>& responder);
};

// Registers every class of this library with the foundation class registry (idempotent;
// also done by the first responder constructed).
void registerUIKitClasses();
