#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

// What Parley knows of one registered app: names and descriptions in three languages, links,
// update state and versions. Archivable like AppSettingItem, under the keys of its archive
// (rankWeight is not archived). A plain value.
class AppRegisterInfo {
 public:
  bool appAddedByUser = false;
  std::string appID;
  std::string appIdentifier;
  std::string appName;
  std::string appName4ZhTw;
  std::string appName4EnUs;
  std::string appDescription;
  std::string appDescription4EnUs;
  std::string appDescription4ZhTw;
  std::string appInstallUrl;
  bool needUpdateInfo = false;
  bool needUpdateIcon = false;
  bool needUpdateWatermark = false;
  uint64_t appInfoVer = 0;
  std::string appIconUrl;
  std::string appWatermarkUrl;
  uint32_t lastUpdateInfoTime = 0;
  uint32_t lastUpdateWatermarkTime = 0;
  uint32_t lastUpdateIconTime = 0;
  std::string appTypeList;
  std::string appDevInfo;
  uint32_t appInfoFlag = 0;
  uint32_t appUpdateVersion = 0;
  bool appCanShowNew = false;
  bool isNewApp = false;
  std::string appDownloadUrl;
  std::string appDownloadUrlMD5;
  uint32_t nextUpdateInfoTime = 0;
  uint32_t rankWeight = 0;

  void encodeWithCoder(Value& coder) const;
  static AppRegisterInfo initWithCoder(const Value& coder);
  // "{ name:<appName> appid:<appID>}"
  std::string description() const;
};
