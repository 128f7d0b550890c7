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

// The keys and values as the server read them, in order: "k=v&k=v".
std::string joined(const Pairs& params) {
  std::string out;
  for (const auto& [key, value] : params) out += (out.empty() ? "" : "&") + key + "=" + value;
  return out;
}

struct Call {
  std::string api;
  std::function<Value()> send;
  std::string expected;  // every key sent, "api" and "tgid" included
};

constexpr const char* kOk = R"({"state":"ok","msg":"","data":{"n":1}})";

}  // namespace

class ServerControllerTest : public AppFixture {};

TEST_F(ServerControllerTest, EveryCallSendsExactlyItsKeysInAlphabeticalOrder) {
  using SC = ServerController;
  const Value extra = Value::dict({{"gid", "12"}, {"c_t", "x"}, {"is_special", "1"}});
  const std::string user = "&tgid=777&token=tk&username=demo";
  const std::vector<Call> calls = {
      {"login", [] { return SC::loginWithUsername("demo", "demo123"); },
       "api=login&password=demo123&tgid=777&username=demo"},
      {"getptbRemain", [] { return SC::getPingTaiBiYuEWithQxusername("demo", "tk", "hero", "2"); },
       "api=getptbRemain&plat_id=2&plat_user=hero" + user},
      {"getGameList", [&] { return SC::getGamelistWithParams(extra); },
       "api=getGameList&c_t=x&gid=12&is_special=1&tgid=777"},
      {"getGameList",
       [] {
         return SC::getAllGameListWithPage(3, Value::dict({{"sort", 2}}), "0");
       },
       "api=getGameList&c_t=i&is_special=0&lb=1&page=3&sort=2&tgid=777"},
      {"getGameList", [] { return SC::getAllGameListWithPage(1, Value(), "(null)"); },
       "api=getGameList&c_t=i&lb=1&page=1&tgid=777"},
      {"getCardList",
       [] {
         return SC::getLibaoListWithPage(2, Value::dict({{"gamename", "%E6%98%9F"}}));
       },
       "api=getCardList&c_t=i&gamename=星&page=2&tgid=777"},
      {"getCard", [] { return SC::lingLibaoWithCardid("9001", "demo", "tk"); },
       "api=getCard&cardid=9001" + user},
      {"getCardRecord", [] { return SC::getLibaoRecordWithPage(4, "demo", "tk"); },
       "api=getCardRecord&page=4" + user},
      {"get_hot_gift", [] { return SC::getHotGift(); }, "api=get_hot_gift&client_type=2&tgid=777"},
      {"get_tb_url", [] { return SC::getTaobaoLink("%E5%89%91"); },
       "api=get_tb_url&gamename=剑&tgid=777"},
      {"boundQx", [] { return SC::bindToviraWidthQxusername("demo", "tk", "hero", "abc", "1"); },
       "api=boundQx&password=900150983cd24fb0d6963f7d28e17f72&plat_id=1&qx_username=demo"
       "&tgid=777&token=tk&username=hero"},
      {"unboundQx",
       [] { return SC::unbindToviraWithQxusername("demo", "pw 1", "tk", "hero", "3"); },
       "api=unboundQx&plat_id=3&qx_password=pw 1&qx_username=demo&tgid=777&token=tk"
       "&username=hero"},
      {"getInvite_v2", [] { return SC::getInviteWithQxusername("demo", "tk"); },
       "api=getInvite_v2" + user},
      {"tbkToGold", [] { return SC::certainGiveMoney("demo", "friend", "C100", "P200", "tk"); },
       "api=tbkToGold&getter=friend&qx_tbk_code=C100&qx_tbk_pwd=P200&qx_username=demo"
       "&tgid=777&token=tk"},
      {"get_alipay_info", [] { return SC::getZFBInfo("demo", "tk"); },
       "api=get_alipay_info" + user},
      {"get_code_by_token", [] { return SC::getAlipayTestCode("demo", "tk"); },
       "api=get_code_by_token" + user},
      {"add_user_alipay",
       [] { return SC::bondAlipay("demo", "tk", "a@b.cn", "%E5%BC%A0", "4321"); },
       "alipay_account=a@b.cn&alipay_name=张&api=add_user_alipay&code=4321" + user},
      {"get_cash", [] { return SC::withdraw("demo", "tk", "100", "W123"); },
       "amount=100&api=get_cash&orderid=W123" + user},
      {"get_cash_record", [] { return SC::withdrawRecord("demo", "tk"); },
       "api=get_cash_record" + user},
      {"balanceList", [] { return SC::getBalanceListWithQxusername("demo", "tk", 3); },
       "api=balanceList&tgid=777&token=tk&type=3&username=demo"},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call.expected);
    server().clearRequests();
    server().reply(call.api, kOk);
    EXPECT_EQ(call.send()["data"]["n"].intValue(), 1);
    const auto requests = server().requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].api, call.api);
    EXPECT_EQ(joined(requests[0].params), call.expected) << requests[0].raw;
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
  const std::string t = "1700000000000";  // the test's virtual clock starts at 1700000000
  EXPECT_EQ(joined(request->params), "amount=10&api=exchangePTB&orderid=demo" + t +
                                         EncDec::md5("demo" + t).substr(0, 6) +
                                         "&plat_id=1&recipient=hero&tgid=777&token=tk&type=2"
                                         "&username=demo");
  // Order ids stay right after 2038.
  EXPECT_EQ(ServerController::exchangeOrderId("u", 4102444800LL),
            "u4102444800000" + EncDec::md5("u4102444800000").substr(0, 6));
}

TEST_F(ServerControllerTest, AValueWithAmpersandCannotAddKeysToTheRequest) {
  server().reply("login", kOk);
  ServerController::loginWithUsername("demo&api=getCard&x=1", "p%41+q=r");
  const auto request = server().lastRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->params, (Pairs{{"api", "login"},
                                    {"password", "p%41+q=r"},
                                    {"tgid", "777"},
                                    {"username", "demo&api=getCard&x=1"}}));
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
  // Token and code are raw text and arrive exactly as given.
  EXPECT_EQ(joined(request->params),
            "alipay_account=a@b.cn&alipay_name=张&api=add_user_alipay&code=12%34&tgid=777"
            "&token=t%41&username=王 w");

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

TEST_F(ServerControllerTest, ACallTooLongToEncipherShowsTheNetworkAlertOnceAndSendsNothing) {
  server().reply("get_tb_url", kOk);
  server().reply("getCardList", kOk);
  EXPECT_TRUE(ServerController::getTaobaoLink(std::string(1000, 'g')).isNil());
  EXPECT_TRUE(NSLogSink::contains("DES加密失败"));
  // A list screen searches from a background thread: its alert comes through the main queue.
  std::thread search([] {
    const Value words = Value::dict({{"kw", std::string(2000, 'k')}});
    EXPECT_TRUE(ServerController::getLibaoListWithPage(1, words).isNil());
  });
  search.join();
  pump();
  const auto alerts = UIAlertView::shownAlerts();
  ASSERT_EQ(alerts.size(), 2u) << "one for each call";
  for (const auto& alert : alerts) {
    EXPECT_EQ(alert->title(), "获取网络数据失败");
    EXPECT_EQ(alert->message(), "获取网络数据失败，请检查您的手机的网络。");
  }
  EXPECT_TRUE(server().requests().empty());
  EXPECT_EQ(server().rejectedCount(), 0u);
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

TEST_F(ServerControllerTest, NoReplyWithinTheTimeoutGivesNil) {
  // A slow reply within the timeout still arrives.
  server().reply("get_alipay_info", R"({"state":"ok","data":null})", 0.3);
  EXPECT_EQ(ServerController::getZFBInfo("demo", "tk")["state"].str(), "ok");
  Config::setTimeout(1.0);
  server().replyNothing("getInvite_v2");
  const auto start = std::chrono::steady_clock::now();
  const Value reply = ServerController::getInviteWithQxusername("demo", "tk");
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(reply.isNil());
  EXPECT_GE(elapsed, 0.9);  // the fixture's watchdog catches a call that hangs
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
  EXPECT_EQ(UIAlertView::shownAlerts()[0]->title(), "获取网络数据失败");
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
