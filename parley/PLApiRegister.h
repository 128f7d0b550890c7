#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Value.h"

class UIPasteboard;

// Registers the app with Parley: leaves the app's record (icon, bundle identifier, name, first
// and last launch times, AppID) on the shared persistent pasteboard "parley_register", which
// Parley reads, and starts the statistics module with its background event.
//
// Main thread. The record is rewritten at every registration; the entries of other apps on the
// pasteboard are kept. Registering again in one process neither subscribes the background
// handler a second time nor gives the statistics module the same key twice.
class PLApiRegister {
 public:
  static std::shared_ptr<PLApiRegister> shareInstance();
  // Tests and the simulator's restart: unsubscribes and forgets the shared instance.
  static void resetForTesting();

  ~PLApiRegister();

  // Starts the statistics module with the AppID and subscribes DidEnterBackground to the
  // application's background notification (once per process).
  void startStat(const std::string& appId);
  // Records the background event.
  void DidEnterBackground(const Value& notification);

  static std::string getRegisterPasteboardName();  // "parley_register"
  // The pasteboard's "content" as a dictionary; absent when there is none.
  static Value getRegisterDictionary(const std::shared_ptr<UIPasteboard>& pasteboard);
  // The path of the app's icon file.
  static std::string getIconString();
  // This app's entry, keeping "firstLaunchTime" of the earlier entry.
  static Value buildAppDictionary(const std::string& appId, const Value& oldAppDictionary);
  static bool registerApp(const std::string& appId);
  // The description goes into the entry when it is 1 to 1024 characters long.
  static bool registerApp(const std::string& appId, const std::string& description);

 private:
  static bool registerApp(const std::string& appId, const std::string* description);
  std::mutex mutex_;
  uint64_t backgroundToken_ = 0;
};
