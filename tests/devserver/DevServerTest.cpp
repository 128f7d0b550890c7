#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/EncDec.h"
#include "core/ServerController.h"
#include "devserver/DevServer.h"
#include "support/AppFixture.h"

namespace {

// A request body as the client builds it, from any parameter string and signature.
std::string bodyFor(const std::string& params, const std::string& sign) {
  return "data=" + *EncDec::encryptUseDES(params + "&sign=" + sign);
}

std::string signedBody(const std::string& params) {
  return bodyFor(params, EncDec::md5(params + Config::kSignKey));
}

}  // namespace

class DevServerTest : public AppFixture {
 protected:
  CurlHandle curl;
  Value post(const std::string& body) {
    auto result = curl.post(server().endpoint(), body, 5);
    auto reply = Value::fromJSON(result.body);
    return reply ? *reply : Value();
  }
};

TEST_F(DevServerTest, StartsOnAFreeLoopbackPort) {
  EXPECT_GT(server().port(), 0);
  EXPECT_TRUE(server().isRunning());
  EXPECT_FALSE(server().start()) << "already running";
}

// The screen tests read every request as the client sends it; "+" for a space is a form's own
// spelling, which the client never uses.
TEST_F(DevServerTest, DecodesValuesAsAFormIsDecoded) {
  server().reply("getCard", R"({"state":"ok"})");
  post(signedBody("api=getCard&cardid=9%2B1&username=%E5%BC%A0+x"));
  const auto request = server().lastRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("cardid") + "|" + request->value("username"), "9+1|张 x");
}

TEST_F(DevServerTest, RefusesBadSignaturesAndDataThatDoesNotDecipherWithoutRecordingThem) {
  server().reply("login", R"({"state":"ok"})");
  const Value reply =
      post(bodyFor("api=login&username=demo", EncDec::md5("api=login&username=demo")));
  EXPECT_EQ(reply["state"].str(), "error");
  EXPECT_EQ(reply["msg"].str(), "签名错误");
  EXPECT_EQ(post("data=bm90IGRlcw==")["msg"].str(), "数据错误");
  EXPECT_EQ(post("nodata=1")["msg"].str(), "数据错误");
  EXPECT_TRUE(server().requests().empty());
  EXPECT_EQ(server().rejectedCount(), 3u);
}

TEST_F(DevServerTest, QueuedRepliesComeBeforeTheStandingOne) {
  server().reply("getMsg", R"({"n":0})");
  server().replyOnce("getMsg", R"({"n":1})");
  server().replyOnce("getMsg", R"({"n":2})");
  const std::string body = signedBody("api=getMsg");
  for (int n : {1, 2, 0, 0}) EXPECT_EQ(post(body)["n"].intValue(), n);
  server().clearReplies();
  EXPECT_EQ(post(body)["msg"].str(), "接口不存在");
}

TEST_F(DevServerTest, ScriptedRepliesMayBeValuesAndWaitTheirDelay) {
  const std::string body = signedBody("api=x");
  server().reply("x", Value::dict({{"state", "ok"}, {"list", Value::array({1, 2})}}), 0.2);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(post(body)["list"].count(), 2u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
}

TEST_F(DevServerTest, StoppingReleasesRequestsThatGetNoReply) {
  server().replyNothing("x");
  std::thread client([&] {
    CurlHandle other;
    // Released unanswered: an empty body at most, which the client counts as no data. The
    // client would wait longer than the server's 60-second hold.
    EXPECT_TRUE(other.post(server().endpoint(), signedBody("api=x"), 90).body.empty());
  });
  while (server().requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto start = std::chrono::steady_clock::now();
  server().stop();
  client.join();
  // Well under the hold, however busy the machine: the stop released the request.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_FALSE(server().isRunning());
}

TEST_F(DevServerTest, TheDemoAnswersEveryCallAndLinksItsFiles) {
  useDemoReplies();
  // Only the demo player's password logs in.
  EXPECT_EQ(ServerController::loginWithUsername("demo", "wrong")["state"].str(), "error");
  EXPECT_EQ(
      ServerController::getPingTaiBiYuEWithQxusername("demo", "t", "demo_hero", "1")["data"]["ptb"]
          .str(),
      "120.00");
  const Value games = ServerController::getGamelistWithParams(Value());
  ASSERT_GT(games["data"].count(), 0u);
  const std::string icon = games["data"][0]["plat_gameicon"].str();
  ASSERT_EQ(icon.rfind(server().baseUrl() + "/files/", 0), 0u) << icon;

  // Every demo file is a reply that a client can decode.
  for (const auto& entry : std::filesystem::directory_iterator(resourcesPath() + "/demo")) {
    if (entry.path().extension() != ".json") continue;
    const std::string api = entry.path().stem().string();
    EXPECT_FALSE(
        ServerController::send(api, {{"username", "demo"}, {"password", "demo123"}})["state"]
            .isNil())
        << api;
  }
}
