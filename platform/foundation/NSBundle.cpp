#include "platform/foundation/NSBundle.h"

#include <cstdlib>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/Plist.h"

namespace {

Value defaultInfo() {
  return Value::dict({{"CFBundleIdentifier", "com.tovira.app"},
                      {"CFBundleName", "Tovira"},
                      {"CFBundleDisplayName", "Tovira"},
                      {"CFBundleShortVersionString", "1.0"},
                      {"CFBundleVersion", "1"}});
}

}  // namespace

NSBundle& NSBundle::mainBundle() {
  static NSBundle* bundle = new NSBundle();
  return *bundle;
}

NSBundle::NSBundle() {
  const char* env = std::getenv("TOVIRA_RESOURCES");
  resourcePath_ = env && *env ? env : "resources";
}

void NSBundle::setResourcePath(const std::string& dir) {
  std::lock_guard<std::mutex> lock(mutex_);
  resourcePath_ = dir;
  while (resourcePath_.size() > 1 && resourcePath_.back() == '/') resourcePath_.pop_back();
  info_.reset();
}

std::string NSBundle::resourcePath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resourcePath_;
}

std::string NSBundle::pathForResource(const std::string& name, const std::string& ext) const {
  return pathForResource(name, ext, "");
}

std::string NSBundle::pathForResource(const std::string& name, const std::string& ext,
                                      const std::string& subdirectory) const {
  if (name.empty() || name.find("..") != std::string::npos) return "";
  std::string file = ext.empty() ? name : name + (ext[0] == '.' ? ext : "." + ext);
  std::string dir = resourcePath();
  if (!subdirectory.empty()) dir += "/" + subdirectory;
  std::string path = dir + "/" + file;
  bool isDirectory = false;
  if (NSFileManager::defaultManager().fileExistsAtPath(path, &isDirectory)) return path;
  return "";
}

Value NSBundle::infoDictionary() const {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (info_) return *info_;
    path = resourcePath_ + "/Info.plist";
  }
  Value info = defaultInfo();
  if (auto bytes = NSFileManager::defaultManager().contentsAtPath(path)) {
    auto parsed = Plist::parse(*bytes);
    if (parsed && parsed->isDict()) {
      for (const auto& [k, v] : parsed->dictValue()) info.set(k, v);
    } else {
      NSLog("NSBundle: ignored an unreadable %@", path);
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  info_ = info;
  return info;
}

Value NSBundle::objectForInfoDictionaryKey(const std::string& key) const {
  return infoDictionary()[key];
}

std::string NSBundle::bundleIdentifier() const {
  return infoDictionary()["CFBundleIdentifier"].str();
}

std::string NSBundle::localizedStringForKey(const std::string& key, const std::string& value,
                                            const std::string& table) const {
  std::string fallback = value.empty() ? key : value;
  std::string path = pathForResource(table.empty() ? "Localizable" : table, "strings");
  if (path.empty()) return fallback;
  auto bytes = NSFileManager::defaultManager().contentsAtPath(path);
  if (!bytes) return fallback;
  std::string text(bytes->begin(), bytes->end());
  // Each entry: "key" = "value"; with \" and \\ escapes inside the quotes.
  size_t pos = 0;
  auto readQuoted = [&](std::string& out) {
    pos = text.find('"', pos);
    if (pos == std::string::npos) return false;
    out.clear();
    for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
      if (text[pos] == '\\' && pos + 1 < text.size()) {
        ++pos;
        out += text[pos] == 'n' ? '\n' : text[pos];
      } else {
        out += text[pos];
      }
    }
    if (pos >= text.size()) return false;
    ++pos;
    return true;
  };
  std::string k, v;
  while (readQuoted(k) && readQuoted(v)) {
    if (k == key) return v;
  }
  return fallback;
}
