#pragma once
// The gold recharge page, the second page of the shop tab ("金币充值"): the four steps of
// buying a recharge card, the shop's name with a copy button, the entry to the card link
// grid, and the card form (account to credit, card number, card password). It sends nothing
// itself: it hands the three texts to its delegate, the shop tab.
//
// Made with UIView::make<JinBiView>(frame); reads UserData once, to preset the account field.
// The delegate is held weakly. Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UITextField;

class JinBinDelegate {
 public:
  virtual ~JinBinDelegate() = default;
  // The player asked for the card link grid.
  virtual void jinbiCard() = 0;
  // The player confirmed a recharge with these texts (each "" when its field is empty).
  // Answers whether a request went out, whatever came back: a form refused before sending
  // (nobody logged in, an empty field, a request too long to encipher) keeps what was typed.
  virtual bool querenChongzhi(const std::string& account, const std::string& cardnum,
                              const std::string& cardpsd) = 0;
};

class JinBiView : public UIView {
  TOVIRA_CLASS(JinBiView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<JinBinDelegate> delegate;
  std::shared_ptr<UITextField> accText;
  std::shared_ptr<UITextField> cardText;
  std::shared_ptr<UITextField> psdText;

  void copyName();
  void buyCard();
  void deleteText();
  void certainGiveM();
  std::shared_ptr<UIView> createNum(const std::string& number) const;
};
