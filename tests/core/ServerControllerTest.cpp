#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/Config.h"
#include "core/EncDec.h"
#include "core/ServerController.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIAlertView.h"
#include "support/AppFixture.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

struct Call {
  std::string api;
  std::function<Value()> send;
  Pairs expected;  // every key sent, in order, "api" and "tgid" included
};

constexpr const char* kOk = R"({"state":"ok","msg":"","data":{"n":1}})";

}  // namespace

class ServerControllerTest : public AppFixture {};

TEST_F(ServerControllerTest, EveryCallSendsExactlyItsKeysInAlphabeticalOrder) {
  const Value extra = Value::dict({{"gid", "12"}, {"c_t", "x"}, {"is_special", "1"}});
  const std::vector<Call> calls = {
      {"login",
       [] { return ServerController::loginWithUsername("demo", "demo123"); },
       {{"api", "login"}, {"password", "demo123"}, {"tgid", "777"}, {"username", "demo"}}},
      {"getptbRemain",
       [] { return ServerController::getPingTaiBiYuEWithQxusername("demo", "tk", "hero", "2"); },
       {{"api", "getptbRemain"},
        {"plat_id", "2"},
        {"plat_user", "hero"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "demo"}}},
      {"getGameList",
       [&] { return ServerController::getGamelistWithParams(extra); },
       {{"api", "getGameList"}, {"c_t", "x"}, {"gid", "12"}, {"is_special", "1"}, {"tgid", "777"}}},
      {"getGameList",
       [] {
         return ServerController::getAllGameListWithPage(3, Value::dict({{"sort", 2}}), "0");
       },
       {{"api", "getGameList"},
        {"c_t", "i"},
        {"is_special", "0"},
        {"lb", "1"},
        {"page", "3"},
        {"sort", "2"},
        {"tgid", "777"}}},
      {"getGameList",
       [] { return ServerController::getAllGameListWithPage(1, Value(), "(null)"); },
       {{"api", "getGameList"}, {"c_t", "i"}, {"lb", "1"}, {"page", "1"}, {"tgid", "777"}}},
      {"getCardList",
       [] {
         return ServerController::getLibaoListWithPage(2, Value::dict({{"gamename", "%E6%98%9F"}}));
       },
       {{"api", "getCardList"}, {"c_t", "i"}, {"gamename", "星"}, {"page", "2"}, {"tgid", "777"}}},
      {"getCard",
       [] { return ServerController::lingLibaoWithCardid("9001", "demo", "tk"); },
       {{"api", "getCard"},
        {"cardid", "9001"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "demo"}}},
      {"getCardRecord",
       [] { return ServerController::getLibaoRecordWithPage(4, "demo", "tk"); },
       {{"api", "getCardRecord"},
        {"page", "4"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "demo"}}},
      {"get_hot_gift",
       [] { return ServerController::getHotGift(); },
       {{"api", "get_hot_gift"}, {"client_type", "2"}, {"tgid", "777"}}},
      {"get_tb_url",
       [] { return ServerController::getTaobaoLink("%E5%89%91"); },
       {{"api", "get_tb_url"}, {"gamename", "剑"}, {"tgid", "777"}}},
      {"boundQx",
       [] { return ServerController::bindToviraWidthQxusername("demo", "tk", "hero", "abc", "1"); },
       {{"api", "boundQx"},
        {"password", "900150983cd24fb0d6963f7d28e17f72"},
        {"plat_id", "1"},
        {"qx_username", "demo"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "hero"}}},
      {"unboundQx",
       [] {
         return ServerController::unbindToviraWithQxusername("demo", "pw 1", "tk", "hero", "3");
       },
       {{"api", "unboundQx"},
        {"plat_id", "3"},
        {"qx_password", "pw 1"},
        {"qx_username", "demo"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "hero"}}},
      {"getInvite_v2",
       [] { return ServerController::getInviteWithQxusername("demo", "tk"); },
       {{"api", "getInvite_v2"}, {"tgid", "777"}, {"token", "tk"}, {"username", "demo"}}},
      {"tbkToGold",
       [] { return ServerController::certainGiveMoney("demo", "friend", "C100", "P200", "tk"); },
       {{"api", "tbkToGold"},
        {"getter", "friend"},
        {"qx_tbk_code", "C100"},
        {"qx_tbk_pwd", "P200"},
        {"qx_username", "demo"},
        {"tgid", "777"},
        {"token", "tk"}}},
      {"get_alipay_info",
       [] { return ServerController::getZFBInfo("demo", "tk"); },
       {{"api", "get_alipay_info"}, {"tgid", "777"}, {"token", "tk"}, {"username", "demo"}}},
      {"get_code_by_token",
       [] { return ServerController::getAlipayTestCode("demo", "tk"); },
       {{"api", "get_code_by_token"}, {"tgid", "777"}, {"token", "tk"}, {"username", "demo"}}},
      {"add_user_alipay",
       [] { return ServerController::bondAlipay("demo", "tk", "a@b.cn", "%E5%BC%A0", "4321"); },
       {{"alipay_account", "a@b.cn"},
        {"alipay_name", "张"},
        {"api", "add_user_alipay"},
        {"code", "4321"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "demo"}}},
      {"get_cash",
       [] { return ServerController::withdraw("demo", "tk", "100", "W123"); },
       {{"amount", "100"},
        {"api", "get_cash"},
        {"orderid", "W123"},
        {"tgid", "777"},
        {"token", "tk"},
        {"username", "demo"}}},
      {"get_cash_record",
       [] { return ServerController::withdrawRecord("demo", "tk"); },
       {{"api", "get_cash_record"}, {"tgid", "777"}, {"token", "tk"}, {"username", "demo"}}},
      {"balanceList",
       [] { return ServerController::getBalanceListWithQxusername("demo", "tk", 3); },
       {{"api", "balanceList"},
        {"tgid", "777"},
        {"token", "tk"},
        {"type", "3"},
        {"username", "demo"}}},
  };
  for (const auto& call : calls) {
    server().clearRequests();
    server().reply(call.api, kOk);
    const Value reply = call.send();
    EXPECT_EQ(reply["data"]["n"].intValue(), 1) << call.api;
    const auto requests = server().requests();
    ASSERT_EQ(requests.size(), 1u) << call.api;
    EXPECT_EQ(requests[0].params, call.expected) << call.api << ": " << requests[0].raw;
  }
  EXPECT_EQ(server().rejectedCount(), 0u);
}

TEST_F(ServerControllerTest, ExchangeSendsAnOrderIdMadeOfUserTimeAndDigest) {
  server().reply("exchangePTB", R"({"state":"error","msg":"余额不足"})");
  const Value reply =
      ServerController::huanPingTaiBiWithQxusername("demo", "tk", "hero", "1", "10", "2");
  EXPECT_EQ(reply["msg"].str(), "余额不足");

  const auto request = server().lastRequest("exchangePTB");
  ASSERT_TRUE(request);
  // The test's virtual clock starts at 1700000000.
  const std::string t = "1700000000000";
  EXPECT_EQ(request->value("orderid"), "demo" + t + EncDec::md5("demo" + t).substr(0, 6));
  EXPECT_EQ(request->keys(),
            (std::vector<std::string>{"amount", "api", "orderid", "plat_id", "recipient", "tgid",
                                      "token", "type", "username"}));
  EXPECT_EQ(request->value("recipient"), "hero");
  EXPECT_EQ(request->value("username"), "demo");
  EXPECT_EQ(request->value("type"), "2");
  EXPECT_EQ(request->value("amount"), "10");
}

TEST_F(ServerControllerTest, OrderIdsStayRightAfter2038) {
  EXPECT_EQ(ServerController::exchangeOrderId("u", 4102444800LL),
            "u4102444800000" + EncDec::md5("u4102444800000").substr(0, 6));
}

TEST_F(ServerControllerTest, AValueWithAmpersandCannotAddKeysToTheRequest) {
  server().reply("login", kOk);
  ServerController::loginWithUsername("demo&api=getCard&x=1", "p%41+q=r");
  const auto request = server().lastRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->api, "login");
  EXPECT_EQ(request->keys(), (std::vector<std::string>{"api", "password", "tgid", "username"}));
  EXPECT_EQ(request->value("username"), "demo&api=getCard&x=1");
  EXPECT_EQ(request->value("password"), "p%41+q=r");
  EXPECT_EQ(request->raw,
            "api=login&password=p%2541%2Bq=r&tgid=777&username=demo%26api=getCard%26x=1");
}

TEST_F(ServerControllerTest, ValuesTheCallerPercentEscapedReachTheServerAsTheTextItself) {
  server().reply("get_tb_url", kOk);
  server().reply("add_user_alipay", kOk);
  server().reply("getGameList", kOk);

  ServerController::getTaobaoLink("A+B%20%E5%89%91&x=1%");
  auto request = server().lastRequest("get_tb_url");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->keys(), (std::vector<std::string>{"api", "gamename", "tgid"}));
  EXPECT_EQ(request->value("gamename"), "A+B 剑&x=1%");
  EXPECT_EQ(request->raw, "api=get_tb_url&gamename=A%2BB%20%E5%89%91%26x=1%25&tgid=777");

  ServerController::bondAlipay("%E7%8E%8B%20w", "t%41", "a%40b.cn", "%E5%BC%A0", "12%34");
  request = server().lastRequest("add_user_alipay");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username"), "王 w");
  EXPECT_EQ(request->value("alipay_account"), "a@b.cn");
  EXPECT_EQ(request->value("alipay_name"), "张");
  // Token and code are raw text and arrive exactly as given.
  EXPECT_EQ(request->value("token"), "t%41");
  EXPECT_EQ(request->value("code"), "12%34");

  // A search name replaces a default of the same key and keeps its escapes.
  ServerController::getAllGameListWithPage(
      2, Value::dict({{"gamename", "%E5%89%91"}, {"c_t", "%41"}}), "(null)");
  request = server().lastRequest("getGameList");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("gamename"), "剑");
  EXPECT_EQ(request->value("c_t"), "A");
  EXPECT_FALSE(request->has("is_special"));
}

TEST_F(ServerControllerTest, TheSignatureCoversTheParameterStringAndTheSigningKey) {
  const std::string params = "api=login&password=demo123&tgid=777&username=demo";
  const auto data = ServerController::jiami(params);
  ASSERT_TRUE(data);
  EXPECT_EQ(EncDec::decryptUseDES(*data), params + "&sign=" + EncDec::md5(params + "tv0v1ra5ign"));
}

TEST_F(ServerControllerTest, ARequestTooLongToEncipherIsNotSentAndShowsNoAlert) {
  server().reply("get_tb_url", kOk);
  const Value reply = ServerController::getTaobaoLink(std::string(1000, 'g'));
  EXPECT_TRUE(reply.isNil());
  EXPECT_TRUE(NSLogSink::contains("DES加密失败"));
  EXPECT_TRUE(server().requests().empty());
  EXPECT_EQ(server().rejectedCount(), 0u);
  EXPECT_FALSE(NSLogSink::contains("empty reply"));
}

// Each call that moves money or goods, made once.
const std::vector<std::pair<std::string, std::function<Value()>>> kMoneyCalls = {
    {"exchangePTB",
     [] {
       return ServerController::huanPingTaiBiWithQxusername("demo", "tk", "hero", "1", "10", "2");
     }},
    {"tbkToGold",
     [] { return ServerController::certainGiveMoney("demo", "demo", "card_a", "pw_a", "tk"); }},
    {"getCard", [] { return ServerController::lingLibaoWithCardid("c1", "demo", "tk"); }},
    {"get_cash", [] { return ServerController::withdraw("demo", "tk", "100", "order_a"); }},
    {"add_user_alipay",
     [] { return ServerController::bondAlipay("demo", "tk", "account_a", "name_a", "1234"); }},
};

TEST_F(ServerControllerTest, MoneyCallsReachTheServerAtMostOnceWhenTheConnectionDies) {
  server().reply("get_hot_gift", kOk);
  for (const auto& [api, call] : kMoneyCalls) {
    EXPECT_TRUE(ServerController::movesMoneyOrGoods(api));
    UIAlertView::resetRecorded();
    server().clearRequests();
    server().replyCloseConnection(api);
    // A call just before leaves a kept-alive connection that the money call could have reused.
    ServerController::getHotGift();
    EXPECT_TRUE(call().isNil()) << api;
    EXPECT_EQ(server().requests(api).size(), 1u) << api << " was sent again";
    pump();
    ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u) << api;
    EXPECT_EQ(UIAlertView::shownAlerts()[0]->title(), "获取网络数据失败");
  }
}

TEST_F(ServerControllerTest, MoneyCallsGoOutOnAConnectionOfTheirOwnAndOtherCallsShareOne) {
  server().reply("get_hot_gift", kOk);
  for (const auto& [api, call] : kMoneyCalls) {
    server().reply(api, kOk);
    server().clearRequests();
    ServerController::getHotGift();
    ServerController::getHotGift();
    EXPECT_EQ(call()["state"].str(), "ok");
    const auto requests = server().requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].clientPort, requests[1].clientPort) << "kept alive between calls";
    EXPECT_NE(requests[2].clientPort, requests[1].clientPort) << api;
  }
  EXPECT_FALSE(ServerController::movesMoneyOrGoods("login"));
  EXPECT_FALSE(ServerController::movesMoneyOrGoods("getptbRemain"));
}

TEST_F(ServerControllerTest, AReplyThatIsNotJsonGivesNil) {
  server().replyRaw("login", "<html>Fatal error</html>");
  EXPECT_TRUE(ServerController::loginWithUsername("demo", "demo123").isNil());
  server().replyRaw("login", R"({"state":"ok",)");
  EXPECT_TRUE(ServerController::loginWithUsername("demo", "demo123").isNil());
  EXPECT_EQ(server().requests().size(), 2u);
}

TEST_F(ServerControllerTest, NoReplyWithinTheTimeoutGivesNil) {
  Config::setTimeout(1.0);
  server().replyNothing("getInvite_v2");
  const auto start = std::chrono::steady_clock::now();
  const Value reply = ServerController::getInviteWithQxusername("demo", "tk");
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(reply.isNil());
  EXPECT_GE(elapsed, 0.9);
  EXPECT_LT(elapsed, 3.0);
}

TEST_F(ServerControllerTest, AnUnreachableServerGivesNil) {
  const std::string host = server().baseUrl();
  server().stop();
  Config::setApiHost(host);
  EXPECT_TRUE(ServerController::getZFBInfo("demo", "tk").isNil());
}

TEST_F(ServerControllerTest, ASlowReplyWithinTheTimeoutStillArrives) {
  server().reply("get_alipay_info", R"({"state":"ok","data":null})", 0.3);
  const Value reply = ServerController::getZFBInfo("demo", "tk");
  EXPECT_EQ(reply["state"].str(), "ok");
  EXPECT_TRUE(reply["data"].isNil());
}

TEST_F(ServerControllerTest, CallsFromBackgroundThreadsAreIndependent) {
  server().reply("getGameList", kOk);
  std::vector<std::thread> threads;
  std::atomic<int> ok{0};
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      for (int j = 0; j < 5; ++j) {
        if (ServerController::getAllGameListWithPage(i * 10 + j, Value(), "0")["state"]
                .isEqualToString("ok"))
          ++ok;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(ok.load(), 20);
  EXPECT_EQ(server().requests("getGameList").size(), 20u);
}

TEST_F(ServerControllerTest, TheParameterStringMergesRawAndEscapedValuesInKeyOrder) {
  EXPECT_EQ(ServerController::parameterString({{"b", "1&2"}, {"d", "x+y"}, {"a", "%"}},
                                              {{"c", "%E4%BD%A0&"}, {"b", "%41%"}, {"e", "z"}}),
            "a=%25&b=%41%25&c=%E4%BD%A0%26&d=x%2By&e=z");
  EXPECT_EQ(ServerController::parameterString({}, {{"k", "v"}}), "k=v");
  EXPECT_EQ(ServerController::parameterString({{"k", "v"}}, {}), "k=v");
  EXPECT_EQ(ServerController::parameterString({}, {}), "");
}
