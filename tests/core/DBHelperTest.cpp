#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/DBHelper.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "support/AppFixture.h"

class DBHelperTest : public AppFixture {
 protected:
  DBHelper db;
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.createTables());
  }
};

TEST_F(DBHelperTest, LivesInTheSandboxDocumentsFolder) {
  EXPECT_FALSE(db.newestLogin());  // empty at first
  EXPECT_EQ(db.maxMessageId(), 0);
  EXPECT_TRUE(db.messages().empty());
  EXPECT_EQ(DBHelper::databasePath(), Sandbox::documents() + "/tvmg.db");
  EXPECT_TRUE(std::filesystem::exists(DBHelper::databasePath()));
  EXPECT_TRUE(db.createTables()) << "creating the tables twice is harmless";
}

TEST_F(DBHelperTest, RememberedLoginsSurviveReopeningTheFile) {
  ASSERT_TRUE(db.saveLogin("alice", "pw1", 0));
  advance(5);
  ASSERT_TRUE(db.saveLogin("bob", "p'w\"2; DROP TABLE user", 1));
  db.close();

  DBHelper reopened;
  ASSERT_TRUE(reopened.open());
  const auto logins = reopened.logins();
  ASSERT_EQ(logins.size(), 2u);
  EXPECT_EQ(std::tie(logins[0].username, logins[0].password, logins[0].autologin, logins[0].date),
            std::make_tuple("bob", "p'w\"2; DROP TABLE user", 1, 1700000005));
  EXPECT_EQ(reopened.newestLogin()->username, "bob");
}

TEST_F(DBHelperTest, SavingAgainReplacesTheLoginAndMakesItTheNewest) {
  db.saveLogin("alice", "old", 1);
  db.saveLogin("bob", "pw", 1);
  db.saveLogin("alice", "new", 0);  // same second: the later save still wins
  const auto newest = db.newestLogin();
  ASSERT_TRUE(newest);
  EXPECT_EQ(newest->username + "/" + newest->password, "alice/new");
  EXPECT_EQ(db.logins().size(), 2u);
  EXPECT_TRUE(db.setAutologin("alice", 1));
  EXPECT_EQ(db.newestLogin()->autologin, 1);
}

TEST_F(DBHelperTest, MessagesAreListedNewestFirstAndByType) {
  EXPECT_TRUE(db.insertMessage({3, "活动", "内容三", 1700000300, 0, 2, 0}));
  EXPECT_TRUE(db.insertMessage({7, "系统", "内容七", 1700000700, 0, 1, 0}));
  EXPECT_TRUE(db.insertMessage({5, "系统", "内容五", 1700000500, 0, 1, 0}));
  const auto all = db.messages();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(std::make_tuple(all[0].mid, all[1].mid, all[2].mid), std::make_tuple(7, 5, 3));
  const auto system = db.messages(1);
  ASSERT_EQ(system.size(), 2u);
  EXPECT_EQ(system[1].content, "内容五");
  EXPECT_EQ(system[1].date, 1700000500);
  // Time stamps beyond 2038 are kept.
  db.insertMessage({1, "future", "", 4102444800LL, 0, 4, 0});
  EXPECT_EQ(db.message(1)->date, 4102444800LL);
}

// A message fetched again keeps its read state; a deleted one disappears but still counts for the
// highest id, which polling asks above, so that it is never fetched again.
TEST_F(DBHelperTest, AMessageFetchedAgainKeepsItsReadAndDeletedState) {
  db.insertMessage({4, "a", "a", 1, 0, 1, 0});
  db.insertMessage({9, "b", "b", 2, 0, 1, 0});
  ASSERT_TRUE(db.markRead(4));
  EXPECT_FALSE(db.insertMessage({4, "a", "a", 1, 0, 1, 0}));
  EXPECT_EQ(db.message(4)->read, 1);
  ASSERT_TRUE(db.deleteMessage(9));
  ASSERT_EQ(db.messages().size(), 1u);
  EXPECT_EQ(db.messages()[0].mid, 4);
  EXPECT_EQ(db.maxMessageId(), 9);
}

TEST_F(DBHelperTest, AClosedHelperFailsQuietly) {
  db.close();
  EXPECT_FALSE(db.isOpen());
  EXPECT_FALSE(db.saveLogin("a", "b", 0));
  EXPECT_FALSE(db.newestLogin());
  EXPECT_FALSE(db.insertMessage({1, "", "", 0, 0, 1, 0}));
  EXPECT_TRUE(db.messages().empty());
  EXPECT_EQ(db.maxMessageId(), 0);
  // A file that cannot be opened is reported.
  EXPECT_FALSE(DBHelper().open(sandboxRoot() + "/no/such/folder/x.db"));
}
