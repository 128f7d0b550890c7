// Deciphering an enciphered request or reply. Nothing may crash, and what deciphers must
// encipher and decipher back to itself when it is short enough to encipher.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/EncDec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto plain = EncDec::decryptUseDES(text);
  if (!plain || plain->size() > EncDec::kMaxPlainTextBytes) return 0;
  const auto cipher = EncDec::encryptUseDES(*plain);
  if (!cipher || EncDec::decryptUseDES(*cipher) != plain) std::abort();
  return 0;
}
