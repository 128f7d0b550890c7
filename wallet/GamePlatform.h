#pragma once
// How the exchange names the three partner game platforms ("1", "2", "3", compared as text).
// Their display names and icons are configuration (core/Config.h).

#include <string>

class GamePlatform {
 public:
  // The label of the confirm popup's platform line: the display name followed by "手游" for
  // platforms 1 and 2 and by "H5游戏" for platform 3; "" for other ids.
  static std::string exchangeLabel(const std::string& platId);
};
