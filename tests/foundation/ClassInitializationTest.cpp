#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/NSObject.h"

namespace {
class InitBase : public NSObject {
  TOVIRA_CLASS(InitBase)
};
class InitMiddle : public InitBase {
  TOVIRA_CLASS(InitMiddle)
};
class InitLeaf : public InitMiddle {
  TOVIRA_CLASS(InitLeaf)
};
}  // namespace
TOVIRA_REGISTER_CLASS(InitBase, NSObject)
TOVIRA_REGISTER_CLASS(InitMiddle, InitBase)
TOVIRA_REGISTER_CLASS(InitLeaf, InitMiddle)

TEST(ClassInitializationTest, AHookRunsOnceForItsClassAndEachSubclassSuperclassesFirst) {
  ClassRegistry::resetInitializedClassesForTesting();
  std::vector<std::string> runs;
  ClassRegistry::setInitializer("InitBase", [&](const std::string& name) {
    runs.push_back(name);
    // A hook that makes an object of a class being initialised does not start it again.
    (void)ClassRegistry::alloc(name);
  });
  auto leaf = ClassRegistry::alloc("InitLeaf");  // alloc initialises the class first
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->className(), "InitLeaf");
  EXPECT_EQ(runs, (std::vector<std::string>{"InitBase", "InitMiddle", "InitLeaf"}));
  ClassRegistry::initializeClass("InitMiddle");
  ClassRegistry::initializeClass("NoSuchClass");
  EXPECT_EQ(runs.size(), 3u);

  // A subclass's own hook replaces the inherited one for it and below it.
  ClassRegistry::resetInitializedClassesForTesting();
  runs.clear();
  ClassRegistry::setInitializer("InitMiddle",
                                [&](const std::string& name) { runs.push_back("own " + name); });
  ClassRegistry::initializeClass("InitLeaf");
  EXPECT_EQ(runs, (std::vector<std::string>{"InitBase", "own InitMiddle", "own InitLeaf"}));
  ClassRegistry::setInitializer("InitBase", nullptr);
  ClassRegistry::setInitializer("InitMiddle", nullptr);
}
