#include "core/Tgid.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <vector>

#include "core/Config.h"
#include "platform/foundation/NSBundle.h"

namespace {

namespace fs = std::filesystem;

void walk(const fs::path& folder, std::string& last) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    entries.push_back(*it);
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("cid_", 0) == 0) last = name.substr(4);
    if (entry.is_directory(ec) && !entry.is_symlink(ec)) walk(entry.path(), last);
  }
}

}  // namespace

std::string Tgid::gettgid() {
  // The bundle is read-only while the app runs, so one walk per bundle folder is enough; every
  // request asks for the id.
  static std::mutex mutex;
  static std::string cachedPath;
  static std::string cachedId;
  const std::string path = NSBundle::mainBundle().resourcePath();
  std::lock_guard lock(mutex);
  if (cachedId.empty() || cachedPath != path) {
    cachedId = gettgid(path);
    cachedPath = path;
  }
  return cachedId;
}

std::string Tgid::gettgid(const std::string& bundlePath) {
  std::string last;
  walk(fs::path(bundlePath) / "_CodeSignature", last);
  // A bare "cid_" names no channel.
  return last.empty() ? Config::kDefaultChannelId : last;
}
