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
  message->setThumbImage(ParleyTest::image());
  message->mediaObject = page;
  auto req = std::make_shared<SendMessageToPLReq>();
  req->message = message;
  return req;
}

bool packs(const std::shared_ptr<BaseReq>& req) { return AppCommunicateData().ReqToData(req); }

// The dictionary that a request packs into; nil when the request is refused.
Value packed(const std::shared_ptr<BaseReq>& req,
             const std::shared_ptr<PLMediaInternalMessage>& internal = nullptr) {
  AppCommunicateData data;
  return data.ReqToData(req, internal) ? data.propertList() : Value();
}

// A dictionary that the app writes: the keys of every command, then the given ones.
Value fromApp(const std::string& keys) {
  Value dict = *Value::fromJSON(R"({"returnFromApp": "0", "result": "1", "sdkver": "1.6.2"})");
  const Value given = *Value::fromJSON("{" + keys + "}");
  for (const auto& [key, value] : given.dictValue()) dict.set(key, value);
  return dict;
}

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
  data.conversationAccount = "acc";
  auto req = webShare();
  req->openID = "oid";
  ASSERT_TRUE(data.ReqToData(req));
  EXPECT_EQ(data.command(), 1010u);
  Value expected = fromApp(R"("command": "1010", "objectType": "5", "scene": "0", "title": "来玩",
      "description": "送金币", "mediaUrl": "https://t.example/i?u=7", "account": "acc",
      "openID": "oid")");
  EXPECT_EQ(data.propertList(), expected.set("thumbData", Value::data(ParleyTest::jpeg())));
  // A share to the timeline differs only in its scene; a null image keeps the thumbnail.
  req->scene = PLSceneTimeline;
  req->message->setThumbImage(nullptr);
  ASSERT_TRUE(data.ReqToData(req));
  EXPECT_EQ(data.propertList(), expected.set("scene", Value("1")));
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
  // A thumbnail that is no image is refused however small.
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

TEST_F(AppCommunicateDataTest, ARefusedMessageLeavesTheDictionaryAsItWas) {
  std::vector<std::shared_ptr<SendMessageToPLReq>> refused{webShare(), webShare(""), webShare(),
                                                           webShare(), webShare()};
  refused[0]->message->title = repeat("游", 513);
  // A refused media object must not leave the message's own fields behind.
  refused[1]->message->title = "other";
  refused[2]->message->mediaObject = PLVideoObject::object();  // no address
  refused[3]->message->mediaObject = nullptr;
  refused[4]->message = nullptr;
  AppCommunicateData data;
  Value before;
  for (bool packedBefore : {false, true}) {
    for (size_t i = 0; i < refused.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_FALSE(data.ReqToData(refused[i]));
      EXPECT_EQ(data.propertList(), before);
      EXPECT_EQ(data.command(), packedBefore ? 1010u : 0u);
    }
    ASSERT_TRUE(data.ReqToData(webShare()));
    before = data.propertList();
  }
}

TEST_F(AppCommunicateDataTest, TextMessagesAreOneTo10240Units) {
  auto text = std::make_shared<SendMessageToPLReq>();
  text->bText = true;
  text->scene = PLSceneTimeline;
  text->text = repeat("字", 10240);
  Value d = packed(text);
  EXPECT_EQ(d["scene"], Value("1"));
  EXPECT_EQ(AppCommunicateData(d).textMessage(), text->text);
  text->text += "字";
  EXPECT_FALSE(packs(text));
  text->text = "";
  EXPECT_FALSE(packs(text));
}

TEST_F(AppCommunicateDataTest, LoginRequestsNeedAScopeAndKeepTheirLimits) {
  auto auth = std::make_shared<SendAuthReq>();
  auth->scope = repeat("s", 1024);
  auth->state = repeat("态", 1024);
  auto back = AppCommunicateData(packed(auth)).authRequest();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->scope + back->state, auth->scope + auth->state);

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
  auto page = PLWebpageObject::object();
  page->webpageUrl = "https://w.example";
  auto file = PLFileObject::object();
  file->fileExtension = "txt";
  file->fileData = Data{'h', 'i'};
  auto ext = PLAppExtendObject::object();
  ext->url = "app://x";
  ext->extInfo = "info";
  ext->fileData = Data{9};
  auto emoticon = PLEmoticonObject::object();
  emoticon->emoticonData = Data{1, 2};
  const std::pair<std::shared_ptr<PLMediaObject>, const char*> kinds[] = {
      {image, "2"}, {music, "3"}, {video, "4"},   {page, "5"},
      {file, "6"},  {ext, "7"},   {emoticon, "8"}};

  for (bool iOS7plus : {true, false}) {
    setSystemVersion(iOS7plus ? "7.0" : "6.1");
    for (const auto& [object, type] : kinds) {
      SCOPED_TRACE(std::string("object type ") + type + (iOS7plus ? " from system 7" : " before"));
      auto req = webShare();
      req->message->mediaObject = object;
      req->message->mediaTagName = "tag";
      req->message->messageExt = "ext";
      req->message->messageAction = "act";
      AppCommunicateData out;
      ASSERT_TRUE(out.ReqToData(req));
      EXPECT_EQ(out.propertList()["objectType"], Value(type));
      // From system 7 the bytes travel in the dictionary, before it beside it.
      EXPECT_TRUE(iOS7plus ? out.fileData.empty() : !out.propertList().contains("fileData"));
      // What is read back packs into the same dictionary and bytes.
      AppCommunicateData in(out.propertList());
      in.fileData = iOS7plus ? out.propertList()["fileData"].dataValue() : out.fileData;
      auto internal = in.mediaInternalMessage();
      ASSERT_TRUE(internal);
      EXPECT_EQ(std::to_string(internal->objectType), type);
      req->message = in.mediaMessage();
      ASSERT_TRUE(req->message);
      AppCommunicateData again;
      ASSERT_TRUE(again.ReqToData(req));
      EXPECT_EQ(again.propertList(), out.propertList());
      EXPECT_EQ(again.fileData, out.fileData);
    }
  }
}

TEST_F(AppCommunicateDataTest, RequestsForParleyPackByCommandAndComeBack) {
  auto get = std::make_shared<GetMessageFromPLReq>();
  get->openID = "o";
  get->lang = "zh_CN";
  get->country = "CN";
  EXPECT_EQ(packed(get), fromApp(R"("command": "2000", "openID": "o", "language": "zh_CN",
      "country": "CN")"));

  auto internal = PLMediaInternalMessage::message();
  internal->title = "t";
  internal->objectType = PLMediaObjectAppExtend;
  internal->extInfo = "e";
  auto show = std::make_shared<ShowMessageFromPLReq>();
  show->country = "CN";
  EXPECT_EQ(packed(show, internal), fromApp(R"("command": "1010", "country": "CN", "title": "t",
      "objectType": "7", "extInfo": "e")"));

  auto launch = std::make_shared<LaunchFromPLReq>();
  launch->openID = "x";
  internal->messageExt = "me";
  internal->messageAction = "ma";
  EXPECT_EQ(packed(launch, internal), fromApp(R"("command": "2040", "openID": "x", "title": "t",
      "objectType": "7", "extInfo": "e", "messageExt": "me", "messageAction": "ma")"));

  EXPECT_FALSE(packs(std::make_shared<PayReq>()));
  EXPECT_FALSE(packs(nullptr));
}

TEST_F(AppCommunicateDataTest, ResponsesPackByCommandWithTheirErrorCode) {
  auto pack = [](const std::shared_ptr<BaseResp>& resp) {
    AppCommunicateData data;
    data.result = resp->errCode;
    return data.RespToData(resp) ? data.propertList() : Value();
  };
  auto sent = std::make_shared<SendMessageToPLResp>();
  sent->errCode = -3;
  sent->lang = "zh";
  auto auth = std::make_shared<SendAuthResp>();
  auth->state = "st";
  auto create = std::make_shared<CreateChatRoomResp>();
  create->errCode = 5;
  create->extMsg = "room";
  auto join = std::make_shared<JoinChatRoomResp>();
  join->extMsg = "j";
  auto text = std::make_shared<GetMessageFromPLResp>();
  text->bText = true;
  text->text = "hello";
  const std::pair<std::shared_ptr<BaseResp>, const char*> replies[] = {
      {sent, R"("command": "2020", "result": "-3", "language": "zh")"},
      {auth, R"("command": "2030", "result": "0", "state": "st")"},
      {create, R"("command": "2050", "result": "5", "messageExt": "room")"},
      {join, R"("command": "2060", "result": "0", "messageExt": "j")"},
      {std::make_shared<ShowMessageFromPLResp>(), R"("command": "1070", "result": "0")"},
      {text, R"("command": "1020", "result": "0", "title": "hello")"}};
  for (const auto& [resp, keys] : replies) {
    SCOPED_TRACE(keys);
    EXPECT_EQ(pack(resp), fromApp(keys));
  }
  EXPECT_EQ(AppCommunicateData(pack(auth)).authResp()->state, "st");
  auth->state = repeat("s", 1025);
  EXPECT_FALSE(pack(auth));
  create->extMsg = repeat("e", 2049);
  EXPECT_FALSE(pack(create));
  auto media = std::make_shared<GetMessageFromPLResp>();
  media->message = webShare()->message;
  media->message->title = repeat("t", 513);
  EXPECT_FALSE(pack(media));
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
