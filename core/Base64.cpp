#include "core/Base64.h"

#include <nettle/base64.h>

std::string Base64::encode(const std::string& bytes) {
  std::string out(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
  base64_encode_raw(reinterpret_cast<char*>(out.data()), bytes.size(),
                    reinterpret_cast<const uint8_t*>(bytes.data()));
  return out;
}

std::optional<std::string> Base64::decode(const std::string& text) {
  // Nettle accepts a missing final padding; the wire format always pads, so insist on it.
  if (text.size() % 4 != 0) return std::nullopt;
  base64_decode_ctx ctx;
  base64_decode_init(&ctx);
  std::string out(BASE64_DECODE_LENGTH(text.size()), '\0');
  size_t length = out.size();
  if (!base64_decode_update(&ctx, &length, reinterpret_cast<uint8_t*>(out.data()), text.size(),
                            text.data()) ||
      !base64_decode_final(&ctx)) {
    return std::nullopt;
  }
  out.resize(length);
  return out;
}
