#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIViewController.h"

class PaylumePayApi;
class UIWebView;

// The page of an H5 game, with the JavaScript bridge through which the page starts a payment.
class H5ViewController : public UIViewController, public UIAlertViewDelegate {
  TOVIRA_CLASS(H5ViewController)
  // The scheme under which the payment app returns to us.
  static constexpr const char* kReturnScheme = "QXMarrowpay";
  // Where "安装" sends the player when the payment app is missing.
  static constexpr const char* kPayAppInstallUrl =
      "itms-services://?action=download-manifest&url=https://dl.tovira.example/paylume/manifest.plist";

  static std::shared_ptr<H5ViewController> create();
  void viewDidLoad() override;

  // The bridge: the page hands over its payment request as JSON text ("merchantId",
  // "out_trade_no", "total_fee", "sub_mch_notify_url", "body", "nonce_str", "sign"). When the
  // payment app is installed, registers our return scheme and starts the payment with those
  // fields (numbers are passed as their text, missing fields as empty text, which the launcher
  // refuses); otherwise shows the alert "提示" / "请安装畅聊支付控件并信任" / "取消", "安装".
  // Text that is not a JSON object is logged and ignored.
  //
  // Any thread: the page's script may call it on its own thread. The JSON is read there; the
  // check for the payment app, the start and the alert always run on the main thread (at once
  // when called there, else on the main queue).
  void call(const std::string& jsonText);

  // The payment launcher taken by the last call (nullptr before). Thread-safe.
  std::shared_ptr<PaylumePayApi> payApi() const;
  std::shared_ptr<UIWebView> webView() const { return webView_; }

  // "安装" opens the payment app's installation link.
  void clickedButtonAtIndex(UIAlertView& alertView, long buttonIndex) override;

 private:
  void startPayment(const Value& request);

  mutable std::mutex mutex_;
  std::shared_ptr<PaylumePayApi> payApi_;
  std::shared_ptr<UIWebView> webView_;
};
