#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/foundation/Sandbox.h"

// A folder of one test's own under the temporary directory, removed with everything in it when
// the object goes: also when a failed assertion ends the test early. Header-only, so that the
// platform's test executables, which link no test support library, can use it too.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& prefix)
      : path_(Sandbox::makeTemporaryDirectory(prefix)) {}
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // "" when the folder could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
