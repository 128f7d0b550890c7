#include "keyboard/KBKeyboardManager.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <mutex>

#include "keyboard/KBBarButtonItem.h"
#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBSegmentedNextPrevious.h"
#include "keyboard/KBTextView.h"
#include "keyboard/KBTitleBarButtonItem.h"
#include "keyboard/KBToolbar.h"
#include "keyboard/KBToolbarAddition.h"
#include "keyboard/KBViewHierarchy.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

TOVIRA_REGISTER_CLASS(KBKeyboardManager, NSObject)
TOVIRA_REGISTER_CLASS(KBToolbar, UIToolbar)
TOVIRA_REGISTER_CLASS(KBBarButtonItem, UIBarButtonItem)
TOVIRA_REGISTER_CLASS(KBTitleBarButtonItem, KBBarButtonItem)
TOVIRA_REGISTER_CLASS(KBSegmentedNextPrevious, UISegmentedControl)
TOVIRA_REGISTER_CLASS(KBTextView, UITextView)

TOVIRA_DECLARE_REGISTRATION(KBKeyboardReturnKeyHandler);

void registerKeyboardClasses() {
  registerUIKitClasses();
  toviraRegisterClass_KBKeyboardManager();
  toviraRegisterClass_KBToolbar();
  toviraRegisterClass_KBBarButtonItem();
  toviraRegisterClass_KBTitleBarButtonItem();
  toviraRegisterClass_KBSegmentedNextPrevious();
  toviraRegisterClass_KBTextView();
  toviraRegisterClass_KBKeyboardReturnKeyHandler();
  // The class initialisation of the bar and its items: each runs once for its class and for
  // every subclass, the first time the platform makes or styles one of them.
  ClassRegistry::setInitializer(KBToolbar::staticClassName(),
                                [](const std::string& name) { KBToolbar::initialize(name); });
  ClassRegistry::setInitializer(KBBarButtonItem::staticClassName(),
                                [](const std::string& name) { KBBarButtonItem::initialize(name); });
}

namespace {
// The manager lives to the end of the process and is never torn down at exit, when the
// notification centre and the views it knows may already be gone.
std::shared_ptr<KBKeyboardManager>& sharedSlot() {
  static auto* slot = new std::shared_ptr<KBKeyboardManager>();
  return *slot;
}
std::once_flag& sharedOnce() {
  static std::once_flag once;
  return once;
}
}  // namespace

KBKeyboardManager::KBKeyboardManager() = default;

KBKeyboardManager::~KBKeyboardManager() {
  // Nothing is put back here: the views the manager moved may be going away with it.
  NSNotificationCenter::defaultCenter().removeObserver(this);
  if (tapGesture_) {
    if (auto view = tapGesture_->view()) view->removeGestureRecognizer(tapGesture_);
  }
}

std::shared_ptr<KBKeyboardManager> KBKeyboardManager::sharedManager() {
  std::call_once(sharedOnce(), [] {
    registerKeyboardClasses();
    auto manager = std::make_shared<KBKeyboardManager>();
    manager->init();
    sharedSlot() = manager;
  });
  return sharedSlot();
}

void KBKeyboardManager::load() { sharedManager()->setEnable(true); }

void KBKeyboardManager::resetSharedManagerForTesting() {
  auto old = sharedManager();
  if (old) {
    old->setEnable(false);
    NSNotificationCenter::defaultCenter().removeObserver(old.get());
  }
  auto fresh = std::make_shared<KBKeyboardManager>();
  fresh->init();
  sharedSlot() = fresh;
}

void KBKeyboardManager::init() {
  if (setUp_) return;
  setUp_ = true;
  auto self = this->self();
  std::weak_ptr<KBKeyboardManager> weak = self;
  auto& center = NSNotificationCenter::defaultCenter();
  auto observe = [&](const std::string& name,
                     void (KBKeyboardManager::*handler)(const NSNotification&)) {
    center.addObserver(self, name, nullptr, [weak, handler](const NSNotification& n) {
      if (auto manager = weak.lock()) ((*manager).*handler)(n);
    });
  };
  auto observeNullable = [&](const std::string& name,
                             void (KBKeyboardManager::*handler)(const NSNotification*)) {
    center.addObserver(self, name, nullptr, [weak, handler](const NSNotification& n) {
      if (auto manager = weak.lock()) ((*manager).*handler)(&n);
    });
  };
  observeNullable(UIKeyboardWillShowNotification, &KBKeyboardManager::keyboardWillShow);
  observeNullable(UIKeyboardWillHideNotification, &KBKeyboardManager::keyboardWillHide);
  observeNullable(UIKeyboardDidHideNotification, &KBKeyboardManager::keyboardDidHide);
  observe(UITextFieldTextDidBeginEditingNotification,
          &KBKeyboardManager::textFieldViewDidBeginEditing);
  observe(UITextViewTextDidBeginEditingNotification,
          &KBKeyboardManager::textFieldViewDidBeginEditing);
  observe(UITextFieldTextDidEndEditingNotification, &KBKeyboardManager::textFieldViewDidEndEditing);
  observe(UITextViewTextDidEndEditingNotification, &KBKeyboardManager::textFieldViewDidEndEditing);
  observe(UITextViewTextDidChangeNotification, &KBKeyboardManager::textFieldViewDidChange);
  observe(UIApplicationWillChangeStatusBarOrientationNotification,
          &KBKeyboardManager::willChangeStatusBarOrientation);

  tapGesture_ = UITapGestureRecognizer::create(self, [weak](UIGestureRecognizer& g) {
    if (auto manager = weak.lock()) manager->tapRecognized(g);
  });
  tapGesture_->setDelegate(std::weak_ptr<UIGestureRecognizerDelegate>(self));
  tapGesture_->setEnabled(shouldResignOnTouchOutside_);

  enable_ = false;
  animationDuration_ = 0.25;
  animationCurve_ = 0;
  setKeyboardDistanceFromTextField(10.0);
  defaultToolbarTintColor_ = UIColor::blackColor();
  setCanAdjustTextView(false);
  setShouldPlayInputClicks(false);
  setShouldResignOnTouchOutside(false);
  setOverrideKeyboardAppearance(false);
  setKeyboardAppearance(UIKeyboardAppearanceDefault);
  setEnableAutoToolbar(true);
  setPreventShowingBottomBlankSpace(true);
  setShouldShowTextFieldPlaceholder(true);
  setShouldAdoptDefaultKeyboardAnimation(true);
  setShouldRestoreScrollViewContentOffset(false);
  setToolbarManageBehaviour(KBAutoToolbarBySubviews);
  setLayoutIfNeededOnUpdate(false);
  disabledClasses_ = {"UITableViewController"};
  disabledToolbarClasses_.clear();
  setShouldToolbarUsesTextFieldTintColor(false);
  setShouldFixTextViewClip(true);
  toolbarPreviousNextConsideredClass_ = {"UITableView", "UICollectionView"};
}

// --- Settings ------------------------------------------------------------------------------------

void KBKeyboardManager::setEnable(bool enable) {
  if (enable == enable_) return;
  if (!enable) {
    keyboardWillHide(nullptr);
    enable_ = false;
    return;
  }
  enable_ = true;
  if (kbShowNotification_) {
    NSNotification kept = *kbShowNotification_;
    keyboardWillShow(&kept);
  }
}

void KBKeyboardManager::setKeyboardDistanceFromTextField(double distance) {
  keyboardDistance_ = distance >= 0 ? distance : 0;  // negative or not a number
}

void KBKeyboardManager::setShouldResignOnTouchOutside(bool on) {
  shouldResignOnTouchOutside_ = on;
  if (tapGesture_) tapGesture_->setEnabled(on);
}

void KBKeyboardManager::setEnableAutoToolbar(bool on) {
  enableAutoToolbar_ = on;
  if (on) {
    addToolbarIfRequired();
  } else {
    removeToolbarIfRequired();
  }
}

namespace {
void addName(std::vector<std::string>& set, const std::string& name) {
  if (std::find(set.begin(), set.end(), name) == set.end()) set.push_back(name);
}
void removeName(std::vector<std::string>& set, const std::string& name) { std::erase(set, name); }
bool hasName(const std::vector<std::string>& set, const std::string& name) {
  return std::find(set.begin(), set.end(), name) != set.end();
}
bool isKindOfAny(const NSObject& object, const std::vector<std::string>& classes) {
  for (const auto& name : classes)
    if (object.isKindOfClass(name)) return true;
  return false;
}
}  // namespace

void KBKeyboardManager::disableInViewControllerClass(const std::string& c) {
  addName(disabledClasses_, c);
}
void KBKeyboardManager::removeDisableInViewControllerClass(const std::string& c) {
  removeName(disabledClasses_, c);
}
bool KBKeyboardManager::isDisableInViewControllerClass(const std::string& c) const {
  return hasName(disabledClasses_, c);
}
void KBKeyboardManager::disableToolbarInViewControllerClass(const std::string& c) {
  addName(disabledToolbarClasses_, c);
}
void KBKeyboardManager::removeDisableToolbarInViewControllerClass(const std::string& c) {
  removeName(disabledToolbarClasses_, c);
}
bool KBKeyboardManager::isDisableToolbarInViewControllerClass(const std::string& c) const {
  return hasName(disabledToolbarClasses_, c);
}
void KBKeyboardManager::considerToolbarPreviousNextInViewClass(const std::string& c) {
  addName(toolbarPreviousNextConsideredClass_, c);
}
void KBKeyboardManager::removeConsiderToolbarPreviousNextInViewClass(const std::string& c) {
  removeName(toolbarPreviousNextConsideredClass_, c);
}
bool KBKeyboardManager::isConsiderToolbarPreviousNextInViewClass(const std::string& c) const {
  return hasName(toolbarPreviousNextConsideredClass_, c);
}

bool KBKeyboardManager::controllerIsDisabled(const std::shared_ptr<UIView>& view) const {
  auto vc = viewController(view);
  return vc && isKindOfAny(*vc, disabledClasses_);
}

// --- Windows and orientation ---------------------------------------------------------------------

std::shared_ptr<UIWindow> KBKeyboardManager::keyWindow() {
  if (auto view = textFieldView_.lock()) {
    if (auto window = view->window()) return window;
  }
  static std::weak_ptr<UIWindow> lastKeyWindow;
  if (auto key = UIApplication::sharedApplication()->keyWindow()) lastKeyWindow = key;
  return lastKeyWindow.lock();
}

UIInterfaceOrientation KBKeyboardManager::orientationFor(
    const std::shared_ptr<UIViewController>& root) const {
  if (KBIsSystem8OrLater()) return UIInterfaceOrientationPortrait;
  return root ? root->interfaceOrientation() : UIInterfaceOrientationUnknown;
}

// --- Keyboard notifications ----------------------------------------------------------------------

void KBKeyboardManager::keyboardWillShow(const NSNotification* notification) {
  if (notification) kbShowNotification_ = *notification;
  if (!enable_) return;
  auto view = textFieldView_.lock();
  if (!isTextFieldViewFrameChanged_ && view) textFieldViewIntialFrame_ = view->frame();

  // The screen to move is looked up again whenever none is held, so that switching the manager
  // off and on while the keyboard is up still has a controller to put back when it hides.
  if (topViewBeginRect_ == CGRectZero || !rootViewController_.lock()) {
    auto root = topMostController(view);
    if (!root) root = topMostController(keyWindow());
    rootViewController_ = root;
    topViewBeginRect_ = root ? root->view()->frame() : CGRectZero;
  }

  const Value info = notification ? notification->userInfo : Value();
  if (shouldAdoptDefaultKeyboardAnimation_) {
    animationCurve_ =
        static_cast<unsigned long>(info[UIKeyboardAnimationCurveUserInfoKey].integerValue()) << 16;
  } else {
    animationCurve_ = UIViewAnimationOptionCurveEaseOut;
  }
  double duration = info[UIKeyboardAnimationDurationUserInfoKey].floatValue();
  if (duration != 0) animationDuration_ = duration;

  CGSize oldSize = kbSize_;
  kbSize_ = CGRectFromString(info[UIKeyboardFrameEndUserInfoKey].str()).size;
  if ((kbSize_.width != oldSize.width || kbSize_.height != oldSize.height) && view &&
      !isAlertViewTextField(view) && !controllerIsDisabled(view)) {
    adjustFrame();
  }
}

void KBKeyboardManager::keyboardWillHide(const NSNotification* notification) {
  if (notification) kbShowNotification_.reset();
  if (!enable_) return;
  isKeyboardShowing_ = false;
  if (notification) {
    double duration = notification->userInfo[UIKeyboardAnimationDurationUserInfoKey].floatValue();
    if (duration != 0) animationDuration_ = duration;
  }

  // The scroll view gets its insets back, and no enclosing scroll view stays past its end.
  if (auto scrollView = lastScrollView_.lock()) {
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      restoreScrollView(scrollView);
      auto super =
          std::dynamic_pointer_cast<UIScrollView>(superviewOfClassType(scrollView, "UIScrollView"));
      for (; super; super = std::dynamic_pointer_cast<UIScrollView>(
                        superviewOfClassType(super, "UIScrollView"))) {
        CGSize size = super->contentSize();
        double height = super->frame().size.height;
        double highest = std::max(size.height, height) - height;
        if (super->contentOffset().y > highest)
          super->setContentOffset(CGPointMake(super->contentOffset().x, highest));
      }
    });
  }

  // The screen goes back to where it was before the keyboard came.
  auto root = rootViewController_.lock();
  if (topViewBeginRect_ != CGRectZero && root) {
    if (KBIsSystem8OrLater()) topViewBeginRect_.size = root->view()->frame().size;
    auto constraint = layoutGuideConstraint_.lock();
    auto owner = layoutGuideController_.lock();
    bool guided = false;
    if (constraint && owner) {
      auto first = constraint->firstItem(), second = constraint->secondItem();
      auto top = owner->topLayoutGuide(), bottom = owner->bottomLayoutGuide();
      guided = first == top || second == top || first == bottom || second == bottom;
    }
    CGRect begin = topViewBeginRect_;
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      if (guided) {
        constraint->setConstant(layoutGuideConstraintInitialConstant_);
        root->view()->setNeedsLayout();
        root->view()->layoutIfNeeded();
      } else {
        root->view()->setFrame(begin);
        if (layoutIfNeededOnUpdate_) {
          root->view()->setNeedsLayout();
          root->view()->layoutIfNeeded();
        }
      }
    });
  }
  rootViewController_.reset();
  lastScrollView_.reset();
  layoutGuideConstraint_.reset();
  layoutGuideController_.reset();
  kbSize_ = CGSizeZero;
  startingContentInsets_ = UIEdgeInsetsZero;
  startingScrollIndicatorInsets_ = UIEdgeInsetsZero;
  startingContentOffset_ = CGPointZero;
}

void KBKeyboardManager::keyboardDidHide(const NSNotification*) { topViewBeginRect_ = CGRectZero; }

// --- Editing notifications -----------------------------------------------------------------------

void KBKeyboardManager::textFieldViewDidBeginEditing(const NSNotification& notification) {
  auto view = std::dynamic_pointer_cast<UIView>(notification.object);
  textFieldView_ = view;
  if (!view) return;

  if (overrideKeyboardAppearance_) {
    auto current = KBKeyboardAppearanceOf(view);
    if (current && *current != keyboardAppearance_) {
      auto appearance = static_cast<UIKeyboardAppearance>(keyboardAppearance_);
      if (auto field = std::dynamic_pointer_cast<UITextField>(view))
        field->setKeyboardAppearance(appearance);
      if (auto textView = std::dynamic_pointer_cast<UITextView>(view))
        textView->setKeyboardAppearance(appearance);
      view->reloadInputViews();
    }
  }
  if (!isTextFieldViewFrameChanged_) textFieldViewIntialFrame_ = view->frame();

  if (enableAutoToolbar_) {
    auto textView = std::dynamic_pointer_cast<UITextView>(view);
    if (textView && !textView->inputAccessoryView()) {
      std::weak_ptr<KBKeyboardManager> weak = self();
      std::weak_ptr<UIView> weakView = view;
      UIView::animateWithDuration(
          0.00001, 0, animationOptions(), [this] { addToolbarIfRequired(); },
          [weak, weakView](bool) {
            auto manager = weak.lock();
            auto edited = weakView.lock();
            if (!manager || !edited) return;
            if (manager->isTextFieldViewFrameChanged_) {
              manager->isTextFieldViewFrameChanged_ = false;
              edited->setFrame(manager->textFieldViewIntialFrame_);
            }
            edited->reloadInputViews();
          });
    } else {
      addToolbarIfRequired();
    }
  }

  if (!enable_) return;
  if (auto window = view->window()) window->addGestureRecognizer(tapGesture_);

  if (!isKeyboardShowing_) {
    auto owner = viewController(view);
    auto constraint = KBLayoutGuideConstraint(owner);
    layoutGuideConstraintInitialConstant_ = constraint ? constraint->constant() : 0;
    layoutGuideConstraint_ = constraint;
    layoutGuideController_ = owner;
    auto root = topMostController(view);
    if (!root) root = topMostController(keyWindow());
    rootViewController_ = root;
    topViewBeginRect_ = root ? root->view()->frame() : CGRectZero;
  }

  if (!isAlertViewTextField(view) && !controllerIsDisabled(view)) adjustFrame();
}

void KBKeyboardManager::textFieldViewDidEndEditing(const NSNotification& notification) {
  auto view = textFieldView_.lock();
  if (!view) view = std::dynamic_pointer_cast<UIView>(notification.object);
  if (view) {
    if (auto window = view->window()) window->removeGestureRecognizer(tapGesture_);
  }
  if (tapGesture_) {
    if (auto holder = tapGesture_->view()) holder->removeGestureRecognizer(tapGesture_);
  }
  if (isTextFieldViewFrameChanged_ && view) {
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      isTextFieldViewFrameChanged_ = false;
      view->setFrame(textFieldViewIntialFrame_);
    });
  }
  textFieldView_.reset();
}

void KBKeyboardManager::textFieldViewDidChange(const NSNotification& notification) {
  if (!shouldFixTextViewClip_) return;
  auto textView = std::dynamic_pointer_cast<UITextView>(notification.object);
  if (!textView) return;
  CGRect caret = textView->caretRectForPosition(textView->selectedRange().location);
  UIEdgeInsets inset = textView->contentInset();
  double overflow =
      CGRectGetMaxY(caret) -
      (textView->contentOffset().y + textView->bounds().size.height - inset.bottom - inset.top);
  // A caret far off (an infinite rectangle, for one) is ignored.
  if (overflow > 0 && overflow < FLT_MAX) {
    CGPoint offset = textView->contentOffset();
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      textView->setContentOffset(CGPointMake(offset.x, offset.y + overflow + 7.0));
    });
  }
}

void KBKeyboardManager::willChangeStatusBarOrientation(const NSNotification&) {
  auto view = textFieldView_.lock();
  if (!isTextFieldViewFrameChanged_ || !view) return;
  UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
    isTextFieldViewFrameChanged_ = false;
    view->setFrame(textFieldViewIntialFrame_);
  });
}

// --- Tap outside ---------------------------------------------------------------------------------

void KBKeyboardManager::tapRecognized(UIGestureRecognizer& gesture) {
  if (gesture.state() == UIGestureRecognizerStateEnded) resignFirstResponder();
}

bool KBKeyboardManager::shouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&,
                                                                           UIGestureRecognizer&) {
  return false;
}

bool KBKeyboardManager::shouldReceiveTouch(UIGestureRecognizer&, const UITouch& touch) {
  auto view = touch.view();
  if (!view) return true;
  return !(std::dynamic_pointer_cast<UIControl>(view) || view->isKindOfClass("UINavigationBar"));
}

bool KBKeyboardManager::resignFirstResponder() {
  auto view = textFieldView_.lock();
  if (!view) return false;
  if (!view->resignFirstResponder()) {
    view->becomeFirstResponder();
    return false;
  }
  return true;
}
