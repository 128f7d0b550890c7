#include "parley/PLApiRegister.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "parley/ParleyApiUtil.h"
#include "parley/StatPL.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIPasteboard.h"

namespace {

constexpr const char* kPasteboardName = "parley_register";
constexpr const char* kContentType = "content";
constexpr size_t kLongestDescription = 1024;

std::mutex& classLock() {
  static std::mutex m;
  return m;
}

std::shared_ptr<PLApiRegister>& shared() {
  static std::shared_ptr<PLApiRegister> s;
  return s;
}

std::optional<Value::Data> readFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Value::Data bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::string secondsText() {
  return NSString::stringWithFormat("%u", static_cast<uint32_t>(RunLoop::main().now()));
}

}  // namespace

std::shared_ptr<PLApiRegister> PLApiRegister::shareInstance() {
  std::lock_guard lock(classLock());
  if (!shared()) shared() = std::make_shared<PLApiRegister>();
  return shared();
}

void PLApiRegister::resetForTesting() {
  std::lock_guard lock(classLock());
  shared().reset();
}

PLApiRegister::~PLApiRegister() {
  if (backgroundToken_)
    NSNotificationCenter::defaultCenter().removeObserverWithToken(backgroundToken_);
}

void PLApiRegister::startStat(const std::string& appId) {
  StatPL::startWithAppkey(appId);
  std::lock_guard lock(mutex_);
  // One subscription per process: a second registration must not record every background
  // event twice.
  if (backgroundToken_) return;
  std::weak_ptr<PLApiRegister> weak = shareInstance();
  backgroundToken_ = NSNotificationCenter::defaultCenter().addObserverForName(
      UIApplicationDidEnterBackgroundNotification, [weak](const Value& info) {
        if (auto self = weak.lock()) self->DidEnterBackground(info);
      });
}

void PLApiRegister::DidEnterBackground(const Value&) { StatPL::onBackground(); }

std::string PLApiRegister::getRegisterPasteboardName() { return kPasteboardName; }

Value PLApiRegister::getRegisterDictionary(const std::shared_ptr<UIPasteboard>& pasteboard) {
  if (!pasteboard) return Value();
  const auto data = pasteboard->dataForPasteboardType(kContentType);
  if (!data || data->empty()) return Value();
  Value plist = ParleyApiUtil::propertyListFromData(*data);
  return plist.isDict() ? plist : Value();
}

std::string PLApiRegister::getIconString() {
  auto& bundle = NSBundle::mainBundle();
  const Value info = bundle.infoDictionary();
  if (!info.isDict()) return "";
  const bool doubleScale = ParleyApiUtil::is2xScreen();
  std::string name;
  const Value& files = info["CFBundleIconFiles"];
  if (files.isArray()) {
    // An empty list names no icon: the fallback below, not the single-icon key.
    for (const auto& file : files.arrayValue()) {
      const bool is2x = NSString::containsString(file.str(), "@2x");
      if (is2x == doubleScale) {
        name = file.str();
        break;
      }
    }
    if (name.empty() && files.count() > 0) name = files[files.count() - 1].str();
  } else if (info.contains("CFBundleIconFile")) {
    name = info["CFBundleIconFile"].str();
  }
  if (name.empty()) name = doubleScale ? "Icon@2x.png" : "Icon.png";
  return NSString::stringWithFormat("%@/%@", bundle.bundlePath(), name);
}

Value PLApiRegister::buildAppDictionary(const std::string& appId, const Value& oldAppDictionary) {
  Value entry = Value::dict();
  auto icon = readFile(getIconString());
  if (!icon) icon = readFile(NSBundle::mainBundle().pathForResource("Icon.png"));
  if (icon) entry.set("appIcon", Value::data(std::move(*icon)));
  const Value info = NSBundle::mainBundle().infoDictionary();
  if (info.contains("CFBundleIdentifier")) entry.set("appIdentifier", info["CFBundleIdentifier"]);
  if (!info["CFBundleDisplayName"].str().empty()) {
    entry.set("appName", info["CFBundleDisplayName"]);
  } else if (info.contains("CFBundleName")) {
    entry.set("appName", info["CFBundleName"]);
  }
  const std::string now = secondsText();
  const Value& first = oldAppDictionary["firstLaunchTime"];
  entry.set("firstLaunchTime", first.isNil() ? Value(now) : first);
  entry.set("laststLaunchTime", now);
  entry.set("appID", appId);
  return entry;
}

bool PLApiRegister::registerApp(const std::string& appId) { return registerApp(appId, nullptr); }

bool PLApiRegister::registerApp(const std::string& appId, const std::string& description) {
  return registerApp(appId, &description);
}

bool PLApiRegister::registerApp(const std::string& appId, const std::string* description) {
  if (appId.empty()) return false;
  // The statistics start comes first, before anything below can fail, and is never undone.
  shareInstance()->startStat(appId);
  auto pasteboard = UIPasteboard::pasteboardWithName(kPasteboardName, true);
  if (!pasteboard) return false;
  pasteboard->setPersistent(true);
  Value all = getRegisterDictionary(pasteboard);
  if (!all.isDict()) all = Value::dict();
  Value entry = buildAppDictionary(appId, all[appId]);
  if (description) {
    const size_t length = NSString::length(*description);
    if (length >= 1 && length <= kLongestDescription) entry.set("appDescriptionSDK", *description);
  }
  all.set(appId, entry);
  const auto data = ParleyApiUtil::dataFromPropertyList(all);
  if (!data) return false;
  pasteboard->setData(*data, kContentType);
  return true;
}
