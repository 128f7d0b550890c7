#include "uikit/UIKitFixture.h"

class AlertTest : public UIKitFixture {};

TEST_F(AlertTest, ADelegateThatDismissesFromItsCallbacksIsToldOfOneDismissalOnly) {
  struct Closer : UIAlertViewDelegate {
    int clicks = 0, will = 0, did = 0;
    void clickedButtonAtIndex(UIAlertView& a, long i) override {
      ++clicks;
      a.dismissWithClickedButtonIndex(i, true);
    }
    void willDismissWithButtonIndex(UIAlertView& a, long i) override {
      ++will;
      a.dismissWithClickedButtonIndex(i, true);
    }
    void didDismissWithButtonIndex(UIAlertView&, long) override { ++did; }
  };
  auto d = std::make_shared<Closer>();
  UIAlertView::create("提示", "确定退出？", d, "取消", {"确定"})->show();
  EXPECT_TRUE(Automation::pressAlertButton("确定"));
  EXPECT_EQ(d->clicks, 1);
  EXPECT_EQ(d->will, 1);
  EXPECT_EQ(d->did, 1);
  EXPECT_EQ(Automation::currentAlert(), nullptr);

  // Once dismissed, it can be shown and dismissed again.
  auto again = UIAlertView::shownAlerts().back();
  again->show();
  EXPECT_TRUE(Automation::pressAlertButton("取消"));
  EXPECT_EQ(d->did, 2);
}
