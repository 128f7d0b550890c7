#pragma once
// The app's sandbox: its home folder with Documents, Library/Caches, Library/Preferences
// and tmp. The root is chosen at start (tests use a temporary folder). Before any
// setRoot(), the first use creates a fresh temporary folder, so nothing is ever written
// to an unexpected place; nothing removes that folder by itself (other code may still hold
// paths into it), so whoever lets the sandbox choose removes root() when done. Thread-safe.
#include <cstdint>
#include <string>
#include <vector>

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
  // A new empty folder "<prefix>-XXXXXX" under the system's temporary folder ($TMPDIR when
  // set, else /tmp); "" when it cannot be made. Whoever asked for it removes it.
  static std::string makeTemporaryDirectory(const std::string& prefix = "tovira");
  // Every folder that makeTemporaryDirectory made in this process, in the order made, whether
  // or not it still exists (folders of other processes are never listed). The tests' guard
  // reads it to find a folder that a test, or the code under test, forgot to remove.
  static std::vector<std::string> temporaryDirectoriesMade();
};
