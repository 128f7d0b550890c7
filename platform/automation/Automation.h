#pragma once
// Drivers shared by the tests and the simulator: they look at the screen and act on it as a
// person would, on the main thread.
//
// What is on screen: the key window's tree, except that while controllers are presented only
// the topmost presented controller's view (and views added to the window above it) can be
// seen. A view is visible when it and all its ancestors are not hidden and have alpha of at
// least 0.01, and some of it lies on the screen inside every clipping ancestor (scroll views
// clip: rows scrolled out of sight, or a page of a paged scroll view that is not shown, are
// not visible).
//
// Taps go through hit-testing at a point in window coordinates. From the view that is hit,
// up its superview chain, the first view that handles the touch gets it: the view's enabled
// tap gesture recognizers (whose delegate lets the touch through) fire, else an enabled
// control handles it (buttons send touch-up-inside, fields begin editing, segmented controls
// select), else a text view begins editing, else a table or collection cell selects its row.
// A covered view does not get the tap: the covering view does. While an alert is up it takes
// every touch: taps, presses and swipes on the screen below reach nothing.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/CGGeometry.h"

class UIAlertView;
class UIScrollView;
class UITextField;
class UITextView;
class UIView;
class UIViewController;
class UIWindow;

class Automation {
 public:
  // The controller whose view is on screen: the key window's root, or the topmost presented.
  static std::shared_ptr<UIViewController> topViewController();
  // The roots of what is on screen (see above), back to front.
  static std::vector<std::shared_ptr<UIView>> screenRoots();

  // Finding, among visible views, the topmost (front-most) match. Text matches a label's text,
  // a button's current title, a field's or text view's text, a segment's title; for a
  // button's own title label, the button is answered.
  static std::shared_ptr<UIView> findByText(const std::string& text);
  static std::vector<std::shared_ptr<UIView>> findAllByText(const std::string& text);
  static std::shared_ptr<UIView> findContainingText(const std::string& fragment);
  static std::shared_ptr<UIView> findByTag(long tag);
  static std::vector<std::shared_ptr<UIView>> findAllByTag(long tag);
  // Kind-of test through the class registry (subclasses match).
  static std::shared_ptr<UIView> findByClass(const std::string& className);
  static std::vector<std::shared_ptr<UIView>> findAllByClass(const std::string& className);
  static bool isVisible(const std::shared_ptr<UIView>& view);
  // The text a view shows (label text, button title, field text or placeholder, ...).
  static std::string textOf(const std::shared_ptr<UIView>& view);

  // Tapping. Each answers the view that received the tap (nullptr when nothing did).
  static std::shared_ptr<UIView> tap(const std::shared_ptr<UIView>& view);  // at its centre
  static std::shared_ptr<UIView> tapText(const std::string& text);          // findByText + tap
  static std::shared_ptr<UIView> tapTag(long tag);
  static std::shared_ptr<UIView> tapAt(CGPoint windowPoint);
  // Which view a tap at the point would reach (hit-testing only, no action).
  static std::shared_ptr<UIView> hitTest(CGPoint windowPoint);
  // A press held for `seconds` on the clock (advances the main run loop's clock).
  static std::shared_ptr<UIView> longPress(const std::shared_ptr<UIView>& view, double seconds);
  // A swipe over the view; direction is a UISwipeGestureRecognizerDirection.
  static bool swipe(const std::shared_ptr<UIView>& view, unsigned long direction);

  // Typing: taps the field first when it is not editing (so the delegate can refuse), then
  // types the text one character at a time through the delegate. Answers whether the field
  // was editing.
  static bool type(const std::shared_ptr<UITextField>& field, const std::string& text);
  static bool type(const std::shared_ptr<UITextView>& view, const std::string& text);
  // Types into the current first responder.
  static bool typeText(const std::string& text);
  static bool pressReturn(const std::shared_ptr<UITextField>& field);
  static bool clearField(const std::shared_ptr<UITextField>& field);
  // Ends editing of the first responder (as a tap on Done would).
  static bool endEditing();

  // Alerts.
  static std::shared_ptr<UIAlertView> currentAlert();
  static bool pressAlertButton(const std::string& title);
  static bool pressAlertButtonAtIndex(long index);
  // "title | message | [button, button]" of the current alert, or "" when none.
  static std::string alertText();

  // Scrolling: a drag of the scroll view released at `offset` (see UIScrollView::simulateDrag).
  static void drag(const std::shared_ptr<UIScrollView>& scrollView, CGPoint offset,
                   CGPoint velocity = CGPointZero);

  // The key window's visible tree as stable indented text, then "UIKeyboard (x,y,w,h)" while
  // the keyboard is up (its accessory bar shows in the tree, on the window right above it),
  // then the current alerts.
  // One line per view: class, frame, then what matters when set: tag, text, text colour,
  // coloured ranges, background colour, alpha, flags. Hidden views are one line marked
  // "hidden" without their subviews.
  static std::string dumpScreen();
  static std::string dumpView(const std::shared_ptr<UIView>& view);

  // What the end of the app's process drops of the view system: the alerts, the first
  // responder, the keyboard, the application (delegate, windows, state, notifications), the
  // recorded animations and the named-image cache. Everything the device keeps for the next
  // launch stays: the simulated device (its folder, pasteboards, installed apps and the record
  // of opened URLs), the photo album, the screen and the device's properties. AppShutdown
  // calls it; so does a test's tear-down before it asks for a fresh device.
  static void endAppProcess();
  // A fresh device, for a test that needs one: nothing installed, nothing opened, no
  // pasteboards but those kept in `deviceFolder` (an empty one is made on first use when ""),
  // an empty photo album, and the screen and the device's properties as they are out of the
  // box. The app's own state is not touched: end its process first.
  static void resetDevice(const std::string& deviceFolder = "");
  // No app running, on a fresh device: endAppProcess, then resetDevice(deviceFolder). Tests'
  // set-up and tear-down.
  static void resetPlatform(const std::string& deviceFolder = "");
};
