#pragma once
// A chained Return key for a form: every field but the last shows Next and moves the focus to
// the following field; the last shows `lastTextFieldReturnKeyType` and closes the keyboard.
//
// The handler makes itself the delegate of every field it adopts and forwards every delegate
// call to its own delegate. The fields' former delegates are held weakly, as the fields held
// them; released fields, and all fields when the handler ends, get their former delegate and
// return key back. Adopting a field twice changes nothing. The owner (a view controller) keeps
// the handler alive while its fields are adopted. Main thread only.

#include <memory>
#include <vector>

#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"

class UIViewController;

// What the handler's delegate receives: the text-field and the text-view calls.
class KBKeyboardReturnKeyHandlerDelegate : public UITextFieldDelegate, public UITextViewDelegate {};

class KBKeyboardReturnKeyHandler : public NSObject,
                                   public UITextFieldDelegate,
                                   public UITextViewDelegate {
  TOVIRA_CLASS(KBKeyboardReturnKeyHandler)
 public:
  KBKeyboardReturnKeyHandler();
  ~KBKeyboardReturnKeyHandler() override;
  // init: an empty handler.
  static std::shared_ptr<KBKeyboardReturnKeyHandler> create();
  // initWithViewController: adopts every field of the controller's view.
  static std::shared_ptr<KBKeyboardReturnKeyHandler> create(
      const std::shared_ptr<UIViewController>& controller);

  void addResponderFromView(const std::shared_ptr<UIView>& view);
  void removeResponderFromView(const std::shared_ptr<UIView>& view);
  void addTextFieldView(const std::shared_ptr<UIView>& view);
  void removeTextFieldView(const std::shared_ptr<UIView>& view);

  // One adopted field: itself, its return key and its delegate when it was adopted.
  struct Record {
    std::shared_ptr<UIView> textField;
    long returnKeyType = 0;
    std::weak_ptr<UITextFieldDelegate> fieldDelegate;
    std::weak_ptr<UITextViewDelegate> textViewDelegate;
    bool hadDelegate = false;
  };
  // The record of that very field, or nullptr.
  const Record* textFieldCachedInfo(const std::shared_ptr<UIView>& view) const;
  size_t adoptedCount() const { return records_.size(); }

  void updateReturnKeyTypeOnTextField(const std::shared_ptr<UIView>& view);
  void goToNextResponderOrResign(const std::shared_ptr<UIView>& view);

  long lastTextFieldReturnKeyType() const { return lastTextFieldReturnKeyType_; }
  void setLastTextFieldReturnKeyType(long type) { lastTextFieldReturnKeyType_ = type; }
  std::shared_ptr<KBKeyboardReturnKeyHandlerDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<KBKeyboardReturnKeyHandlerDelegate> d) {
    delegate_ = std::move(d);
  }

  // UITextFieldDelegate.
  bool textFieldShouldBeginEditing(UITextField& field) override;
  void textFieldDidBeginEditing(UITextField& field) override;
  bool textFieldShouldEndEditing(UITextField& field) override;
  void textFieldDidEndEditing(UITextField& field) override;
  bool shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                     const std::string& text) override;
  bool textFieldShouldClear(UITextField& field) override;
  bool textFieldShouldReturn(UITextField& field) override;
  // UITextViewDelegate.
  bool textViewShouldBeginEditing(UITextView& view) override;
  void textViewDidBeginEditing(UITextView& view) override;
  bool textViewShouldEndEditing(UITextView& view) override;
  void textViewDidEndEditing(UITextView& view) override;
  bool shouldChangeTextInRange(UITextView& view, NSRange range, const std::string& text) override;
  void textViewDidChange(UITextView& view) override;
  void textViewDidChangeSelection(UITextView& view) override;
  bool shouldInteractWithURL(UITextView& view, const std::shared_ptr<NSURL>& url,
                             NSRange range) override;
  bool shouldInteractWithTextAttachment(UITextView& view,
                                        const std::shared_ptr<NSTextAttachment>& attachment,
                                        NSRange range) override;

 private:
  std::vector<std::shared_ptr<UIView>> responderList(const std::shared_ptr<UIView>& view) const;
  static void giveBack(const Record& record);
  std::vector<Record> records_;
  long lastTextFieldReturnKeyType_ = UIReturnKeyDefault;
  std::weak_ptr<KBKeyboardReturnKeyHandlerDelegate> delegate_;
};
