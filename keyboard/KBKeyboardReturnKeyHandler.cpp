#include "keyboard/KBKeyboardReturnKeyHandler.h"

#include <algorithm>

#include "keyboard/KBKeyboardManager.h"
#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBViewHierarchy.h"
#include "platform/uikit/UIViewController.h"

TOVIRA_REGISTER_CLASS(KBKeyboardReturnKeyHandler, NSObject)

namespace {
std::shared_ptr<UIView> viewOf(UIView& view) { return view.sharedSelf<UIView>(); }
}  // namespace

KBKeyboardReturnKeyHandler::KBKeyboardReturnKeyHandler() = default;

KBKeyboardReturnKeyHandler::~KBKeyboardReturnKeyHandler() {
  for (const auto& record : records_) giveBack(record);
  records_.clear();
}

std::shared_ptr<KBKeyboardReturnKeyHandler> KBKeyboardReturnKeyHandler::create() {
  return std::make_shared<KBKeyboardReturnKeyHandler>();
}

std::shared_ptr<KBKeyboardReturnKeyHandler> KBKeyboardReturnKeyHandler::create(
    const std::shared_ptr<UIViewController>& controller) {
  auto handler = create();
  if (controller) handler->addResponderFromView(controller->view());
  return handler;
}

void KBKeyboardReturnKeyHandler::addResponderFromView(const std::shared_ptr<UIView>& view) {
  for (auto& field : deepResponderViews(view)) addTextFieldView(field);
}

void KBKeyboardReturnKeyHandler::removeResponderFromView(const std::shared_ptr<UIView>& view) {
  for (auto& field : deepResponderViews(view)) removeTextFieldView(field);
}

void KBKeyboardReturnKeyHandler::addTextFieldView(const std::shared_ptr<UIView>& view) {
  // A second adoption would save the handler itself as the former delegate, and the field
  // could never get its own back: the first record stands.
  if (!view || textFieldCachedInfo(view)) return;
  auto self = std::static_pointer_cast<KBKeyboardReturnKeyHandler>(weak_from_this().lock());
  if (!self) return;
  Record record;
  record.textField = view;
  if (auto field = std::dynamic_pointer_cast<UITextField>(view)) {
    record.returnKeyType = field->returnKeyType();
    record.fieldDelegate = field->delegate();
    record.hadDelegate = field->delegate() != nullptr;
    field->setDelegate(std::weak_ptr<UITextFieldDelegate>(self));
  } else if (auto textView = std::dynamic_pointer_cast<UITextView>(view)) {
    record.returnKeyType = textView->returnKeyType();
    record.textViewDelegate = textView->UITextView::delegate();
    record.hadDelegate = !record.textViewDelegate.expired();
    textView->setDelegate(std::weak_ptr<UITextViewDelegate>(self));
  } else {
    return;
  }
  records_.push_back(std::move(record));
}

void KBKeyboardReturnKeyHandler::giveBack(const Record& record) {
  if (auto field = std::dynamic_pointer_cast<UITextField>(record.textField)) {
    field->setReturnKeyType(static_cast<UIReturnKeyType>(record.returnKeyType));
    field->setDelegate(record.fieldDelegate);
  } else if (auto textView = std::dynamic_pointer_cast<UITextView>(record.textField)) {
    textView->setReturnKeyType(static_cast<UIReturnKeyType>(record.returnKeyType));
    textView->setDelegate(record.textViewDelegate);
  }
}

void KBKeyboardReturnKeyHandler::removeTextFieldView(const std::shared_ptr<UIView>& view) {
  auto it = std::find_if(records_.begin(), records_.end(),
                         [&](const Record& r) { return r.textField == view; });
  if (it == records_.end()) return;
  Record record = *it;
  records_.erase(it);
  giveBack(record);
}

const KBKeyboardReturnKeyHandler::Record* KBKeyboardReturnKeyHandler::textFieldCachedInfo(
    const std::shared_ptr<UIView>& view) const {
  for (const auto& record : records_)
    if (record.textField == view) return &record;
  return nullptr;
}

std::vector<std::shared_ptr<UIView>> KBKeyboardReturnKeyHandler::responderList(
    const std::shared_ptr<UIView>& view) const {
  if (auto table = superviewOfClassType(view, "UITableView")) return deepResponderViews(table);
  if (auto collection = superviewOfClassType(view, "UICollectionView"))
    return deepResponderViews(collection);
  auto siblings = responderSiblings(view);
  switch (KBKeyboardManager::sharedManager()->toolbarManageBehaviour()) {
    case KBAutoToolbarByTag:
      return sortedArrayByTag(siblings);
    case KBAutoToolbarByPosition:
      return sortedArrayByPosition(siblings);
    default:
      return siblings;
  }
}

void KBKeyboardReturnKeyHandler::updateReturnKeyTypeOnTextField(
    const std::shared_ptr<UIView>& view) {
  auto list = responderList(view);
  bool last = !list.empty() && list.back() == view;
  auto type = static_cast<UIReturnKeyType>(last ? lastTextFieldReturnKeyType_ : UIReturnKeyNext);
  if (auto field = std::dynamic_pointer_cast<UITextField>(view)) field->setReturnKeyType(type);
  if (auto textView = std::dynamic_pointer_cast<UITextView>(view)) textView->setReturnKeyType(type);
}

void KBKeyboardReturnKeyHandler::goToNextResponderOrResign(const std::shared_ptr<UIView>& view) {
  if (!view) return;
  auto list = responderList(view);
  auto it = std::find(list.begin(), list.end(), view);
  if (it != list.end() && it + 1 != list.end()) {
    (*(it + 1))->becomeFirstResponder();
  } else {
    view->resignFirstResponder();
  }
}

// --- Forwarding ----------------------------------------------------------------------------------

bool KBKeyboardReturnKeyHandler::textFieldShouldBeginEditing(UITextField& field) {
  auto d = delegate();
  return d ? d->textFieldShouldBeginEditing(field) : true;
}
void KBKeyboardReturnKeyHandler::textFieldDidBeginEditing(UITextField& field) {
  updateReturnKeyTypeOnTextField(viewOf(field));
  if (auto d = delegate()) d->textFieldDidBeginEditing(field);
}
bool KBKeyboardReturnKeyHandler::textFieldShouldEndEditing(UITextField& field) {
  auto d = delegate();
  return d ? d->textFieldShouldEndEditing(field) : true;
}
void KBKeyboardReturnKeyHandler::textFieldDidEndEditing(UITextField& field) {
  if (auto d = delegate()) d->textFieldDidEndEditing(field);
}
bool KBKeyboardReturnKeyHandler::shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                               const std::string& text) {
  auto d = delegate();
  return d ? d->shouldChangeCharactersInRange(field, range, text) : true;
}
bool KBKeyboardReturnKeyHandler::textFieldShouldClear(UITextField& field) {
  auto d = delegate();
  return d ? d->textFieldShouldClear(field) : true;
}
bool KBKeyboardReturnKeyHandler::textFieldShouldReturn(UITextField& field) {
  auto keep = viewOf(field);
  if (auto d = delegate()) {
    if (!d->textFieldShouldReturn(field)) return false;
  }
  goToNextResponderOrResign(keep);
  return true;
}
bool KBKeyboardReturnKeyHandler::textViewShouldBeginEditing(UITextView& view) {
  auto d = delegate();
  return d ? d->textViewShouldBeginEditing(view) : true;
}
void KBKeyboardReturnKeyHandler::textViewDidBeginEditing(UITextView& view) {
  updateReturnKeyTypeOnTextField(viewOf(view));
  if (auto d = delegate()) d->textViewDidBeginEditing(view);
}
bool KBKeyboardReturnKeyHandler::textViewShouldEndEditing(UITextView& view) {
  auto d = delegate();
  return d ? d->textViewShouldEndEditing(view) : true;
}
void KBKeyboardReturnKeyHandler::textViewDidEndEditing(UITextView& view) {
  if (auto d = delegate()) d->textViewDidEndEditing(view);
}
bool KBKeyboardReturnKeyHandler::shouldChangeTextInRange(UITextView& view, NSRange range,
                                                         const std::string& text) {
  auto keep = viewOf(view);
  if (auto d = delegate()) {
    if (!d->shouldChangeTextInRange(view, range, text)) return false;
  }
  // The line break is still entered into the text view that has just passed the focus on.
  if (text == "\n") goToNextResponderOrResign(keep);
  return true;
}
void KBKeyboardReturnKeyHandler::textViewDidChange(UITextView& view) {
  if (auto d = delegate()) d->textViewDidChange(view);
}
void KBKeyboardReturnKeyHandler::textViewDidChangeSelection(UITextView& view) {
  if (auto d = delegate()) d->textViewDidChangeSelection(view);
}
bool KBKeyboardReturnKeyHandler::shouldInteractWithURL(UITextView& view,
                                                       const std::shared_ptr<NSURL>& url,
                                                       NSRange range) {
  auto d = delegate();
  return d ? d->shouldInteractWithURL(view, url, range) : true;
}
bool KBKeyboardReturnKeyHandler::shouldInteractWithTextAttachment(
    UITextView& view, const std::shared_ptr<NSTextAttachment>& attachment, NSRange range) {
  auto d = delegate();
  return d ? d->shouldInteractWithTextAttachment(view, attachment, range) : true;
}
