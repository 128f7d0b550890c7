#include "platform/services/Keychain.h"

#include <atomic>
#include <mutex>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/Sandbox.h"

const std::string kSecClass = "class";
const std::string kSecClassGenericPassword = "genp";
const std::string kSecAttrService = "svce";
const std::string kSecAttrAccount = "acct";
const std::string kSecAttrAccessible = "pdmn";
const std::string kSecAttrAccessibleAfterFirstUnlock = "ck";
const std::string kSecValueData = "v_Data";
const std::string kSecReturnData = "r_Data";
const std::string kSecMatchLimit = "m_Limit";
const std::string kSecMatchLimitOne = "m_LimitOne";

namespace {
std::mutex gMutex;
std::atomic<bool> gFailing{false};

// The items are an array of attribute dictionaries; the file is read at every call, so that
// a new sandbox root or an app restart needs no cache to be dropped.
Value::Array readItems() {
  auto bytes = NSFileManager::defaultManager().contentsAtPath(Keychain::filePath());
  if (!bytes) return {};
  auto parsed = Plist::parse(*bytes);
  if (!parsed || !parsed->isArray()) {
    NSLog("Keychain: ignored an unreadable keychain file %@", Keychain::filePath());
    return {};
  }
  return parsed->arrayValue();
}

bool writeItems(const Value::Array& items) {
  auto& fm = NSFileManager::defaultManager();
  fm.createDirectoryAtPath(Sandbox::library() + "/Keychains", true);
  return fm.createFileAtPath(Keychain::filePath(), Plist::toBinary(Value(items)));
}

bool identifies(const Value& query) {
  return query[kSecClass].isEqualToString(kSecClassGenericPassword);
}

// An item matches when it has the query's class and, where the query names them, its
// service and account.
bool matches(const Value& item, const Value& query) {
  for (const auto& key : {kSecClass, kSecAttrService, kSecAttrAccount}) {
    if (query.contains(key) && item[key] != query[key]) return false;
  }
  return true;
}
}  // namespace

std::string Keychain::filePath() { return Sandbox::library() + "/Keychains/keychain.plist"; }

void Keychain::setFailing(bool failing) { gFailing = failing; }

OSStatus SecItemAdd(const Value& attributes) {
  if (gFailing) return errSecIO;
  if (!identifies(attributes)) return errSecParam;
  std::lock_guard<std::mutex> lock(gMutex);
  Value::Array items = readItems();
  Value key = Value::dict({{kSecClass, attributes[kSecClass]},
                           {kSecAttrService, attributes[kSecAttrService]},
                           {kSecAttrAccount, attributes[kSecAttrAccount]}});
  for (const auto& item : items)
    if (matches(item, key)) return errSecDuplicateItem;
  Value item;
  for (const auto& [k, v] : attributes.dictValue())
    if (k == kSecClass || k == kSecAttrService || k == kSecAttrAccount || k == kSecAttrAccessible ||
        k == kSecValueData)
      item.set(k, v);
  items.push_back(item);
  return writeItems(items) ? errSecSuccess : errSecIO;
}

OSStatus SecItemCopyMatching(const Value& query, Value* result) {
  if (gFailing) return errSecIO;
  if (!identifies(query)) return errSecParam;
  std::lock_guard<std::mutex> lock(gMutex);
  for (const auto& item : readItems()) {
    if (!matches(item, query)) continue;
    if (result) *result = query[kSecReturnData].boolValue() ? item[kSecValueData] : item;
    return errSecSuccess;
  }
  return errSecItemNotFound;
}

OSStatus SecItemDelete(const Value& query) {
  if (gFailing) return errSecIO;
  if (!identifies(query)) return errSecParam;
  std::lock_guard<std::mutex> lock(gMutex);
  Value::Array items = readItems();
  Value::Array kept;
  for (const auto& item : items)
    if (!matches(item, query)) kept.push_back(item);
  if (kept.size() == items.size()) return errSecItemNotFound;
  return writeItems(kept) ? errSecSuccess : errSecIO;
}
