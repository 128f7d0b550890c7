#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The client's digests and the request cipher. Pure functions; safe on any thread.
//
// Request cipher: DES in CBC mode with PKCS#7 padding, the 8-byte key also serving as the IV, then
// Base64 with every "+" written as "%2B" (so that the text can be posted as a form value as it is).
// At most kMaxPlainTextBytes bytes are enciphered: longer text, or any other cipher failure, logs
// "DES加密失败" and yields nullopt.
class EncDec {
 public:
  static constexpr size_t kMaxPlainTextBytes = 1023;

  // MD5 of the UTF-8 bytes as 32 upper-case hexadecimal digits.
  static std::string md5(const std::string& text);

  // Enciphers with Config::kDesKey.
  static std::optional<std::string> encryptUseDES(const std::string& plainText);
  static std::optional<std::string> encryptUseDES(const std::string& plainText,
                                                  const std::string& key);

  // The server side of encryptUseDES: accepts the text with "%2B" or with plain "+", deciphers and
  // strips the padding. nullopt (nothing logged) on bad Base64, a bad key, a length that is not a
  // whole number of blocks or bad padding.
  static std::optional<std::string> decryptUseDES(const std::string& cipherText);
  static std::optional<std::string> decryptUseDES(const std::string& cipherText,
                                                  const std::string& key);
};
