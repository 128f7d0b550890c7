#pragma once
// The keychain: items described by attribute dictionaries, persisted as a binary plist file
// in the sandbox ("Library/Keychains/keychain.plist"), so that they survive an app restart.
// Only generic passwords are kept; an item is identified by its class, service and account.
// Thread-safe.
#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

using OSStatus = int32_t;
inline constexpr OSStatus errSecSuccess = 0;
inline constexpr OSStatus errSecParam = -50;
inline constexpr OSStatus errSecDuplicateItem = -25299;
inline constexpr OSStatus errSecItemNotFound = -25300;
inline constexpr OSStatus errSecIO = -36;

extern const std::string kSecClass;
extern const std::string kSecClassGenericPassword;
extern const std::string kSecAttrService;
extern const std::string kSecAttrAccount;
extern const std::string kSecAttrAccessible;
extern const std::string kSecAttrAccessibleAfterFirstUnlock;
extern const std::string kSecValueData;
extern const std::string kSecReturnData;
extern const std::string kSecMatchLimit;
extern const std::string kSecMatchLimitOne;

// Adds an item: class, service and account identify it; kSecValueData is its data.
OSStatus SecItemAdd(const Value& attributes);
// With kSecReturnData true, *result becomes the item's data (a data Value).
OSStatus SecItemCopyMatching(const Value& query, Value* result);
OSStatus SecItemDelete(const Value& query);

namespace Keychain {
// Tests: every keychain call fails with errSecIO while set.
void setFailing(bool failing);
std::string filePath();
}  // namespace Keychain
