#include "shell/H5ViewController.h"

#include "parley/PaylumePayApi.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWebView.h"
#include "shell/BackButton.h"

TOVIRA_REGISTER_CLASS(H5ViewController, UIViewController)

std::shared_ptr<H5ViewController> H5ViewController::create() {
  return std::make_shared<H5ViewController>();
}

void H5ViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const CGRect bounds = root->bounds();
  webView_ = UIWebView::create(CGRectMake(0, 20, bounds.size.width, bounds.size.height - 20));
  root->addSubview(webView_);

  root->addSubview(makeBackButton(sharedSelf<H5ViewController>(), CGRectMake(5, 25, 50, 30),
                                  UIColor::blackColor()));
}

std::shared_ptr<PaylumePayApi> H5ViewController::payApi() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return payApi_;
}

void H5ViewController::call(const std::string& jsonText) {
  // The page is outside our control: anything but a JSON object is refused here rather than
  // read field by field as empty values.
  auto parsed = Value::fromJSON(jsonText);
  if (!parsed || !parsed->isDict()) {
    NSLog("H5ViewController: ignored a payment request that is not a JSON object (%d bytes)",
          static_cast<int>(jsonText.size()));
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    payApi_ = PaylumePayApi::sharedInstance();
  }
  // The check for the payment app and the alert are UIKit work: they belong on the main thread.
  // The page keeps this controller alive while its script runs, but a strong reference keeps it
  // until the queued work has run too.
  auto self = sharedSelf<H5ViewController>();
  const Value request = *parsed;
  if (RunLoop::main().isMainThread()) {
    startPayment(request);
  } else if (self) {
    dispatch_async_main([self, request] { self->startPayment(request); });
  } else {
    NSLog("H5ViewController: bridge called on a controller that is not shared; request dropped");
  }
}

void H5ViewController::startPayment(const Value& request) {
  auto api = payApi();
  if (!api) return;
  if (api->isCanOpenApp()) {
    api->registerWithUrlSchemes(kReturnScheme);
    api->startPLPayMerchantId(request["merchantId"].str(), request["out_trade_no"].str(),
                              request["total_fee"].str(), request["sub_mch_notify_url"].str(),
                              request["body"].str(), request["nonce_str"].str(),
                              request["sign"].str());
    return;
  }
  std::weak_ptr<UIAlertViewDelegate> delegate = sharedSelf<H5ViewController>();
  UIAlertView::create("提示", "请安装畅聊支付控件并信任", delegate, "取消", {"安装"})->show();
}

void H5ViewController::clickedButtonAtIndex(UIAlertView& alertView, long buttonIndex) {
  if (buttonIndex == alertView.cancelButtonIndex()) return;
  UIApplication::sharedApplication()->openURL(NSURL::URLWithString(kPayAppInstallUrl));
}
