#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/foundation/Value.h"

// The API client: one static member per server call.
//
// Each call builds a parameter string of its keys plus "api" and "tgid" (Tgid::gettgid()), with
// the keys in byte-wise alphabetical order ("api=login&password=…&tgid=…&username=…"), signs and
// enciphers it (jiami), posts it through Web::httpRequest to Config::apiEndpoint(), blocks the
// calling thread until the reply has come, and returns the reply decoded from JSON (a ServerReply:
// "state", "msg", "data"). It returns an absent Value, and the player sees the network alert once,
// when the request could not be enciphered (too long: "DES加密失败" is logged, nothing is sent and
// the alert is shown here), when no usable data came (the transport has shown the alert), or when
// the body is not a JSON object or array (the alert is shown here). Callers show nothing more for
// an absent reply.
//
// Calls that move money or goods (movesMoneyOrGoods) reach the server at most once per call: they
// go out through Web::httpRequestOnce, which never repeats a request on a new connection.
//
// Escaping of values. Most values are raw text: in the parameter string every "%" is written
// "%25", every "&" "%26" and every "+" "%2B", and every other byte goes as it is, so that the
// server's single form-decoding gives back exactly the text the caller passed. Some values are
// percent-escaped by their callers (search names, the Alipay binding's user, account and name,
// the keys of the list calls' dictionaries): those keep their escapes, so that the server decodes
// them into the name itself, and only "&", "+" and a "%" that starts no escape are protected.
// Either way a value never adds keys to the request. Keys are fixed names and are not escaped.
//
// Threads: any thread (list screens call from global queues, the rest from the main thread).
class ServerController {
 public:
  using Params = std::map<std::string, std::string>;

  // The signed and enciphered form of a parameter string: params + "&sign=" +
  // EncDec::md5(params + Config::kSignKey), through EncDec::encryptUseDES. nullopt when it cannot
  // be enciphered.
  static std::optional<std::string> jiami(const std::string& params);
  // Writes the keys in order with their values escaped as described above: `params` holds raw
  // values, `escaped` values that the caller has already percent-escaped; a key in both takes
  // its value from `escaped`.
  static std::string parameterString(const Params& params, const Params& escaped = {});
  // A raw value for the parameter string.
  static std::string escapeValue(const std::string& value);
  // A value the caller has already percent-escaped, for the parameter string.
  static std::string escapeEscapedValue(const std::string& value);
  // The common road of every call: adds "api" and "tgid" to params, then signs, posts and decodes.
  static Value send(const std::string& api, Params params, const Params& escaped = {});
  // The "data" that send posts for these arguments: the parameter string with "api" and "tgid",
  // signed and enciphered. nullopt when it cannot be enciphered (too long), and send then posts
  // nothing.
  static std::optional<std::string> requestData(const std::string& api, Params params,
                                                const Params& escaped = {});

  // True for the apis whose calls move money or goods: "exchangePTB", "tbkToGold", "getCard",
  // "get_cash", "add_user_alipay".
  static bool movesMoneyOrGoods(const std::string& api);

  // api "login": "password", "username".
  static Value loginWithUsername(const std::string& username, const std::string& password);
  // True when a login reply logged the player in: "state" "ok" and "data" a dictionary with a
  // non-empty "username" and "token". Any other reply is a failed login, whose "data" must not
  // become UserData.
  static bool loginSucceeded(const Value& reply);

  // api "exchangePTB": "amount", "orderid" (exchangeOrderId of username and now), "plat_id",
  // "recipient" (the game account), "token", "type" (CoinType "2" gold or "3" bound gold),
  // "username" (the app user).
  static Value huanPingTaiBiWithQxusername(const std::string& qxusername, const std::string& token,
                                           const std::string& username, const std::string& platid,
                                           const std::string& amount, const std::string& type);
  // username + T + the first 6 digits of EncDec::md5(username + T), T = seconds + "000".
  static std::string exchangeOrderId(const std::string& username, int64_t secondsSince1970);

  // api "getptbRemain": "plat_id", "plat_user" (the game account), "token", "username".
  static Value getPingTaiBiYuEWithQxusername(const std::string& qxusername,
                                             const std::string& token, const std::string& username,
                                             const std::string& platid);
  // The dictionaries of the list calls hold values that the caller has percent-escaped.
  // api "getGameList": "c_t" "i", then the caller's keys (a dictionary), which replace it.
  static Value getGamelistWithParams(const Value& params);
  // api "getGameList": "page", "lb" "1", "c_t" "i", "is_special" (left out when it is "(null)"),
  // then the caller's keys over them.
  static Value getAllGameListWithPage(int page, const Value& params, const std::string& is_special);
  // api "getCardList": "page", "c_t" "i", then the caller's keys over them.
  static Value getLibaoListWithPage(int page, const Value& params);
  // api "getCard": "cardid", "token", "username".
  static Value lingLibaoWithCardid(const std::string& cardid, const std::string& qxusername,
                                   const std::string& token);
  // api "getCardRecord": "page", "token", "username".
  static Value getLibaoRecordWithPage(int page, const std::string& qxusername,
                                      const std::string& token);
  // api "get_hot_gift": "client_type" "2".
  static Value getHotGift();
  // api "get_tb_url": "gamename" (already percent-escaped by the caller; its escapes are kept).
  static Value getTaobaoLink(const std::string& gamename);
  // api "boundQx": "password" (lower-case MD5 of the game password), "plat_id", "qx_username"
  // (the app user), "token", "username" (the game account).
  static Value bindToviraWidthQxusername(const std::string& qxusername, const std::string& token,
                                         const std::string& username, const std::string& password,
                                         const std::string& platid);
  // api "unboundQx": "plat_id", "qx_password" (plain), "qx_username", "token", "username".
  static Value unbindToviraWithQxusername(const std::string& qxusername,
                                          const std::string& qxpassword, const std::string& token,
                                          const std::string& username, const std::string& platid);
  // api "getInvite_v2": "token", "username".
  static Value getInviteWithQxusername(const std::string& qxusername, const std::string& token);
  // api "tbkToGold": "getter", "qx_tbk_code", "qx_tbk_pwd", "qx_username", "token".
  static Value certainGiveMoney(const std::string& qxusername, const std::string& qxaccount,
                                const std::string& cardnum, const std::string& cardpsd,
                                const std::string& token);
  // Whether certainGiveMoney with these texts sends a request at all: a nil reply is the same
  // whether the request was too long to encipher or went out and got no answer.
  static bool certainGiveMoneyGoesOut(const std::string& qxusername, const std::string& qxaccount,
                                      const std::string& cardnum, const std::string& cardpsd,
                                      const std::string& token);
  // api "get_alipay_info": "token", "username".
  static Value getZFBInfo(const std::string& qxusername, const std::string& token);
  // api "get_code_by_token": "token", "username".
  static Value getAlipayTestCode(const std::string& qxusername, const std::string& token);
  // api "add_user_alipay": "alipay_account", "alipay_name", "code", "token", "username". The
  // caller percent-escapes user name, account and name; their escapes are kept.
  static Value bondAlipay(const std::string& qxusername, const std::string& token,
                          const std::string& account, const std::string& name,
                          const std::string& code);
  // api "get_cash": "amount", "orderid", "token", "username".
  static Value withdraw(const std::string& qxusername, const std::string& token,
                        const std::string& amount, const std::string& orderid);
  // api "get_cash_record": "token", "username".
  static Value withdrawRecord(const std::string& qxusername, const std::string& token);
  // api "balanceList": "token", "type" (CoinType 2 or 3), "username".
  static Value getBalanceListWithQxusername(const std::string& qxusername, const std::string& token,
                                            int type);
};
