#include "parley/stats/PLOStatKeyChain.h"

#include "parley/stats/PLOStatConfig.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/services/Keychain.h"

Value PLOStatKeyChain::getKeychainQuery(const std::string& key) {
  return Value::dict({{kSecClass, kSecClassGenericPassword},
                      {kSecAttrService, key},
                      {kSecAttrAccount, key},
                      {kSecAttrAccessible, kSecAttrAccessibleAfterFirstUnlock}});
}

void PLOStatKeyChain::save(const std::string& key, const Value& data) {
  Value query = getKeychainQuery(key);
  SecItemDelete(query);
  query.set(kSecValueData, Value::data(NSKeyedArchiver::archivedDataWithRootObject(data)));
  SecItemAdd(query);
}

Value PLOStatKeyChain::load(const std::string& key) {
  Value query = getKeychainQuery(key);
  query.set(kSecReturnData, Value::boolean(true));
  query.set(kSecMatchLimit, kSecMatchLimitOne);
  Value data;
  if (SecItemCopyMatching(query, &data) != errSecSuccess || !data.isData()) return Value();
  auto object = NSKeyedUnarchiver::unarchiveObjectWithData(data.dataValue());
  if (!object) {
    PLOStatLog("Unarchive of %@ failed: %@", key,
               "*** -[NSKeyedUnarchiver initForReadingWithData:]: incomprehensible archive");
    return Value();
  }
  return *object;
}

void PLOStatKeyChain::remove(const std::string& key) { SecItemDelete(getKeychainQuery(key)); }
