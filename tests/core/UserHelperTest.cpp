#include <gtest/gtest.h>

#include "core/DBHelper.h"
#include "core/TempData.h"
#include "core/UserHelper.h"
#include "support/AppFixture.h"

class UserHelperTest : public AppFixture {
 protected:
  void remember(const std::string& user, const std::string& password) {
    DBHelper db;
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.createTables());
    ASSERT_TRUE(db.saveLogin(user, password, 1));
  }
  const Value before = Value::dict({{"username", "bob"}, {"gold", "1.00"}});
};

TEST_F(UserHelperTest, ReplacesUserDataWithTheReplyOfTheNewestRememberedLogin) {
  remember("alice", "a1");
  advance(2);
  remember("bob", "b2");
  TempData::setuserdata(before);
  server().reply("login",
                 R"({"state":"ok","data":{"username":"bob","token":"t2","gold":"99.00"}})");

  UserHelper::reLogin();

  const auto request = server().lastRequest("login");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username"), "bob");
  EXPECT_EQ(request->value("password"), "b2");
  EXPECT_EQ(TempData::getuserdata()["gold"].str(), "99.00");
}

TEST_F(UserHelperTest, KeepsUserDataWhenTheServerRefusesOrNoReplyComes) {
  remember("bob", "b2");
  TempData::setuserdata(before);
  for (const char* body : {R"({"state":"error","msg":"密码错误","data":{"username":"x"}})",
                           R"({"state":"ok","data":{"username":"x"}})", "not json"}) {
    SCOPED_TRACE(body);
    server().replyRaw("login", body);
    UserHelper::reLogin();
    EXPECT_EQ(TempData::getuserdata(), before);
  }
}

TEST_F(UserHelperTest, DoesNothingWithoutARememberedLogin) {
  TempData::setuserdata(before);
  UserHelper::reLogin();  // no database file at all
  {
    DBHelper db;
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.createTables());
  }
  UserHelper::reLogin();  // an empty table
  EXPECT_TRUE(server().requests().empty());
  EXPECT_EQ(TempData::getuserdata(), before);
}
