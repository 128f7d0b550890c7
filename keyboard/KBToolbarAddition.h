#pragma once
// The keyboard-toolbar methods that every view gains: building a bar of a given shape and
// installing it as the view's input accessory view, the per-view title flag, the custom
// previous/next/done actions, and enabling the previous and next buttons.
//
// A view takes a bar only when it accepts an accessory view (text fields and text views);
// others are left alone. Each build makes a new bar that replaces the view's current one.
// Targets are held weakly: a freed target makes its buttons do nothing. Main thread only.
//
// Each bar shape comes in three forms: with the title to show (nullopt for none), with
// shouldShowPlaceholder (the view's own placeholder as the title when YES), and with neither
// (no title).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/NSInvocation.h"
#include "platform/uikit/TargetAction.h"
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UIView.h"

// A bar button's action; the sender is the pressed item.
using KBAction = std::function<void(UIBarButtonItem& sender)>;
using KBTitle = std::optional<std::string>;

// Title, flexible space, a text button in the Done style.
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action, const KBTitle& titleText);
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action, const char* titleText);
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action,
                                      bool shouldShowPlaceholder);
void addRightButtonOnKeyboardWithText(const std::shared_ptr<UIView>& view, const std::string& text,
                                      WeakTarget target, KBAction action);

// Title, flexible space, the system Done button.
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, const KBTitle& titleText);
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, const char* titleText);
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action, bool shouldShowPlaceholder);
void addDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                 KBAction action);

// A plain text button (left action), title, flexible space, a plain text button (right action).
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, const KBTitle& titleText);
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, const char* titleText);
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction, bool shouldShowPlaceholder);
void addLeftRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                      const std::string& leftButtonTitle,
                                      const std::string& rightButtonTitle, KBAction leftAction,
                                      KBAction rightAction);

// The system Cancel button, title, flexible space, the system Done button.
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       const KBTitle& titleText);
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       const char* titleText);
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction,
                                       bool shouldShowPlaceholder);
void addCancelDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                       KBAction cancelAction, KBAction doneAction);

// The previous/next group, title, flexible space, the system Done button.
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, const KBTitle& titleText);
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, const char* titleText);
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction, bool shouldShowPlaceholder);
void addPreviousNextDoneOnKeyboardWithTarget(const std::shared_ptr<UIView>& view, WeakTarget target,
                                             KBAction previousAction, KBAction nextAction,
                                             KBAction doneAction);

// The previous/next group, title, flexible space, a text button in the Done style.
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction, const KBTitle& titleText);
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction, const char* titleText);
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction,
                                              bool shouldShowPlaceholder);
void addPreviousNextRightOnKeyboardWithTarget(const std::shared_ptr<UIView>& view,
                                              WeakTarget target,
                                              const std::string& rightButtonTitle,
                                              KBAction previousAction, KBAction nextAction,
                                              KBAction rightButtonAction);

// setEnablePrevious:next: enables the previous and next buttons of the view's bar, found by
// their role; a bar without them (a Done bar, a bar of another shape) is left alone.
void setEnablePrevious(const std::shared_ptr<UIView>& view, bool previous, bool next);

// With YES, every bar built for the view has no title; the current bar's title follows at once.
void setShouldHideTitle(const std::shared_ptr<UIView>& view, bool hide);
bool shouldHideTitle(const std::shared_ptr<UIView>& view);

// The view's custom actions, run by the keyboard manager after its own previous, next and done
// moves. The action receives the target and the view; neither is retained.
using KBCustomAction =
    std::function<void(const std::shared_ptr<void>& target, const std::shared_ptr<UIView>& view)>;
void setCustomPreviousTarget(const std::shared_ptr<UIView>& view,
                             const std::shared_ptr<void>& target, KBCustomAction action);
void setCustomNextTarget(const std::shared_ptr<UIView>& view, const std::shared_ptr<void>& target,
                         KBCustomAction action);
void setCustomDoneTarget(const std::shared_ptr<UIView>& view, const std::shared_ptr<void>& target,
                         KBCustomAction action);
void setPreviousInvocation(const std::shared_ptr<UIView>& view,
                           std::shared_ptr<NSInvocation> invocation);
void setNextInvocation(const std::shared_ptr<UIView>& view,
                       std::shared_ptr<NSInvocation> invocation);
void setDoneInvocation(const std::shared_ptr<UIView>& view,
                       std::shared_ptr<NSInvocation> invocation);
std::shared_ptr<NSInvocation> previousInvocation(const std::shared_ptr<UIView>& view);
std::shared_ptr<NSInvocation> nextInvocation(const std::shared_ptr<UIView>& view);
std::shared_ptr<NSInvocation> doneInvocation(const std::shared_ptr<UIView>& view);

// What the toolbar code asks of a view, as the platform's "responds to" tests would.
bool KBRespondsToInputAccessoryView(const std::shared_ptr<UIView>& view);
std::shared_ptr<UIView> KBInputAccessoryView(const std::shared_ptr<UIView>& view);
void KBSetInputAccessoryView(const std::shared_ptr<UIView>& view, std::shared_ptr<UIView> bar);
// The view's placeholder; nullopt when it has no placeholder property (or, for the placeholder
// text view, none set).
std::optional<std::string> KBPlaceholder(const std::shared_ptr<UIView>& view);
// The view's keyboard appearance; nullopt when it has none.
std::optional<long> KBKeyboardAppearanceOf(const std::shared_ptr<UIView>& view);

// The roles of the previous and next buttons on a bar.
bool KBIsPreviousItem(const std::shared_ptr<UIBarButtonItem>& item);
bool KBIsNextItem(const std::shared_ptr<UIBarButtonItem>& item);
