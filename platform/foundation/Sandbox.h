#pragma once
// The app's sandbox: its home folder with Documents, Library/Caches, Library/Preferences
// and tmp. The root is chosen at start (tests use a temporary folder). Before any
// setRoot(), the first use creates a fresh temporary folder, so nothing is ever written
// to an unexpected place. Thread-safe.
#include <cstdint>
#include <string>

class Sandbox {
 public:
  // Makes dir the root and creates its folders. Anything that caches sandbox state
  // (NSUserDefaults) notices the change through generation(). An empty dir means a fresh
  // temporary root, as before any setRoot().
  static void setRoot(const std::string& dir);
  static std::string root();
  static std::string documents();    // root/Documents
  static std::string library();      // root/Library
  static std::string caches();       // root/Library/Caches
  static std::string preferences();  // root/Library/Preferences
  static std::string tmp();          // root/tmp
  static uint64_t generation();      // grows by one at each setRoot()
  // For tests: a new empty folder under the system's temporary folder.
  static std::string makeTemporaryDirectory(const std::string& prefix = "tovira");
};
