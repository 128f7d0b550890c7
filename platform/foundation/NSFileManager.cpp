#include "platform/foundation/NSFileManager.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

NSFileManager& NSFileManager::defaultManager() {
  static NSFileManager* manager = new NSFileManager();
  return *manager;
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
  std::error_code ec;
  auto st = fs::status(path, ec);
  bool exists = !ec && fs::exists(st);
  if (isDirectory) *isDirectory = exists && fs::is_directory(st);
  return exists;
}

bool NSFileManager::createDirectoryAtPath(const std::string& path,
                                          bool withIntermediateDirectories) const {
  if (path.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return withIntermediateDirectories;  // as the platform answers
  if (withIntermediateDirectories) {
    fs::create_directories(path, ec);
    return !ec && fs::is_directory(path, ec);
  }
  return fs::create_directory(path, ec) && !ec;
}

std::vector<std::string> NSFileManager::contentsOfDirectoryAtPath(const std::string& path) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> NSFileManager::subpathsOfDirectoryAtPath(const std::string& path) const {
  std::vector<std::string> paths;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    paths.push_back(it->path().lexically_relative(path).string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

bool NSFileManager::removeItemAtPath(const std::string& path) const {
  std::error_code ec;
  if (path.empty() || !fs::exists(fs::symlink_status(path, ec))) return false;
  fs::remove_all(path, ec);
  return !ec;
}

std::optional<Value::Data> NSFileManager::contentsAtPath(const std::string& path) const {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Value::Data data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return data;
}

bool NSFileManager::createFileAtPath(const std::string& path, const Value::Data& data) const {
  if (path.empty()) return false;
  // Written next to the target and renamed over it, so readers never see half a file.
  static std::atomic<uint64_t> counter{0};
  std::string temporary =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      std::error_code ec;
      fs::remove(temporary, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

std::optional<std::string> NSFileManager::stringWithContentsOfFile(const std::string& path) const {
  auto data = contentsAtPath(path);
  if (!data) return std::nullopt;
  return std::string(data->begin(), data->end());
}

bool NSFileManager::writeString(const std::string& text, const std::string& path) const {
  return createFileAtPath(path, Value::Data(text.begin(), text.end()));
}

std::optional<uint64_t> NSFileManager::fileSizeAtPath(const std::string& path) const {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return static_cast<uint64_t>(size);
}
