#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/Sandbox.h"
#include "support/TemporaryFolder.h"

TEST(Sandbox, AnEmptyRootGivesAFreshTemporaryRootAndWritesNothingIntoTheWorkingDirectory) {
  auto& fm = NSFileManager::defaultManager();
  const TemporaryFolder work("sandbox-cwd");
  const TemporaryFolder given("sandbox-root");
  ASSERT_FALSE(work.path().empty());
  ASSERT_FALSE(given.path().empty());
  // A root of the test's own first, so that reading the generation makes no temporary root.
  Sandbox::setRoot(given.path());
  std::string previous = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(work.path().c_str()), 0);
  uint64_t before = Sandbox::generation();
  Sandbox::setRoot("");
  std::string root = Sandbox::root();
  ASSERT_EQ(::chdir(previous.c_str()), 0);
  // The sandbox made that root for this test, so the test removes it, also when it fails early.
  struct RemoveWhenDone {
    std::string path;
    ~RemoveWhenDone() {
      std::error_code ignored;
      if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
  } removeRoot{root};

  EXPECT_TRUE(fm.contentsOfDirectoryAtPath(work.path()).empty());
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root[0], '/');
  EXPECT_NE(Sandbox::documents(), "/Documents");
  EXPECT_TRUE(fm.fileExistsAtPath(Sandbox::preferences()));
  EXPECT_GT(Sandbox::generation(), before);
  // A given root loses its trailing slash and gets the app's folders.
  Sandbox::setRoot(work.path() + "/");
  EXPECT_EQ(Sandbox::root(), work.path());
  EXPECT_EQ(Sandbox::caches(), work.path() + "/Library/Caches");
  for (const auto& path :
       {Sandbox::documents(), Sandbox::caches(), Sandbox::preferences(), Sandbox::tmp()}) {
    bool isDirectory = false;
    EXPECT_TRUE(fm.fileExistsAtPath(path, &isDirectory) && isDirectory) << path;
  }
}

// The tests' guard against forgotten folders reads what this process made; a test run points
// TMPDIR at a folder of its own to see that nothing is left there.
TEST(Sandbox, TemporaryFoldersAreMadeUnderTMPDIRAndRememberedByTheProcessThatMadeThem) {
  const TemporaryFolder temporaryDirectory("sandbox-tmpdir");
  ASSERT_FALSE(temporaryDirectory.path().empty());
  const char* old = std::getenv("TMPDIR");
  const std::optional<std::string> previous = old ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("TMPDIR", temporaryDirectory.path().c_str(), 1);
  const std::string made = Sandbox::makeTemporaryDirectory("sandbox-made");
  if (previous)
    ::setenv("TMPDIR", previous->c_str(), 1);
  else
    ::unsetenv("TMPDIR");

  ASSERT_FALSE(made.empty());
  const std::filesystem::path path(made);
  EXPECT_EQ(path.parent_path().string(), temporaryDirectory.path());
  EXPECT_EQ(path.filename().string().rfind("sandbox-made-", 0), 0u) << made;
  EXPECT_TRUE(std::filesystem::is_directory(path));
  const auto list = Sandbox::temporaryDirectoriesMade();
  EXPECT_NE(std::find(list.begin(), list.end(), made), list.end());
  EXPECT_NE(std::find(list.begin(), list.end(), temporaryDirectory.path()), list.end());
}
