#pragma once
// The amount popup of an exchange: how many coins, to which bound game account. The shop tab
// creates it (UIView::make<UserJinBiDHView>(frame), 300 x 180) over its mask, fills the title,
// the note, the preset amount and the preview line, and is its delegate (held weakly).
// The popup lets its account list hang below its bottom edge; taps there still reach the
// list. Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"

class UIButton;
class UIGestureRecognizer;
class UILabel;
class UIScrollView;

class UseJinBiDHViewDelegate {
 public:
  virtual ~UseJinBiDHViewDelegate() = default;
  // "兑换": the account field's text, the amount field's text and the chosen platform id
  // ("" until an account is chosen).
  virtual void useJinBiDHViewDuiHuan(const std::string& account, const std::string& num,
                                     const std::string& plat) = 0;
  virtual void useJinBiDHViewCancel() = 0;
};

class UserJinBiDHView : public UIView, public UITextFieldDelegate {
  TOVIRA_CLASS(UserJinBiDHView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<UseJinBiDHViewDelegate> delegate;
  std::shared_ptr<UILabel> titleLabel;
  std::shared_ptr<UILabel> desLabel;
  std::shared_ptr<UILabel> duihuanLabel;
  std::shared_ptr<UITextField> numTextField;

  void duihuan();
  void cancel();
  void addNum();
  void usernameviewclick(UIGestureRecognizer& recognizer);
  // Rewrites the preview line from the amount field: "本次可兑换%@平台币".
  void listenGoldNum();
  // The preview line for an amount text, the number red from character 5.
  static void writePreview(UILabel& label, const std::string& amountText);

  bool textFieldShouldBeginEditing(UITextField& field) override;
  void textFieldDidEndEditing(UITextField& field) override;
  // YES inside the open account list as well, so the part of it below the popup takes taps.
  bool pointInside(CGPoint point, const UIEvent* event = nullptr) const override;

  // For tests.
  std::shared_ptr<UITextField> accountField() const { return accTextField_; }
  std::shared_ptr<UIButton> dropButton() const { return accBtn_; }
  std::shared_ptr<UIScrollView> accountList() const { return usernamedropscroll_; }

 private:
  void setAccountView();
  void closeAccountList();

  std::shared_ptr<UITextField> accTextField_;
  std::shared_ptr<UIButton> accBtn_;
  std::shared_ptr<UIScrollView> usernamedropscroll_;
  std::string yueplatid_;
  bool selected_ = true;  // YES while the list is closed
};
