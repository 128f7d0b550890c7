#include "platform/services/SimulatedDevice.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIPasteboard.h"

namespace fs = std::filesystem;

SimulatedDevice::SimulatedDevice() { UIPasteboard::setStore(this); }

SimulatedDevice::~SimulatedDevice() {
  UIPasteboard::setStore(nullptr);
  // At the end of the process, so without a log line: the log may be gone already. A child
  // that was forked without exec leaves its parent's folder alone.
  std::lock_guard<std::mutex> lock(mutex_);
  if (madeRoot_ && madeBy_ == getpid()) {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
}

SimulatedDevice& SimulatedDevice::shared() {
  static SimulatedDevice device;
  return device;
}

std::string SimulatedDevice::lower(const std::string& s) { return NSString::lowercaseString(s); }

void SimulatedDevice::moveTo(const std::string& dir) {
  if (dir == root_) return;
  // A new folder inside the old one keeps the old one, which holds it.
  if (madeRoot_ && !NSString::hasPrefix(dir, root_ + "/")) {
    std::error_code ec;
    fs::remove_all(root_, ec);
    if (ec) NSLog("SimulatedDevice: cannot remove %@: %@", root_, ec.message());
  }
  madeRoot_ = false;
  root_ = dir;
}

void SimulatedDevice::setRoot(const std::string& dir) {
  std::lock_guard<std::mutex> lock(mutex_);
  moveTo(dir);
  std::error_code ec;
  fs::create_directories(fs::path(root_) / "Pasteboards", ec);
  loadPasteboards();
}

std::string SimulatedDevice::root() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return root_;
}

void SimulatedDevice::installApp(const std::string& scheme, URLHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  apps_[lower(scheme)] = std::move(handler);
}

void SimulatedDevice::uninstallApp(const std::string& scheme) {
  std::lock_guard<std::mutex> lock(mutex_);
  apps_.erase(lower(scheme));
}

bool SimulatedDevice::isInstalled(const std::string& scheme) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return apps_.count(lower(scheme)) > 0;
}

std::vector<std::string> SimulatedDevice::installedSchemes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [s, h] : apps_) out.push_back(s);
  return out;
}

namespace {
std::string schemeOf(const std::string& url) {
  auto colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  return url.substr(0, colon);
}
}  // namespace

bool SimulatedDevice::canOpenURL(const std::string& url) const {
  std::string scheme = schemeOf(url);
  return !scheme.empty() && isInstalled(scheme);
}

bool SimulatedDevice::openURL(const std::string& url) {
  URLHandler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string scheme = lower(schemeOf(url));
    auto it = scheme.empty() ? apps_.end() : apps_.find(scheme);
    if (it == apps_.end()) return false;
    opened_.push_back(url);
    handler = it->second;
  }
  // The other app comes up after this app's call has returned, on the main thread.
  if (handler) RunLoop::main().post([handler, url] { handler(url); });
  return true;
}

std::vector<std::string> SimulatedDevice::openedURLs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opened_;
}

void SimulatedDevice::clearOpenedURLs() {
  std::lock_guard<std::mutex> lock(mutex_);
  opened_.clear();
}

std::shared_ptr<UIPasteboard> SimulatedDevice::pasteboard(const std::string& name, bool create) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (root_.empty()) {
    root_ = Sandbox::makeTemporaryDirectory("tovira-device");
    madeRoot_ = !root_.empty();
    madeBy_ = getpid();
    std::error_code ec;
    fs::create_directories(fs::path(root_) / "Pasteboards", ec);
    loadPasteboards();
  }
  auto it = pasteboards_.find(name);
  if (it != pasteboards_.end()) return it->second;
  if (!create && name != UIPasteboardNameGeneral) return nullptr;
  auto pb = std::make_shared<UIPasteboard>(name);
  pasteboards_[name] = pb;
  return pb;
}

void SimulatedDevice::removePasteboard(const std::string& name) {
  std::shared_ptr<UIPasteboard> drop;
  std::lock_guard<std::mutex> lock(mutex_);
  if (name == UIPasteboardNameGeneral) return;
  auto it = pasteboards_.find(name);
  if (it == pasteboards_.end()) return;
  drop = it->second;
  pasteboards_.erase(it);
  std::error_code ec;
  if (!root_.empty()) fs::remove(pasteboardPath(name), ec);
}

std::vector<std::string> SimulatedDevice::pasteboardNames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [n, p] : pasteboards_) out.push_back(n);
  return out;
}

std::string SimulatedDevice::pasteboardPath(const std::string& name) const {
  return (fs::path(root_) / "Pasteboards" / (NSString::percentEscape(name) + ".plist")).string();
}

void SimulatedDevice::persist(const UIPasteboard& pb) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = pasteboards_.find(pb.name());
  if (it == pasteboards_.end() || it->second.get() != &pb || root_.empty()) return;
  // The snapshot is taken under our lock, so that writes of the same pasteboard reach the
  // file in the order of their snapshots: taken before it, two writers racing could leave
  // the older contents on disk. (Lock order: device, then pasteboard, as when loading.)
  Value snapshot = pb.toPlistValue();
  std::string path = pasteboardPath(pb.name());
  std::error_code ec;
  if (!snapshot["persistent"].boolValue()) {
    fs::remove(path, ec);
    return;
  }
  auto bytes = Plist::toBinary(snapshot);
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
      NSLog("SimulatedDevice: cannot write %@", path);
      return;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  fs::rename(tmp, path, ec);  // whole files only: a crash never leaves half a pasteboard
}

void SimulatedDevice::loadPasteboards() {
  pasteboards_.clear();
  std::error_code ec;
  fs::path dir = fs::path(root_) / "Pasteboards";
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.path().extension() != ".plist") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    auto v = Plist::parse(bytes);
    if (!v || !(*v)["name"].isString()) continue;
    auto pb = std::make_shared<UIPasteboard>((*v)["name"].str());
    pb->loadFromPlistValue(*v);
    pasteboards_[pb->name()] = pb;
  }
}

void SimulatedDevice::restartApp() {
  std::map<std::string, std::shared_ptr<UIPasteboard>> drop;
  std::lock_guard<std::mutex> lock(mutex_);
  drop.swap(pasteboards_);
  if (!root_.empty()) loadPasteboards();
}

void SimulatedDevice::reset(const std::string& dir) {
  std::map<std::string, std::shared_ptr<UIPasteboard>> drop;
  std::map<std::string, URLHandler> dropApps;
  std::lock_guard<std::mutex> lock(mutex_);
  drop.swap(pasteboards_);
  dropApps.swap(apps_);
  opened_.clear();
  moveTo(dir);
  if (root_.empty()) return;  // a temporary folder is made when a pasteboard is first used
  std::error_code ec;
  fs::create_directories(fs::path(root_) / "Pasteboards", ec);
  loadPasteboards();
}
