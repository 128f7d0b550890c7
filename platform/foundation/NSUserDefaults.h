#pragma once
// The user defaults: a dictionary of values persisted as a binary plist file
// "<bundle identifier>.plist" in the sandbox's Library/Preferences. Every change is written
// through at once (atomically: a temporary file renamed over the old one), so nothing is
// lost if the app stops. The file is read on first use, and again whenever the sandbox
// root changes. Values that a plist cannot hold (JSON null) are left out; setting nil
// removes the key. Thread-safe.
#include <mutex>
#include <string>

#include "platform/foundation/Value.h"

class NSUserDefaults {
 public:
  static NSUserDefaults& standardUserDefaults();
  // Drops the in-memory state, as a restart of the app does; the next use reads the file.
  static void resetStandardUserDefaults();

  Value objectForKey(const std::string& key) const;
  void setObject(const Value& v, const std::string& key);
  void removeObjectForKey(const std::string& key);
  std::string stringForKey(const std::string& key) const;  // numbers as text; "" when absent
  bool boolForKey(const std::string& key) const;           // Value::boolValue
  long integerForKey(const std::string& key) const;
  double doubleForKey(const std::string& key) const;
  Value::Data dataForKey(const std::string& key) const;  // empty unless data
  void setBool(bool b, const std::string& key);
  void setInteger(long n, const std::string& key);
  void setDouble(double d, const std::string& key);
  Value dictionaryRepresentation() const;
  bool synchronize();  // writes the file again; false when it cannot be written
  std::string filePath() const;

 private:
  NSUserDefaults() = default;
  void ensureLoadedLocked() const;
  bool saveLocked() const;
  mutable std::mutex mutex_;
  mutable Value values_;
  mutable bool loaded_ = false;
  mutable uint64_t generation_ = 0;
};
