#pragma once

// The fixture of the Parley tests: a fresh main loop with a virtual clock, a
// temporary sandbox, system version 7.0, empty pasteboards, no installed
// apps, and the AppID "plapp" registered.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "parley/PLApi.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Value.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIPasteboard.h"

// Readable failure messages for values.
inline void PrintTo(const Value& value, std::ostream* os) { *os << value.description(); }

class ParleyTest : public ::testing::Test {
 public:
  static constexpr const char* kAppId = "plapp";

 protected:
  void SetUp() override {
    RunLoop::main().reset();
    RunLoop::main().setWatchdogSeconds(10);
    Sandbox::setRoot(Sandbox::makeTemporaryDirectory("parley-test"));
    SimulatedDevice::shared().reset(Sandbox::root() + "/device");
    setSystemVersion("7.0");
    resetBeforeRegistration();
    PLApi::registerApp(kAppId);
  }

  // For suites whose modules keep state across tests: runs once the sandbox and the device are
  // the test's own (so that whatever they open goes there), before the AppID is registered.
  virtual void resetBeforeRegistration() {}

  void TearDown() override {
    EXPECT_TRUE(RunLoop::main().runUntilIdle());
    std::error_code ignored;
    std::filesystem::remove_all(Sandbox::root(), ignored);
  }

  static void setSystemVersion(const std::string& version) {
    UIDevice::currentDevice()->setSystemVersion(version);
  }

  // Runs the main loop until it is quiet; fails instead of hanging.
  static void runLoop() { ASSERT_TRUE(RunLoop::main().runUntilIdle()); }

 public:
  static std::shared_ptr<UIImage> image() {
    std::vector<uint8_t> rgba(16 * 16 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7);
    return UIImage::imageWithPixels(16, 16, rgba);
  }
  static std::vector<uint8_t> jpeg() { return UIImageJPEGRepresentation(image(), 0.6); }
  // A real JPEG followed by padding up to the given size: still an image.
  static std::vector<uint8_t> paddedJpeg(size_t size) {
    auto bytes = jpeg();
    bytes.resize(size, 0);
    return bytes;
  }

  // Remembers what the SDK delivered.
  class RecordingDelegate : public PLApiDelegate {
   public:
    void onReq(const std::shared_ptr<BaseReq>& req) override { reqs.push_back(req); }
    void onResp(const std::shared_ptr<BaseResp>& resp) override { resps.push_back(resp); }
    std::vector<std::shared_ptr<BaseReq>> reqs;
    std::vector<std::shared_ptr<BaseResp>> resps;
  };

  static std::shared_ptr<NSURL> url(const std::string& text) { return NSURL::URLWithString(text); }

  static std::string repeat(const std::string& s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
  }
};
