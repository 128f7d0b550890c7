#pragma once

#include <string>

// The device environment reported with the events, read once when the helper is made and
// read-only afterwards. A text that is "" was not available and is left out where the events
// report it only when set.
class PLOStatEnv {
 public:
  std::string platform;     // "pl": the system name
  std::string os_version;   // "ov"
  std::string language;     // "lg": first of the user defaults' "AppleLanguages"
  std::string resolution;   // "sr": screen pixels, "%.fx%.f"
  std::string deviceid;     // "ui": the shared identifier (40 characters), or ""
  std::string mccmnc;       // "op": carrier country and network codes, "" without a carrier
  std::string timezone;     // "tz"
  std::string app_version;  // "av": short version, else build version, else "unknown"
  std::string sdk_version;  // "sv": "1.4.6"
  std::string devicename;   // "md": the hardware machine name
  std::string modulename;   // "mf": the device model
  std::string ifv;          // "ifv": the identifier for vendor (systems 6.0 and later), or ""
  bool jailbroken = false;  // "jb"
};
