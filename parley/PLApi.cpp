#include "parley/PLApi.h"

#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>

#include "parley/AddCardToPLCardPackageReq.h"
#include "parley/AddCardToPLCardPackageResp.h"
#include "parley/AppCommunicate.h"
#include "parley/AppCommunicateData.h"
#include "parley/CreateChatRoomReq.h"
#include "parley/CreateChatRoomResp.h"
#include "parley/GetMessageFromPLReq.h"
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
#include "parley/PLApiRegister.h"
#include "parley/ParleyApiUtil.h"
#include "parley/PayReq.h"
#include "parley/PayResp.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "parley/SendMessageToPLResp.h"
#include "parley/ShowMessageFromPLReq.h"
#include "parley/WapAuthHandler.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIApplication.h"

namespace {

using namespace PLApiNSStringURLArgumentsAdditions;

constexpr const char* kApiVersion = "1.6.2";
// The app store's page of Parley; the host is configuration.
constexpr const char* kInstallUrl = "https://apps.parley-store.example/cn/app/id414478124?mt=8";

constexpr size_t kMaxName = 1024;
constexpr size_t kMaxExtMsg = 2048;
constexpr size_t kMaxChatRoomName = 512;
constexpr size_t kMaxWebviewUrl = 10240;
constexpr size_t kMaxCards = 40;

// The registered AppID and the conversation account of the last command
// read from Parley. Guarded, since a caller may ask from any thread.
struct ApiState {
  std::mutex mutex;
  std::string appId;
  std::string account;
};

ApiState& state() {
  static ApiState s;
  return s;
}

std::string appId() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().appId;
}

std::string account() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().account;
}

void setAccount(std::string value) {
  std::lock_guard<std::mutex> lock(state().mutex);
  state().account = std::move(value);
}

void dropAccount() { setAccount(""); }

// Writes the registration record and starts the statistics module.
bool registerWithParley(const std::string& id, const std::string* description) {
  return description ? PLApiRegister::registerApp(id, *description)
                     : PLApiRegister::registerApp(id);
}

bool fits(const std::string& s, size_t max) { return NSString::length(s) <= max; }
bool fitsRequired(const std::string& s, size_t max) { return !s.empty() && fits(s, max); }

bool open(const std::shared_ptr<NSURL>& url) {
  return url && UIApplication::sharedApplication()->openURL(url);
}

// Opens the Parley URL with the given path; false when the URL cannot be
// made (no AppID, or text that is no URL).
bool openParley(const std::string& path) {
  return open(ParleyApiUtil::getParleyUrl(appId(), path));
}

// Opens a URL whose message was just written to a pasteboard. When Parley
// cannot be opened the message will never be read, so the pasteboards get
// back what they held (the user's copied text among it).
bool openPacked(const AppCommunicate::SavedPasteboards& saved, const std::shared_ptr<NSURL>& url) {
  if (!url) return false;
  if (open(url)) return true;
  AppCommunicate::restorePasteboards(saved);
  return false;
}

// A result code of a reply: a decimal integer, else -1.
int resultCode(const Value& params, const char* key) {
  std::string text = params[key].str();
  if (text.empty()) return PLErrorCommon;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return PLErrorCommon;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return PLErrorCommon;
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) return PLErrorCommon;
  }
  if (text[0] == '-') value = -value;
  if (value > 2147483647LL) return PLErrorCommon;
  return static_cast<int>(value);
}

// The query of a reply URL when its text begins with the AppID's prefix and,
// unless the prefix alone is accepted, goes on beyond it.
std::optional<Value> replyParams(const std::shared_ptr<NSURL>& url, const std::string& suffix,
                                 bool prefixAlone) {
  std::string id = appId();
  if (!url || id.empty()) return std::nullopt;
  std::string prefix = id + "://" + suffix;
  std::string text = url->absoluteString();
  if (!NSString::hasPrefix(text, prefix)) return std::nullopt;
  if (!prefixAlone && text.size() <= prefix.size()) return std::nullopt;
  return PLApi::parseURLParams(url->query());
}

void deliver(const std::shared_ptr<PLApiDelegate>& delegate,
             const std::shared_ptr<BaseResp>& resp) {
  if (delegate) delegate->onResp(resp);
}

// The replies that carry "ret" and "notifyStr" only.
template <class Resp>
bool handleSimpleReply(const std::shared_ptr<NSURL>& url,
                       const std::shared_ptr<PLApiDelegate>& delegate, const std::string& suffix) {
  auto params = replyParams(url, suffix, false);
  if (!params) return false;
  auto resp = std::make_shared<Resp>();
  resp->errCode = resultCode(*params, "ret");
  resp->errStr = (*params)["notifyStr"].str();
  deliver(delegate, resp);
  return true;
}

std::string esc(const std::string& s) { return plApi_stringByEscapingForURLArgument(s); }

}  // namespace

bool PLApi::registerApp(const std::string& id) {
  if (id.empty()) return false;
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().appId = id;
  }
  return registerWithParley(id, nullptr);
}

bool PLApi::registerApp(const std::string& id, const std::string& description) {
  if (id.empty()) return false;
  {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().appId = id;
  }
  return registerWithParley(id, &description);
}

std::string PLApi::registeredAppID() { return appId(); }

bool PLApi::isPLAppInstalled() {
  auto url = ParleyApiUtil::getParleyUrl(appId());
  return url && UIApplication::sharedApplication()->canOpenURL(url);
}

bool PLApi::isPLAppSupportApi() { return ParleyApiUtil::isPLAppSupportApi(); }

std::string PLApi::getPLAppInstallUrl() { return kInstallUrl; }

std::string PLApi::getApiVersion() { return kApiVersion; }

bool PLApi::openPLApp() {
  dropAccount();
  return openParley("");
}

// Every "=" after the first stays in the value. Cutting the value at its own second "=" was a
// fault: values that carry "=" themselves (Base64 padding, a nested query) arrived truncated,
// so a reply's code or state reached the app corrupted.
Value PLApi::parseURLParams(const std::string& query) {
  Value params = Value::dict();
  for (const std::string& part : NSString::componentsSeparatedByString(query, "&")) {
    if (part.empty()) continue;
    size_t eq = part.find('=');
    if (eq == std::string::npos) {
      params.set(part, Value(""));
    } else {
      params.set(part.substr(0, eq), Value(part.substr(eq + 1)));
    }
  }
  return params;
}

bool PLApi::handleAuthOpenUrl(const std::shared_ptr<NSURL>& url,
                              const std::shared_ptr<PLApiDelegate>& delegate) {
  auto params = replyParams(url, "oauth", true);
  if (!params) return false;
  auto resp = std::make_shared<SendAuthResp>();
  std::string code = (*params)["code"].str();
  if (code.empty()) {
    resp->errCode = PLErrorCommon;
  } else if (code == "authdeny") {
    resp->errCode = PLErrorAuthDenied;
  } else {
    resp->errCode = PLErrorSuccess;
    resp->code = code;
  }
  resp->errStr = (*params)["reason"].str();
  resp->state = (*params)["state"].str();
  resp->lang = (*params)["lang"].str();
  resp->country = (*params)["country"].str();
  WapAuthHandler::shareWapAuthHandlerInstance()->endWapAuth();
  deliver(delegate, resp);
  return true;
}

bool PLApi::handlePayOpenUrl(const std::shared_ptr<NSURL>& url,
                             const std::shared_ptr<PLApiDelegate>& delegate) {
  auto params = replyParams(url, "pay/", false);
  if (!params) return false;
  auto resp = std::make_shared<PayResp>();
  resp->returnKey = (*params)["returnKey"].str();
  resp->errCode = resultCode(*params, "ret");
  resp->errStr = (*params)["notifyStr"].str();
  deliver(delegate, resp);
  return true;
}

bool PLApi::handleHBOpenUrl(const std::shared_ptr<NSURL>& url,
                            const std::shared_ptr<PLApiDelegate>& delegate) {
  return handleSimpleReply<HBResp>(url, delegate, "hb/");
}

bool PLApi::handleAddCardOpenUrl(const std::shared_ptr<NSURL>& url,
                                 const std::shared_ptr<PLApiDelegate>& delegate) {
  auto params = replyParams(url, "cardPackage/", false);
  if (!params) return false;
  auto resp = std::make_shared<AddCardToPLCardPackageResp>();
  resp->errCode = resultCode(*params, "errCode");
  std::string info = (*params)["addCardInfo"].str();
  if (!info.empty()) {
    auto decoded = decodePercentEscapes(info);
    auto json = decoded ? Value::fromJSON(*decoded) : std::nullopt;
    if (json && json->isArray()) {
      for (const Value& element : json->arrayValue()) {
        if (!element.isDict()) continue;
        auto item = std::make_shared<PLCardItem>();
        item->cardId = element["card_id"].str();
        item->extMsg = element["card_ext"].str();
        item->cardState = static_cast<uint32_t>(element["is_succ"].intValue());
        if (!item->cardId.empty()) resp->cardAry.push_back(item);
      }
    }
  }
  deliver(delegate, resp);
  return true;
}

bool PLApi::handleOpenTempSessionOpenUrl(const std::shared_ptr<NSURL>& url,
                                         const std::shared_ptr<PLApiDelegate>& delegate) {
  return handleSimpleReply<OpenTempSessionResp>(url, delegate, "opentempsession/");
}

bool PLApi::handleOpenWebviewOpenUrl(const std::shared_ptr<NSURL>& url,
                                     const std::shared_ptr<PLApiDelegate>& delegate) {
  return handleSimpleReply<OpenWebviewResp>(url, delegate, "openwebview/");
}

bool PLApi::handleOpenRankList(const std::shared_ptr<NSURL>& url,
                               const std::shared_ptr<PLApiDelegate>& delegate) {
  return handleSimpleReply<OpenRankListResp>(url, delegate, "openranklist/");
}

bool PLApi::handleOpenURL(const std::shared_ptr<NSURL>& url,
                          const std::shared_ptr<PLApiDelegate>& delegate) {
  if (!delegate || !url) return false;
  if (handleAuthOpenUrl(url, delegate) || handlePayOpenUrl(url, delegate) ||
      handleHBOpenUrl(url, delegate) ||
      WapAuthHandler::shareWapAuthHandlerInstance()->handleWapOAuthOpenUrl(url) ||
      handleAddCardOpenUrl(url, delegate) || handleOpenTempSessionOpenUrl(url, delegate) ||
      handleOpenWebviewOpenUrl(url, delegate) || handleOpenRankList(url, delegate)) {
    return true;
  }
  std::string id = appId();
  if (!ParleyApiUtil::isAppOpenUrl(url, id)) return false;
  auto data = AppCommunicate::appCommunicateDataForAppID(id);
  if (!data) return false;
  setAccount(data->conversationAccount);

  auto deliverReq = [&](auto typed) {
    if (!typed) return false;
    delegate->onReq(typed);
    return true;
  };
  auto deliverResp = [&](auto typed) {
    if (!typed) return false;
    delegate->onResp(typed);
    return true;
  };
  switch (data->command()) {
    case PLCommandMediaMessage:
      return deliverReq(std::dynamic_pointer_cast<ShowMessageFromPLReq>(data->DataToReq()));
    case PLCommandGetMessageReq:
      return deliverReq(std::dynamic_pointer_cast<GetMessageFromPLReq>(data->DataToReq()));
    case PLCommandSendMessageRespWithLocale:
    case PLCommandSendMessageResp:
      return deliverResp(std::dynamic_pointer_cast<SendMessageToPLResp>(data->DataToResp()));
    case PLCommandAuthResp:
      return deliverResp(std::dynamic_pointer_cast<SendAuthResp>(data->DataToResp()));
    case PLCommandLaunchFromPL:
      return deliverReq(std::dynamic_pointer_cast<LaunchFromPLReq>(data->DataToReq()));
    case PLCommandCreateChatRoomResp:
      return deliverResp(std::dynamic_pointer_cast<CreateChatRoomResp>(data->DataToResp()));
    case PLCommandJoinChatRoomResp:
      return deliverResp(std::dynamic_pointer_cast<JoinChatRoomResp>(data->DataToResp()));
    default:
      return true;
  }
}

std::shared_ptr<NSURL> PLApi::packReq(const std::shared_ptr<BaseReq>& req) {
  std::string id = appId();
  if (!req || id.empty()) return nullptr;
  auto url = ParleyApiUtil::getParleyUrl(id, "sendreq/?");
  if (!url) return nullptr;
  auto data = std::make_shared<AppCommunicateData>();
  data->conversationAccount = account();
  if (!data->ReqToData(req) || !AppCommunicate::setAppCommunicateData(data, id)) return nullptr;
  dropAccount();
  return url;
}

std::shared_ptr<NSURL> PLApi::packResp(const std::shared_ptr<BaseResp>& resp) {
  std::string id = appId();
  if (!resp || id.empty()) return nullptr;
  auto url = ParleyApiUtil::getParleyUrl(id, "sendresp/?");
  if (!url) return nullptr;
  auto data = std::make_shared<AppCommunicateData>();
  data->conversationAccount = account();
  data->returnFromApp = true;
  data->result = resp->errCode;
  if (!data->RespToData(resp) || !AppCommunicate::setAppCommunicateData(data, id)) return nullptr;
  dropAccount();
  return url;
}

bool PLApi::auth(const std::shared_ptr<SendAuthReq>& req) {
  if (!req) return false;
  if (!ParleyApiUtil::isiOS7plus()) {
    auto saved = AppCommunicate::savePasteboards();
    return openPacked(saved, packReq(req));
  }
  if (req->scope.empty()) return false;
  auto url = ParleyApiUtil::getParleyUrl(
      appId(), "auth/?scope=" + esc(req->scope) + "&state=" + esc(req->state));
  if (!url) return false;
  dropAccount();
  return open(url);
}

bool PLApi::pay(const std::shared_ptr<PayReq>& req) {
  if (!req || req->package.empty() || req->partnerId.empty() || req->prepayId.empty() ||
      req->sign.empty() || req->nonceStr.empty()) {
    return false;
  }
  auto url = ParleyApiUtil::getParleyUrl(
      appId(), "pay/?nonceStr=" + esc(req->nonceStr) + "&package=" + esc(req->package) +
                   "&partnerId=" + esc(req->partnerId) + "&prepayId=" + esc(req->prepayId) +
                   "&timeStamp=" + std::to_string(req->timeStamp) + "&sign=" + esc(req->sign) +
                   "&signType=SHA1");
  if (!url) return false;
  dropAccount();
  return open(url);
}

bool PLApi::sendHBReq(const std::shared_ptr<HBReq>& req) {
  if (!req || req->package.empty() || req->sign.empty() || req->nonceStr.empty()) return false;
  auto url = ParleyApiUtil::getParleyUrl(
      appId(), "hb/?nonceStr=" + esc(req->nonceStr) + "&package=" + esc(req->package) +
                   "&timeStamp=" + std::to_string(req->timeStamp) + "&sign=" + esc(req->sign) +
                   "&signType=SHA1");
  if (!url) return false;
  dropAccount();
  return open(url);
}

bool PLApi::openTempSession(const std::shared_ptr<OpenTempSessionReq>& req) {
  if (!req || !fitsRequired(req->username, kMaxName)) return false;
  return openParley("opentempsession/?username=" + esc(req->username) +
                    "&sessionFrom=" + esc(req->sessionFrom));
}

bool PLApi::openWebview(const std::shared_ptr<OpenWebviewReq>& req) {
  if (!req || !fitsRequired(req->url, kMaxWebviewUrl)) return false;
  return openParley("openwebview/?url=" + plApi_stringByEncodeUrl(req->url));
}

bool PLApi::openRankList(const std::shared_ptr<OpenRankListReq>& req) {
  if (!req) return false;
  return openParley("openranklist/");
}

bool PLApi::createChatRoom(const std::shared_ptr<CreateChatRoomReq>& req) {
  if (!req || !fitsRequired(req->groupId, kMaxName) || !fits(req->chatRoomName, kMaxChatRoomName) ||
      !fits(req->chatRoomNickName, kMaxChatRoomName) || !fits(req->extMsg, kMaxExtMsg)) {
    return false;
  }
  std::string path = "createchatroom/?groupid=" + esc(req->groupId);
  if (!req->chatRoomName.empty()) path += "&chatroomname=" + esc(req->chatRoomName);
  if (!req->chatRoomNickName.empty()) path += "&chatroomnickname=" + esc(req->chatRoomNickName);
  if (!req->extMsg.empty()) path += "&extmsg=" + esc(req->extMsg);
  return openParley(path);
}

bool PLApi::joinChatRoom(const std::shared_ptr<JoinChatRoomReq>& req) {
  if (!req || !fitsRequired(req->groupId, kMaxName) || !fits(req->chatRoomNickName, kMaxName) ||
      !fits(req->extMsg, kMaxExtMsg)) {
    return false;
  }
  std::string path = "joinchatroom/?groupid=" + esc(req->groupId);
  if (!req->chatRoomNickName.empty()) path += "&chatroomnickname=" + esc(req->chatRoomNickName);
  if (!req->extMsg.empty()) path += "&extmsg=" + esc(req->extMsg);
  return openParley(path);
}

bool PLApi::openProfile(const std::shared_ptr<JumpToBizProfileReq>& req) {
  if (!req || !fitsRequired(req->username, kMaxName) || !fits(req->extMsg, kMaxExtMsg))
    return false;
  std::string path = "openprofile/?username=" + esc(req->username) +
                     "&profiletype=" + std::to_string(req->profileType);
  if (!req->extMsg.empty()) path += "&extmsg=" + esc(req->extMsg);
  return openParley(path);
}

bool PLApi::jumpToBizWebview(const std::shared_ptr<JumpToBizWebviewReq>& req) {
  if (!req || req->webType != 0 || !fitsRequired(req->tousrname, kMaxName) ||
      !fits(req->extMsg, kMaxExtMsg)) {
    return false;
  }
  std::string path = "jumptobizwebview/?webtype=" + std::to_string(req->webType) +
                     "&tousername=" + esc(req->tousrname);
  if (!req->extMsg.empty()) path += "&extmsg=" + esc(req->extMsg);
  return openParley(path);
}

bool PLApi::addCardToPLCardPackageReq(const std::shared_ptr<AddCardToPLCardPackageReq>& req) {
  if (!req || req->cardAry.empty() || req->cardAry.size() > kMaxCards) return false;
  nlohmann::json cards = nlohmann::json::object();
  for (size_t i = 0; i < req->cardAry.size(); ++i) {
    const auto& item = req->cardAry[i];
    if (!item || !fitsRequired(item->cardId, kMaxName) || !fits(item->extMsg, kMaxExtMsg))
      return false;
    // Text that is not UTF-8 cannot stand in JSON: the request is invalid.
    if (!NSString::isValidUTF8(item->cardId) || !NSString::isValidUTF8(item->extMsg)) return false;
    cards["id" + std::to_string(i)] = item->cardId;
    cards["ext" + std::to_string(i)] = item->extMsg;
  }
  // The JSON text is escaped as one query value, so that an "&" or "#" in a
  // card cannot cut the URL short.
  return openParley("cardpackage/?" + esc(cards.dump(2)));
}

bool PLApi::sendAuthReq(const std::shared_ptr<SendAuthReq>& req,
                        const std::shared_ptr<UIViewController>& viewController,
                        const std::shared_ptr<PLApiDelegate>& delegate) {
  if (!req) return false;
  if (isPLAppInstalled()) return sendReq(req);
  std::string id = appId();
  // Without a registered AppID the web login could only fail on Parley's
  // pages: refuse it here.
  if (id.empty()) return false;
  return WapAuthHandler::shareWapAuthHandlerInstance()->beginWapAuth(req, viewController, id,
                                                                     delegate);
}

bool PLApi::sendReq(const std::shared_ptr<BaseReq>& req) {
  if (!req) return false;
  if (auto r = std::dynamic_pointer_cast<SendAuthReq>(req)) return auth(r);
  if (auto r = std::dynamic_pointer_cast<PayReq>(req)) return pay(r);
  if (auto r = std::dynamic_pointer_cast<HBReq>(req)) return sendHBReq(r);
  if (auto r = std::dynamic_pointer_cast<JumpToBizProfileReq>(req)) return openProfile(r);
  if (auto r = std::dynamic_pointer_cast<JumpToBizWebviewReq>(req)) return jumpToBizWebview(r);
  if (auto r = std::dynamic_pointer_cast<AddCardToPLCardPackageReq>(req))
    return addCardToPLCardPackageReq(r);
  if (auto r = std::dynamic_pointer_cast<OpenTempSessionReq>(req)) return openTempSession(r);
  if (auto r = std::dynamic_pointer_cast<OpenWebviewReq>(req)) return openWebview(r);
  if (auto r = std::dynamic_pointer_cast<OpenRankListReq>(req)) return openRankList(r);
  if (auto r = std::dynamic_pointer_cast<CreateChatRoomReq>(req)) return createChatRoom(r);
  if (auto r = std::dynamic_pointer_cast<JoinChatRoomReq>(req)) return joinChatRoom(r);
  auto saved = AppCommunicate::savePasteboards();
  return openPacked(saved, packReq(req));
}

bool PLApi::sendResp(const std::shared_ptr<BaseResp>& resp) {
  if (!resp) return false;
  auto saved = AppCommunicate::savePasteboards();
  return openPacked(saved, packResp(resp));
}
