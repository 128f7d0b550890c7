// Reply files whose "$else" holds a further condition: one file answers several pages.

#include <filesystem>
#include <fstream>

#include "core/ServerController.h"
#include "support/AppFixture.h"

class ConditionalRepliesTest : public AppFixture {};

TEST_F(ConditionalRepliesTest, AnElseThatIsAConditionIsTriedInTurnDownToTheLastElse) {
  const std::string folder = sandboxRoot() + "/replies";
  EXPECT_FALSE(server().loadReplies(folder)) << "no such folder yet";
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/getCardList.json") << R"({
    "$when": {"page": "1"}, "$then": {"state": "ok", "msg": "one"},
    "$else": {"$when": {"page": "2", "kw": "x"}, "$then": {"state": "ok", "msg": "two"},
              "$else": {"state": "ok", "msg": "rest"}}})";
  ASSERT_TRUE(server().loadReplies(folder));
  EXPECT_EQ(ServerController::getLibaoListWithPage(1, Value())["msg"].str(), "one");
  EXPECT_EQ(ServerController::getLibaoListWithPage(2, Value::dict({{"kw", "x"}}))["msg"].str(),
            "two");
  EXPECT_EQ(ServerController::getLibaoListWithPage(2, Value())["msg"].str(), "rest");
  EXPECT_EQ(ServerController::getLibaoListWithPage(9, Value())["msg"].str(), "rest");
}
