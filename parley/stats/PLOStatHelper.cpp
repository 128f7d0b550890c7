#include "parley/stats/PLOStatHelper.h"

#include <nettle/arcfour.h>
#include <zlib.h>

#include <cstdio>

#include "parley/stats/PLOStatCommonUDID.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatKeyChain.h"
#include "parley/stats/PLOStatPasteboard.h"
#include "parley/stats/PLOStatStore.h"
#include "parley/stats/PLOStatUser.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/CTTelephonyNetworkInfo.h"
#include "platform/services/CaptiveNetwork.h"
#include "platform/services/DeviceSystem.h"
#include "platform/services/SimulatedNetwork.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIScreen.h"

const char* const PLOStatRC4Key = "7be2c90d4a1f63e85d0b9c27f4a6e13d";
const char* const PLOStatSDKVersion = "1.4.6";

namespace {
const char* const kEventIndexKey = "STAT.EventIndex.Key";
constexpr uint64_t kLastIndex = 9223372036854765808ull;  // 2^63 - 1 - 9999

std::mutex gInstanceMutex;
std::shared_ptr<PLOStatHelper> gInstance;

std::mutex gIndexMutex;
uint64_t gIndex = 0;
bool gIndexLoaded = false;

// Year and day of the year in the device's time zone, as one comparable text. Every event
// asks (for its user type), so the formatter is made once and the answer is kept for the
// minute it was asked in: time zones are whole minutes from UTC, so days begin on a minute.
std::string localYearAndDay(uint32_t seconds) {
  struct Cache {
    std::mutex mutex;
    std::unique_ptr<NSDateFormatter> formatter;
    std::string zone;
    uint32_t minute[2] = {UINT32_MAX, UINT32_MAX};
    std::string day[2];
    int next = 0;
  };
  static Cache* cache = new Cache();  // lives for the whole process
  std::lock_guard<std::mutex> lock(cache->mutex);
  std::string zone = NSDateFormatter::defaultTimeZone();
  if (!cache->formatter || zone != cache->zone) {
    cache->formatter = std::make_unique<NSDateFormatter>();
    cache->formatter->setLocale("en_US_POSIX");
    cache->formatter->setDateFormat("yyyy-DDD");
    cache->zone = zone;
    cache->minute[0] = cache->minute[1] = UINT32_MAX;
  }
  uint32_t minute = seconds / 60;
  for (int i = 0; i < 2; ++i)
    if (cache->minute[i] == minute) return cache->day[i];
  int slot = cache->next;
  cache->next = 1 - slot;
  cache->minute[slot] = minute;
  cache->day[slot] = cache->formatter->stringFromDate(seconds);
  return cache->day[slot];
}

Value companyItem() {
  Value item = PLOStatKeyChain::load(PLOStatPasteboard::getCompanyDomain());
  return item.isDict() ? item : Value();
}
}  // namespace

std::shared_ptr<PLOStatHelper> PLOStatHelper::getInstance() {
  {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    if (gInstance) return gInstance;
  }
  // Made outside the lock: reading the environment touches the keychain and pasteboards.
  auto made = std::make_shared<PLOStatHelper>();
  std::lock_guard<std::mutex> lock(gInstanceMutex);
  if (!gInstance) gInstance = made;
  return gInstance;
}

void PLOStatHelper::resetForTesting() {
  std::shared_ptr<PLOStatHelper> dropped;
  {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    dropped = std::move(gInstance);
  }
  std::lock_guard<std::mutex> lock(gIndexMutex);
  gIndex = 0;
  gIndexLoaded = false;
}

PLOStatHelper::PLOStatHelper() {
  auto device = UIDevice::currentDevice();
  env_.platform = device->systemName();
  env_.os_version = device->systemVersion();
  env_.language = NSUserDefaults::standardUserDefaults().objectForKey("AppleLanguages")[0].str();
  auto screen = UIScreen::mainScreen();
  CGRect bounds = screen->bounds();
  env_.resolution = NSString::stringWithFormat("%.fx%.f", bounds.size.width * screen->scale(),
                                               bounds.size.height * screen->scale());

  env_.deviceid = getCommonUDID();
  if (env_.deviceid.empty()) {
    env_.deviceid = PLOStatCommonUDID::value();
    saveCommonUDID(env_.deviceid);
  }

  if (auto carrier = CTTelephonyNetworkInfo().subscriberCellularProvider())
    env_.mccmnc = carrier->mobileCountryCode + carrier->mobileNetworkCode;
  env_.timezone = NSDateFormatter::defaultTimeZone();

  auto& bundle = NSBundle::mainBundle();
  env_.app_version = bundle.objectForInfoDictionaryKey("CFBundleShortVersionString").str();
  if (env_.app_version.empty())
    env_.app_version = bundle.objectForInfoDictionaryKey("CFBundleVersion").str();
  if (env_.app_version.empty()) env_.app_version = "unknown";
  env_.sdk_version = PLOStatSDKVersion;
  env_.devicename = DeviceSystem::machine();
  env_.modulename = device->model();
  if (compareVersions(device->systemVersion(), "6.0") >= 0)
    env_.ifv = device->identifierForVendor();
  env_.jailbroken = DeviceSystem::fileExists("/bin/bash") ||
                    DeviceSystem::fileExists("/Applications/Cydia.app") ||
                    DeviceSystem::fileExists("/private/var/lib/apt");
}

std::shared_ptr<PLOStatUser> PLOStatHelper::getUser() {
  bool loaded = false;
  {
    std::lock_guard<std::mutex> lock(userMutex_);
    loaded = user_ != nullptr;
  }
  if (!loaded) {
    // Loaded without holding the lock: loading waits for the store's queue, whose own work
    // may be encoding an event and so asking for the user too.
    auto record = std::make_shared<PLOStatUser>(PLOStatStore::getInstance()->loadUser());
    std::lock_guard<std::mutex> lock(userMutex_);
    if (!user_) user_ = record;
  }

  PLOStatUser copy;
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(userMutex_);
    PLOStatUser& user = *user_;
    uint32_t now = static_cast<uint32_t>(NSDate::timeIntervalSince1970());
    int32_t type = user.userType;
    // A later day is told by year and day together: the same day of a later year is a later
    // day too.
    if (now > user.tagTime && localYearAndDay(now) != localYearAndDay(user.tagTime)) type = 1;
    if (user.appVer != env_.app_version) {
      type |= 2;
      user.appVer = env_.app_version;
      changed = true;
    }
    if (type != user.userType) {
      user.userType = type;
      user.tagTime = now;
      changed = true;
    }
    copy = user;
  }
  if (changed) PLOStatStore::getInstance()->storeUser(copy);
  return std::make_shared<PLOStatUser>(copy);
}

bool PLOStatHelper::checkStatEnable() const {
  bool on = statEnableFlag_;
  if (!on) PLOStatLog("STAT is not enabled , because of the online config");
  return on;
}

uint64_t PLOStatHelper::currentIndex() {
  std::lock_guard<std::mutex> lock(gIndexMutex);
  return gIndex;
}

void PLOStatHelper::setCurrentIndex(uint64_t index) {
  if (index == 0) {
    PLOStatLog("Warning:set idx failed!");
    return;
  }
  std::lock_guard<std::mutex> lock(gIndexMutex);
  gIndex = index;
}

uint64_t PLOStatHelper::nextEventIndex() {
  std::lock_guard<std::mutex> lock(gIndexMutex);
  if (!gIndexLoaded) {
    gIndexLoaded = true;
    long long saved = PLOStatKeyChain::load(kEventIndexKey).longLongValue();
    if (saved >= 2) gIndex = static_cast<uint64_t>(saved) + 100;
  }
  gIndex = gIndex >= kLastIndex ? 1 : gIndex + 1;
  return gIndex;
}

int PLOStatHelper::compareVersions(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      size_t si = i, sj = j;
      while (i < a.size() && digit(a[i])) ++i;
      while (j < b.size() && digit(b[j])) ++j;
      std::string x = a.substr(si, i - si), y = b.substr(sj, j - sj);
      x.erase(0, std::min(x.find_first_not_of('0'), x.size()));
      y.erase(0, std::min(y.find_first_not_of('0'), y.size()));
      if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
      if (int c = x.compare(y)) return c < 0 ? -1 : 1;
      continue;
    }
    if (a[i] != b[j])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::string PLOStatHelper::getJson(const Value& object) {
  if (!object.isDict() && !object.isArray()) {
    PLOStatLog("error json format");
    return "";
  }
  return object.toJSON();
}

std::string PLOStatHelper::getMacAddress() {
  auto& network = SimulatedNetwork::shared();
  std::string failure;
  unsigned index = network.interfaceIndex("en0");
  std::optional<MacAddress> mac;
  if (index == 0) {
    failure = "if_nametoindex failure";
  } else if (!(mac = network.linkAddress(index))) {
    failure = "sysctl mgmtInfoBase failure";
  }
  if (!failure.empty()) {
    NSLog("Error: %@", failure);
    return failure;
  }
  // Every event reports it: plain snprintf keeps that cheap.
  const MacAddress& m = *mac;
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3], m[4],
                m[5]);
  return text;
}

bool PLOStatHelper::isWiFiAvailable() {
  for (const auto& address : SimulatedNetwork::shared().interfaces())
    if (address.name == "en0" && address.ipv4 && !address.loopback) return true;
  return false;
}

std::string PLOStatHelper::fetchSSIDInfo() const {
  std::string ssid = "Not Found", bssid = "Not Found";
  auto interfaces = CNCopySupportedInterfaces();
  if (!interfaces.empty()) {
    Value info = CNCopyCurrentNetworkInfo(interfaces.front());
    if (info.isDict()) {
      ssid = info["SSID"].str();
      bssid = info["BSSID"].str();
    }
  }
  return getJson(Value::dict({{"ss", ssid}, {"bs", bssid}}));
}

std::string PLOStatHelper::getPushDeviceTokenItem() const { return companyItem()["pstoken"].str(); }

std::string PLOStatHelper::getCommonUDID() { return companyItem()["statcommonudid"].str(); }

void PLOStatHelper::saveCommonUDID(const std::string& udid) {
  if (udid.empty()) return;
  // The item is shared with whoever keeps the push token in it: only our member changes.
  // Replacing the whole item would lose that push token (lost data).
  Value item = companyItem();
  if (!item.isDict()) item = Value::dict();
  item.set("statcommonudid", udid);
  PLOStatKeyChain::save(PLOStatPasteboard::getCompanyDomain(), item);
}

std::string PLOStatHelper::getMid() const {
  std::string mid = PLOStatPasteboard::get("pushDeviceTokenItem");
  return mid.empty() ? "0" : mid;
}

void PLOStatHelper::saveMid(const std::string& mid) {
  PLOStatPasteboard::set("pushDeviceTokenItem", mid);
}

void PLOStatHelper::ChiperRC4(std::vector<uint8_t>& data) {
  if (data.empty()) return;
  arcfour_ctx ctx;
  arcfour_set_key(&ctx, 32, reinterpret_cast<const uint8_t*>(PLOStatRC4Key));
  arcfour_crypt(&ctx, data.size(), data.data(), data.data());
}

int PLOStatHelper::GZip(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
  if (in.empty()) return -1;
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return -1;
  std::vector<uint8_t> buffer(8192);
  stream.next_in = const_cast<Bytef*>(in.data());
  stream.avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  while (status == Z_OK || status == Z_BUF_ERROR) {
    if (stream.total_out >= buffer.size()) buffer.resize(buffer.size() + 8192);
    stream.next_out = buffer.data() + stream.total_out;
    stream.avail_out = static_cast<uInt>(buffer.size() - stream.total_out);
    status = deflate(&stream, Z_FINISH);
  }
  size_t produced = stream.total_out;
  deflateEnd(&stream);
  if (status != Z_STREAM_END) return -1;
  buffer.resize(produced);
  out = std::move(buffer);
  return 0;
}

int PLOStatHelper::GUnzip(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
  z_stream stream{};
  stream.next_in = const_cast<Bytef*>(in.data());
  stream.avail_in = static_cast<uInt>(in.size());
  if (inflateInit2(&stream, 47) != Z_OK) {
    PLOStatLog("Failed to init gunzip.");
    return -1;
  }
  size_t step = std::max<size_t>(in.size() / 2, 1);
  std::vector<uint8_t> buffer(in.size() + in.size() / 2 + 1);
  int status = Z_OK;
  while (status == Z_OK) {
    if (stream.total_out >= buffer.size()) buffer.resize(buffer.size() + step);
    stream.next_out = buffer.data() + stream.total_out;
    stream.avail_out = static_cast<uInt>(buffer.size() - stream.total_out);
    status = inflate(&stream, Z_SYNC_FLUSH);
  }
  size_t produced = stream.total_out;
  if (inflateEnd(&stream) != Z_OK) {
    PLOStatLog("Gunzip inflateEnd failed.");
    return -1;
  }
  if (status != Z_STREAM_END) {
    PLOStatLog("Gunzip failed with status == %d", status);
    return -1;
  }
  buffer.resize(produced);
  out = std::move(buffer);
  return 0;
}

void PLOStatHelper::setText(Value& dict, const char* key, const std::string& text) {
  if (!text.empty()) dict.set(key, text);
}

void PLOStatHelper::addDeviceMembers(Value& dict, const PLOStatEnv& env) {
  setText(dict, "pl", env.platform);
  setText(dict, "tz", env.timezone);
  setText(dict, "ov", env.os_version);
  const std::string av = PLOStatConfig::getInstance()->customerAppVersion();
  setText(dict, "av", av.empty() ? env.app_version : av);
  dict.set("os", Value(2));
  setText(dict, "sv", env.sdk_version);
  setText(dict, "lg", env.language);
  setText(dict, "sr", env.resolution);
  setText(dict, "op", env.mccmnc);
  setText(dict, "md", env.devicename);
  setText(dict, "mf", env.modulename);
}
