#pragma once
// The three partner game platforms ("1", "2", "3", compared as text) as this deployment
// shows them: their display names and the small icons of the account lists.

#include <string>

class GamePlatform {
 public:
  // "" for any id other than "1", "2" and "3".
  static std::string displayName(const std::string& platId);
  // The image name of the platform's 14 x 14 icon; "" for other ids.
  static std::string iconName(const std::string& platId);
  // The label of the confirm popup's platform line: the display name followed by "手游" for
  // platforms 1 and 2 and by "H5游戏" for platform 3; "" for other ids.
  static std::string exchangeLabel(const std::string& platId);
};
