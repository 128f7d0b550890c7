#pragma once
// The confirm popup of an exchange (300 x 210): the amount, the receiving account and its
// platform, filled by the shop tab, and the one button "确认兑换". It closes only through that
// button. Made with UIView::make<CertainDuiHuanView>(frame); the delegate is held weakly.
// Main thread only.

#include <memory>

#include "platform/uikit/UIView.h"

class UILabel;

class CertainDuiHuanViewDelegate {
 public:
  virtual ~CertainDuiHuanViewDelegate() = default;
  virtual void reallyDuiHuan() = 0;
};

class CertainDuiHuanView : public UIView {
  TOVIRA_CLASS(CertainDuiHuanView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<CertainDuiHuanViewDelegate> delegate;
  std::shared_ptr<UILabel> duihuanLabel;
  std::shared_ptr<UILabel> accountLabel;
  std::shared_ptr<UILabel> platLabel;

  void queRenDuiHuan();
};
