#include "keyboard/KBToolbarAddition.h"

#include "keyboard/KBBarButtonItem.h"
#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBSegmentedNextPrevious.h"
#include "keyboard/KBTextView.h"
#include "keyboard/KBTitleBarButtonItem.h"
#include "keyboard/KBToolbar.h"
#include "platform/foundation/NSBundle.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"

namespace {
const char* const kHideTitleKey = "shouldHideTitle";
const char* const kPreviousInvocationKey = "previousInvocation";
const char* const kNextInvocationKey = "nextInvocation";
const char* const kDoneInvocationKey = "doneInvocation";
const char* const kRoleKey = "KBToolbarItemRole";
enum Role : long { kPreviousRole = 1, kNextRole = 2 };

// How much of the bar's width the buttons of each shape take; the title gets the rest.
struct Reserve {
  double newer, older;
};
constexpr Reserve kRightButton{74, 80};
constexpr Reserve kDone{76, 80};
constexpr Reserve kTwoButtons{132, 139};
constexpr Reserve kPreviousNext{138.5, 215};

KBTitle placeholderTitle(const std::shared_ptr<UIView>& view, bool shouldShowPlaceholder) {
  return shouldShowPlaceholder ? KBPlaceholder(view) : std::nullopt;
}

KBTitle fromCString(const char* text) { return text ? KBTitle(text) : std::nullopt; }

std::shared_ptr<UIImage> arrowImage(const char* name) {
  // The arrows live in the keyboard manager's resource bundle inside the main bundle.
  const std::string bundled = std::string("KBKeyboardManager.bundle/") + name;
  if (KBIsSystem8OrLater() &&
      NSBundle::mainBundle().pathForResource("KBKeyboardManager", "bundle").empty())
    return UIImage::imageNamed(name);
  return UIImage::imageNamed(bundled);
}

// A bar the view can take: the style follows the view's keyboard appearance on newer systems.
std::shared_ptr<KBToolbar> newBar(const std::shared_ptr<UIView>& view) {
  auto bar = KBToolbar::create();
  if (KBIsSystem7OrLater()) {
    if (auto appearance = KBKeyboardAppearanceOf(view))
      bar->setBarStyle(*appearance == UIKeyboardAppearanceDark ? UIBarStyleBlack
                                                               : UIBarStyleDefault);
  }
  return bar;
}

std::shared_ptr<KBTitleBarButtonItem> titleItem(const std::shared_ptr<UIView>& view,
                                                const KBToolbar& bar, Reserve reserve,
                                                const KBTitle& titleText) {
  double width = bar.frame().size.width - (KBIsSystem7OrLater() ? reserve.newer : reserve.older);
  return KBTitleBarButtonItem::create(CGRectMake(0, 0, width, 44.0),
                                      shouldHideTitle(view) ? std::nullopt : titleText);
}

void markRole(const std::shared_ptr<UIBarButtonItem>& item, Role role) {
  item->setAssociatedObject(kRoleKey, std::make_shared<long>(role));
}

bool hasRole(const std::shared_ptr<UIBarButtonItem>& item, Role role) {
  if (!item) return false;
  auto stored = item->associatedObjectAs<long>(kRoleKey);
  return stored && *stored == role;
}

// The previous/next group: two arrow buttons around a 23-point space, or on older systems one
// item holding the segmented control.
std::vector<std::shared_ptr<UIBarButtonItem>> previousNextGroup(WeakTarget target,
                                                                KBAction previousAction,
                                                                KBAction nextAction) {
  if (KBIsSystem7OrLater()) {
    auto previous = KBBarButtonItem::createWithImage(
        arrowImage("KBButtonBarArrowLeft"), UIBarButtonItemStylePlain, target, previousAction);
    markRole(previous, kPreviousRole);
    auto space = KBBarButtonItem::createSpace(UIBarButtonSystemItemFixedSpace, 23.0);
    auto next = KBBarButtonItem::createWithImage(arrowImage("KBButtonBarArrowRight"),
                                                 UIBarButtonItemStylePlain, target, nextAction);
    markRole(next, kNextRole);
    return {previous, space, next};
  }
  auto wrap = [](KBAction action) {
    return [action](const std::shared_ptr<void>&) {
      UIBarButtonItem none;
      if (action) action(none);
    };
  };
  // The control keeps its target strongly; liveness still follows the bar's weak target.
  std::shared_ptr<void> strongTarget = target.target.lock();
  auto control =
      KBSegmentedNextPrevious::create(strongTarget, wrap(previousAction), wrap(nextAction));
  return {KBBarButtonItem::createWithCustomView(control)};
}

void install(const std::shared_ptr<UIView>& view, const std::shared_ptr<KBToolbar>& bar,
             const std::vector<std::shared_ptr<UIBarButtonItem>>& items) {
  bar->setItems(items);
  KBSetInputAccessoryView(view, bar);
}
}  // namespace

// --- Responds-to tests -------------------------------------------------------------------------

bool KBRespondsToInputAccessoryView(const std::shared_ptr<UIView>& view) {
  return std::dynamic_pointer_cast<UITextField>(view) ||
         std::dynamic_pointer_cast<UITextView>(view);
}

std::shared_ptr<UIView> KBInputAccessoryView(const std::shared_ptr<UIView>& view) {
  return view ? view->inputAccessoryView() : nullptr;
}

void KBSetInputAccessoryView(const std::shared_ptr<UIView>& view, std::shared_ptr<UIView> bar) {
  if (auto field = std::dynamic_pointer_cast<UITextField>(view)) {
    field->setInputAccessoryView(std::move(bar));
  } else if (auto textView = std::dynamic_pointer_cast<UITextView>(view)) {
    textView->setInputAccessoryView(std::move(bar));
  }
}

std::optional<std::string> KBPlaceholder(const std::shared_ptr<UIView>& view) {
  if (auto field = std::dynamic_pointer_cast<UITextField>(view)) return field->placeholder();
  if (auto textView = std::dynamic_pointer_cast<KBTextView>(view)) return textView->placeholder();
  return std::nullopt;
}

std::optional<long> KBKeyboardAppearanceOf(const std::shared_ptr<UIView>& view) {
  if (auto field = std::dynamic_pointer_cast<UITextField>(view)) return field->keyboardAppearance();
  if (auto textView = std::dynamic_pointer_cast<UITextView>(view))
    return textView->keyboardAppearance();
  return std::nullopt;
}

bool KBIsPreviousItem(const std::shared_ptr<UIBarButtonItem>& item) {
  return hasRole(item, kPreviousRole);
}
bool KBIsNextItem(const std::shared_ptr<UIBarButtonItem>& item) { return hasRole(item, kNextRole); }

// --- Bars --------------------------------------------------------------------------------------

void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action,
                                      const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  install(view, bar,
          {titleItem(view, *bar, kRightButton, titleText),
           KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace),
           KBBarButtonItem::createWithTitle(text, UIBarButtonItemStyleDone, target, action)});
}
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action, const char* titleText) {
  addRightButtonOnKeyboardWithText(view, text, target, action, fromCString(titleText));
}
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action,
                                      bool shouldShowPlaceholder) {
  addRightButtonOnKeyboardWithText(view, text, target, action,
                                   placeholderTitle(view, shouldShowPlaceholder));
}
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action) {
  addRightButtonOnKeyboardWithText(view, text, target, action, KBTitle());
}

void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  install(view, bar,
          {titleItem(view, *bar, kDone, titleText),
           KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace),
           KBBarButtonItem::createSystem(UIBarButtonSystemItemDone, target, action)});
}
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, const char* titleText) {
  addDoneOnKeyboardWithTarget(view, target, action, fromCString(titleText));
}
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, bool shouldShowPlaceholder) {
  addDoneOnKeyboardWithTarget(view, target, action, placeholderTitle(view, shouldShowPlaceholder));
}
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action) {
  addDoneOnKeyboardWithTarget(view, target, action, KBTitle());
}

void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  install(view, bar,
          {KBBarButtonItem::createWithTitle(leftButtonTitle, UIBarButtonItemStylePlain, target,
                                            leftAction),
           titleItem(view, *bar, kTwoButtons, titleText),
           KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace),
           KBBarButtonItem::createWithTitle(rightButtonTitle, UIBarButtonItemStylePlain, target,
                                            rightAction)});
}
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, const char* titleText) {
  addLeftRightOnKeyboardWithTarget(view, target, leftButtonTitle, rightButtonTitle, leftAction,
                                   rightAction, fromCString(titleText));
}
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, bool shouldShowPlaceholder) {
  addLeftRightOnKeyboardWithTarget(view, target, leftButtonTitle, rightButtonTitle, leftAction,
                                   rightAction, placeholderTitle(view, shouldShowPlaceholder));
}
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction) {
  addLeftRightOnKeyboardWithTarget(view, target, leftButtonTitle, rightButtonTitle, leftAction,
                                   rightAction, KBTitle());
}

void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  install(view, bar,
          {KBBarButtonItem::createSystem(UIBarButtonSystemItemCancel, target, cancelAction),
           titleItem(view, *bar, kTwoButtons, titleText),
           KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace),
           KBBarButtonItem::createSystem(UIBarButtonSystemItemDone, target, doneAction)});
}
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       const char* titleText) {
  addCancelDoneOnKeyboardWithTarget(view, target, cancelAction, doneAction, fromCString(titleText));
}
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       bool shouldShowPlaceholder) {
  addCancelDoneOnKeyboardWithTarget(view, target, cancelAction, doneAction,
                                    placeholderTitle(view, shouldShowPlaceholder));
}
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction) {
  addCancelDoneOnKeyboardWithTarget(view, target, cancelAction, doneAction, KBTitle());
}

void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  auto items = previousNextGroup(target, previousAction, nextAction);
  items.push_back(titleItem(view, *bar, kPreviousNext, titleText));
  items.push_back(KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace));
  items.push_back(KBBarButtonItem::createSystem(UIBarButtonSystemItemDone, target, doneAction));
  install(view, bar, items);
}
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, const char* titleText) {
  addPreviousNextDoneOnKeyboardWithTarget(view, target, previousAction, nextAction, doneAction,
                                          fromCString(titleText));
}
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, bool shouldShowPlaceholder) {
  addPreviousNextDoneOnKeyboardWithTarget(view, target, previousAction, nextAction, doneAction,
                                          placeholderTitle(view, shouldShowPlaceholder));
}
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction) {
  addPreviousNextDoneOnKeyboardWithTarget(view, target, previousAction, nextAction, doneAction,
                                          KBTitle());
}

void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction,
                                              const KBTitle& titleText) {
  if (!KBRespondsToInputAccessoryView(view)) return;
  auto bar = newBar(view);
  auto items = previousNextGroup(target, previousAction, nextAction);
  items.push_back(titleItem(view, *bar, kPreviousNext, titleText));
  items.push_back(KBBarButtonItem::createSpace(UIBarButtonSystemItemFlexibleSpace));
  items.push_back(KBBarButtonItem::createWithTitle(rightButtonTitle, UIBarButtonItemStyleDone,
                                                   target, rightButtonAction));
  install(view, bar, items);
}
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction, const char* titleText) {
  addPreviousNextRightOnKeyboardWithTarget(view, target, rightButtonTitle, previousAction,
                                           nextAction, rightButtonAction, fromCString(titleText));
}
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction,
                                              bool shouldShowPlaceholder) {
  addPreviousNextRightOnKeyboardWithTarget(view, target, rightButtonTitle, previousAction,
                                           nextAction, rightButtonAction,
                                           placeholderTitle(view, shouldShowPlaceholder));
}
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction) {
  addPreviousNextRightOnKeyboardWithTarget(view, target, rightButtonTitle, previousAction,
                                           nextAction, rightButtonAction, KBTitle());
}

// --- Enabling, title flag, custom actions ------------------------------------------------------

void setEnablePrevious(const std::shared_ptr<UIView>& view, bool previous, bool next) {
  auto bar = std::dynamic_pointer_cast<KBToolbar>(KBInputAccessoryView(view));
  if (!bar) return;
  auto items = bar->items();
  if (items.empty()) return;
  // The arrow buttons are found by their role, so that a bar of another shape, or one whose
  // items were rearranged, never has some other button disabled by mistake.
  bool changed = false;
  for (auto& item : items) {
    bool want = KBIsPreviousItem(item) ? previous : next;
    if ((KBIsPreviousItem(item) || KBIsNextItem(item)) && item->isEnabled() != want) {
      item->setEnabled(want);
      changed = true;
    }
  }
  // The platform shows items through views built from them: rebuild to show the new states.
  if (changed) bar->setItems(items);
  if (auto control = std::dynamic_pointer_cast<KBSegmentedNextPrevious>(items[0]->customView())) {
    if (control->numberOfSegments() != 2) return;
    if (control->isEnabledForSegmentAtIndex(0) != previous)
      control->setEnabledForSegmentAtIndex(previous, 0);
    if (control->isEnabledForSegmentAtIndex(1) != next)
      control->setEnabledForSegmentAtIndex(next, 1);
  }
}

void setShouldHideTitle(const std::shared_ptr<UIView>& view, bool hide) {
  if (!view) return;
  view->setAssociatedObject(kHideTitleKey, std::make_shared<bool>(hide));
  auto placeholder = KBPlaceholder(view);
  auto bar = std::dynamic_pointer_cast<KBToolbar>(KBInputAccessoryView(view));
  if (!bar || !(std::dynamic_pointer_cast<UITextField>(view) ||
                std::dynamic_pointer_cast<KBTextView>(view)))
    return;
  bar->setTitle(hide ? std::nullopt : placeholder);
}

bool shouldHideTitle(const std::shared_ptr<UIView>& view) {
  if (!view) return false;
  auto stored = view->associatedObjectAs<bool>(kHideTitleKey);
  return stored && *stored;
}

namespace {
std::shared_ptr<NSInvocation> makeInvocation(const std::shared_ptr<UIView>& view,
                                             const std::shared_ptr<void>& target,
                                             KBCustomAction action) {
  if (!target || !action) return nullptr;
  std::weak_ptr<UIView> weakView = view;
  return NSInvocation::invocationWithTarget(
      target, [weakView, action](const std::shared_ptr<void>& liveTarget) {
        action(liveTarget, weakView.lock());
      });
}
}  // namespace

void setCustomPreviousTarget(const std::shared_ptr<UIView>& view,
                             const std::shared_ptr<void>& target, KBCustomAction action) {
  setPreviousInvocation(view, makeInvocation(view, target, std::move(action)));
}
void setCustomNextTarget(const std::shared_ptr<UIView>& view, const std::shared_ptr<void>& target,
                         KBCustomAction action) {
  setNextInvocation(view, makeInvocation(view, target, std::move(action)));
}
void setCustomDoneTarget(const std::shared_ptr<UIView>& view, const std::shared_ptr<void>& target,
                         KBCustomAction action) {
  setDoneInvocation(view, makeInvocation(view, target, std::move(action)));
}

void setPreviousInvocation(const std::shared_ptr<UIView>& view,
                           std::shared_ptr<NSInvocation> invocation) {
  if (view) view->setAssociatedObject(kPreviousInvocationKey, std::move(invocation));
}
void setNextInvocation(const std::shared_ptr<UIView>& view,
                       std::shared_ptr<NSInvocation> invocation) {
  if (view) view->setAssociatedObject(kNextInvocationKey, std::move(invocation));
}
void setDoneInvocation(const std::shared_ptr<UIView>& view,
                       std::shared_ptr<NSInvocation> invocation) {
  if (view) view->setAssociatedObject(kDoneInvocationKey, std::move(invocation));
}
std::shared_ptr<NSInvocation> previousInvocation(const std::shared_ptr<UIView>& view) {
  return view ? view->associatedObjectAs<NSInvocation>(kPreviousInvocationKey) : nullptr;
}
std::shared_ptr<NSInvocation> nextInvocation(const std::shared_ptr<UIView>& view) {
  return view ? view->associatedObjectAs<NSInvocation>(kNextInvocationKey) : nullptr;
}
std::shared_ptr<NSInvocation> doneInvocation(const std::shared_ptr<UIView>& view) {
  return view ? view->associatedObjectAs<NSInvocation>(kDoneInvocationKey) : nullptr;
}
