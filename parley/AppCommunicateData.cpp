#include "parley/AppCommunicateData.h"

#include <string>

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
#include "parley/PLMediaMessage.h"
#include "parley/PLMusicObject.h"
#include "parley/PLVideoObject.h"
#include "parley/PLWebpageObject.h"
#include "parley/ParleyApiUtil.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "parley/SendMessageToPLReq.h"
#include "parley/SendMessageToPLResp.h"
#include "parley/ShowMessageFromPLReq.h"
#include "parley/ShowMessageFromPLResp.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIImage.h"

namespace {

using Data = std::vector<uint8_t>;
using Self = AppCommunicateData;

constexpr const char* kSdkVersion = "1.6.2";

bool fits(const std::string& s, size_t max) { return NSString::length(s) <= max; }

// Reads a text field; numbers are accepted as their decimal text, anything
// else (data, containers) reads as not set.
std::string stringOf(const Value& v) {
  return v.isString() || v.isNumber() ? v.str() : std::string();
}

void putString(Value& dict, const char* key, const std::string& s) {
  if (!s.empty()) dict.set(key, Value(s));
}

void putData(Value& dict, const char* key, const Data& bytes) {
  if (!bytes.empty()) dict.set(key, Value::data(bytes));
}

bool isImage(const Data& bytes) { return UIImage::imageWithData(bytes) != nullptr; }

// The media object's fields as they stand in the dictionary.
struct LinkFields {
  unsigned type = 0;
  std::string url, lowBandUrl, dataUrl, lowBandDataUrl, extInfo, fileExt;
  Data file;
};

std::optional<LinkFields> linkFieldsOf(const std::shared_ptr<PLMediaObject>& object) {
  LinkFields f;
  if (auto o = std::dynamic_pointer_cast<PLImageObject>(object)) {
    f.type = PLMediaObjectImage;
    f.url = o->imageUrl;
    f.file = o->imageData;
  } else if (auto o = std::dynamic_pointer_cast<PLMusicObject>(object)) {
    f.type = PLMediaObjectMusic;
    f.url = o->musicUrl;
    f.lowBandUrl = o->musicLowBandUrl;
    f.dataUrl = o->musicDataUrl;
    f.lowBandDataUrl = o->musicLowBandDataUrl;
  } else if (auto o = std::dynamic_pointer_cast<PLVideoObject>(object)) {
    f.type = PLMediaObjectVideo;
    f.url = o->videoUrl;
    f.lowBandUrl = o->videoLowBandUrl;
  } else if (auto o = std::dynamic_pointer_cast<PLWebpageObject>(object)) {
    f.type = PLMediaObjectWebpage;
    f.url = o->webpageUrl;
  } else if (auto o = std::dynamic_pointer_cast<PLFileObject>(object)) {
    f.type = PLMediaObjectFile;
    f.fileExt = o->fileExtension;
    f.file = o->fileData;
  } else if (auto o = std::dynamic_pointer_cast<PLAppExtendObject>(object)) {
    f.type = PLMediaObjectAppExtend;
    f.url = o->url;
    f.extInfo = o->extInfo;
    f.file = o->fileData;
  } else if (auto o = std::dynamic_pointer_cast<PLEmoticonObject>(object)) {
    f.type = PLMediaObjectEmoticon;
    f.file = o->emoticonData;
  } else {
    return std::nullopt;
  }
  return f;
}

bool linkFieldsValid(const LinkFields& f) {
  if (f.url.empty() && f.extInfo.empty() && f.file.empty()) return false;
  return fits(f.url, Self::kMaxUrl) && fits(f.lowBandUrl, Self::kMaxUrl) &&
         fits(f.dataUrl, Self::kMaxUrl) && fits(f.lowBandDataUrl, Self::kMaxUrl) &&
         fits(f.extInfo, Self::kMaxExtInfo) && fits(f.fileExt, Self::kMaxFileExt) &&
         f.file.size() <= Self::kMaxFileBytes;
}

bool messageFieldsValid(const PLMediaMessage& m) {
  return fits(m.title, Self::kMaxTitle) && fits(m.description, Self::kMaxDescription) &&
         m.thumbData.size() <= Self::kMaxThumbBytes &&
         (m.thumbData.empty() || isImage(m.thumbData)) && fits(m.mediaTagName, Self::kMaxTagName) &&
         fits(m.messageExt, Self::kMaxMessageExt) && fits(m.messageAction, Self::kMaxMessageAction);
}

// A new media object of the wire type, filled from the dictionary's fields;
// nullptr for a type outside 2 to 8.
std::shared_ptr<PLMediaObject> makeMediaObject(unsigned long type, const Value& d,
                                               const Data& file) {
  switch (type) {
    case PLMediaObjectImage: {
      auto o = PLImageObject::object();
      o->imageUrl = stringOf(d["mediaUrl"]);
      o->imageData = file;
      return o;
    }
    case PLMediaObjectMusic: {
      auto o = PLMusicObject::object();
      o->musicUrl = stringOf(d["mediaUrl"]);
      o->musicLowBandUrl = stringOf(d["mediaLowBandUrl"]);
      o->musicDataUrl = stringOf(d["mediaDataUrl"]);
      o->musicLowBandDataUrl = stringOf(d["mediaLowBandDataUrl"]);
      return o;
    }
    case PLMediaObjectVideo: {
      auto o = PLVideoObject::object();
      o->videoUrl = stringOf(d["mediaUrl"]);
      o->videoLowBandUrl = stringOf(d["mediaLowBandUrl"]);
      return o;
    }
    case PLMediaObjectWebpage: {
      auto o = PLWebpageObject::object();
      o->webpageUrl = stringOf(d["mediaUrl"]);
      return o;
    }
    case PLMediaObjectFile: {
      auto o = PLFileObject::object();
      o->fileExtension = stringOf(d["fileExt"]);
      o->fileData = file;
      return o;
    }
    case PLMediaObjectAppExtend: {
      auto o = PLAppExtendObject::object();
      o->url = stringOf(d["mediaUrl"]);
      o->extInfo = stringOf(d["extInfo"]);
      o->fileData = file;
      return o;
    }
    case PLMediaObjectEmoticon: {
      auto o = PLEmoticonObject::object();
      o->emoticonData = file;
      return o;
    }
    default:
      return nullptr;
  }
}

}  // namespace

AppCommunicateData::AppCommunicateData() = default;

AppCommunicateData::AppCommunicateData(const Value& d) : result(0) {
  if (!d.isDict() || d["command"].isNil()) return;
  command_ = static_cast<unsigned long>(d["command"].longLongValue());
  conversationAccount = stringOf(d["account"]);
  returnFromApp = d["returnFromApp"].isEqualToString("1");
  openID_ = stringOf(d["openID"]);
  sdkVer_ = stringOf(d["sdkver"]);
  lang_ = stringOf(d["language"]);
  country_ = stringOf(d["country"]);
  if (!d["result"].isNil()) result = d["result"].intValue();
  if (!d["scene"].isNil()) scene = d["scene"].intValue();
  propertList_ = d;
}

AppCommunicateData::Snapshot AppCommunicateData::snapshot() const {
  return {command_, propertList_, fileData};
}

void AppCommunicateData::restore(Snapshot s) {
  command_ = s.command;
  propertList_ = std::move(s.propertList);
  fileData = std::move(s.fileData);
}

void AppCommunicateData::initCommonField(unsigned long command) {
  command_ = command;
  propertList_ = Value::dict();
  propertList_.set("command", Value(std::to_string(command)));
  propertList_.set("returnFromApp", Value(returnFromApp ? "1" : "0"));
  propertList_.set("result", Value(std::to_string(result)));
  putString(propertList_, "account", conversationAccount);
  propertList_.set("sdkver", Value(kSdkVersion));
}

bool AppCommunicateData::MakeCommand(unsigned long command) {
  initCommonField(command);
  return true;
}

std::shared_ptr<PLAuthInternal> AppCommunicateData::authRequest() const {
  if (command_ != PLCommandAuthRequest || !propertList_.isDict()) return nullptr;
  auto auth = std::make_shared<PLAuthInternal>();
  auth->scope = stringOf(propertList_["scope"]);
  auth->state = stringOf(propertList_["state"]);
  if (auth->scope.empty() || !fits(auth->scope, kMaxScope) || !fits(auth->state, kMaxState))
    return nullptr;
  return auth;
}

bool AppCommunicateData::MakeAuthRequest(const std::shared_ptr<SendAuthReq>& req) {
  if (!req || req->scope.empty() || !fits(req->scope, kMaxScope) || !fits(req->state, kMaxState))
    return false;
  propertList_.set("scope", Value(req->scope));
  putString(propertList_, "state", req->state);
  return true;
}

std::shared_ptr<SendAuthResp> AppCommunicateData::authResp() const {
  if (command_ != PLCommandAuthResp || !propertList_.isDict()) return nullptr;
  auto resp = std::make_shared<SendAuthResp>();
  resp->state = stringOf(propertList_["state"]);
  if (!fits(resp->state, kMaxState)) return nullptr;
  return resp;
}

bool AppCommunicateData::MakeAuthResp(const std::shared_ptr<SendAuthResp>& resp) {
  if (!resp || !fits(resp->state, kMaxState)) return false;
  putString(propertList_, "state", resp->state);
  return true;
}

std::optional<std::string> AppCommunicateData::textMessage() const {
  if (command_ != PLCommandTextMessage || !propertList_.isDict()) return std::nullopt;
  std::string text = stringOf(propertList_["title"]);
  if (!fits(text, kMaxText)) return std::nullopt;
  return text;
}

bool AppCommunicateData::MakeTextMessage(const std::string& text) {
  if (text.empty() || !fits(text, kMaxText)) return false;
  propertList_.set("title", Value(text));
  return true;
}

std::shared_ptr<PLMediaMessage> AppCommunicateData::mediaMessage() const {
  if (!propertList_.isDict()) return nullptr;
  const Value& d = propertList_;
  if (command_ == PLCommandLaunchFromPL) {
    auto m = PLMediaMessage::message();
    m->messageExt = stringOf(d["messageExt"]);
    m->messageAction = stringOf(d["messageAction"]);
    return m;
  }
  if (command_ != PLCommandMediaMessage || d["objectType"].isNil()) return nullptr;
  auto object =
      makeMediaObject(static_cast<unsigned long>(d["objectType"].longLongValue()), d, fileData);
  if (!object) return nullptr;
  auto m = PLMediaMessage::message();
  m->title = stringOf(d["title"]);
  m->description = stringOf(d["description"]);
  m->thumbData = d["thumbData"].dataValue();
  m->mediaTagName = stringOf(d["mediaTagName"]);
  m->messageExt = stringOf(d["messageExt"]);
  m->messageAction = stringOf(d["messageAction"]);
  m->mediaObject = object;
  return m;
}

void AppCommunicateData::writeFileBytes(const Data& bytes) {
  // Before system 7 the bytes travel on their own pasteboard, beside the
  // dictionary, so they are kept in the property instead.
  if (ParleyApiUtil::isiOS7plus()) {
    putData(propertList_, "fileData", bytes);
  } else {
    fileData = bytes;
  }
}

bool AppCommunicateData::MakeLinkObject(const std::shared_ptr<PLMediaObject>& object) {
  auto fields = linkFieldsOf(object);
  if (!fields || !linkFieldsValid(*fields)) return false;
  propertList_.set("objectType", Value(std::to_string(fields->type)));
  putString(propertList_, "mediaUrl", fields->url);
  putString(propertList_, "mediaLowBandUrl", fields->lowBandUrl);
  putString(propertList_, "mediaDataUrl", fields->dataUrl);
  putString(propertList_, "mediaLowBandDataUrl", fields->lowBandDataUrl);
  putString(propertList_, "extInfo", fields->extInfo);
  putString(propertList_, "fileExt", fields->fileExt);
  writeFileBytes(fields->file);
  return true;
}

bool AppCommunicateData::MakeMediaMessage(const std::shared_ptr<PLMediaMessage>& m) {
  if (!m || !messageFieldsValid(*m)) return false;
  // The media object is checked before the message's own fields are written,
  // so that a refused object leaves no half-written message behind.
  auto fields = linkFieldsOf(m->mediaObject);
  if (!fields || !linkFieldsValid(*fields)) return false;
  putString(propertList_, "title", m->title);
  putString(propertList_, "description", m->description);
  putData(propertList_, "thumbData", m->thumbData);
  putString(propertList_, "mediaTagName", m->mediaTagName);
  putString(propertList_, "messageExt", m->messageExt);
  putString(propertList_, "messageAction", m->messageAction);
  return MakeLinkObject(m->mediaObject);
}

std::shared_ptr<PLMediaInternalMessage> AppCommunicateData::mediaInternalMessage() const {
  if (command_ != PLCommandMediaMessage || !propertList_.isDict()) return nullptr;
  const Value& d = propertList_;
  if (d["objectType"].isNil()) return nullptr;
  auto m = PLMediaInternalMessage::message();
  m->title = stringOf(d["title"]);
  m->description = stringOf(d["description"]);
  m->thumbData = d["thumbData"].dataValue();
  m->mediaTagName = stringOf(d["mediaTagName"]);
  m->messageExt = stringOf(d["messageExt"]);
  m->messageAction = stringOf(d["messageAction"]);
  m->objectType = static_cast<unsigned long>(d["objectType"].longLongValue());
  m->mediaUrl = stringOf(d["mediaUrl"]);
  m->mediaLowBandUrl = stringOf(d["mediaLowBandUrl"]);
  m->mediaDataUrl = stringOf(d["mediaDataUrl"]);
  m->mediaLowBandDataUrl = stringOf(d["mediaLowBandDataUrl"]);
  m->extInfo = stringOf(d["extInfo"]);
  m->fileExt = stringOf(d["fileExt"]);
  m->fileData = fileData;

  PLMediaMessage asMessage;
  asMessage.title = m->title;
  asMessage.description = m->description;
  asMessage.thumbData = m->thumbData;
  asMessage.mediaTagName = m->mediaTagName;
  asMessage.messageExt = m->messageExt;
  asMessage.messageAction = m->messageAction;
  LinkFields f{static_cast<unsigned>(m->objectType),
               m->mediaUrl,
               m->mediaLowBandUrl,
               m->mediaDataUrl,
               m->mediaLowBandDataUrl,
               m->extInfo,
               m->fileExt,
               m->fileData};
  if (!messageFieldsValid(asMessage) || !linkFieldsValid(f)) return nullptr;
  return m;
}

bool AppCommunicateData::MakeMediaInternalMessage(
    const std::shared_ptr<PLMediaInternalMessage>& m) {
  if (!m) return false;
  if (!propertList_.isDict()) initCommonField(PLCommandMediaMessage);
  putString(propertList_, "title", m->title);
  putString(propertList_, "description", m->description);
  putData(propertList_, "thumbData", m->thumbData);
  propertList_.set("objectType", Value(std::to_string(m->objectType)));
  putString(propertList_, "mediaTagName", m->mediaTagName);
  putString(propertList_, "messageExt", m->messageExt);
  putString(propertList_, "messageAction", m->messageAction);
  putString(propertList_, "mediaUrl", m->mediaUrl);
  putString(propertList_, "mediaLowBandUrl", m->mediaLowBandUrl);
  putString(propertList_, "mediaDataUrl", m->mediaDataUrl);
  putString(propertList_, "mediaLowBandDataUrl", m->mediaLowBandDataUrl);
  putString(propertList_, "extInfo", m->extInfo);
  putString(propertList_, "fileExt", m->fileExt);
  writeFileBytes(m->fileData);
  return true;
}

std::shared_ptr<BaseReq> AppCommunicateData::DataToReq() const {
  switch (command_) {
    case PLCommandLaunchFromPL: {
      auto req = std::make_shared<LaunchFromPLReq>();
      req->openID = openID_;
      req->lang = lang_;
      req->country = country_;
      req->message = mediaMessage();
      return req;
    }
    case PLCommandGetMessageReq: {
      auto req = std::make_shared<GetMessageFromPLReq>();
      req->openID = openID_;
      req->lang = lang_;
      req->country = country_;
      return req;
    }
    case PLCommandMediaMessage: {
      auto message = mediaMessage();
      if (!message || !std::dynamic_pointer_cast<PLAppExtendObject>(message->mediaObject))
        return nullptr;
      auto req = std::make_shared<ShowMessageFromPLReq>();
      req->openID = openID_;
      req->message = message;
      req->lang = lang_;
      req->country = country_;
      return req;
    }
    default:
      return nullptr;
  }
}

std::shared_ptr<BaseResp> AppCommunicateData::DataToResp() const {
  switch (command_) {
    case PLCommandSendMessageRespWithLocale: {
      auto resp = std::make_shared<SendMessageToPLResp>();
      resp->errCode = result;
      resp->lang = lang_;
      resp->country = country_;
      return resp;
    }
    case PLCommandSendMessageResp: {
      auto resp = std::make_shared<SendMessageToPLResp>();
      resp->errCode = result;
      return resp;
    }
    case PLCommandAuthResp: {
      auto resp = std::make_shared<SendAuthResp>();
      resp->errCode = result;
      return resp;
    }
    case PLCommandCreateChatRoomResp: {
      auto resp = std::make_shared<CreateChatRoomResp>();
      resp->errCode = result;
      resp->extMsg = stringOf(propertList_["messageExt"]);
      return resp;
    }
    case PLCommandJoinChatRoomResp: {
      auto resp = std::make_shared<JoinChatRoomResp>();
      resp->errCode = result;
      resp->extMsg = stringOf(propertList_["messageExt"]);
      return resp;
    }
    default:
      return nullptr;
  }
}

void AppCommunicateData::writeLocale(const std::string& openID, const std::string& lang,
                                     const std::string& country) {
  putString(propertList_, "openID", openID);
  putString(propertList_, "language", lang);
  putString(propertList_, "country", country);
}

bool AppCommunicateData::ReqToData(const std::shared_ptr<BaseReq>& req) {
  return ReqToData(req, nullptr);
}

bool AppCommunicateData::ReqToData(const std::shared_ptr<BaseReq>& req,
                                   const std::shared_ptr<PLMediaInternalMessage>& internal) {
  Snapshot before = snapshot();
  bool ok = false;
  if (auto auth = std::dynamic_pointer_cast<SendAuthReq>(req)) {
    initCommonField(PLCommandAuthRequest);
    ok = MakeAuthRequest(auth);
  } else if (auto send = std::dynamic_pointer_cast<SendMessageToPLReq>(req)) {
    if (send->bText) {
      initCommonField(PLCommandTextMessage);
      ok = MakeTextMessage(send->text);
    } else {
      initCommonField(PLCommandMediaMessage);
      ok = MakeMediaMessage(send->message);
    }
    if (ok) {
      propertList_.set("scene", Value(std::to_string(send->scene)));
      putString(propertList_, "openID", send->openID);
    }
  } else if (auto get = std::dynamic_pointer_cast<GetMessageFromPLReq>(req)) {
    initCommonField(PLCommandGetMessageReq);
    writeLocale(get->openID, get->lang, get->country);
    ok = true;
  } else if (auto show = std::dynamic_pointer_cast<ShowMessageFromPLReq>(req)) {
    initCommonField(PLCommandMediaMessage);
    MakeMediaInternalMessage(internal);  // optional content: its answer does not matter
    writeLocale(show->openID, show->lang, show->country);
    ok = true;
  } else if (auto launch = std::dynamic_pointer_cast<LaunchFromPLReq>(req)) {
    initCommonField(PLCommandLaunchFromPL);
    MakeMediaInternalMessage(internal);
    writeLocale(launch->openID, launch->lang, launch->country);
    ok = true;
  }
  if (!ok) restore(std::move(before));
  return ok;
}

bool AppCommunicateData::RespToData(const std::shared_ptr<BaseResp>& resp) {
  Snapshot before = snapshot();
  bool ok = false;
  if (auto auth = std::dynamic_pointer_cast<SendAuthResp>(resp)) {
    initCommonField(PLCommandAuthResp);
    ok = MakeAuthResp(auth);
  } else if (auto get = std::dynamic_pointer_cast<GetMessageFromPLResp>(resp)) {
    if (get->bText) {
      initCommonField(PLCommandTextMessage);
      ok = MakeTextMessage(get->text);
    } else {
      initCommonField(PLCommandMediaMessage);
      ok = MakeMediaMessage(get->message);
    }
  } else if (std::dynamic_pointer_cast<ShowMessageFromPLResp>(resp)) {
    initCommonField(PLCommandShowMessageResp);
    ok = true;
  } else if (auto send = std::dynamic_pointer_cast<SendMessageToPLResp>(resp)) {
    initCommonField(PLCommandSendMessageResp);
    putString(propertList_, "language", send->lang);
    putString(propertList_, "country", send->country);
    ok = true;
  } else if (auto create = std::dynamic_pointer_cast<CreateChatRoomResp>(resp)) {
    initCommonField(PLCommandCreateChatRoomResp);
    ok = fits(create->extMsg, kMaxMessageExt);
    if (ok) putString(propertList_, "messageExt", create->extMsg);
  } else if (auto join = std::dynamic_pointer_cast<JoinChatRoomResp>(resp)) {
    initCommonField(PLCommandJoinChatRoomResp);
    ok = fits(join->extMsg, kMaxMessageExt);
    if (ok) putString(propertList_, "messageExt", join->extMsg);
  }
  if (!ok) restore(std::move(before));
  return ok;
}
