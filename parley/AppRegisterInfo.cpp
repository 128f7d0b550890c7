#include "parley/AppRegisterInfo.h"

#include "platform/foundation/NSString.h"

namespace {

// The archive's keys, in the order fields are written and read.
struct TextField {
  const char* key;
  std::string AppRegisterInfo::*field;
};
constexpr TextField kTexts[] = {
    {"appID", &AppRegisterInfo::appID},
    {"appIdentifier", &AppRegisterInfo::appIdentifier},
    {"appName", &AppRegisterInfo::appName},
    {"appName4ZhTw", &AppRegisterInfo::appName4ZhTw},
    {"appName4EnUs", &AppRegisterInfo::appName4EnUs},
    {"description", &AppRegisterInfo::appDescription},
    {"description4EnUs", &AppRegisterInfo::appDescription4EnUs},
    {"description4ZhTw", &AppRegisterInfo::appDescription4ZhTw},
    {"appurl", &AppRegisterInfo::appInstallUrl},
    {"appiconurl", &AppRegisterInfo::appIconUrl},
    {"appwatermarkurl", &AppRegisterInfo::appWatermarkUrl},
    {"apptypelist", &AppRegisterInfo::appTypeList},
    {"appdevinfo", &AppRegisterInfo::appDevInfo},
    {"appdownloadurl", &AppRegisterInfo::appDownloadUrl},
    {"appdownloadurlmd5", &AppRegisterInfo::appDownloadUrlMD5},
};

struct FlagField {
  const char* key;
  bool AppRegisterInfo::*field;
};
constexpr FlagField kFlags[] = {
    {"added", &AppRegisterInfo::appAddedByUser},
    {"needUpdateInfo", &AppRegisterInfo::needUpdateInfo},
    {"needUpdateIcon", &AppRegisterInfo::needUpdateIcon},
    {"needUpdateWaterMark", &AppRegisterInfo::needUpdateWatermark},
    {"appcanshownew", &AppRegisterInfo::appCanShowNew},
    {"isnewapp", &AppRegisterInfo::isNewApp},
};

struct NumberField {
  const char* key;
  uint32_t AppRegisterInfo::*field;
};
constexpr NumberField kNumbers[] = {
    {"lastUpdateInfoTime", &AppRegisterInfo::lastUpdateInfoTime},
    {"lastUpdateWatermarkTime", &AppRegisterInfo::lastUpdateWatermarkTime},
    {"lastUpdateIconTime", &AppRegisterInfo::lastUpdateIconTime},
    {"appinfoflag", &AppRegisterInfo::appInfoFlag},
    {"appupdateversion", &AppRegisterInfo::appUpdateVersion},
    {"nextupdateinfotime", &AppRegisterInfo::nextUpdateInfoTime},
};

// Archives written before versions were kept as integers hold large ones as reals: take them
// within the unsigned range.
uint64_t versionFromReal(double v) {
  if (!(v > 0)) return 0;
  if (v >= 18446744073709551616.0) return UINT64_MAX;
  return static_cast<uint64_t>(v);
}

}  // namespace

void AppRegisterInfo::encodeWithCoder(Value& coder) const {
  for (const auto& f : kTexts) coder.set(f.key, this->*f.field);
  for (const auto& f : kFlags) coder.set(f.key, Value::boolean(this->*f.field));
  for (const auto& f : kNumbers) coder.set(f.key, Value(this->*f.field));
  // Written as the archive's 64-bit integer, bit for bit: a version above the signed range
  // reads as a negative number in the file and comes back whole.
  coder.set("appInfoVer", Value(static_cast<long long>(appInfoVer)));
}

AppRegisterInfo AppRegisterInfo::initWithCoder(const Value& coder) {
  AppRegisterInfo info;
  for (const auto& f : kTexts) info.*f.field = coder[f.key].str();
  for (const auto& f : kFlags) info.*f.field = coder[f.key].boolValue();
  for (const auto& f : kNumbers)
    info.*f.field = static_cast<uint32_t>(coder[f.key].longLongValue());
  const Value& ver = coder["appInfoVer"];
  info.appInfoVer = ver.isReal() ? versionFromReal(ver.doubleValue())
                                 : static_cast<uint64_t>(ver.longLongValue());
  return info;
}

std::string AppRegisterInfo::description() const {
  return NSString::stringWithFormat("{ name:%@ appid:%@}", appName, appID);
}
