// Both Base64 decoders: the API client's and the SDK's. Nothing may crash, and text that decodes
// must decode to what encoding the result and decoding again gives.
#include "core/Base64.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "parley/ParleyApiUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (const auto bytes = Base64::decode(text)) {
    if (Base64::decode(Base64::encode(*bytes)) != bytes) std::abort();
  }
  if (const auto bytes = ParleyApiUtil::DecodeWithBase64(text)) {
    const auto again = ParleyApiUtil::DecodeWithBase64(ParleyApiUtil::NsDataEncodeBase64(*bytes));
    if (again != bytes) std::abort();
  }
  (void)ParleyApiUtil::DecodeBase64(text);
  return 0;
}
