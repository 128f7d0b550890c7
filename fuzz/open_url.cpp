// PLApi::handleOpenURL with whatever another app left on the general pasteboard. The input's
// first line is the URL that opens the app; the rest is the pasteboard's "content".
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "parley/PLApiDelegate.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIPasteboard.h"

namespace {
class Delegate : public PLApiDelegate {};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUpDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* end = data + size;
  const uint8_t* newline = std::find(data, end, '\n');
  const std::string url(data, newline);
  const uint8_t* rest = newline == end ? end : newline + 1;
  UIPasteboard::generalPasteboard()->setData(fuzz::bytesOf(rest, static_cast<size_t>(end - rest)),
                                             "content");
  static const auto delegate = std::make_shared<Delegate>();
  PLApi::handleOpenURL(NSURL::URLWithString(url), delegate);
  RunLoop::main().runUntilIdle();
  return 0;
}
