#pragma once
// The how-to-get-gold popup ("怎样获得金币", 300 x 320 in the shop tab): four numbered rows, a
// navigation line with links to the invitation tab, the shop and the gift tab, and the button
// "我知道了". Made with UIView::make<HowGetJinBiView>(frame); the delegate is held weakly.
// Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class HowGetJBViewDelegate {
 public:
  virtual ~HowGetJBViewDelegate() = default;
  virtual void hideHowGetJBView() = 0;
  virtual void htoFriend() = 0;
  virtual void htoShop() = 0;
  virtual void htoLibao() = 0;
};

class HowGetJinBiView : public UIView {
  TOVIRA_CLASS(HowGetJinBiView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<HowGetJBViewDelegate> delegate;

  void alreadyKnow();
  void toFriend();
  void toShop();
  void toLibao();
  std::shared_ptr<UIView> createNum(const std::string& number) const;
};
