#pragma once

#include <string>

#include "platform/foundation/Value.h"

// The lists that the home screen, the game centre and the server-opening timetable show, read
// from the file "shell.json" in the app's bundle rather than asked of the API server:
//   "slides"     SlideRecord: "title" (the text shown), "classname" (the screen class that a tap
//                presents) and "extras" (the hand-over that screen reads, any shape);
//   "games"      GameRecord: "plat_gamename";
//   "kaifubiao"  timetable rows: "plat_gamename", "servername", "kaifutime" (seconds since
//                1970).
// The file is read afresh on each call. A missing file, a file that is not JSON, or a key that
// does not hold an array gives an empty array and logs a line. Entries that are not
// dictionaries are left out. Thread-safe (no state).
class ShellLists {
 public:
  static constexpr const char* kFileName = "shell.json";

  static Value slides();
  static Value games();
  static Value kaifubiao();

 private:
  static Value listNamed(const std::string& key);
};
