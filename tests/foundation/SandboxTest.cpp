#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/Sandbox.h"

TEST(Sandbox, AnEmptyRootGivesAFreshTemporaryRootAndWritesNothingIntoTheWorkingDirectory) {
  auto& fm = NSFileManager::defaultManager();
  std::string work = Sandbox::makeTemporaryDirectory("sandbox-cwd");
  std::string previous = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(work.c_str()), 0);
  uint64_t before = Sandbox::generation();
  Sandbox::setRoot("");
  std::string root = Sandbox::root();
  ASSERT_EQ(::chdir(previous.c_str()), 0);

  EXPECT_TRUE(fm.contentsOfDirectoryAtPath(work).empty());
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root[0], '/');
  EXPECT_NE(Sandbox::documents(), "/Documents");
  EXPECT_TRUE(fm.fileExistsAtPath(Sandbox::preferences()));
  EXPECT_GT(Sandbox::generation(), before);
  // A given root loses its trailing slash and gets the app's folders.
  Sandbox::setRoot(work + "/");
  EXPECT_EQ(Sandbox::root(), work);
  EXPECT_EQ(Sandbox::caches(), work + "/Library/Caches");
  for (const auto& path :
       {Sandbox::documents(), Sandbox::caches(), Sandbox::preferences(), Sandbox::tmp()}) {
    bool isDirectory = false;
    EXPECT_TRUE(fm.fileExistsAtPath(path, &isDirectory) && isDirectory) << path;
  }
  fm.removeItemAtPath(work);
  fm.removeItemAtPath(root);
}
