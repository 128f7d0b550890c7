#pragma once
// The withdrawal notice popup ("提现需知", 280 x 250 over the withdrawal screen): two numbered
// paragraphs on the payout terms, their lines 3 points apart, and the button "我知道了", which
// asks the owner to close it.
// Made with UIView::make<NeedKnowView>(frame); the delegate is held weakly. Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class NeedKnowViewDelegate {
 public:
  virtual ~NeedKnowViewDelegate() = default;
  virtual void hideNeedKnowView() = 0;
};

class NeedKnowView : public UIView {
  TOVIRA_CLASS(NeedKnowView)
 public:
  void initWithFrame(CGRect frame) override;
  void initSubview();

  std::weak_ptr<NeedKnowViewDelegate> delegate;

  void alreadyKnow();
  std::shared_ptr<UIView> createNum(const std::string& number) const;
};
