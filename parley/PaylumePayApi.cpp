#include "parley/PaylumePayApi.h"

#include "parley/PLApiNSStringURLArgumentsAdditions.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"

std::shared_ptr<PaylumePayApi> PaylumePayApi::sharedInstance() {
  static const std::shared_ptr<PaylumePayApi> instance = std::make_shared<PaylumePayApi>();
  return instance;
}

bool PaylumePayApi::isCanOpenApp() const {
  auto url = NSURL::URLWithString("paylumepay://");
  return url && UIApplication::sharedApplication()->canOpenURL(url);
}

void PaylumePayApi::registerWithUrlSchemes(const std::string& scheme) {
  auto& defaults = NSUserDefaults::standardUserDefaults();
  defaults.setObject(Value(scheme), kSchemesKey);
  defaults.synchronize();
}

void PaylumePayApi::startPLPayMerchantId(const std::string& merchantId,
                                         const std::string& outTradeNo, const std::string& amount,
                                         const std::string& notifyUrl, const std::string& body,
                                         const std::string& nonceStr, const std::string& sign) {
  std::string escapedBody = encodeToPercentEscapeString(body);
  std::string schemes = NSUserDefaults::standardUserDefaults().stringForKey(kSchemesKey);
  const std::string* values[] = {&merchantId,  &outTradeNo, &amount, &notifyUrl,
                                 &escapedBody, &nonceStr,   &sign,   &schemes};
  for (const std::string* value : values) {
    if (value->empty()) {
      NSLog("UrlString = %@", std::string("参数不能为空"));
      return;
    }
  }
  std::string text = "paylumepay://merchantId=" + merchantId + ",outTradeNo=" + outTradeNo +
                     ",amount=" + amount + ",notifyUrl=" + notifyUrl + ",body=" + escapedBody +
                     ",nonceStr=" + nonceStr + ",sign=" + sign + ",urlSchemes=" + schemes;
  // The bridge may call from the page's script thread; UIKit is only ever
  // touched from the main queue.
  dispatch_async_main([text] {
    if (auto url = NSURL::URLWithString(text)) UIApplication::sharedApplication()->openURL(url);
  });
  NSLog("UrlString = %@", text);
}

std::string PaylumePayApi::encodeToPercentEscapeString(const std::string& text) const {
  return PLApiNSStringURLArgumentsAdditions::escapeAllBut(text, "-._~");
}

std::string PaylumePayApi::decodeFromPercentEscapeString(const std::string& text) const {
  std::string withoutPlus = NSString::stringByReplacingOccurrencesOfString(text, "+", "");
  return PLApiNSStringURLArgumentsAdditions::decodePercentEscapes(withoutPlus).value_or("");
}
