#include "core/EncDec.h"

#include <nettle/cbc.h>
#include <nettle/des.h>
#include <nettle/md5.h>

#include <cstdint>

#include "core/Base64.h"
#include "core/Config.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"

namespace {

// The key schedule of a key; nullopt when the key is unusable (wrong size or weak).
std::optional<des_ctx> schedule(const std::string& key) {
  des_ctx ctx;
  if (key.size() != DES_KEY_SIZE ||
      !des_set_key(&ctx, reinterpret_cast<const uint8_t*>(key.data()))) {
    return std::nullopt;
  }
  return ctx;
}

// Runs DES-CBC in place over whole blocks; false when the key is unusable.
bool desCbc(bool encrypt, const std::string& key, std::string& blocks) {
  if (blocks.size() % DES_BLOCK_SIZE != 0) return false;
  // Every request uses the configured key: work out its schedule once.
  static const std::optional<des_ctx> configured = schedule(Config::kDesKey);
  const std::optional<des_ctx> ctx = key == Config::kDesKey ? configured : schedule(key);
  if (!ctx) return false;
  uint8_t iv[DES_BLOCK_SIZE];
  std::copy(key.begin(), key.end(), iv);
  auto* data = reinterpret_cast<uint8_t*>(blocks.data());
  if (encrypt) {
    cbc_encrypt(&*ctx, reinterpret_cast<nettle_cipher_func*>(des_encrypt), DES_BLOCK_SIZE, iv,
                blocks.size(), data, data);
  } else {
    cbc_decrypt(&*ctx, reinterpret_cast<nettle_cipher_func*>(des_decrypt), DES_BLOCK_SIZE, iv,
                blocks.size(), data, data);
  }
  return true;
}

}  // namespace

std::string EncDec::md5(const std::string& text) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, text.size(), reinterpret_cast<const uint8_t*>(text.data()));
  uint8_t digest[MD5_DIGEST_SIZE];
  md5_digest(&ctx, MD5_DIGEST_SIZE, digest);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * MD5_DIGEST_SIZE);
  for (uint8_t b : digest) {
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 0xF]);
  }
  return out;
}

std::optional<std::string> EncDec::encryptUseDES(const std::string& plainText) {
  return encryptUseDES(plainText, Config::kDesKey);
}

std::optional<std::string> EncDec::encryptUseDES(const std::string& plainText,
                                                 const std::string& key) {
  std::string blocks = plainText;
  const size_t pad = DES_BLOCK_SIZE - plainText.size() % DES_BLOCK_SIZE;
  blocks.append(pad, static_cast<char>(pad));
  if (plainText.size() > kMaxPlainTextBytes || !desCbc(true, key, blocks)) {
    NSLog("DES加密失败");
    return std::nullopt;
  }
  const std::string base64 = Base64::encode(blocks);
  std::string out;
  out.reserve(base64.size() + base64.size() / 8);
  for (char c : base64) {
    if (c == '+') {
      out += "%2B";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::optional<std::string> EncDec::decryptUseDES(const std::string& cipherText) {
  return decryptUseDES(cipherText, Config::kDesKey);
}

std::optional<std::string> EncDec::decryptUseDES(const std::string& cipherText,
                                                 const std::string& key) {
  auto blocks =
      Base64::decode(NSString::stringByReplacingOccurrencesOfString(cipherText, "%2B", "+"));
  if (!blocks || blocks->empty() || !desCbc(false, key, *blocks)) return std::nullopt;
  const auto pad = static_cast<uint8_t>(blocks->back());
  if (pad == 0 || pad > DES_BLOCK_SIZE) return std::nullopt;
  for (size_t i = blocks->size() - pad; i < blocks->size(); ++i) {
    if (static_cast<uint8_t>((*blocks)[i]) != pad) return std::nullopt;
  }
  blocks->resize(blocks->size() - pad);
  return blocks;
}
