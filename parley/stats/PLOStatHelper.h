#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "parley/stats/PLOStatEnv.h"
#include "platform/foundation/Value.h"

class PLOStatUser;

// The key with which report bodies and replies are enciphered.
extern const char* const PLOStatRC4Key;  // "7be2c90d4a1f63e85d0b9c27f4a6e13d"
// The SDK version reported as "sv".
extern const char* const PLOStatSDKVersion;  // "1.4.6"

// Gathers the device environment once, owns the user record, the event index and the kill
// flag, and provides the small services the module shares: JSON text, the MAC text, Wi-Fi
// information, identifiers, RC4 and gzip.
//
// One process-wide instance (getInstance), made on first use; its environment is read-only
// afterwards. Every method may be called from any thread.
class PLOStatHelper {
 public:
  static std::shared_ptr<PLOStatHelper> getInstance();
  // Tests: forgets the instance, the event index and the loaded user, as a new process would.
  static void resetForTesting();

  PLOStatHelper();  // reads the environment; use getInstance

  const PLOStatEnv& getEnv() const { return env_; }
  // The user record, loaded from the store once and then kept; its user type is brought up
  // to date (a later day, a new app version) and written back when it changed. nullptr when
  // the store has no record to give.
  std::shared_ptr<PLOStatUser> getUser();

  // The server's kill switch: false silences the facade's gated operations.
  bool checkStatEnable() const;  // logs when off
  bool StatEnableFlag() const { return statEnableFlag_; }
  void setStatEnableFlag(bool v) { statEnableFlag_ = v; }

  // The event index of this process; 0 until the first event or setCurrentIndex.
  static uint64_t currentIndex();
  // 0 is refused (logged).
  static void setCurrentIndex(uint64_t index);
  // The index of a new event: on first use per process the index saved at termination plus
  // 100 is taken as the start; then one more than the last, or 1 after 2^63 - 1 - 9999.
  static uint64_t nextEventIndex();

  // Compares two version texts as the platform's numeric search does: runs of digits by their
  // value, other characters one by one. -1, 0 or 1.
  static int compareVersions(const std::string& a, const std::string& b);

  // Compact JSON text of a dictionary or array; "" (logged) for anything else.
  static std::string getJson(const Value& object);
  // Sets key to text in the dictionary, unless the text is empty (a nil member is left out).
  static void setText(Value& dict, const char* key, const std::string& text);
  // The device's members that the session and error events both carry, in their order:
  // "pl", "tz", "ov", "av" (the host's own app version when set), "os", "sv", "lg", "sr", "op",
  // "md", "mf".
  static void addDeviceMembers(Value& dict, const PLOStatEnv& env);

  // "%02X:..." of en0's link-layer address, or the failure text.
  static std::string getMacAddress();
  // en0 has an IPv4 address and is not a loopback interface.
  static bool isWiFiAvailable();
  // {"ss": SSID, "bs": BSSID} as JSON text, "Not Found" for both when unknown.
  std::string fetchSSIDInfo() const;

  // "pstoken" of the company-domain keychain item, "" when absent.
  std::string getPushDeviceTokenItem() const;
  // "statcommonudid" of the company-domain keychain item, "" when absent.
  static std::string getCommonUDID();
  // Stores the identifier in the company-domain keychain item, keeping its other members
  // (the push token); nothing for "".
  static void saveCommonUDID(const std::string& udid);
  // The module pasteboard's "pushDeviceTokenItem", or "0" when absent or empty.
  std::string getMid() const;
  void saveMid(const std::string& mid);

  // RC4 with the module's key, in place; a fresh keystream for every call.
  static void ChiperRC4(std::vector<uint8_t>& data);
  // gzip (window bits 31, default level); 0 on success, -1 for empty input or failure.
  static int GZip(const std::vector<uint8_t>& in, std::vector<uint8_t>& out);
  // gzip or zlib streams; 0 only when the stream ended, else -1 (logged).
  static int GUnzip(const std::vector<uint8_t>& in, std::vector<uint8_t>& out);

 private:
  PLOStatEnv env_;
  std::atomic<bool> statEnableFlag_{false};
  std::mutex userMutex_;
  std::shared_ptr<PLOStatUser> user_;
};
