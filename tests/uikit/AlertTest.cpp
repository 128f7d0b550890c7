#include <thread>

#include "uikit/UIKitFixture.h"

namespace {
// Writes each click and dismissal with its button into one log.
struct AlertLog : UIAlertViewDelegate {
  std::vector<std::string> calls;
  void clickedButtonAtIndex(UIAlertView& a, long i) override {
    calls.push_back("clicked " + std::to_string(i) + " " + a.buttonTitleAtIndex(i));
  }
  void didDismissWithButtonIndex(UIAlertView&, long i) override {
    calls.push_back("dismissed " + std::to_string(i));
  }
};

// Dismisses the alert again from inside each callback before the dismissal ends.
struct Closer : AlertLog {
  void clickedButtonAtIndex(UIAlertView& a, long i) override {
    AlertLog::clickedButtonAtIndex(a, i);
    a.dismissWithClickedButtonIndex(i, true);
  }
  void willDismissWithButtonIndex(UIAlertView& a, long i) override {
    calls.push_back("will " + std::to_string(i));
    a.dismissWithClickedButtonIndex(i, true);
  }
};
}  // namespace

class AlertTest : public UIKitFixture {
 protected:
  std::shared_ptr<AlertLog> log = std::make_shared<AlertLog>();
};

TEST_F(AlertTest, ADelegateThatDismissesFromItsCallbacksIsToldOfOneDismissalOnly) {
  auto log = std::make_shared<Closer>();
  UIAlertView::create("提示", "确定退出？", log, "取消", {"确定"})->show();
  EXPECT_TRUE(Automation::pressAlertButton("确定"));
  EXPECT_EQ(log->calls, (std::vector<std::string>{"clicked 1 确定", "will 1", "dismissed 1"}));
  EXPECT_EQ(Automation::currentAlert(), nullptr);

  // Once dismissed, it can be shown and dismissed again.
  UIAlertView::shownAlerts().back()->show();
  EXPECT_TRUE(Automation::pressAlertButton("取消"));
  EXPECT_EQ(log->calls.back(), "dismissed 0");
}

TEST_F(AlertTest, AlertsAreRecordedAndTheirButtonsReachTheDelegate) {
  UIAlertView::create("提示", "请安装畅聊支付控件并信任", log, "取消", {"安装"})->show();
  EXPECT_EQ(Automation::alertText(), "提示 | 请安装畅聊支付控件并信任 | [取消, 安装]");
  EXPECT_TRUE(Automation::pressAlertButton("安装"));
  EXPECT_EQ(log->calls, (std::vector<std::string>{"clicked 1 安装", "dismissed 1"}));
  EXPECT_EQ(UIAlertView::currentAlert(), nullptr);
  EXPECT_FALSE(Automation::pressAlertButton("安装"));
}

TEST_F(AlertTest, AlertsStackAndProgrammaticDismissalDoesNotClick) {
  auto first = UIAlertView::create("一", "", log, "确定");
  auto second = UIAlertView::create("二", "", log, "", {"好"});
  first->show();
  second->show();
  second->show();  // showing again changes nothing
  EXPECT_EQ(UIAlertView::visibleAlerts().size(), 2u);
  EXPECT_EQ(Automation::currentAlert(), second);
  EXPECT_EQ(second->cancelButtonIndex(), -1);
  second->dismissWithClickedButtonIndex(0, true);
  EXPECT_EQ(Automation::currentAlert(), first);
  EXPECT_TRUE(Automation::pressAlertButtonAtIndex(0));
  EXPECT_EQ(log->calls, (std::vector<std::string>{"dismissed 0", "clicked 0 确定", "dismissed 0"}));
  EXPECT_FALSE(first->isVisible());
}

TEST_F(AlertTest, AnAlertShownFromAWorkerThreadAppearsOnTheMainThread) {
  std::thread worker([] { UIAlertView::create("兑换失败", "余额不足", {}, "确定")->show(); });
  worker.join();
  EXPECT_EQ(UIAlertView::currentAlert(), nullptr);
  pump();
  ASSERT_TRUE(UIAlertView::currentAlert());
  EXPECT_EQ(UIAlertView::currentAlert()->message(), "余额不足");
}
