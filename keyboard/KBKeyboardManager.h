#pragma once
// The process-wide keyboard manager. Without any code in the screens it keeps the text field
// or text view being edited `keyboardDistanceFromTextField` points above the keyboard (by
// scrolling its scroll views, changing a layout-guide constraint, shortening a text view or
// moving the screen's root view), gives every editable field a Previous/Next/Done or Done bar
// above the keyboard, keeps a text view's caret in sight while typing, and can resign the
// keyboard on a tap outside the field.
//
// Start-up: the app calls KBKeyboardManager::load() once, before its first screen; it makes
// the shared manager and switches it on. From then on it observes the keyboard, text-editing
// and status-bar orientation notifications of the default centre.
//
// Main thread only: every entry point is a notification, gesture or bar-button callback.
// Animations run their changes at once (the platform's animation model), so each step sees the
// values that the step before it set.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIViewController.h"

class NSLayoutConstraint;
class UIBarButtonItem;
class UIColor;
class UIFont;
class UIScrollView;
class UIView;
class UIViewController;
class UIWindow;

class KBKeyboardManager : public NSObject, public UIGestureRecognizerDelegate {
  TOVIRA_CLASS(KBKeyboardManager)
 public:
  KBKeyboardManager();
  ~KBKeyboardManager() override;

  // The one manager of the process, made (and set up) on first use.
  static std::shared_ptr<KBKeyboardManager> sharedManager();
  // The start at load time: sharedManager, then switched on. Idempotent.
  static void load();
  // Tests: replaces the shared manager by a fresh one with every default setting (switched
  // off; call load() to switch it on). The old one stops observing.
  static void resetSharedManagerForTesting();

  // --- Settings ---------------------------------------------------------------------------------
  bool isEnabled() const { return enable_; }
  // Off while on puts everything moved back at once; on while off handles a keyboard that is
  // already up. The value it already has does nothing.
  void setEnable(bool enable);
  double keyboardDistanceFromTextField() const { return keyboardDistance_; }
  void setKeyboardDistanceFromTextField(double distance);  // negative or NaN: 0
  bool preventShowingBottomBlankSpace() const { return preventShowingBottomBlankSpace_; }
  void setPreventShowingBottomBlankSpace(bool on) { preventShowingBottomBlankSpace_ = on; }
  bool isEnableAutoToolbar() const { return enableAutoToolbar_; }
  // YES adds the bars to the current chain at once, NO removes the manager's bars.
  void setEnableAutoToolbar(bool on);
  long toolbarManageBehaviour() const { return toolbarManageBehaviour_; }
  void setToolbarManageBehaviour(long behaviour) { toolbarManageBehaviour_ = behaviour; }
  bool shouldToolbarUsesTextFieldTintColor() const { return shouldToolbarUsesTextFieldTintColor_; }
  void setShouldToolbarUsesTextFieldTintColor(bool on) {
    shouldToolbarUsesTextFieldTintColor_ = on;
  }
  bool shouldShowTextFieldPlaceholder() const { return shouldShowTextFieldPlaceholder_; }
  void setShouldShowTextFieldPlaceholder(bool on) { shouldShowTextFieldPlaceholder_ = on; }
  std::shared_ptr<UIFont> placeholderFont() const { return placeholderFont_; }
  void setPlaceholderFont(std::shared_ptr<UIFont> font) { placeholderFont_ = std::move(font); }
  bool canAdjustTextView() const { return canAdjustTextView_; }
  void setCanAdjustTextView(bool on) { canAdjustTextView_ = on; }
  bool shouldFixTextViewClip() const { return shouldFixTextViewClip_; }
  void setShouldFixTextViewClip(bool on) { shouldFixTextViewClip_ = on; }
  bool overrideKeyboardAppearance() const { return overrideKeyboardAppearance_; }
  void setOverrideKeyboardAppearance(bool on) { overrideKeyboardAppearance_ = on; }
  long keyboardAppearance() const { return keyboardAppearance_; }
  void setKeyboardAppearance(long appearance) { keyboardAppearance_ = appearance; }
  bool shouldResignOnTouchOutside() const { return shouldResignOnTouchOutside_; }
  void setShouldResignOnTouchOutside(bool on);  // also enables the tap recogniser
  bool shouldRestoreScrollViewContentOffset() const {
    return shouldRestoreScrollViewContentOffset_;
  }
  void setShouldRestoreScrollViewContentOffset(bool on) {
    shouldRestoreScrollViewContentOffset_ = on;
  }
  bool shouldPlayInputClicks() const { return shouldPlayInputClicks_; }
  void setShouldPlayInputClicks(bool on) { shouldPlayInputClicks_ = on; }
  bool shouldAdoptDefaultKeyboardAnimation() const { return shouldAdoptDefaultKeyboardAnimation_; }
  void setShouldAdoptDefaultKeyboardAnimation(bool on) {
    shouldAdoptDefaultKeyboardAnimation_ = on;
  }
  bool layoutIfNeededOnUpdate() const { return layoutIfNeededOnUpdate_; }
  void setLayoutIfNeededOnUpdate(bool on) { layoutIfNeededOnUpdate_ = on; }

  // Controller classes (by registered name, subclasses included) in which no frame is adjusted
  // (initially UITableViewController), whose fields get no automatic bar (initially none), and
  // container view classes whose whole content is one chain (UITableView, UICollectionView).
  void disableInViewControllerClass(const std::string& className);
  void removeDisableInViewControllerClass(const std::string& className);
  bool isDisableInViewControllerClass(const std::string& className) const;
  void disableToolbarInViewControllerClass(const std::string& className);
  void removeDisableToolbarInViewControllerClass(const std::string& className);
  bool isDisableToolbarInViewControllerClass(const std::string& className) const;
  void considerToolbarPreviousNextInViewClass(const std::string& className);
  void removeConsiderToolbarPreviousNextInViewClass(const std::string& className);
  bool isConsiderToolbarPreviousNextInViewClass(const std::string& className) const;

  // --- Focus and the automatic toolbar ----------------------------------------------------------
  // The chain of the edited view: the fields of its enclosing table or collection view, else
  // its sibling fields in the order the manage behaviour says.
  std::vector<std::shared_ptr<UIView>> responderViews() const;
  bool canGoPrevious() const;
  bool canGoNext() const;
  bool goPrevious();
  bool goNext();
  void addToolbarIfRequired();
  void removeToolbarIfRequired();
  // The bar buttons' actions; each runs the left field's custom action after a move.
  void previousAction(UIBarButtonItem& sender);
  void nextAction(UIBarButtonItem& sender);
  void doneAction(UIBarButtonItem& sender);
  // Ends editing of the edited view; a view that refuses is made first responder again (NO).
  bool resignFirstResponder();

  // --- Geometry ---------------------------------------------------------------------------------
  void adjustFrame();
  void setRootViewFrame(CGRect frame);
  // The edited view's window, else the application's key window (the last one seen).
  std::shared_ptr<UIWindow> keyWindow();

  // --- Notification and gesture handlers (nullptr: a nil notification) -------------------------
  void keyboardWillShow(const NSNotification* notification);
  void keyboardWillHide(const NSNotification* notification);
  void keyboardDidHide(const NSNotification* notification);
  void textFieldViewDidBeginEditing(const NSNotification& notification);
  void textFieldViewDidEndEditing(const NSNotification& notification);
  void textFieldViewDidChange(const NSNotification& notification);
  void willChangeStatusBarOrientation(const NSNotification& notification);
  void tapRecognized(UIGestureRecognizer& gesture);
  bool shouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&,
                                                          UIGestureRecognizer&) override;
  bool shouldReceiveTouch(UIGestureRecognizer&, const UITouch& touch) override;

  // --- State, for tests and diagnostics ---------------------------------------------------------
  std::shared_ptr<UIView> textFieldView() const { return textFieldView_.lock(); }
  CGSize keyboardSize() const { return kbSize_; }
  bool isKeyboardShowing() const { return isKeyboardShowing_; }
  CGRect topViewBeginRect() const { return topViewBeginRect_; }
  std::shared_ptr<UITapGestureRecognizer> tapGesture() const { return tapGesture_; }

 private:
  void init();
  std::shared_ptr<KBKeyboardManager> self() {
    return std::static_pointer_cast<KBKeyboardManager>(weak_from_this().lock());
  }
  void restoreScrollView(const std::shared_ptr<UIScrollView>& scrollView) const;
  UIViewAnimationOptions animationOptions() const { return animationCurve_ | 4; }
  UIInterfaceOrientation orientationFor(const std::shared_ptr<UIViewController>& root) const;
  bool controllerIsDisabled(const std::shared_ptr<UIView>& view) const;
  void styleAndTitle(const std::shared_ptr<UIView>& field);

  bool enable_ = false;
  double keyboardDistance_ = 10.0;
  bool preventShowingBottomBlankSpace_ = true;
  bool enableAutoToolbar_ = true;
  long toolbarManageBehaviour_ = 0;
  bool shouldToolbarUsesTextFieldTintColor_ = false;
  bool shouldShowTextFieldPlaceholder_ = true;
  std::shared_ptr<UIFont> placeholderFont_;
  bool canAdjustTextView_ = false;
  bool shouldFixTextViewClip_ = true;
  bool overrideKeyboardAppearance_ = false;
  long keyboardAppearance_ = 0;
  bool shouldResignOnTouchOutside_ = false;
  bool shouldRestoreScrollViewContentOffset_ = false;
  bool shouldPlayInputClicks_ = false;
  bool shouldAdoptDefaultKeyboardAnimation_ = true;
  bool layoutIfNeededOnUpdate_ = false;

  std::weak_ptr<UIView> textFieldView_;
  CGRect textFieldViewIntialFrame_{};
  CGRect topViewBeginRect_{};
  std::weak_ptr<UIViewController> rootViewController_;
  double layoutGuideConstraintInitialConstant_ = 0;
  // The layout-guide constraint in play and its controller, remembered when the keyboard came
  // so that they are put back even when the edited view has gone away meanwhile.
  std::weak_ptr<NSLayoutConstraint> layoutGuideConstraint_;
  std::weak_ptr<UIViewController> layoutGuideController_;
  std::weak_ptr<UIScrollView> lastScrollView_;
  UIEdgeInsets startingContentInsets_{};
  UIEdgeInsets startingScrollIndicatorInsets_{};
  CGPoint startingContentOffset_{};
  std::optional<NSNotification> kbShowNotification_;
  CGSize kbSize_{};
  double animationDuration_ = 0.25;
  unsigned long animationCurve_ = 0;
  std::shared_ptr<UITapGestureRecognizer> tapGesture_;
  std::shared_ptr<UIColor> defaultToolbarTintColor_;
  std::vector<std::string> disabledClasses_;
  std::vector<std::string> disabledToolbarClasses_;
  std::vector<std::string> toolbarPreviousNextConsideredClass_;
  bool isTextFieldViewFrameChanged_ = false;
  bool isKeyboardShowing_ = false;
  bool setUp_ = false;
};

// Registers the keyboard library's classes and their class initialisation with the class
// registry (idempotent; load() does it).
void registerKeyboardClasses();
