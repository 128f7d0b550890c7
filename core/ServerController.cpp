#include "core/ServerController.h"

#include "core/Config.h"
#include "core/EncDec.h"
#include "core/JsonReader.h"
#include "core/Tgid.h"
#include "core/Time.h"
#include "core/Web.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"

namespace {

// A dictionary value as %@ writes it into a request: text as it is, numbers without ".0".
std::string textOf(const Value& v) {
  return v.isString() || v.isNumber() ? v.str() : v.description();
}

void addKeys(ServerController::Params& params, const Value& dict) {
  for (const auto& [key, value] : dict.dictValue()) {
    if (!value.isNil()) params[key] = textOf(value);
  }
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Appends a raw value with "%", "&" and "+" escaped.
void appendEscaped(std::string& out, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '&':
        out += "%26";
        break;
      case '+':
        out += "%2B";
        break;
      default:
        out.push_back(c);
    }
  }
}

// Appends a value whose caller percent-escaped it: its escapes stay, the rest is protected.
void appendEscapedEscaped(std::string& out, const std::string& value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '%' && i + 2 < value.size() && isHexDigit(value[i + 1]) && isHexDigit(value[i + 2])) {
      out.push_back(c);  // the caller's escape: the server decodes it into the character
    } else if (c == '%') {
      out += "%25";
    } else if (c == '&') {
      out += "%26";
    } else if (c == '+') {
      out += "%2B";
    } else {
      out.push_back(c);
    }
  }
}

}  // namespace

std::string ServerController::escapeValue(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  appendEscaped(out, value);
  return out;
}

std::string ServerController::escapeEscapedValue(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  appendEscapedEscaped(out, value);
  return out;
}

std::string ServerController::parameterString(const Params& params, const Params& escaped) {
  // Both maps are in key order: merge them as they are written, the escaped value winning.
  std::string out;
  out.reserve(128);
  auto raw = params.begin();
  auto kept = escaped.begin();
  while (raw != params.end() || kept != escaped.end()) {
    if (!out.empty()) out.push_back('&');
    const bool takeKept =
        kept != escaped.end() && (raw == params.end() || kept->first <= raw->first);
    if (takeKept) {
      if (raw != params.end() && raw->first == kept->first) ++raw;
      out += kept->first;
      out.push_back('=');
      appendEscapedEscaped(out, kept->second);
      ++kept;
    } else {
      out += raw->first;
      out.push_back('=');
      appendEscaped(out, raw->second);
      ++raw;
    }
  }
  return out;
}

std::optional<std::string> ServerController::jiami(const std::string& params) {
  std::string signing;
  signing.reserve(params.size() + 16);
  signing += params;
  signing += Config::kSignKey;
  std::string signedText;
  signedText.reserve(params.size() + 6 + 32);
  signedText += params;
  signedText += "&sign=";
  signedText += EncDec::md5(signing);
  return EncDec::encryptUseDES(signedText);
}

bool ServerController::movesMoneyOrGoods(const std::string& api) {
  return api == "exchangePTB" || api == "tbkToGold" || api == "getCard" || api == "get_cash" ||
         api == "add_user_alipay";
}

std::optional<std::string> ServerController::requestData(const std::string& api, Params params,
                                                         const Params& escaped) {
  params["api"] = api;
  params["tgid"] = Tgid::gettgid();
  return jiami(parameterString(params, escaped));
}

Value ServerController::send(const std::string& api, Params params, const Params& escaped) {
  const auto data = requestData(api, std::move(params), escaped);
  if (!data) {
    // Nothing can be sent: to the player this is a call that failed like one without a reply.
    NSLog("%@", "request to " + api + " too long to encipher; not sent");
    Web::showNetworkAlert();
    return Value();
  }
  // A call that moves money or goods must not be repeated behind the player's back.
  const auto body = movesMoneyOrGoods(api) ? Web::httpRequestOnce(Config::apiEndpoint(), *data)
                                           : Web::httpRequest(Config::apiEndpoint(), *data);
  if (!body) return Value();  // the transport has shown the network alert
  auto reply = JsonReader::parse(*body);
  // A reply is a JSON object or array, as the platform's JSON reader would accept it; anything
  // else is no reply, and the player is told just as when none came.
  if (!reply || !(reply->isDict() || reply->isArray())) {
    NSLog("%@", "unusable reply to " + api);
    Web::showNetworkAlert();
    return Value();
  }
  return std::move(*reply);
}

bool ServerController::loginSucceeded(const Value& reply) {
  if (!reply["state"].isEqualToString("ok")) return false;
  const Value& data = reply["data"];
  auto filled = [&](const char* key) {
    const Value& v = data[key];
    return (v.isString() || v.isNumber()) && !v.str().empty();
  };
  return data.isDict() && filled("username") && filled("token");
}

Value ServerController::loginWithUsername(const std::string& username,
                                          const std::string& password) {
  return send("login", {{"password", password}, {"username", username}});
}

std::string ServerController::exchangeOrderId(const std::string& username,
                                              int64_t secondsSince1970) {
  const std::string t = std::to_string(secondsSince1970) + "000";
  return username + t + EncDec::md5(username + t).substr(0, 6);
}

Value ServerController::huanPingTaiBiWithQxusername(
    const std::string& qxusername, const std::string& token, const std::string& username,
    const std::string& platid, const std::string& amount, const std::string& type) {
  return send("exchangePTB", {{"amount", amount},
                              {"orderid", exchangeOrderId(qxusername, Time::getCurrentTime())},
                              {"plat_id", platid},
                              {"recipient", username},
                              {"token", token},
                              {"type", type},
                              {"username", qxusername}});
}

Value ServerController::getPingTaiBiYuEWithQxusername(const std::string& qxusername,
                                                      const std::string& token,
                                                      const std::string& username,
                                                      const std::string& platid) {
  return send(
      "getptbRemain",
      {{"plat_id", platid}, {"plat_user", username}, {"token", token}, {"username", qxusername}});
}

Value ServerController::getGamelistWithParams(const Value& params) {
  Params extra;
  addKeys(extra, params);
  return send("getGameList", {{"c_t", "i"}}, extra);
}

Value ServerController::getAllGameListWithPage(int page, const Value& params,
                                               const std::string& is_special) {
  Params p{{"page", std::to_string(page)}, {"lb", "1"}, {"c_t", "i"}};
  if (is_special != "(null)") p["is_special"] = is_special;
  Params extra;
  addKeys(extra, params);
  return send("getGameList", std::move(p), extra);
}

Value ServerController::getLibaoListWithPage(int page, const Value& params) {
  Params extra;
  addKeys(extra, params);
  return send("getCardList", {{"page", std::to_string(page)}, {"c_t", "i"}}, extra);
}

Value ServerController::lingLibaoWithCardid(const std::string& cardid,
                                            const std::string& qxusername,
                                            const std::string& token) {
  return send("getCard", {{"cardid", cardid}, {"token", token}, {"username", qxusername}});
}

Value ServerController::getLibaoRecordWithPage(int page, const std::string& qxusername,
                                               const std::string& token) {
  return send("getCardRecord",
              {{"page", std::to_string(page)}, {"token", token}, {"username", qxusername}});
}

Value ServerController::getHotGift() { return send("get_hot_gift", {{"client_type", "2"}}); }

Value ServerController::getTaobaoLink(const std::string& gamename) {
  return send("get_tb_url", {}, {{"gamename", gamename}});
}

Value ServerController::bindToviraWidthQxusername(const std::string& qxusername,
                                                  const std::string& token,
                                                  const std::string& username,
                                                  const std::string& password,
                                                  const std::string& platid) {
  return send("boundQx", {{"password", NSString::lowercaseString(EncDec::md5(password))},
                          {"plat_id", platid},
                          {"qx_username", qxusername},
                          {"token", token},
                          {"username", username}});
}

Value ServerController::unbindToviraWithQxusername(const std::string& qxusername,
                                                   const std::string& qxpassword,
                                                   const std::string& token,
                                                   const std::string& username,
                                                   const std::string& platid) {
  return send("unboundQx", {{"plat_id", platid},
                            {"qx_password", qxpassword},
                            {"qx_username", qxusername},
                            {"token", token},
                            {"username", username}});
}

Value ServerController::getInviteWithQxusername(const std::string& qxusername,
                                                const std::string& token) {
  return send("getInvite_v2", {{"token", token}, {"username", qxusername}});
}

namespace {
ServerController::Params tbkToGoldParams(const std::string& qxusername,
                                         const std::string& qxaccount, const std::string& cardnum,
                                         const std::string& cardpsd, const std::string& token) {
  return {{"getter", qxaccount},
          {"qx_tbk_code", cardnum},
          {"qx_tbk_pwd", cardpsd},
          {"qx_username", qxusername},
          {"token", token}};
}
}  // namespace

Value ServerController::certainGiveMoney(const std::string& qxusername,
                                         const std::string& qxaccount, const std::string& cardnum,
                                         const std::string& cardpsd, const std::string& token) {
  return send("tbkToGold", tbkToGoldParams(qxusername, qxaccount, cardnum, cardpsd, token));
}

bool ServerController::certainGiveMoneyGoesOut(const std::string& qxusername,
                                               const std::string& qxaccount,
                                               const std::string& cardnum,
                                               const std::string& cardpsd,
                                               const std::string& token) {
  return requestData("tbkToGold", tbkToGoldParams(qxusername, qxaccount, cardnum, cardpsd, token))
      .has_value();
}

Value ServerController::getZFBInfo(const std::string& qxusername, const std::string& token) {
  return send("get_alipay_info", {{"token", token}, {"username", qxusername}});
}

Value ServerController::getAlipayTestCode(const std::string& qxusername, const std::string& token) {
  return send("get_code_by_token", {{"token", token}, {"username", qxusername}});
}

Value ServerController::bondAlipay(const std::string& qxusername, const std::string& token,
                                   const std::string& account, const std::string& name,
                                   const std::string& code) {
  return send("add_user_alipay", {{"code", code}, {"token", token}},
              {{"alipay_account", account}, {"alipay_name", name}, {"username", qxusername}});
}

Value ServerController::withdraw(const std::string& qxusername, const std::string& token,
                                 const std::string& amount, const std::string& orderid) {
  return send(
      "get_cash",
      {{"amount", amount}, {"orderid", orderid}, {"token", token}, {"username", qxusername}});
}

Value ServerController::withdrawRecord(const std::string& qxusername, const std::string& token) {
  return send("get_cash_record", {{"token", token}, {"username", qxusername}});
}

Value ServerController::getBalanceListWithQxusername(const std::string& qxusername,
                                                     const std::string& token, int type) {
  return send("balanceList",
              {{"token", token}, {"type", std::to_string(type)}, {"username", qxusername}});
}
