// URLs and their arguments as other apps hand them over: NSURL's parts, the SDK's query readers
// and every percent-unescaping.
#include <cstdint>
#include <string>

#include "parley/PLApi.h"
#include "parley/PLApiNSStringURLArgumentsAdditions.h"
#include "parley/PaylumePayApi.h"
#include "parley/WapAuthHandler.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSURL.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  NSLogSink::setEcho(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (auto url = NSURL::URLWithString(text)) {
    (void)url->scheme();
    (void)url->host();
    (void)url->path();
    (void)url->query();
    (void)url->absoluteString();
    (void)PLApi::parseURLParams(url->query());
  }
  (void)PLApi::parseURLParams(text);
  (void)WapAuthHandler::shareWapAuthHandlerInstance()->parseURLParams(text);
  (void)PLApiNSStringURLArgumentsAdditions::plApi_stringByUnescapingFromURLArgument(text);
  (void)PLApiNSStringURLArgumentsAdditions::decodePercentEscapes(text);
  (void)PaylumePayApi::sharedInstance()->decodeFromPercentEscapeString(text);
  return 0;
}
