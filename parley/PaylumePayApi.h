#pragma once

#include <memory>
#include <string>

// Hands a payment order of an H5 game page to the payment app by opening one
// "paylumepay://" URL that carries every order field, and remembers the URL
// scheme under which the payment app calls the app back (user defaults key
// "paylumeurlSchemes").
//
// Any thread: the shared instance is made once (thread-safe), the URL is
// always opened on the main queue, and nothing else touches UIKit.
class PaylumePayApi {
 public:
  static std::shared_ptr<PaylumePayApi> sharedInstance();

  // Whether the payment app is installed (canOpenURL of "paylumepay://").
  // Asks UIKit: main thread.
  bool isCanOpenApp() const;
  // Stores the return scheme under "paylumeurlSchemes" and synchronises.
  void registerWithUrlSchemes(const std::string& scheme);
  // Builds "paylumepay://merchantId=..,outTradeNo=..,amount=..,notifyUrl=..,
  // body=..,nonceStr=..,sign=..,urlSchemes=.." (only the body escaped) and
  // opens it on the main queue. When a value or the stored scheme is empty
  // it logs "UrlString = 参数不能为空" and opens nothing. Returns at once;
  // the caller is not told the outcome.
  void startPLPayMerchantId(const std::string& merchantId, const std::string& outTradeNo,
                            const std::string& amount, const std::string& notifyUrl,
                            const std::string& body, const std::string& nonceStr,
                            const std::string& sign);
  // Escapes with UTF-8 every byte but letters, digits and "-._~".
  std::string encodeToPercentEscapeString(const std::string& text) const;
  // Deletes every "+", then decodes the percent escapes as UTF-8; "" when an
  // escape is malformed or the result is not UTF-8 (never fails otherwise).
  std::string decodeFromPercentEscapeString(const std::string& text) const;

  static constexpr const char* kSchemesKey = "paylumeurlSchemes";
};
