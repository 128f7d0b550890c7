#pragma once
// The app's main bundle: a resources/ folder with images, strings tables, other files and
// an optional Info.plist. The folder is set at start (setResourcePath); by default it is
// $TOVIRA_RESOURCES, else "resources" in the working folder. Thread-safe.
#include <mutex>
#include <optional>
#include <string>

#include "platform/foundation/Value.h"

class NSBundle {
 public:
  static NSBundle& mainBundle();
  void setResourcePath(const std::string& dir);  // also forgets the cached Info dictionary
  std::string resourcePath() const;
  std::string bundlePath() const { return resourcePath(); }
  // The path of name.ext in the folder (or in subdirectory of it); "" when missing. An empty
  // ext takes name as the whole file name.
  std::string pathForResource(const std::string& name, const std::string& ext = "") const;
  std::string pathForResource(const std::string& name, const std::string& ext,
                              const std::string& subdirectory) const;
  // Info.plist of the folder (XML or binary) over the defaults: CFBundleIdentifier
  // "com.tovira.app", CFBundleName "Tovira", CFBundleShortVersionString "1.0",
  // CFBundleVersion "1".
  Value infoDictionary() const;
  // localizedStringForKey:value:table: from the strings table `table`.strings of the folder
  // (lines of the form "key" = "value";). Missing table or key: `value`, or the key when
  // `value` is empty.
  std::string localizedStringForKey(const std::string& key, const std::string& value,
                                    const std::string& table) const;
  Value objectForInfoDictionaryKey(const std::string& key) const;
  std::string bundleIdentifier() const;

 private:
  NSBundle();
  mutable std::mutex mutex_;
  std::string resourcePath_;
  mutable std::optional<Value> info_;
};
