#include "parley/ParleyApiUtil.h"

#include <nettle/base64.h>

#include <cstdlib>

#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/Plist.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"

namespace {

constexpr const char* kSdkInfoPasteboard = "parley_sdk_infomation";
constexpr const char* kPasteboardType = "content";

bool canOpen(const std::string& text) {
  auto url = NSURL::URLWithString(text);
  return url && UIApplication::sharedApplication()->canOpenURL(url);
}

bool isBase64Char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// Well-formed Base64: whole groups of four, only alphabet characters, and at
// most two "=" that close the text. Decoding refuses anything else, which
// mends a fault of the lenient decoding (a foreign character read as 0, a
// trailing part group dropped): damaged or truncated text decoded into wrong
// bytes that were then trusted as data, instead of failing.
bool isWellFormedBase64(const std::string& text) {
  if (text.empty() || text.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding > 2) return false;
  for (size_t i = 0; i + padding < text.size(); ++i) {
    if (!isBase64Char(text[i])) return false;
  }
  return true;
}

}  // namespace

bool ParleyApiUtil::isiOS7plus() {
  // strtod reads the leading number ("7.0.1" -> 7.0), as the system does.
  double version = std::strtod(UIDevice::currentDevice()->systemVersion().c_str(), nullptr);
  return version > 6.9;
}

bool ParleyApiUtil::is2xScreen() { return UIScreen::mainScreen()->scale() == 2.0; }

Value ParleyApiUtil::propertyListFromData(const std::vector<uint8_t>& data) {
  if (data.empty()) return Value();
  auto parsed = Plist::parse(data);
  return parsed ? *parsed : Value();
}

std::optional<std::vector<uint8_t>> ParleyApiUtil::dataFromPropertyList(const Value& plist) {
  if (plist.isNil()) return std::nullopt;
  auto bytes = Plist::toBinary(plist);
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

std::shared_ptr<NSURL> ParleyApiUtil::getParleyUrl(const std::string& appId) {
  return getParleyUrl(appId, "");
}

std::shared_ptr<NSURL> ParleyApiUtil::getParleyUrl(const std::string& appId,
                                                   const std::string& extraUrl) {
  if (appId.empty()) return nullptr;
  return NSURL::URLWithString("parley://app/" + appId + "/" + extraUrl);
}

std::shared_ptr<NSURL> ParleyApiUtil::getAppUrl(const std::string& appId) {
  if (appId.empty()) return nullptr;
  return NSURL::URLWithString(appId + "://");
}

bool ParleyApiUtil::isAppOpenUrl(const std::shared_ptr<NSURL>& url, const std::string& appId) {
  if (!url || appId.empty()) return false;
  return NSString::hasPrefix(url->absoluteString(), appId + "://");
}

bool ParleyApiUtil::isAppInstalledWithCatchException(const std::string& scheme) {
  return !scheme.empty() && canOpen(scheme + "://");
}

bool ParleyApiUtil::isAppInstalledWithoutCatchException(const std::string& scheme) {
  return isAppInstalledWithCatchException(scheme);
}

bool ParleyApiUtil::launchApp(const std::string& appId) {
  auto url = getAppUrl(appId);
  return url && UIApplication::sharedApplication()->openURL(url);
}

std::shared_ptr<NSURL> ParleyApiUtil::getAppUrlWithPlatformId(const std::string& appId) {
  return getAppUrlWithPlatformId(appId, "");
}

std::shared_ptr<NSURL> ParleyApiUtil::getAppUrlWithPlatformId(const std::string& appId,
                                                              const std::string& otherArgs) {
  if (appId.empty()) return nullptr;
  std::string text = appId + "://platformId=parley";
  if (!otherArgs.empty()) text += "/" + otherArgs;
  return NSURL::URLWithString(text);
}

bool ParleyApiUtil::isPLAppSupportApi() { return canOpen("parley://"); }

std::string ParleyApiUtil::_internal_getSDKVersion() {
  auto pasteboard = UIPasteboard::pasteboardWithName(kSdkInfoPasteboard, false);
  if (!pasteboard) return "";
  Value info = propertyListFromData(
      pasteboard->dataForPasteboardType(kPasteboardType).value_or(std::vector<uint8_t>{}));
  if (!info.isDict()) return "";
  return info["version"].isString() ? info["version"].str() : "";
}

std::string ParleyApiUtil::getSDKVersion() {
  std::string version = _internal_getSDKVersion();
  if (!version.empty()) return version;
  return isPLAppSupportApi() ? "1.0" : "";
}

std::string ParleyApiUtil::EncodeBase64(const std::string& text) {
  return NsDataEncodeBase64(std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ParleyApiUtil::NsDataEncodeBase64(const std::vector<uint8_t>& data) {
  if (data.empty()) return "";
  std::string out(BASE64_ENCODE_RAW_LENGTH(data.size()), '\0');
  base64_encode_raw(out.data(), data.size(), data.data());
  return out;
}

std::optional<std::vector<uint8_t>> ParleyApiUtil::DecodeWithBase64(const std::string& text) {
  if (!isWellFormedBase64(text)) return std::nullopt;
  std::vector<uint8_t> out(BASE64_DECODE_LENGTH(text.size()));
  base64_decode_ctx ctx;
  base64_decode_init(&ctx);
  size_t length = out.size();
  if (!base64_decode_update(&ctx, &length, out.data(), text.size(), text.data()) ||
      !base64_decode_final(&ctx)) {
    return std::nullopt;
  }
  out.resize(length);
  if (out.empty()) return std::nullopt;
  return out;
}

std::optional<std::string> ParleyApiUtil::DecodeBase64(const std::string& text) {
  auto bytes = DecodeWithBase64(text);
  if (!bytes) return std::nullopt;
  std::string s(bytes->begin(), bytes->end());
  if (!NSString::isValidUTF8(s)) return std::nullopt;
  return s;
}
