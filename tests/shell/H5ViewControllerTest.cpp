#include <thread>

#include "parley/PaylumePayApi.h"
#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/H5ViewController.h"
#include "shell/ShellTestFixture.h"

namespace {
const char* kOrder =
    R"({"merchantId":"M100","out_trade_no":"T200","total_fee":6,"sub_mch_notify_url":"http://n.example/cb","body":"60元宝&礼包","nonce_str":"abc","sign":"S1"})";
}

class H5ViewControllerTest : public ShellTestFixture {
 protected:
  std::shared_ptr<H5ViewController> openPage() {
    launch();
    auto page = H5ViewController::create();
    top()->presentViewController(page, true);
    pump();
    return page;
  }
  std::vector<std::string> paymentURLs() {
    std::vector<std::string> urls;
    for (const auto& url : SimulatedDevice::shared().openedURLs()) {
      if (url.rfind("paylumepay://", 0) == 0) urls.push_back(url);
    }
    return urls;
  }
};

TEST_F(H5ViewControllerTest, WithThePaymentAppInstalledThePageOrderOpensIt) {
  SimulatedDevice::shared().installApp("paylumepay", [](const std::string&) { return true; });
  auto page = openPage();
  page->call(kOrder);
  pump();
  EXPECT_TRUE(page->payApi());
  EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey("paylumeurlSchemes"),
            "QXMarrowpay");
  const auto urls = paymentURLs();
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_NE(urls[0].find("merchantId=M100,outTradeNo=T200,amount=6,"), std::string::npos)
      << urls[0];
  EXPECT_NE(urls[0].find("urlSchemes=QXMarrowpay"), std::string::npos) << urls[0];
  EXPECT_FALSE(Automation::currentAlert());
}

// The page's script calls in on a thread of its own: the alert comes through the main queue.
TEST_F(H5ViewControllerTest, WithoutThePaymentAppTheAlertOffersItsInstallation) {
  SimulatedDevice::shared().installApp("itms-services", [](const std::string&) { return true; });
  auto page = openPage();
  for (const char* button : {"取消", "安装"}) {
    std::thread script([page] { page->call(kOrder); });
    script.join();
    EXPECT_FALSE(Automation::currentAlert()) << "nothing of UIKit ran on the script's thread";
    pump();
    EXPECT_EQ(Automation::alertText(), "提示 | 请安装畅聊支付控件并信任 | [取消, 安装]");
    ASSERT_TRUE(Automation::pressAlertButton(button));
    pump();
  }
  EXPECT_TRUE(paymentURLs().empty());
  EXPECT_EQ(SimulatedDevice::shared().openedURLs(),
            std::vector<std::string>{H5ViewController::kPayAppInstallUrl});
}

TEST_F(H5ViewControllerTest, MalformedJsonFromThePageDoesNotCrash) {
  SimulatedDevice::shared().installApp("paylumepay", [](const std::string&) { return true; });
  auto page = openPage();
  for (const char* text : {"", "{", "not json", "[1,2]", "\"text\"", "null", "{\"merchantId\":"}) {
    page->call(text);
  }
  std::thread script([page] { page->call("{{{"); });
  script.join();
  pump();
  EXPECT_TRUE(paymentURLs().empty());
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_FALSE(page->payApi());

  // An order with missing fields is refused by the launcher.
  page->call(R"({"merchantId":"M100"})");
  pump();
  EXPECT_TRUE(paymentURLs().empty());
  EXPECT_TRUE(NSLogSink::contains("参数不能为空"));
}
