#pragma once
// File helpers. Paths are UTF-8; nothing throws; failures are false, nullopt or empty.
// Thread-safe (no state).
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class NSFileManager {
 public:
  static NSFileManager& defaultManager();
  bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr) const;
  bool createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories) const;
  std::vector<std::string> contentsOfDirectoryAtPath(
      const std::string& path) const;  // names, sorted
  std::vector<std::string> subpathsOfDirectoryAtPath(
      const std::string& path) const;                    // recursive, sorted
  bool removeItemAtPath(const std::string& path) const;  // files and whole folders
  std::optional<Value::Data> contentsAtPath(const std::string& path) const;
  // Writes atomically (temporary file, then rename); creates no folders.
  bool createFileAtPath(const std::string& path, const Value::Data& data) const;
  std::optional<std::string> stringWithContentsOfFile(const std::string& path) const;
  bool writeString(const std::string& text, const std::string& path) const;
  std::optional<uint64_t> fileSizeAtPath(const std::string& path) const;
};
