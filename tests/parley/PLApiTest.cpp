#include <gtest/gtest.h>

#include <iterator>
#include <tuple>

#include "ParleyTestSupport.h"
#include "app/StandInParley.h"
#include "parley/AddCardToPLCardPackageReq.h"
#include "parley/AddCardToPLCardPackageResp.h"
#include "parley/AppCommunicateData.h"
#include "parley/CreateChatRoomReq.h"
#include "parley/CreateChatRoomResp.h"
#include "parley/GetMessageFromPLReq.h"
#include "parley/GetMessageFromPLResp.h"
#include "parley/HBReq.h"
#include "parley/HBResp.h"
#include "parley/JoinChatRoomReq.h"
#include "parley/JoinChatRoomResp.h"
#include "parley/JumpToBizProfileReq.h"
#include "parley/JumpToBizWebviewReq.h"
#include "parley/LaunchFromPLReq.h"
#include "parley/OpenRankListReq.h"
#include "parley/OpenRankListResp.h"
#include "parley/OpenTempSessionReq.h"
#include "parley/OpenTempSessionResp.h"
#include "parley/OpenWebviewReq.h"
#include "parley/OpenWebviewResp.h"
#include "parley/PLApiNSStringURLArgumentsAdditions.h"
#include "parley/PLAppExtendObject.h"
#include "parley/PLWebpageObject.h"
#include "parley/ParleyApiUtil.h"
#include "parley/PayReq.h"
#include "parley/PayResp.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "parley/SendMessageToPLReq.h"
#include "parley/SendMessageToPLResp.h"
#include "parley/ShowMessageFromPLReq.h"

namespace {

// The last of the requests or replies that the delegate received, as a T; a fresh T when the
// last one is of another class, so that a check of its fields fails.
template <class T, class Base>
T lastOf(const std::vector<std::shared_ptr<Base>>& received) {
  auto last = received.empty() ? nullptr : std::dynamic_pointer_cast<T>(received.back());
  return last ? *last : T{};
}

std::shared_ptr<SendMessageToPLReq> webShare(int scene = PLSceneChat) {
  auto page = PLWebpageObject::object();
  page->webpageUrl = "https://tovira.example/invite?u=42&c=9";
  auto message = PLMediaMessage::message();
  message->title = "一起来玩";
  message->description = "注册送金币";
  message->setThumbImage(ParleyTest::image());
  message->mediaObject = page;
  auto req = std::make_shared<SendMessageToPLReq>();
  req->bText = false;
  req->scene = scene;
  req->message = message;
  return req;
}

// Puts a command dictionary on the general pasteboard the way Parley does.
void parleyWrites(const Value& dict, const std::string& oldText = "") {
  Value root = Value::dict({{"plapp", dict}});
  if (!oldText.empty()) root.set("old_text", Value(oldText));
  UIPasteboard::generalPasteboard()->setData(*ParleyApiUtil::dataFromPropertyList(root), "content");
}

}  // namespace

class PLApiTest : public ParleyTest {
 protected:
  void SetUp() override {
    ParleyTest::SetUp();
    parley = StandInParley::install();
  }
  // The opened URL's path after "parley://app/plapp/".
  std::string lastPath() {
    runLoop();
    return parley->last().path;
  }
  // The path that a request opens; "refused" when the SDK refuses it.
  std::string sent(const std::shared_ptr<BaseReq>& req) {
    return PLApi::sendReq(req) ? lastPath() : "refused";
  }
  const Value& command() const { return parley->last().commandDictionary; }
  // Whether the app handles a URL from Parley once Parley has written this command.
  bool parleyOpens(const char* json) {
    parleyWrites(*Value::fromJSON(json));
    return PLApi::handleOpenURL(url("plapp://x"), delegate);
  }

  std::shared_ptr<StandInParley> parley;
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(PLApiTest, AWebPageShareReachesParleyEndToEnd) {
  UIPasteboard::generalPasteboard()->setString("the user's copy");
  auto share = webShare(PLSceneTimeline);
  EXPECT_EQ(sent(share), "sendreq/?");
  ASSERT_EQ(parley->received().size(), 1u);
  EXPECT_EQ(parley->last().url, "parley://app/plapp/sendreq/?");
  // Parley reads back, from the pasteboard's bytes, the very dictionary that the request packs.
  AppCommunicateData packed;
  ASSERT_TRUE(packed.ReqToData(share));
  EXPECT_EQ(command(), packed.propertList());
  EXPECT_EQ(parley->last().pasteboardRoot["old_text"], Value("the user's copy"));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "the user's copy");
}

TEST_F(PLApiTest, BeforeSystem7SharesAndLoginsTravelOnParleyData) {
  setSystemVersion("6.1");
  parley->setReadsGeneralPasteboard(false);
  UIPasteboard::generalPasteboard()->setString("kept");
  EXPECT_EQ(sent(webShare()), "sendreq/?");
  EXPECT_EQ(command()["mediaUrl"], Value("https://tovira.example/invite?u=42&c=9"));
  // A login travels as command 1030 instead of in the URL.
  auto auth = std::make_shared<SendAuthReq>();
  auth->scope = "s";
  EXPECT_EQ(sent(auth), "sendreq/?");
  EXPECT_EQ(command()["command"].str() + command()["scope"].str(), "1030s");
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "kept");
}

TEST_F(PLApiTest, WhenParleyCannotBeOpenedThePasteboardGetsBackWhatItHeld) {
  UIPasteboard::generalPasteboard()->setString("the user's copy");
  auto longTitle = webShare();
  longTitle->message->title = repeat("长", 513);
  // A share that breaks a limit, then one that finds no Parley to open.
  for (const auto& share : {longTitle, webShare()}) {
    EXPECT_FALSE(PLApi::sendReq(share));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "the user's copy");
    EXPECT_FALSE(UIPasteboard::generalPasteboard()->dataForPasteboardType("content"));
    StandInParley::uninstall();
  }
  runLoop();
  EXPECT_TRUE(parley->received().empty());
  EXPECT_FALSE(PLApi::sendResp(std::make_shared<SendMessageToPLResp>()));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "the user's copy");

  setSystemVersion("6.1");
  EXPECT_FALSE(PLApi::sendReq(webShare()));
  EXPECT_FALSE(UIPasteboard::pasteboardWithName("parley_data", false));
  EXPECT_FALSE(UIPasteboard::pasteboardWithName("parley_file", false));
  auto data = UIPasteboard::pasteboardWithName("parley_data", true);
  data->setData(*ParleyApiUtil::dataFromPropertyList(
                    Value::dict({{"other", Value::dict({{"k", Value("v")}})}})),
                "content");
  auto before = data->items();
  EXPECT_FALSE(PLApi::sendReq(webShare()));
  EXPECT_EQ(data->items(), before);
}

TEST_F(PLApiTest, RegisteringKeepsTheLatestAppIdAndOpensParleyWithIt) {
  EXPECT_FALSE(PLApi::registerApp(""));
  EXPECT_EQ(PLApi::registeredAppID(), "plapp");
  PLApi::registerApp("other");
  EXPECT_EQ(PLApi::registeredAppID(), "other");
  EXPECT_TRUE(PLApi::isPLAppInstalled());
  EXPECT_TRUE(PLApi::isPLAppSupportApi());
  EXPECT_EQ(PLApi::getApiVersion(), "1.6.2");
  EXPECT_TRUE(NSString::hasPrefix(PLApi::getPLAppInstallUrl(), "https://"));
  EXPECT_TRUE(NSString::hasSuffix(PLApi::getPLAppInstallUrl(), "/cn/app/id414478124?mt=8"));
  ASSERT_TRUE(PLApi::openPLApp());
  EXPECT_EQ(lastPath(), "");
  EXPECT_EQ(parley->last().url, "parley://app/other/");
  StandInParley::uninstall();
  EXPECT_FALSE(PLApi::isPLAppInstalled());
  EXPECT_FALSE(PLApi::openPLApp());
}

TEST_F(PLApiTest, ATextShareAndEveryResponseReachParley) {
  auto text = std::make_shared<SendMessageToPLReq>();
  text->bText = true;
  text->text = "你好 & bye";
  text->openID = "oid";
  EXPECT_EQ(sent(text), "sendreq/?");
  EXPECT_EQ(command(), *Value::fromJSON(R"({"command": "1020", "returnFromApp": "0", "result": "1",
      "sdkver": "1.6.2", "title": "你好 & bye", "openID": "oid", "scene": "0"})"));

  auto get = std::make_shared<GetMessageFromPLResp>();
  get->errCode = -2;
  get->message = webShare()->message;
  ASSERT_TRUE(PLApi::sendResp(get));
  runLoop();
  EXPECT_EQ(parley->last().url, "parley://app/plapp/sendresp/?");
  EXPECT_EQ(command()["command"], Value("1010"));
  EXPECT_EQ(command()["returnFromApp"], Value("1"));
  EXPECT_EQ(command()["result"], Value("-2"));
  EXPECT_EQ(command()["objectType"], Value("5"));

  // Each reply is read by Parley before the next one replaces it.
  std::vector<std::pair<std::shared_ptr<BaseResp>, const char*>> replies{
      {std::make_shared<SendMessageToPLResp>(), "2020"},
      {std::make_shared<SendAuthResp>(), "2030"},
      {std::make_shared<CreateChatRoomResp>(), "2050"},
      {std::make_shared<JoinChatRoomResp>(), "2060"}};
  for (const auto& [resp, number] : replies) {
    ASSERT_TRUE(PLApi::sendResp(resp));
    runLoop();
    EXPECT_EQ(command()["command"], Value(number));
  }
  EXPECT_FALSE(PLApi::sendResp(std::make_shared<PayResp>()));
  EXPECT_FALSE(PLApi::sendResp(nullptr));
  EXPECT_FALSE(PLApi::sendReq(nullptr));
  runLoop();
  EXPECT_EQ(parley->received().size(), 6u);
}

TEST_F(PLApiTest, LoginPayAndRedPacketRequestsTravelEscapedInTheUrl) {
  auto auth = std::make_shared<SendAuthReq>();
  auth->scope = "scope_a";
  auth->state = "a&b=c#d e";
  // With Parley installed, a login goes to it and not to the web pages.
  ASSERT_TRUE(PLApi::sendAuthReq(auth, nullptr, delegate));
  EXPECT_EQ(lastPath(), "auth/?scope=scope_a&state=a%26b%3Dc%23d%20e");
  auth->scope = "";
  EXPECT_FALSE(PLApi::sendReq(auth));

  auto pay = std::make_shared<PayReq>();
  pay->partnerId = "p1";
  pay->prepayId = "pre&2";
  pay->nonceStr = "n 3";
  pay->timeStamp = 4294967295u;
  pay->package = "Sign=X";
  pay->sign = "s#5";
  EXPECT_EQ(sent(pay),
            "pay/"
            "?nonceStr=n%203&package=Sign%3DX&partnerId=p1&prepayId=pre%262&timeStamp="
            "4294967295&sign=s%235&"
            "signType=SHA1");
  for (std::string PayReq::*field : {&PayReq::partnerId, &PayReq::prepayId, &PayReq::nonceStr,
                                     &PayReq::package, &PayReq::sign}) {
    auto missing = std::make_shared<PayReq>(*pay);
    (*missing).*field = "";
    EXPECT_FALSE(PLApi::sendReq(missing));
  }

  auto hb = std::make_shared<HBReq>();
  hb->nonceStr = "n";
  hb->package = "p";
  hb->sign = "s";
  hb->timeStamp = 7;
  EXPECT_EQ(sent(hb), "hb/?nonceStr=n&package=p&timeStamp=7&sign=s&signType=SHA1");
  hb->sign = "";
  EXPECT_FALSE(PLApi::sendReq(hb));
}

TEST_F(PLApiTest, ValuesPutIntoParleyUrlsCanNeitherAddParametersNorBreakTheUrl) {
  auto temp = std::make_shared<OpenTempSessionReq>();
  temp->username = "u&x=1";
  temp->sessionFrom = "from #游 ?";
  EXPECT_EQ(sent(temp),
            "opentempsession/?username=u%26x%3D1&sessionFrom=from%20%23%E6%B8%B8%20%3F");

  auto web = std::make_shared<OpenWebviewReq>();
  web->url = "https://a.example/p?q=1&r=~";
  EXPECT_EQ(sent(web), "openwebview/?url=https%3A%2F%2Fa.example%2Fp%3Fq%3D1%26r%3D%7E");

  EXPECT_EQ(sent(std::make_shared<OpenRankListReq>()), "openranklist/");

  auto create = std::make_shared<CreateChatRoomReq>();
  create->groupId = "g&1";
  create->chatRoomName = "房 间";
  create->extMsg = "e#";
  EXPECT_EQ(sent(create),
            "createchatroom/?groupid=g%261&chatroomname=%E6%88%BF%20%E9%97%B4&extmsg=e%23");
  create->chatRoomNickName = "nick";
  EXPECT_EQ(sent(create),
            "createchatroom/"
            "?groupid=g%261&chatroomname=%E6%88%BF%20%E9%97%B4&chatroomnickname=nick&extmsg=e%23");

  auto join = std::make_shared<JoinChatRoomReq>();
  join->groupId = "g";
  join->chatRoomNickName = "n=1";
  EXPECT_EQ(sent(join), "joinchatroom/?groupid=g&chatroomnickname=n%3D1");

  auto profile = std::make_shared<JumpToBizProfileReq>();
  profile->username = "gh_1";
  profile->profileType = -1;
  EXPECT_EQ(sent(profile), "openprofile/?username=gh_1&profiletype=-1");
  profile->extMsg = "x&y";
  EXPECT_EQ(sent(profile), "openprofile/?username=gh_1&profiletype=-1&extmsg=x%26y");

  auto biz = std::make_shared<JumpToBizWebviewReq>();
  biz->tousrname = "gh_2";
  EXPECT_EQ(sent(biz), "jumptobizwebview/?webtype=0&tousername=gh_2");
  biz->extMsg = "m";
  EXPECT_EQ(sent(biz), "jumptobizwebview/?webtype=0&tousername=gh_2&extmsg=m");
  biz->webType = 1;
  EXPECT_FALSE(PLApi::sendReq(biz));
}

TEST_F(PLApiTest, RequiredUrlValuesThatAreEmptyOrTooLongRefuseTheRequest) {
  size_t opened = SimulatedDevice::shared().openedURLs().size();
  auto temp = std::make_shared<OpenTempSessionReq>();
  auto web = std::make_shared<OpenWebviewReq>();
  auto create = std::make_shared<CreateChatRoomReq>();
  auto join = std::make_shared<JoinChatRoomReq>();
  auto profile = std::make_shared<JumpToBizProfileReq>();
  for (std::shared_ptr<BaseReq> empty : std::initializer_list<std::shared_ptr<BaseReq>>{
           temp, web, create, join, profile, std::make_shared<JumpToBizWebviewReq>()}) {
    EXPECT_FALSE(PLApi::sendReq(empty));
  }
  create->groupId = join->groupId = profile->username = "g";
  // Each value is sent at its limit and refuses the request one unit over it.
  const std::tuple<std::shared_ptr<BaseReq>, std::string*, const char*, size_t> limits[] = {
      {temp, &temp->username, "u", 1024},         {web, &web->url, "w", 10240},
      {create, &create->chatRoomName, "房", 512}, {create, &create->chatRoomNickName, "n", 512},
      {create, &create->extMsg, "e", 2048},       {join, &join->groupId, "g", 1024},
      {join, &join->chatRoomNickName, "n", 1024}, {profile, &profile->extMsg, "e", 2048}};
  for (const auto& [req, value, unit, limit] : limits) {
    SCOPED_TRACE(std::string(unit) + " x " + std::to_string(limit));
    *value = repeat(unit, limit + 1);
    EXPECT_FALSE(PLApi::sendReq(req));
    *value = repeat(unit, limit);
    EXPECT_TRUE(PLApi::sendReq(req));
  }
  runLoop();
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().size(), opened + std::size(limits));
}

TEST_F(PLApiTest, CardsTravelAsOneEscapedJsonObject) {
  auto req = std::make_shared<AddCardToPLCardPackageReq>();
  for (const char* id : {"c&1", "c#2"}) {
    auto card = std::make_shared<PLCardItem>();
    card->cardId = id;
    req->cardAry.push_back(card);
  }
  req->cardAry[0]->extMsg = "{\"code\":\"x\"}";
  std::string path = sent(req);
  ASSERT_TRUE(NSString::hasPrefix(path, "cardpackage/?"));
  std::string query = path.substr(std::string("cardpackage/?").size());
  EXPECT_EQ(query.find_first_of("&#=? "), std::string::npos);
  auto json = Value::fromJSON(*PLApiNSStringURLArgumentsAdditions::decodePercentEscapes(query));
  ASSERT_TRUE(json);
  EXPECT_EQ(*json, *Value::fromJSON(R"({"id0": "c&1", "ext0": "{\"code\":\"x\"}", "id1": "c#2",
      "ext1": ""})"));

  while (req->cardAry.size() < 40) req->cardAry.push_back(req->cardAry[1]);
  EXPECT_TRUE(PLApi::sendReq(req));
  req->cardAry.push_back(req->cardAry[1]);
  EXPECT_FALSE(PLApi::sendReq(req));
  req->cardAry.clear();
  EXPECT_FALSE(PLApi::sendReq(req));
  auto card = std::make_shared<PLCardItem>();
  req->cardAry.push_back(card);
  EXPECT_FALSE(PLApi::sendReq(req));
  card->cardId = ParleyTest::repeat("c", 1025);
  EXPECT_FALSE(PLApi::sendReq(req));
  card->cardId = ParleyTest::repeat("c", 1024);
  card->extMsg = ParleyTest::repeat("e", 2048);
  EXPECT_TRUE(PLApi::sendReq(req));
  card->cardId = "c";
  card->extMsg = repeat("e", 2049);
  EXPECT_FALSE(PLApi::sendReq(req));
}

TEST_F(PLApiTest, ParseURLParamsKeepsEveryEqualsSignAfterTheFirstInsideAValue) {
  EXPECT_EQ(PLApi::parseURLParams("a=1&sign=abc==&b=x=y=z&a=2&flag&&=v"),
            *Value::fromJSON(R"({"a": "2", "sign": "abc==", "b": "x=y=z", "flag": "", "": "v"})"));
  EXPECT_EQ(PLApi::parseURLParams("").count(), 0u);
  EXPECT_EQ(PLApi::parseURLParams("x=%20+").operator[]("x"), Value("%20+"));
}

TEST_F(PLApiTest, LoginRepliesGiveCodeOrTheirErrorCode) {
  ASSERT_TRUE(
      PLApi::handleOpenURL(url("plapp://oauth?code=C1&state=s&lang=zh&country=CN"), delegate));
  auto ok = lastOf<SendAuthResp>(delegate->resps);
  EXPECT_EQ(ok.errCode, 0);
  EXPECT_EQ(ok.code + ok.state + ok.lang + ok.country, "C1szhCN");

  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://oauth?code=authdeny&reason=no"), delegate));
  auto denied = lastOf<SendAuthResp>(delegate->resps);
  EXPECT_EQ(std::to_string(denied.errCode) + denied.code + denied.errStr, "-4no");

  // The prefix alone is a login reply too: one without a code.
  ASSERT_TRUE(PLApi::handleAuthOpenUrl(url("plapp://oauth"), delegate));
  EXPECT_EQ(delegate->resps.back()->errCode, -1);
  EXPECT_FALSE(PLApi::handleOpenURL(url("plapp://oauth?code=1"), nullptr));
  EXPECT_TRUE(PLApi::handleAuthOpenUrl(url("plapp://oauth?code=1"), nullptr));
}

TEST_F(PLApiTest, AReplyWhoseResultCodeIsMissingOrNoNumberReportsAFailure) {
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://pay/?ret=0&returnKey=k=1&notifyStr=ok"), delegate));
  auto pay = lastOf<PayResp>(delegate->resps);
  EXPECT_EQ(pay.errCode, 0);
  EXPECT_EQ(pay.returnKey + pay.errStr, "k=1ok");

  for (const char* bad : {"plapp://pay/?returnKey=k", "plapp://pay/?ret=abc", "plapp://pay/?ret=",
                          "plapp://pay/?ret=1x", "plapp://pay/?ret=99999999999"}) {
    ASSERT_TRUE(PLApi::handleOpenURL(url(bad), delegate)) << bad;
    EXPECT_EQ(delegate->resps.back()->errCode, -1) << bad;
  }
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://hb/?ret=-3&notifyStr=n"), delegate));
  EXPECT_EQ(lastOf<HBResp>(delegate->resps).errStr, "n");
  EXPECT_EQ(delegate->resps.back()->errCode, -3);
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://opentempsession/?notifyStr=x"), delegate));
  EXPECT_EQ(lastOf<OpenTempSessionResp>(delegate->resps).errCode, -1);
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://openwebview/?ret=2"), delegate));
  EXPECT_EQ(lastOf<OpenWebviewResp>(delegate->resps).errCode, 2);
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://openranklist/?ret=0&notifyStr=r"), delegate));
  EXPECT_EQ(lastOf<OpenRankListResp>(delegate->resps).errStr, "r");

  // A reply that is exactly its prefix is not handled.
  size_t before = delegate->resps.size();
  EXPECT_FALSE(PLApi::handleOpenURL(url("plapp://pay/"), delegate));
  EXPECT_FALSE(PLApi::handleOpenURL(url("other://pay/?ret=0"), delegate));
  EXPECT_EQ(delegate->resps.size(), before);
}

TEST_F(PLApiTest, CardRepliesKeepCardsWithAnId) {
  std::string info = PLApiNSStringURLArgumentsAdditions::plApi_stringByEscapingForURLArgument(
      R"([{"card_id":"a","card_ext":"x","is_succ":1},{"card_id":"","is_succ":1},"junk",{"card_id":"b","is_succ":0}])");
  ASSERT_TRUE(
      PLApi::handleOpenURL(url("plapp://cardPackage/?errCode=0&addCardInfo=" + info), delegate));
  auto resp = std::dynamic_pointer_cast<AddCardToPLCardPackageResp>(delegate->resps.back());
  ASSERT_TRUE(resp);
  EXPECT_EQ(resp->errCode, 0);
  ASSERT_EQ(resp->cardAry.size(), 2u);
  for (size_t i : {0, 1}) {
    auto card = resp->cardAry[i];
    EXPECT_EQ(card->cardId + card->extMsg + std::to_string(card->cardState), i ? "b0" : "ax1");
  }

  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://cardPackage/?addCardInfo=%7Bbroken"), delegate));
  resp = std::dynamic_pointer_cast<AddCardToPLCardPackageResp>(delegate->resps.back());
  EXPECT_EQ(resp->errCode, -1);
  EXPECT_TRUE(resp->cardAry.empty());
}

TEST_F(PLApiTest, CommandsFromParleyAreDeliveredByKind) {
  parleyWrites(*Value::fromJSON(R"({"command": "2040", "account": "conv", "openID": "x",
      "title": "t", "objectType": "7", "messageExt": "e", "messageAction": "a"})"),
               "clip");
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://launch"), delegate));
  auto launch = lastOf<LaunchFromPLReq>(delegate->reqs);
  ASSERT_TRUE(launch.message);
  EXPECT_EQ(launch.openID + launch.message->messageExt + launch.message->messageAction, "xea");
  EXPECT_TRUE(launch.message->title.empty()) << "a launch carries no title";
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "clip");

  // The conversation account goes into the next message, then is dropped.
  EXPECT_EQ(sent(webShare()), "sendreq/?");
  EXPECT_EQ(command()["account"], Value("conv"));
  EXPECT_EQ(sent(webShare()), "sendreq/?");
  EXPECT_FALSE(command().contains("account"));

  ASSERT_TRUE(
      parleyOpens(R"({"command": "2000", "language": "zh", "openID": "o", "country": "CN"})"));
  auto get = lastOf<GetMessageFromPLReq>(delegate->reqs);
  EXPECT_EQ(get.openID + get.lang + get.country, "ozhCN");
  ASSERT_TRUE(parleyOpens(
      R"({"command": "1010", "objectType": "7", "extInfo": "i", "country": "CN", "title": "t"})"));
  auto show = lastOf<ShowMessageFromPLReq>(delegate->reqs);
  ASSERT_TRUE(show.message);
  EXPECT_EQ(show.country + show.message->title, "CNt");
  EXPECT_EQ(std::dynamic_pointer_cast<PLAppExtendObject>(show.message->mediaObject)->extInfo, "i");
  ASSERT_TRUE(
      parleyOpens(R"({"command": "2010", "result": "-2", "country": "CN", "language": "zh"})"));
  auto sentReply = lastOf<SendMessageToPLResp>(delegate->resps);
  EXPECT_EQ(sentReply.country + sentReply.lang + std::to_string(sentReply.errCode), "CNzh-2");
  ASSERT_TRUE(parleyOpens(R"({"command": "2030", "result": "0"})"));
  EXPECT_TRUE(std::dynamic_pointer_cast<SendAuthResp>(delegate->resps.back()));
  ASSERT_TRUE(parleyOpens(R"({"command": "2050", "result": "5", "messageExt": "r"})"));
  auto room = lastOf<CreateChatRoomResp>(delegate->resps);
  EXPECT_EQ(room.extMsg + std::to_string(room.errCode), "r5");
  ASSERT_TRUE(parleyOpens(R"({"command": "2060", "messageExt": "j"})"));
  EXPECT_EQ(lastOf<JoinChatRoomResp>(delegate->resps).extMsg, "j");

  size_t reqs = delegate->reqs.size(), resps = delegate->resps.size();
  // Unknown commands are accepted and deliver nothing; a web page cannot be
  // shown from Parley; no message at all is not handled.
  EXPECT_TRUE(parleyOpens(R"({"command": "9999"})"));
  EXPECT_FALSE(parleyOpens(R"({"command": "1010", "objectType": "5", "mediaUrl": "u"})"));
  EXPECT_FALSE(PLApi::handleOpenURL(url("plapp://x"), delegate));
  EXPECT_FALSE(PLApi::handleOpenURL(url("other://x"), delegate));
  EXPECT_EQ(delegate->reqs.size(), reqs);
  EXPECT_EQ(delegate->resps.size(), resps);
}

TEST_F(PLApiTest, AHostilePlistOnThePasteboardIsIgnoredWithoutCrashing) {
  // {"plapp": {"command": "2000", "language": "z?"}}, its last character written in UTF-16.
  auto commandWith = [](uint8_t last) {
    return std::vector<uint8_t>{'b', 'p', 'l', 'i', 's', 't', '0', '0', 0xD1, 1, 2, 0x55, 'p', 'l',
                                'a', 'p', 'p', 0xD2, 3, 4, 5, 6, 0x57, 'c', 'o', 'm', 'm', 'a', 'n',
                                'd', 0x58, 'l', 'a', 'n', 'g', 'u', 'a', 'g', 'e', 0x54, '2', '0',
                                '0', '0', 0x62, 0, 'z', 0, last,
                                // the offsets of the seven objects, then the trailer
                                8, 11, 17, 22, 30, 39, 44, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0,
                                0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 49};
  };
  UIPasteboard::generalPasteboard()->setData(commandWith('h'), "content");
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://x"), delegate));
  ASSERT_EQ(delegate->reqs.size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<GetMessageFromPLReq>(delegate->reqs.back())->lang, "zh");

  // Its language claiming fourteen characters, more than the file holds.
  auto hostile = commandWith('h');
  hostile[44] = 0x6E;
  UIPasteboard::generalPasteboard()->setData(hostile, "content");
  EXPECT_FALSE(PLApi::handleOpenURL(url("plapp://x"), delegate));
  EXPECT_EQ(delegate->reqs.size(), 1u);
}
