#include <gtest/gtest.h>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/Sandbox.h"

class NSFileManagerTest : public ::testing::Test {
 protected:
  void TearDown() override { fm.removeItemAtPath(dir); }
  NSFileManager& fm = NSFileManager::defaultManager();
  std::string dir = Sandbox::makeTemporaryDirectory("files-test");
};

TEST_F(NSFileManagerTest, CreatesListsReadsAndRemovesFilesAndFoldersAndMissingOnesGiveNothing) {
  EXPECT_FALSE(fm.createDirectoryAtPath(dir + "/a/b/c", false));
  EXPECT_TRUE(fm.createDirectoryAtPath(dir + "/a/b/c", true));
  EXPECT_TRUE(fm.createDirectoryAtPath(dir + "/a/b/c", true));
  bool isDir = false;
  EXPECT_TRUE(fm.fileExistsAtPath(dir + "/a/b", &isDir));
  EXPECT_TRUE(isDir);
  EXPECT_TRUE(fm.writeString("中文", dir + "/a/z.txt"));
  EXPECT_TRUE(fm.createFileAtPath(dir + "/a/b/data", {1, 2, 3}));
  EXPECT_EQ(fm.stringWithContentsOfFile(dir + "/a/z.txt"), "中文");
  EXPECT_EQ(fm.contentsAtPath(dir + "/a/b/data"), (Value::Data{1, 2, 3}));
  EXPECT_EQ(fm.fileSizeAtPath(dir + "/a/b/data"), 3u);
  EXPECT_EQ(fm.contentsOfDirectoryAtPath(dir + "/a"), (std::vector<std::string>{"b", "z.txt"}));
  EXPECT_EQ(fm.subpathsOfDirectoryAtPath(dir + "/a"),
            (std::vector<std::string>{"b", "b/c", "b/data", "z.txt"}));
  EXPECT_TRUE(fm.removeItemAtPath(dir + "/a"));
  EXPECT_FALSE(fm.fileExistsAtPath(dir + "/a"));
  // What is gone, or is a folder, gives nothing rather than throwing.
  EXPECT_FALSE(fm.removeItemAtPath(dir + "/a"));
  EXPECT_FALSE(fm.contentsAtPath(dir + "/a/z.txt"));
  EXPECT_FALSE(fm.contentsAtPath(dir));
  EXPECT_TRUE(fm.contentsOfDirectoryAtPath(dir + "/a").empty());
  EXPECT_FALSE(fm.writeString("x", dir + "/a/b/file"));
  EXPECT_FALSE(fm.fileSizeAtPath(dir + "/a/b/data"));
}
