#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/Sandbox.h"

class NSUserDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = Sandbox::makeTemporaryDirectory("defaults-test");
    Sandbox::setRoot(root);
    NSUserDefaults::resetStandardUserDefaults();
  }
  void TearDown() override { NSFileManager::defaultManager().removeItemAtPath(root); }
  std::string root;
};

TEST_F(NSUserDefaultsTest, ValuesSurviveARestartInABinaryPlistInTheSandboxUntilRemoved) {
  auto& defaults = NSUserDefaults::standardUserDefaults();
  EXPECT_TRUE(defaults.objectForKey("isFirstOpen").isNil());
  EXPECT_EQ(defaults.stringForKey("isFirstOpen"), "");
  defaults.setObject("NO", "isFirstOpen");
  defaults.setObject(Value::data({0x89, 'P', 'N', 'G'}), "imageData");
  defaults.setBool(true, "flag");
  defaults.setInteger(42, "count");
  defaults.setObject(Value::dict({{"scheme", "QXMarrowpay"}, {"list", Value::array({1, "二"})}}),
                     "nested");

  NSUserDefaults::resetStandardUserDefaults();  // the app stops and starts again

  // The file is a binary plist in Library/Preferences.
  auto& again = NSUserDefaults::standardUserDefaults();
  EXPECT_EQ(again.filePath(), root + "/Library/Preferences/com.tovira.app.plist");
  auto bytes = NSFileManager::defaultManager().contentsAtPath(again.filePath());
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 8), "bplist00");
  EXPECT_EQ((*Plist::parse(*bytes))["count"].intValue(), 42);
  EXPECT_EQ(again.stringForKey("isFirstOpen"), "NO");
  EXPECT_EQ(again.dataForKey("imageData"), (Value::Data{0x89, 'P', 'N', 'G'}));
  EXPECT_TRUE(again.boolForKey("flag"));
  EXPECT_EQ(again.integerForKey("count"), 42);
  EXPECT_EQ(again.stringForKey("count"), "42");
  EXPECT_EQ(again.objectForKey("nested")["list"][1].str(), "二");
  // Removing a key or setting nil drops it for good.
  again.removeObjectForKey("isFirstOpen");
  again.setObject(Value::null(), "count");
  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_TRUE(NSUserDefaults::standardUserDefaults().objectForKey("isFirstOpen").isNil());
  EXPECT_TRUE(NSUserDefaults::standardUserDefaults().objectForKey("count").isNil());
}

TEST_F(NSUserDefaultsTest, ACorruptFileReadsAsEmptyDefaults) {
  NSUserDefaults::standardUserDefaults().setObject("v", "k");
  NSFileManager::defaultManager().writeString("garbage",
                                              NSUserDefaults::standardUserDefaults().filePath());
  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_TRUE(NSUserDefaults::standardUserDefaults().objectForKey("k").isNil());
  NSUserDefaults::standardUserDefaults().setObject("w", "k2");
  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey("k2"), "w");
}

TEST_F(NSUserDefaultsTest, ABackgroundReaderAndAWriterShareTheDefaultsSafely) {
  // Run under ThreadSanitizer: the reader's copies share the writer's dictionary.
  auto& defaults = NSUserDefaults::standardUserDefaults();
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      Value all = defaults.dictionaryRepresentation();
      EXPECT_LE(all.count(), 5u);
      EXPECT_GE(all["k0"].intValue(), 0);
    }
  });
  for (int i = 0; i < 200; ++i) defaults.setInteger(i, "k" + std::to_string(i % 5));
  stop = true;
  reader.join();
  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("k4"), 199);
}
