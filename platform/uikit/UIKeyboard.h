#pragma once
// The on-screen keyboard of the simulated device. It comes up when a text input becomes first
// responder (after that input's begin-editing notification) and goes down, on the next turn
// of the main run loop, when no text input is first responder any more; moving from field to
// field keeps it up (a field whose accessory view has another height posts a new will-show). Each
// change posts UIKeyboardWillShow/WillHide at once and UIKeyboardDidShow/DidHide on the main run
// loop. While up, the first responder's inputAccessoryView is placed on the key window right above
// the keyboard, so that it can be seen and tapped. Main thread only.

#include <memory>

#include "platform/uikit/CGGeometry.h"

class UIResponder;
class UIView;

class UIKeyboard {
 public:
  static UIKeyboard& shared();

  bool isVisible() const { return visible_; }
  // The keyboard as the notifications report it: the keys and, above them, the first
  // responder's accessory view. Screen coordinates (fixed portrait), `height` plus the
  // accessory's height deep along the interface's bottom edge, which follows the application's
  // status-bar orientation (the screen's bottom in portrait, its top upside down, its left edge
  // in landscape right, its right edge in landscape left).
  CGRect frame() const;
  // The keys alone: `height` deep along the same edge.
  CGRect keysFrame() const;
  double accessoryHeight() const { return accessoryHeight_; }
  double height() const { return height_; }
  // Changes the height (216 by default; e.g. 253 with the suggestion bar). While up, posts a
  // new will-show with the new frame.
  void setHeight(double h);
  // Animation values reported in the notifications.
  double animationDuration() const { return 0.25; }
  long animationCurve() const { return 7; }

  // Called by text inputs.
  void inputDidBeginEditing(const std::shared_ptr<UIResponder>& input);
  void inputDidEndEditing(const std::shared_ptr<UIResponder>& input);
  void reloadInputViews(const std::shared_ptr<UIResponder>& input);

  // Shown accessory view (nullptr when none).
  std::shared_ptr<UIView> accessoryView() const { return accessory_.lock(); }
  // Tests: keyboard down, nothing pending, default height.
  void reset();

 private:
  UIKeyboard() = default;
  void show();
  void hide();
  void placeAccessory(const std::shared_ptr<UIResponder>& input);
  void removeAccessory();
  bool visible_ = false;
  bool hidePending_ = false;
  double height_ = 216;
  double accessoryHeight_ = 0;
  std::weak_ptr<UIView> accessory_;
};
