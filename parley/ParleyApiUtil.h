#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class NSURL;

// Small utilities of the Parley transport: the system-version and screen
// tests, binary property lists, the "parley://" URLs, installed-app probes,
// the version of the installed Parley, and Base64.
// Main thread for everything that touches UIApplication or pasteboards; the
// conversions and Base64 are pure and thread-safe.
class ParleyApiUtil {
 public:
  // True when the leading number of the system version is above 6.9. Read
  // afresh each time (cheap), so that a changed device version is seen.
  static bool isiOS7plus();
  // True when the main screen's scale is exactly 2.
  static bool is2xScreen();

  // The property list in the data; nil for empty data or on error.
  static Value propertyListFromData(const std::vector<uint8_t>& data);
  // The value as a binary property list (format version 1.0); nullopt for
  // nil or when the value cannot be converted.
  static std::optional<std::vector<uint8_t>> dataFromPropertyList(const Value& plist);

  // "parley://app/<AppID>/" followed by extraUrl; nullptr for an empty AppID
  // or when the text is no valid URL.
  static std::shared_ptr<NSURL> getParleyUrl(const std::string& appId);
  static std::shared_ptr<NSURL> getParleyUrl(const std::string& appId, const std::string& extraUrl);
  // "<AppID>://": the app's own scheme; nullptr for an empty AppID.
  static std::shared_ptr<NSURL> getAppUrl(const std::string& appId);
  // True when the URL's text begins with the AppID followed by "://".
  static bool isAppOpenUrl(const std::shared_ptr<NSURL>& url, const std::string& appId);
  // canOpenURL of "<scheme>://"; false for an empty scheme. The two forms
  // are the same here: the platform raises nothing.
  static bool isAppInstalledWithCatchException(const std::string& scheme);
  static bool isAppInstalledWithoutCatchException(const std::string& scheme);
  // openURL of the app's own scheme.
  static bool launchApp(const std::string& appId);
  // "<AppID>://platformId=parley", then "/" and otherArgs when non-empty.
  static std::shared_ptr<NSURL> getAppUrlWithPlatformId(const std::string& appId);
  static std::shared_ptr<NSURL> getAppUrlWithPlatformId(const std::string& appId,
                                                        const std::string& otherArgs);
  // canOpenURL of "parley://".
  static bool isPLAppSupportApi();

  // "version" of the dictionary that Parley publishes on the
  // "parley_sdk_infomation" pasteboard; "" when there is none.
  static std::string _internal_getSDKVersion();
  // That version; else "1.0" when Parley supports the API; else "".
  static std::string getSDKVersion();

  // Base64 (standard alphabet, "=" padding) of the text's UTF-8 bytes or of
  // the data; "" for empty input.
  static std::string EncodeBase64(const std::string& text);
  static std::string NsDataEncodeBase64(const std::vector<uint8_t>& data);
  // The bytes of Base64 text. nullopt for empty text and for any text that is
  // not well-formed Base64: a length that is no multiple of 4, a character
  // outside the alphabet, or padding anywhere but at the end.
  static std::optional<std::vector<uint8_t>> DecodeWithBase64(const std::string& text);
  // The same bytes read as UTF-8 text; nullopt also when they are not UTF-8.
  static std::optional<std::string> DecodeBase64(const std::string& text);
};
