#include <gtest/gtest.h>

#include "ParleyTestSupport.h"
#include "parley/AppCommunicateData.h"
#include "parley/CreateChatRoomResp.h"
#include "parley/GetMessageFromPLReq.h"
#include "parley/GetMessageFromPLResp.h"
#include "parley/JoinChatRoomResp.h"
#include "parley/LaunchFromPLReq.h"
#include "parley/PLAppExtendObject.h"
#include "parley/PLAuthInternal.h"
#include "parley/PLEmoticonObject.h"
#include "parley/PLFileObject.h"
#include "parley/PLImageObject.h"
#include "parley/PLMediaInternalMessage.h"
#include "parley/PLMusicObject.h"
#include "parley/PLVideoObject.h"
#include "parley/PLWebpageObject.h"
#include "parley/PayReq.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "parley/SendMessageToPLReq.h"
#include "parley/SendMessageToPLResp.h"
#include "parley/ShowMessageFromPLReq.h"
#include "parley/ShowMessageFromPLResp.h"

namespace {

using Data = std::vector<uint8_t>;

std::shared_ptr<SendMessageToPLReq> webShare(const std::string& url = "https://t.example/i?u=7") {
  auto page = PLWebpageObject::object();
  page->webpageUrl = url;
  auto message = PLMediaMessage::message();
  message->title = "来玩";
  message->description = "送金币";
  message->thumbData = ParleyTest::jpeg();
  message->mediaObject = page;
  auto req = std::make_shared<SendMessageToPLReq>();
  req->message = message;
  return req;
}

bool packs(const std::shared_ptr<BaseReq>& req) { return AppCommunicateData().ReqToData(req); }

// A media message whose only unusual field is set by the given step.
template <class F>
bool messagePacks(F change) {
  auto req = webShare();
  change(*req->message);
  return packs(req);
}

template <class F>
bool objectPacks(std::shared_ptr<PLMediaObject> object, F change) {
  auto req = webShare();
  req->message->mediaObject = object;
  change();
  return packs(req);
}

}  // namespace

class AppCommunicateDataTest : public ParleyTest {};

TEST_F(AppCommunicateDataTest, AWebPageShareYieldsExactlyTheKeysParleyReads) {
  AppCommunicateData data;
  ASSERT_TRUE(data.ReqToData(webShare()));
  const Value& d = data.propertList();
  EXPECT_EQ(keysOf(d),
            (std::vector<std::string>{"command", "description", "mediaUrl", "objectType", "result",
                                      "returnFromApp", "scene", "sdkver", "thumbData", "title"}));
  EXPECT_EQ(d["command"], Value("1010"));
  EXPECT_EQ(d["returnFromApp"], Value("0"));
  EXPECT_EQ(d["result"], Value("1"));
  EXPECT_EQ(d["sdkver"], Value("1.6.2"));
  EXPECT_EQ(d["objectType"], Value("5"));
  EXPECT_EQ(d["scene"], Value("0"));
  EXPECT_EQ(d["title"], Value("来玩"));
  EXPECT_EQ(d["mediaUrl"], Value("https://t.example/i?u=7"));
  EXPECT_EQ(d["thumbData"].dataValue(), ParleyTest::jpeg());
  EXPECT_EQ(data.command(), 1010u);

  AppCommunicateData withAccount;
  withAccount.conversationAccount = "acc";
  auto req = webShare();
  req->openID = "oid";
  ASSERT_TRUE(withAccount.ReqToData(req));
  EXPECT_EQ(withAccount.propertList()["account"], Value("acc"));
  EXPECT_EQ(withAccount.propertList()["openID"], Value("oid"));
}

TEST_F(AppCommunicateDataTest, SceneZeroAndOneDifferOnlyInScene) {
  auto chat = webShare();
  auto timeline = webShare();
  timeline->scene = PLSceneTimeline;
  AppCommunicateData a, b;
  ASSERT_TRUE(a.ReqToData(chat));
  ASSERT_TRUE(b.ReqToData(timeline));
  Value withoutScene = b.propertList();
  withoutScene.set("scene", Value("0"));
  EXPECT_EQ(b.propertList()["scene"], Value("1"));
  EXPECT_EQ(a.propertList(), withoutScene);
}

TEST_F(AppCommunicateDataTest, MessageLimitsCountUtf16UnitsAndBytesAtTheBoundary) {
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.title = repeat("游", 512); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.title = repeat("游", 513); }));
  // An emoji is two UTF-16 units: 256 of them fill the title exactly.
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.title = repeat("😀", 256); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.title = repeat("😀", 256) + "a"; }));
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.description = repeat("述", 1024); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.description = repeat("述", 1025); }));
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.mediaTagName = repeat("t", 64); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.mediaTagName = repeat("t", 65); }));
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.messageExt = repeat("e", 2048); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.messageExt = repeat("e", 2049); }));
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.messageAction = repeat("a", 2048); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.messageAction = repeat("a", 2049); }));
  EXPECT_TRUE(messagePacks([](PLMediaMessage& m) { m.thumbData = paddedJpeg(32768); }));
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.thumbData = paddedJpeg(32769); }));
}

TEST_F(AppCommunicateDataTest, AThumbnailThatIsNoImageIsRefusedEvenWhenSmall) {
  EXPECT_FALSE(messagePacks([](PLMediaMessage& m) { m.thumbData = Data{1, 2, 3, 4}; }));
}

TEST_F(AppCommunicateDataTest, MediaObjectLimitsAtTheBoundary) {
  auto music = PLMusicObject::object();
  music->musicUrl = "https://m.example/a";
  EXPECT_TRUE(objectPacks(music, [&] { music->musicLowBandDataUrl = repeat("u", 10240); }));
  EXPECT_FALSE(objectPacks(music, [&] { music->musicLowBandDataUrl = repeat("u", 10241); }));
  auto page = PLWebpageObject::object();
  EXPECT_TRUE(objectPacks(page, [&] { page->webpageUrl = repeat("网", 10240); }));
  EXPECT_FALSE(objectPacks(page, [&] { page->webpageUrl = repeat("网", 10241); }));
  auto ext = PLAppExtendObject::object();
  EXPECT_TRUE(objectPacks(ext, [&] { ext->extInfo = repeat("x", 2048); }));
  EXPECT_FALSE(objectPacks(ext, [&] { ext->extInfo = repeat("x", 2049); }));
  auto file = PLFileObject::object();
  file->fileData = Data(10485760, 7);
  EXPECT_TRUE(objectPacks(file, [&] { file->fileExtension = repeat("f", 64); }));
  EXPECT_FALSE(objectPacks(file, [&] { file->fileExtension = repeat("f", 65); }));
  file->fileExtension = "bin";
  EXPECT_FALSE(objectPacks(file, [&] { file->fileData.push_back(0); }));
}

TEST_F(AppCommunicateDataTest, AMediaObjectWithoutAddressInfoOrBytesIsRefused) {
  EXPECT_FALSE(packs(webShare("")));
  auto req = webShare();
  req->message->mediaObject = PLVideoObject::object();
  EXPECT_FALSE(packs(req));
  req->message->mediaObject = nullptr;
  EXPECT_FALSE(packs(req));
  req->message = nullptr;
  EXPECT_FALSE(packs(req));
}

TEST_F(AppCommunicateDataTest, AFailedWriterLeavesTheDictionaryAsItWas) {
  AppCommunicateData data;
  auto bad = webShare();
  bad->message->title = repeat("游", 513);
  EXPECT_FALSE(data.ReqToData(bad));
  EXPECT_TRUE(data.propertList().isNil());
  EXPECT_EQ(data.command(), 0u);

  ASSERT_TRUE(data.ReqToData(webShare()));
  Value before = data.propertList();
  // A refused media object must not leave the message's own fields behind.
  auto noUrl = webShare("");
  noUrl->message->title = "other";
  EXPECT_FALSE(data.ReqToData(noUrl));
  EXPECT_EQ(data.propertList(), before);
  EXPECT_EQ(data.command(), 1010u);
}

TEST_F(AppCommunicateDataTest, TextMessagesAreOneTo10240Units) {
  auto text = std::make_shared<SendMessageToPLReq>();
  text->bText = true;
  text->scene = PLSceneTimeline;
  text->text = repeat("字", 10240);
  AppCommunicateData data;
  ASSERT_TRUE(data.ReqToData(text));
  EXPECT_EQ(data.propertList()["command"], Value("1020"));
  EXPECT_EQ(data.propertList()["scene"], Value("1"));
  EXPECT_EQ(AppCommunicateData(data.propertList()).textMessage(), text->text);
  text->text += "字";
  EXPECT_FALSE(packs(text));
  text->text = "";
  EXPECT_FALSE(packs(text));
}

TEST_F(AppCommunicateDataTest, LoginRequestsNeedAScopeAndKeepTheirLimits) {
  auto auth = std::make_shared<SendAuthReq>();
  auth->scope = repeat("s", 1024);
  auth->state = repeat("态", 1024);
  AppCommunicateData data;
  ASSERT_TRUE(data.ReqToData(auth));
  EXPECT_EQ(data.propertList()["command"], Value("1030"));
  auto back = AppCommunicateData(data.propertList()).authRequest();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->scope, auth->scope);
  EXPECT_EQ(back->state, auth->state);

  auth->state += "x";
  EXPECT_FALSE(packs(auth));
  auth->state = "";
  auth->scope += "x";
  EXPECT_FALSE(packs(auth));
  auth->scope = "";
  EXPECT_FALSE(packs(auth));
}

TEST_F(AppCommunicateDataTest, EveryMediaObjectKindRoundTripsThroughTheDictionary) {
  auto image = PLImageObject::object();
  image->imageUrl = "https://i.example/1.png";
  image->imageData = ParleyTest::jpeg();
  auto music = PLMusicObject::object();
  music->musicUrl = "m1";
  music->musicLowBandUrl = "m2";
  music->musicDataUrl = "m3";
  music->musicLowBandDataUrl = "m4";
  auto video = PLVideoObject::object();
  video->videoUrl = "v1";
  video->videoLowBandUrl = "v2";
  auto file = PLFileObject::object();
  file->fileExtension = "txt";
  file->fileData = Data{'h', 'i'};
  auto ext = PLAppExtendObject::object();
  ext->url = "app://x";
  ext->extInfo = "info";
  ext->fileData = Data{9};
  auto emoticon = PLEmoticonObject::object();
  emoticon->emoticonData = Data{1, 2};

  for (bool iOS7plus : {true, false}) {
    setSystemVersion(iOS7plus ? "7.0" : "6.1");
    for (const std::shared_ptr<PLMediaObject>& object : std::vector<std::shared_ptr<PLMediaObject>>{
             image, music, video, PLWebpageObject::object(), file, ext, emoticon}) {
      auto req = webShare();
      if (auto page = std::dynamic_pointer_cast<PLWebpageObject>(object))
        page->webpageUrl = "https://w.example";
      req->message->mediaObject = object;
      req->message->mediaTagName = "tag";
      req->message->messageExt = "ext";
      req->message->messageAction = "act";
      AppCommunicateData out;
      ASSERT_TRUE(out.ReqToData(req));
      // Before system 7 the bytes travel beside the dictionary.
      if (!iOS7plus) {
        EXPECT_FALSE(out.propertList().contains("fileData"));
      }
      AppCommunicateData in(out.propertList());
      in.fileData = iOS7plus ? out.propertList()["fileData"].dataValue() : out.fileData;
      auto back = in.mediaMessage();
      ASSERT_TRUE(back);
      EXPECT_EQ(back->title, "来玩");
      EXPECT_EQ(back->description, "送金币");
      EXPECT_EQ(back->thumbData, ParleyTest::jpeg());
      EXPECT_EQ(back->mediaTagName, "tag");
      EXPECT_EQ(back->messageExt, "ext");
      EXPECT_EQ(back->messageAction, "act");
      auto internal = in.mediaInternalMessage();
      ASSERT_TRUE(internal);
      if (auto o = std::dynamic_pointer_cast<PLImageObject>(back->mediaObject)) {
        EXPECT_EQ(o->imageUrl, image->imageUrl);
        EXPECT_EQ(o->imageData, image->imageData);
        EXPECT_EQ(internal->objectType, 2u);
      } else if (auto o = std::dynamic_pointer_cast<PLMusicObject>(back->mediaObject)) {
        EXPECT_EQ(o->musicUrl + o->musicLowBandUrl + o->musicDataUrl + o->musicLowBandDataUrl,
                  "m1m2m3m4");
      } else if (auto o = std::dynamic_pointer_cast<PLVideoObject>(back->mediaObject)) {
        EXPECT_EQ(o->videoUrl + o->videoLowBandUrl, "v1v2");
      } else if (auto o = std::dynamic_pointer_cast<PLWebpageObject>(back->mediaObject)) {
        EXPECT_EQ(o->webpageUrl, "https://w.example");
      } else if (auto o = std::dynamic_pointer_cast<PLFileObject>(back->mediaObject)) {
        EXPECT_EQ(o->fileExtension, "txt");
        EXPECT_EQ(o->fileData, file->fileData);
      } else if (auto o = std::dynamic_pointer_cast<PLAppExtendObject>(back->mediaObject)) {
        EXPECT_EQ(o->url + o->extInfo, "app://xinfo");
        EXPECT_EQ(o->fileData, ext->fileData);
      } else if (auto o = std::dynamic_pointer_cast<PLEmoticonObject>(back->mediaObject)) {
        EXPECT_EQ(o->emoticonData, emoticon->emoticonData);
        EXPECT_EQ(internal->objectType, 8u);
      } else {
        ADD_FAILURE() << "no media object read back";
      }
    }
  }
}

TEST_F(AppCommunicateDataTest, FileBytesTravelInTheDictionaryFromSystem7AndBesideItBefore) {
  auto file = PLFileObject::object();
  file->fileExtension = "bin";
  file->fileData = Data{1, 2, 3};
  auto req = webShare();
  req->message->mediaObject = file;

  setSystemVersion("7.0");
  AppCommunicateData modern;
  ASSERT_TRUE(modern.ReqToData(req));
  EXPECT_EQ(modern.propertList()["fileData"].dataValue(), file->fileData);
  EXPECT_TRUE(modern.fileData.empty());

  setSystemVersion("6.1");
  AppCommunicateData old;
  ASSERT_TRUE(old.ReqToData(req));
  EXPECT_FALSE(old.propertList().contains("fileData"));
  EXPECT_EQ(old.fileData, file->fileData);
}

TEST_F(AppCommunicateDataTest, RequestsFromParleyRoundTrip) {
  auto get = std::make_shared<GetMessageFromPLReq>();
  get->openID = "o";
  get->lang = "zh_CN";
  get->country = "CN";
  AppCommunicateData g;
  ASSERT_TRUE(g.ReqToData(get));
  EXPECT_EQ(g.propertList()["command"], Value("2000"));
  auto getBack = std::dynamic_pointer_cast<GetMessageFromPLReq>(
      AppCommunicateData(g.propertList()).DataToReq());
  ASSERT_TRUE(getBack);
  EXPECT_EQ(getBack->openID + getBack->lang + getBack->country, "ozh_CNCN");

  auto internal = PLMediaInternalMessage::message();
  internal->title = "t";
  internal->objectType = PLMediaObjectAppExtend;
  internal->extInfo = "e";
  auto show = std::make_shared<ShowMessageFromPLReq>();
  show->lang = "en";
  AppCommunicateData s;
  ASSERT_TRUE(s.ReqToData(show, internal));
  auto showBack = std::dynamic_pointer_cast<ShowMessageFromPLReq>(
      AppCommunicateData(s.propertList()).DataToReq());
  ASSERT_TRUE(showBack);
  EXPECT_EQ(showBack->lang, "en");
  ASSERT_TRUE(showBack->message);
  EXPECT_EQ(showBack->message->title, "t");

  // Only app-extension content is shown from Parley: a web page is not.
  internal->objectType = PLMediaObjectWebpage;
  internal->mediaUrl = "https://w";
  AppCommunicateData w;
  ASSERT_TRUE(w.ReqToData(show, internal));
  EXPECT_FALSE(AppCommunicateData(w.propertList()).DataToReq());

  auto launch = std::make_shared<LaunchFromPLReq>();
  launch->openID = "x";
  internal->messageExt = "me";
  internal->messageAction = "ma";
  AppCommunicateData l;
  ASSERT_TRUE(l.ReqToData(launch, internal));
  EXPECT_EQ(l.propertList()["command"], Value("2040"));
  auto launchBack =
      std::dynamic_pointer_cast<LaunchFromPLReq>(AppCommunicateData(l.propertList()).DataToReq());
  ASSERT_TRUE(launchBack);
  EXPECT_EQ(launchBack->openID, "x");
  ASSERT_TRUE(launchBack->message);
  EXPECT_EQ(launchBack->message->messageExt + launchBack->message->messageAction, "mema");
  EXPECT_TRUE(launchBack->message->title.empty());

  EXPECT_FALSE(packs(std::make_shared<PayReq>()));
  EXPECT_FALSE(packs(nullptr));
}

TEST_F(AppCommunicateDataTest, ResponsesRoundTripWithTheirErrorCode) {
  auto pack = [](const std::shared_ptr<BaseResp>& resp) {
    AppCommunicateData data;
    data.returnFromApp = true;
    data.result = resp->errCode;
    EXPECT_TRUE(data.RespToData(resp));
    EXPECT_EQ(data.propertList()["returnFromApp"], Value("1"));
    return data.propertList();
  };
  auto sent = std::make_shared<SendMessageToPLResp>();
  sent->errCode = -3;
  sent->lang = "zh";
  Value d = pack(sent);
  EXPECT_EQ(d["command"], Value("2020"));
  EXPECT_EQ(d["result"], Value("-3"));
  EXPECT_EQ(d["language"], Value("zh"));
  auto sentBack =
      std::dynamic_pointer_cast<SendMessageToPLResp>(AppCommunicateData(d).DataToResp());
  ASSERT_TRUE(sentBack);
  EXPECT_EQ(sentBack->errCode, -3);
  // 2010 carries language and country, 2020 does not.
  d.set("command", Value("2010"));
  sentBack = std::dynamic_pointer_cast<SendMessageToPLResp>(AppCommunicateData(d).DataToResp());
  ASSERT_TRUE(sentBack);
  EXPECT_EQ(sentBack->lang, "zh");

  auto auth = std::make_shared<SendAuthResp>();
  auth->state = "st";
  d = pack(auth);
  EXPECT_EQ(d["command"], Value("2030"));
  EXPECT_EQ(AppCommunicateData(d).authResp()->state, "st");
  EXPECT_TRUE(std::dynamic_pointer_cast<SendAuthResp>(AppCommunicateData(d).DataToResp()));
  auth->state = repeat("s", 1025);
  EXPECT_FALSE(AppCommunicateData().RespToData(auth));

  auto create = std::make_shared<CreateChatRoomResp>();
  create->errCode = 5;
  create->extMsg = "room";
  d = pack(create);
  auto createBack =
      std::dynamic_pointer_cast<CreateChatRoomResp>(AppCommunicateData(d).DataToResp());
  ASSERT_TRUE(createBack);
  EXPECT_EQ(createBack->extMsg, "room");
  EXPECT_EQ(createBack->errCode, 5);
  create->extMsg = repeat("e", 2049);
  EXPECT_FALSE(AppCommunicateData().RespToData(create));

  auto join = std::make_shared<JoinChatRoomResp>();
  join->extMsg = "j";
  d = pack(join);
  EXPECT_EQ(d["command"], Value("2060"));
  EXPECT_EQ(std::dynamic_pointer_cast<JoinChatRoomResp>(AppCommunicateData(d).DataToResp())->extMsg,
            "j");

  EXPECT_EQ(pack(std::make_shared<ShowMessageFromPLResp>())["command"], Value("1070"));

  auto text = std::make_shared<GetMessageFromPLResp>();
  text->bText = true;
  text->text = "hello";
  d = pack(text);
  EXPECT_EQ(d["command"], Value("1020"));
  EXPECT_EQ(d["title"], Value("hello"));
  auto media = std::make_shared<GetMessageFromPLResp>();
  media->message = webShare()->message;
  EXPECT_EQ(pack(media)["objectType"], Value("5"));
  media->message->title = repeat("t", 513);
  EXPECT_FALSE(AppCommunicateData().RespToData(media));
}

TEST_F(AppCommunicateDataTest, ADictionaryWithoutCommandYieldsNothing) {
  AppCommunicateData data(Value::dict({{"title", Value("x")}, {"result", Value("3")}}));
  EXPECT_EQ(data.command(), 0u);
  EXPECT_TRUE(data.propertList().isNil());
  EXPECT_EQ(data.result, 0);
  EXPECT_FALSE(data.DataToReq());
  EXPECT_FALSE(data.DataToResp());
  EXPECT_FALSE(data.mediaMessage());
}

TEST_F(AppCommunicateDataTest, SetThumbImageMakesAJpegAndKeepsTheOldOneForNull) {
  auto message = PLMediaMessage::message();
  message->setThumbImage(ParleyTest::image());
  ASSERT_GT(message->thumbData.size(), 3u);
  EXPECT_EQ(message->thumbData[0], 0xFF);
  EXPECT_EQ(message->thumbData[1], 0xD8);
  EXPECT_EQ(message->thumbData, UIImageJPEGRepresentation(ParleyTest::image(), 0.6));
  Data before = message->thumbData;
  message->setThumbImage(nullptr);
  EXPECT_EQ(message->thumbData, before);

  auto fresh = std::make_shared<SendMessageToPLReq>();
  EXPECT_FALSE(fresh->bText);
  EXPECT_EQ(fresh->scene, PLSceneChat);
  // A long title is stored; only packing refuses it.
  message->title = repeat("t", 600);
  EXPECT_EQ(message->title.size(), 600u);
}
