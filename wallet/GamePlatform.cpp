#include "wallet/GamePlatform.h"

std::string GamePlatform::displayName(const std::string& platId) {
  if (platId == "1") return "星辰";
  if (platId == "2") return "云游";
  if (platId == "3") return "掌上";
  return "";
}

std::string GamePlatform::iconName(const std::string& platId) {
  if (platId == "1" || platId == "2" || platId == "3") return "ktr_plat_" + platId + ".png";
  return "";
}

std::string GamePlatform::exchangeLabel(const std::string& platId) {
  if (platId == "1" || platId == "2") return displayName(platId) + "手游";
  if (platId == "3") return displayName(platId) + "H5游戏";
  return "";
}
