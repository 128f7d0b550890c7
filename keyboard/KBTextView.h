#pragma once
// A multi-line text view that shows a grey placeholder while it holds no text, and answers
// placeholder like a text field (so the keyboard toolbar can show it as its title).
//
// Every way of making one (create, make<KBTextView>, awakeFromNib) sets it up exactly once: it
// then follows its own text-change notification. Main thread only.

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/UITextView.h"

class UILabel;

class KBTextView : public UITextView {
  TOVIRA_CLASS(KBTextView)
 public:
  KBTextView();
  ~KBTextView() override;
  static std::shared_ptr<KBTextView> create(CGRect frame = CGRectZero);
  void initWithFrame(CGRect frame) override;
  // Made from an archived interface: the base behaviour, then the set-up.
  void awakeFromNib() override;

  // nullopt until set.
  const std::optional<std::string>& placeholder() const { return placeholder_; }
  void setPlaceholder(const std::optional<std::string>& placeholder);
  // Made by the first setPlaceholder; nullptr before.
  std::shared_ptr<UILabel> placeHolderLabel() const { return placeHolderLabel_; }

  // Shows the label (alpha 1) while the text is empty, hides it (alpha 0) otherwise.
  virtual void refreshPlaceholder() const;

  void setText(const std::string& text) override;
  void setFont(std::shared_ptr<UIFont> font) override;
  void layoutSubviews() override;
  // Refreshes the placeholder on every read, then answers the delegate.
  std::shared_ptr<UITextViewDelegate> delegate() const override;

 private:
  void initialize();
  bool setUp_ = false;
  std::optional<std::string> placeholder_;
  std::shared_ptr<UILabel> placeHolderLabel_;
};
