#include "platform/uikit/UIAlertView.h"

#include <algorithm>

#include "platform/foundation/RunLoop.h"

namespace {
std::mutex& alertMutex() {
  static std::mutex m;
  return m;
}
// Alerts on screen hold themselves alive here, as the platform retains a shown alert.
std::vector<std::shared_ptr<UIAlertView>>& visibleStack() {
  static std::vector<std::shared_ptr<UIAlertView>> v;
  return v;
}
std::vector<std::shared_ptr<UIAlertView>>& shownLog() {
  static std::vector<std::shared_ptr<UIAlertView>> v;
  return v;
}
}  // namespace

UIAlertView::UIAlertView() = default;

std::shared_ptr<UIAlertView> UIAlertView::create(
    const std::string& title, const std::string& message,
    std::weak_ptr<UIAlertViewDelegate> delegate, const std::string& cancelButtonTitle,
    const std::vector<std::string>& otherButtonTitles) {
  auto a = make<UIAlertView>(CGRectZero);
  a->title_ = title;
  a->message_ = message;
  a->delegate_ = std::move(delegate);
  if (!cancelButtonTitle.empty()) {
    a->buttons_.push_back(cancelButtonTitle);
    a->cancelIndex_ = 0;
  }
  for (const auto& t : otherButtonTitles) a->buttons_.push_back(t);
  return a;
}

long UIAlertView::addButtonWithTitle(const std::string& title) {
  buttons_.push_back(title);
  return static_cast<long>(buttons_.size()) - 1;
}

std::string UIAlertView::buttonTitleAtIndex(long index) const {
  if (index < 0 || index >= numberOfButtons()) return "";
  return buttons_[index];
}

void UIAlertView::show() {
  auto self = sharedSelf<UIAlertView>();
  if (!self) return;
  if (!RunLoop::main().isMainThread()) {
    // Screens may report from a worker thread; the alert still appears on the main thread.
    dispatch_async_main([self] { self->showOnMain(); });
    return;
  }
  showOnMain();
}

void UIAlertView::showOnMain() {
  auto self = sharedSelf<UIAlertView>();
  {
    std::lock_guard<std::mutex> lock(alertMutex());
    auto& stack = visibleStack();
    if (std::find(stack.begin(), stack.end(), self) != stack.end()) return;
    stack.push_back(self);
    shownLog().push_back(self);
  }
  if (auto d = delegate()) d->willPresentAlertView(*this);
  if (auto d = delegate()) d->didPresentAlertView(*this);
}

bool UIAlertView::isVisible() const {
  std::lock_guard<std::mutex> lock(alertMutex());
  for (auto& a : visibleStack()) {
    if (a.get() == this) return true;
  }
  return false;
}

void UIAlertView::pressButtonAtIndex(long index) { dismiss(index, true); }

void UIAlertView::dismissWithClickedButtonIndex(long index, bool) { dismiss(index, false); }

void UIAlertView::dismiss(long index, bool clicked) {
  auto self = sharedSelf<UIAlertView>();  // the stack may hold the last reference
  if (!self || dismissing_ || !isVisible()) return;
  dismissing_ = true;
  if (clicked) {
    if (auto d = delegate()) d->clickedButtonAtIndex(*this, index);
  }
  if (auto d = delegate()) d->willDismissWithButtonIndex(*this, index);
  {
    std::lock_guard<std::mutex> lock(alertMutex());
    auto& stack = visibleStack();
    stack.erase(std::remove(stack.begin(), stack.end(), self), stack.end());
  }
  dismissing_ = false;  // it may be shown again
  if (auto d = delegate()) d->didDismissWithButtonIndex(*this, index);
}

std::vector<std::shared_ptr<UIAlertView>> UIAlertView::visibleAlerts() {
  std::lock_guard<std::mutex> lock(alertMutex());
  return visibleStack();
}

std::vector<std::shared_ptr<UIAlertView>> UIAlertView::shownAlerts() {
  std::lock_guard<std::mutex> lock(alertMutex());
  return shownLog();
}

std::shared_ptr<UIAlertView> UIAlertView::currentAlert() {
  std::lock_guard<std::mutex> lock(alertMutex());
  return visibleStack().empty() ? nullptr : visibleStack().back();
}

void UIAlertView::resetRecorded() {
  std::vector<std::shared_ptr<UIAlertView>> drop1, drop2;  // destroyed outside the lock
  std::lock_guard<std::mutex> lock(alertMutex());
  drop1.swap(visibleStack());
  drop2.swap(shownLog());
}
