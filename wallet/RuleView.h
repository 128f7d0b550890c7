#pragma once
// The exchange rules popup ("兑换规则", 300 x 300 in the shop tab): five numbered rows and the
// button "我知道了", which asks the owner to close it. Made with UIView::make<RuleView>(frame);
// the delegate is held weakly. Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class RuleViewDelegate {
 public:
  virtual ~RuleViewDelegate() = default;
  virtual void hideRuleView() = 0;
};

class RuleView : public UIView {
  TOVIRA_CLASS(RuleView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<RuleViewDelegate> delegate;

  void alreadyKnow();
  std::shared_ptr<UIView> createNum(const std::string& number) const;
};
