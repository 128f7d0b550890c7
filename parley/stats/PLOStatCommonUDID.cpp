#include "parley/stats/PLOStatCommonUDID.h"

#include <nettle/md5.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>

#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/NSUUID.h"

namespace {
const char* const kType = "org.CommonUDID";
const char* const kSlotPrefix = "org.CommonUDID.slot.";
const char* const kDefaultsKey = "CommonUDID";
const char* const kAppUIDKey = "CommonUDID_appUID";
const char* const kIdKey = "CommonUDID";
const char* const kCreatedKey = "CommonUDID_createdTS";
const char* const kSlotKey = "CommonUDID_slot";
const char* const kOptOutKey = "CommonUDID_optOutTS";
constexpr int kSlots = 100;

std::recursive_mutex gMutex;
std::string gCached;

// The protocol's time stamps are dates. Records written before they were kept a number of
// seconds since 1970 (and a peer's archive may still bring one): such a number reads as that date.
Value asDate(const Value& stamp) {
  if (stamp.isNumber()) return Value::date(stamp.doubleValue());
  return stamp;
}

// The app's id within the protocol. Kept at the top level of the user defaults (and read back
// from the local dictionary): with a fresh id at each launch the app would no longer recognise
// its own slot and would take another one every launch, until the device's shared slots were
// all used up by copies of this one app (corrupted shared data).
std::string appUID(const Value& local) {
  auto& defaults = NSUserDefaults::standardUserDefaults();
  std::string uid = defaults.stringForKey(kAppUIDKey);
  if (!uid.empty()) return uid;
  uid = local[kAppUIDKey].str();
  if (uid.empty()) uid = NSUUID::UUIDString();
  defaults.setObject(uid, kAppUIDKey);
  return uid;
}
}  // namespace

std::string PLOStatCommonUDID::value() { return valueWithError(nullptr); }

std::string PLOStatCommonUDID::valueWithError(Error* error) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  auto report = [error](long code, const std::string& text) {
    if (!error) return;
    error->code = code;
    error->domain = kType;
    error->description = text;
  };
  if (!gCached.empty()) {
    report(0, "CommonUDID in cache from first call");
    return gCached;
  }

  auto& defaults = NSUserDefaults::standardUserDefaults();
  Value stored = defaults.objectForKey(kDefaultsKey);
  Value local = stored.isDict() ? stored : Value();
  std::string uid = appUID(local);
  std::string identifier = local[kIdKey].str();
  bool optedOut = local.contains(kOptOutKey);
  Value optOutDate = local[kOptOutKey];

  std::string freeSlot, mySlot;
  std::map<std::string, int> frequency;
  for (int n = 0; n < kSlots; ++n) {
    std::string name = NSString::stringWithFormat("%@%d", kSlotPrefix, n);
    auto pasteboard = UIPasteboard::pasteboardWithName(name, false);
    Value dict = pasteboard ? _getDictFromPasteboard(pasteboard) : Value();
    std::string slotId = dict[kIdKey].str();
    if (slotId.empty()) {
      if (freeSlot.empty()) freeSlot = name;
    } else {
      ++frequency[slotId];
    }
    if (pasteboard && dict[kAppUIDKey].isEqualToString(uid)) {
      mySlot = name;
      if (optedOut) {
        optedOut = dict.contains(kOptOutKey);
        if (optedOut) optOutDate = dict[kOptOutKey];
      }
    }
  }

  std::string mostFrequent;
  if (!frequency.empty()) {
    std::vector<std::pair<std::string, int>> byCount(frequency.begin(), frequency.end());
    std::stable_sort(byCount.begin(), byCount.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    mostFrequent = byCount.back().first;
  }

  bool save = false, compromised = false;
  if (identifier.empty()) {
    identifier = mostFrequent.empty() ? _generateFreshCommonUDID() : mostFrequent;
    if (local.isNil()) {
      double now = NSDate::timeIntervalSince1970();
      local = Value::dict({{kIdKey, identifier},
                           {kAppUIDKey, uid},
                           {kCreatedKey, optedOut ? asDate(optOutDate) : Value::date(now)}});
    } else {
      local.set(kIdKey, identifier);
    }
    save = true;
  } else if (!mostFrequent.empty() && mostFrequent != identifier) {
    compromised = true;
  }

  if (!freeSlot.empty() && (mySlot.empty() || mySlot == freeSlot)) {
    auto pasteboard = UIPasteboard::pasteboardWithName(freeSlot, true);
    if (pasteboard) {
      pasteboard->setPersistent(true);
      if (!local.isNil()) {
        local.set(kSlotKey, freeSlot);
        save = true;
        _setDict(local, pasteboard);
      }
    }
  }
  if (save) defaults.setObject(local, kDefaultsKey);

  if (optedOut) {
    report(1, NSString::stringWithFormat(
                  "Application with unique id %@ is opted-out from CommonUDID as of %@", uid,
                  asDate(optOutDate)));
    gCached = NSString::stringWithFormat("%040x", 0);
  } else {
    if (compromised)
      report(2,
             "Found a discrepancy between stored CommonUDID (reliable) and redundant copies; one "
             "of the apps on the device is most likely corrupting the CommonUDID protocol");
    else
      report(0, "CommonUDID succesfully retrieved");
    gCached = identifier;
  }
  return gCached;
}

void PLOStatCommonUDID::setOptOut(bool optOut) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  value();
  auto& defaults = NSUserDefaults::standardUserDefaults();
  Value local = defaults.objectForKey(kDefaultsKey);
  if (!local.isDict()) local = Value::dict();
  if (optOut)
    local.set(kOptOutKey, Value::date(NSDate::timeIntervalSince1970()));
  else
    local.remove(kOptOutKey);
  defaults.setObject(local, kDefaultsKey);
  // The app's slot mirrors its dictionary: a stale slot would otherwise undo the choice at the
  // next launch, when the slot's opt-out mark decides (the user's opt-out would be lost).
  std::string slot = local[kSlotKey].str();
  if (!slot.empty()) {
    if (auto pasteboard = UIPasteboard::pasteboardWithName(slot, false))
      _setDict(local, pasteboard);
  }
  gCached.clear();
}

void PLOStatCommonUDID::resetForTesting() {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  gCached.clear();
}

std::string PLOStatCommonUDID::_generateFreshCommonUDID() {
  std::string uuid = NSUUID::UUIDString();
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, uuid.size(), reinterpret_cast<const uint8_t*>(uuid.data()));
  uint8_t digest[MD5_DIGEST_SIZE];
  md5_digest(&ctx, sizeof digest, digest);
  std::string out;
  for (uint8_t byte : digest) out += NSString::stringWithFormat("%02x", byte);
  static std::mutex randomMutex;
  static std::mt19937 generator{std::random_device{}()};
  uint32_t random;
  {
    std::lock_guard<std::mutex> lock(randomMutex);
    random = generator();
  }
  return out + NSString::stringWithFormat("%08lx", static_cast<unsigned long>(random));
}

Value PLOStatCommonUDID::_getDictFromPasteboard(const std::shared_ptr<UIPasteboard>& pasteboard) {
  if (!pasteboard) return Value::dict();
  auto bytes = pasteboard->dataForPasteboardType(kType);
  if (!bytes) return Value::dict();
  auto object = NSKeyedUnarchiver::unarchiveObjectWithData(*bytes);
  if (!object || !object->isDict()) return Value::dict();
  // A slot's time stamps are archived dates; a slot an older app wrote holds them as numbers.
  Value dict = *object;
  for (const char* key : {kCreatedKey, kOptOutKey})
    if (dict[key].isNumber()) dict.set(key, asDate(dict[key]));
  return dict;
}

void PLOStatCommonUDID::_setDict(const Value& dict,
                                 const std::shared_ptr<UIPasteboard>& pasteboard) {
  if (!pasteboard) return;
  pasteboard->setData(NSKeyedArchiver::archivedDataWithRootObject(dict), kType);
}
