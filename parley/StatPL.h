#pragma once

#include <memory>
#include <mutex>
#include <string>

// Ties the Parley SDK to its statistics module: derives the statistics app key from the Parley
// AppID ("IPLOP" + AppID), starts the module with it when the app registers, and records one
// real-time "onBackground_PL" event each time the app moves to the background.
//
// The shared instance is made under a lock; everything else runs on the main thread.
class StatPL {
 public:
  static std::shared_ptr<StatPL> getInstance();
  // Tests and the simulator's restart: forgets the shared instance and its key.
  static void resetForTesting();

  // "IPLOP" followed by the AppID; "" (logged) for an empty AppID.
  static std::string ConvertPLappkey(const std::string& appId);
  // Switches the module's debug log off, keeps the key and starts the module with it.
  static void startWithAppkey(const std::string& appId);
  // Records "onBackground_PL" with the kept key, real-time.
  static void onBackground();

  std::string appkey() const;
  void setAppkey(const std::string& key);

 private:
  mutable std::mutex mutex_;
  std::string appkey_;
};
