#pragma once
// Shared set-up of the harnesses that read pasteboards: a temporary sandbox, pasteboards in memory,
// the main run loop driven by the fuzzing thread, the SDK registered as "plapp" on a system 7
// device, and the log kept quiet. Runs once per process.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "parley/PLApi.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIPasteboard.h"

namespace fuzz {

inline void setUpDevice() {
  NSLogSink::setEcho(false);
  RunLoop::main().reset();
  Sandbox::setRoot(Sandbox::makeTemporaryDirectory("tovira-fuzz"));
  SimulatedDevice::shared().reset(Sandbox::root() + "/device");
  // Pasteboards in memory: the device writes every change to disk, which would bound the runs
  // per second by the file system.
  UIPasteboard::setStore(nullptr);
  UIDevice::currentDevice()->setSystemVersion("7.0");
  PLApi::registerApp("plapp");
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(Sandbox::root(), ignored);
  });
}

inline std::vector<uint8_t> bytesOf(const uint8_t* data, size_t size) {
  return std::vector<uint8_t>(data, data + size);
}

}  // namespace fuzz
