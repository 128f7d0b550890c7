#include <gtest/gtest.h>

#include <thread>

#include "ParleyTestSupport.h"
#include "parley/PaylumePayApi.h"
#include "platform/foundation/NSLog.h"

class PaylumePayApiTest : public ParleyTest {
 protected:
  void SetUp() override {
    ParleyTest::SetUp();
    NSLogSink::clear();
    SimulatedDevice::shared().installApp("paylumepay", [this](const std::string& url) {
      received.push_back(url);
      return true;
    });
  }
  std::shared_ptr<PaylumePayApi> api = PaylumePayApi::sharedInstance();
  std::vector<std::string> received;
};

TEST_F(PaylumePayApiTest, AnOrderOpensOnePaymentUrlWithOnlyTheBodyEscaped) {
  EXPECT_TRUE(api->isCanOpenApp());
  api->registerWithUrlSchemes("QXMarrowpay");
  // Called from any thread, the launcher opens its URL from the main queue.
  std::thread([&] {
    api->startPLPayMerchantId("m&1", "o=2", "6.00", "https://n.example/cb?a=1,b",
                              "金币 x10 & more=,", "nonce", "SIG");
  }).join();
  EXPECT_TRUE(SimulatedDevice::shared().openedURLs().empty());
  runLoop();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(
      received[0],
      "paylumepay://merchantId=m&1,outTradeNo=o=2,amount=6.00,notifyUrl=https://n.example/cb?a=1,b,"
      "body=%E9%87%91%E5%B8%81%20x10%20%26%20more%3D%2C,nonceStr=nonce,sign=SIG,urlSchemes="
      "QXMarrowpay");
  auto lines = NSLogSink::lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "UrlString = " + received[0]);
}

TEST_F(PaylumePayApiTest, WithoutASchemeOrAFieldNothingOpens) {
  api->startPLPayMerchantId("m", "o", "1", "n", "b", "s", "g");
  api->registerWithUrlSchemes("QXMarrowpay");
  api->startPLPayMerchantId("m", "o", "1", "n", "", "s", "g");
  runLoop();
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(NSLogSink::lines(),
            (std::vector<std::string>{"UrlString = 参数不能为空", "UrlString = 参数不能为空"}));
  SimulatedDevice::shared().uninstallApp("paylumepay");
  EXPECT_FALSE(api->isCanOpenApp());
}

TEST_F(PaylumePayApiTest, TheDecoderDropsPlusSignsAndIsSafeOnBrokenText) {
  EXPECT_EQ(api->decodeFromPercentEscapeString("a+b%2Bc%20%E6%B8%B8"), "ab+c 游");
  EXPECT_EQ(api->decodeFromPercentEscapeString("DWKMarrowpay://resultStatus=SUCCESS&x=1"),
            "DWKMarrowpay://resultStatus=SUCCESS&x=1");
  EXPECT_EQ(api->decodeFromPercentEscapeString("DWKMarrowpay://noequals"),
            "DWKMarrowpay://noequals");
  for (const char* bad : {"%", "%4", "%zz", "%FF%FE", "ok%E6%B8"}) {
    EXPECT_EQ(api->decodeFromPercentEscapeString(bad), "") << bad;
  }
  EXPECT_EQ(api->encodeToPercentEscapeString("a-b_c.d~e!*'();:@&=+$,/?%#[]"),
            "a-b_c.d~e%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D");
}
