// The keyboard manager's automatic toolbar: which fields form the chain of the edited view,
// the bars that it installs on them, and the moves of the bars' buttons.

#include <algorithm>

#include "keyboard/KBKeyboardManager.h"
#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBTextView.h"
#include "keyboard/KBToolbar.h"
#include "keyboard/KBToolbarAddition.h"
#include "keyboard/KBViewHierarchy.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIViewController.h"

namespace {
// The Done bar that every lone field of the process shares once it is built; it lives to the
// end of the process and is not torn down at exit.
std::shared_ptr<UIView>& sharedDoneBar() {
  static auto* bar = new std::shared_ptr<UIView>();
  return *bar;
}

long indexIn(const std::vector<std::shared_ptr<UIView>>& views, const std::shared_ptr<UIView>& v) {
  auto it = std::find(views.begin(), views.end(), v);
  return it == views.end() ? -1 : static_cast<long>(it - views.begin());
}

bool isBarTagged(const std::shared_ptr<UIView>& bar, long tag) { return bar && bar->tag() == tag; }
}  // namespace

std::vector<std::shared_ptr<UIView>> KBKeyboardManager::responderViews() const {
  auto view = textFieldView_.lock();
  if (!view) return {};
  for (const auto& className : toolbarPreviousNextConsideredClass_) {
    if (auto container = superviewOfClassType(view, className))
      return deepResponderViews(container);
  }
  auto siblings = responderSiblings(view);
  switch (toolbarManageBehaviour_) {
    case KBAutoToolbarBySubviews:
      return siblings;
    case KBAutoToolbarByTag:
      return sortedArrayByTag(siblings);
    case KBAutoToolbarByPosition:
      return sortedArrayByPosition(siblings);
    default:
      return {};
  }
}

bool KBKeyboardManager::canGoPrevious() const {
  auto views = responderViews();
  long index = indexIn(views, textFieldView_.lock());
  return index > 0;
}

bool KBKeyboardManager::canGoNext() const {
  auto views = responderViews();
  long index = indexIn(views, textFieldView_.lock());
  return index >= 0 && index < static_cast<long>(views.size()) - 1;
}

bool KBKeyboardManager::goPrevious() {
  auto views = responderViews();
  auto current = textFieldView_.lock();
  long index = indexIn(views, current);
  if (index <= 0) return false;
  bool moved = views[index - 1]->becomeFirstResponder();
  if (!moved && current) current->becomeFirstResponder();
  return moved;
}

bool KBKeyboardManager::goNext() {
  auto views = responderViews();
  auto current = textFieldView_.lock();
  long index = indexIn(views, current);
  if (index < 0 || index >= static_cast<long>(views.size()) - 1) return false;
  bool moved = views[index + 1]->becomeFirstResponder();
  if (!moved && current) current->becomeFirstResponder();
  return moved;
}

void KBKeyboardManager::styleAndTitle(const std::shared_ptr<UIView>& field) {
  auto bar = std::dynamic_pointer_cast<KBToolbar>(KBInputAccessoryView(field));
  if (!bar) return;
  if (KBIsSystem7OrLater()) {
    if (auto appearance = KBKeyboardAppearanceOf(field)) {
      if (*appearance == UIKeyboardAppearanceDark) {
        if (bar->barStyle() != UIBarStyleBlack) bar->setBarStyle(UIBarStyleBlack);
        bar->setTintColor(UIColor::whiteColor());
      } else {
        if (bar->barStyle() != UIBarStyleDefault) bar->setBarStyle(UIBarStyleDefault);
        auto tint =
            shouldToolbarUsesTextFieldTintColor_ ? field->tintColor() : defaultToolbarTintColor_;
        if (!UIColorEqual(bar->tintColor(), tint)) bar->setTintColor(tint);
      }
    }
  }
  if (!shouldShowTextFieldPlaceholder_ || shouldHideTitle(field)) {
    if (bar->title()) bar->setTitle(std::nullopt);
    return;
  }
  if (std::dynamic_pointer_cast<UITextField>(field) ||
      std::dynamic_pointer_cast<KBTextView>(field)) {
    auto placeholder = KBPlaceholder(field);
    if (bar->title() != placeholder) bar->setTitle(placeholder);
  } else if (bar->title()) {
    bar->setTitle(std::nullopt);
  }
  if (placeholderFont_ && bar->titleFont() != placeholderFont_) bar->setTitleFont(placeholderFont_);
}

void KBKeyboardManager::addToolbarIfRequired() {
  auto view = textFieldView_.lock();
  if (auto vc = viewController(view)) {
    for (const auto& name : disabledToolbarClasses_) {
      if (vc->isKindOfClass(name)) {
        removeToolbarIfRequired();
        return;
      }
    }
  }
  auto fields = responderViews();
  std::weak_ptr<KBKeyboardManager> weak = self();
  auto previous = [weak](UIBarButtonItem& s) {
    if (auto m = weak.lock()) m->previousAction(s);
  };
  auto next = [weak](UIBarButtonItem& s) {
    if (auto m = weak.lock()) m->nextAction(s);
  };
  auto done = [weak](UIBarButtonItem& s) {
    if (auto m = weak.lock()) m->doneAction(s);
  };

  if (fields.size() == 1) {
    auto field = fields[0];
    auto accessory = KBInputAccessoryView(field);
    if (KBRespondsToInputAccessoryView(field) &&
        (!accessory || isBarTagged(accessory, kKBPreviousNextButtonToolbarTag))) {
      if (sharedDoneBar()) {
        KBSetInputAccessoryView(field, sharedDoneBar());
      } else {
        addDoneOnKeyboardWithTarget(field, WeakTarget(weak), done, shouldShowTextFieldPlaceholder_);
        sharedDoneBar() = KBInputAccessoryView(field);
        if (sharedDoneBar()) sharedDoneBar()->setTag(kKBDoneButtonToolbarTag);
      }
    }
    accessory = KBInputAccessoryView(field);
    if (std::dynamic_pointer_cast<KBToolbar>(accessory) &&
        isBarTagged(accessory, kKBDoneButtonToolbarTag))
      styleAndTitle(field);
    return;
  }

  for (size_t i = 0; i < fields.size(); ++i) {
    auto field = fields[i];
    auto accessory = KBInputAccessoryView(field);
    if (KBRespondsToInputAccessoryView(field) &&
        (!accessory || isBarTagged(accessory, kKBDoneButtonToolbarTag))) {
      addPreviousNextDoneOnKeyboardWithTarget(field, WeakTarget(weak), previous, next, done,
                                              shouldShowTextFieldPlaceholder_);
      if (auto bar = KBInputAccessoryView(field)) bar->setTag(kKBPreviousNextButtonToolbarTag);
    }
    accessory = KBInputAccessoryView(field);
    if (std::dynamic_pointer_cast<KBToolbar>(accessory) &&
        isBarTagged(accessory, kKBPreviousNextButtonToolbarTag)) {
      styleAndTitle(field);
      if (i == 0) {
        setEnablePrevious(field, false, true);
      } else if (i == fields.size() - 1) {
        setEnablePrevious(field, true, false);
      } else {
        setEnablePrevious(field, true, true);
      }
    }
  }
}

void KBKeyboardManager::removeToolbarIfRequired() {
  for (auto& view : responderViews()) {
    auto accessory = KBInputAccessoryView(view);
    if (KBRespondsToInputAccessoryView(view) && std::dynamic_pointer_cast<KBToolbar>(accessory) &&
        (isBarTagged(accessory, kKBDoneButtonToolbarTag) ||
         isBarTagged(accessory, kKBPreviousNextButtonToolbarTag)))
      KBSetInputAccessoryView(view, nullptr);
  }
}

void KBKeyboardManager::previousAction(UIBarButtonItem&) {
  if (shouldPlayInputClicks_) UIDevice::currentDevice()->playInputClick();
  if (!canGoPrevious()) return;
  auto left = textFieldView_.lock();
  if (goPrevious()) {
    if (auto invocation = previousInvocation(left)) invocation->invoke();
  }
}

void KBKeyboardManager::nextAction(UIBarButtonItem&) {
  if (shouldPlayInputClicks_) UIDevice::currentDevice()->playInputClick();
  if (!canGoNext()) return;
  auto left = textFieldView_.lock();
  if (goNext()) {
    if (auto invocation = nextInvocation(left)) invocation->invoke();
  }
}

void KBKeyboardManager::doneAction(UIBarButtonItem&) {
  if (shouldPlayInputClicks_) UIDevice::currentDevice()->playInputClick();
  auto left = textFieldView_.lock();
  if (resignFirstResponder()) {
    if (auto invocation = doneInvocation(left)) invocation->invoke();
  }
}
