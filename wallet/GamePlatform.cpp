#include "wallet/GamePlatform.h"

#include "core/Config.h"

std::string GamePlatform::exchangeLabel(const std::string& platId) {
  if (platId == "1" || platId == "2") return Config::platformDisplayName(platId) + "手游";
  if (platId == "3") return Config::platformDisplayName(platId) + "H5游戏";
  return "";
}
