// The command-dictionary readers on what another app left on the pasteboards: the bytes go on
// the general pasteboard and on the SDK's data pasteboard, and both readers take them off and
// build the request or response they describe.
#include <cstdint>

#include "FuzzSupport.h"
#include "parley/AppCommunicate.h"
#include "parley/AppCommunicateData.h"
#include "platform/uikit/UIPasteboard.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUpDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::bytesOf(data, size);
  UIPasteboard::generalPasteboard()->setData(bytes, "content");
  AppCommunicate::getDataPasteboard()->setData(bytes, "content");
  for (auto reader : {&AppCommunicate::appCommunicateDataForAppIDForiOS7Plus,
                      &AppCommunicate::appCommunicateDataForAppID}) {
    if (auto message = reader("plapp")) {
      (void)message->DataToReq();
      (void)message->DataToResp();
    }
  }
  RunLoop::main().runUntilIdle();
  return 0;
}
