#include <gtest/gtest.h>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/Sandbox.h"

class NSBundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = NSBundle::mainBundle().resourcePath();
    dir = Sandbox::makeTemporaryDirectory("bundle-test");
    NSBundle::mainBundle().setResourcePath(dir);
  }
  void TearDown() override {
    NSBundle::mainBundle().setResourcePath(saved);
    NSFileManager::defaultManager().removeItemAtPath(dir);
  }
  std::string saved, dir;
};

TEST_F(NSBundleTest, PathForResourceFindsExistingFilesOnly) {
  auto& fm = NSFileManager::defaultManager();
  fm.writeString("png", dir + "/ic_back.png");
  fm.createDirectoryAtPath(dir + "/KBKeyboardManager.bundle", true);
  fm.writeString("x", dir + "/KBKeyboardManager.bundle/arrow.png");
  auto& bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle.pathForResource("ic_back", "png"), dir + "/ic_back.png");
  EXPECT_EQ(bundle.pathForResource("ic_back.png"), dir + "/ic_back.png");
  EXPECT_EQ(bundle.pathForResource("arrow", "png", "KBKeyboardManager.bundle"),
            dir + "/KBKeyboardManager.bundle/arrow.png");
  EXPECT_EQ(bundle.pathForResource("missing", "png"), "");
  EXPECT_EQ(bundle.pathForResource("../etc/passwd"), "");
}
