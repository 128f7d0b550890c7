#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "parley/PLTypes.h"
#include "platform/foundation/Value.h"

class BaseReq;
class BaseResp;
class PLAuthInternal;
class PLMediaInternalMessage;
class PLMediaMessage;
class PLMediaObject;
class SendAuthReq;
class SendAuthResp;

// One command dictionary travelling between the app and Parley, and its
// translation to and from request and response objects.
//
// The dictionary holds only strings (numbers as decimal text) and data.
// Writers (the Make* operations, ReqToData and RespToData) check every limit
// before they write anything and fail as a whole: on failure the dictionary,
// the command and fileData are as they were before the call. Lengths are in
// UTF-16 units, data in bytes. Readers answer nullptr for a wrong command, a
// missing required key or a value over its limit.
// One object per message, used on one thread at a time.
class AppCommunicateData {
 public:
  // Limits of the command dictionary.
  static constexpr size_t kMaxScope = 1024;
  static constexpr size_t kMaxState = 1024;
  static constexpr size_t kMaxTitle = 512;
  static constexpr size_t kMaxText = 10240;
  static constexpr size_t kMaxDescription = 1024;
  static constexpr size_t kMaxThumbBytes = 32768;
  static constexpr size_t kMaxTagName = 64;
  static constexpr size_t kMaxMessageExt = 2048;
  static constexpr size_t kMaxMessageAction = 2048;
  static constexpr size_t kMaxUrl = 10240;
  static constexpr size_t kMaxExtInfo = 2048;
  static constexpr size_t kMaxFileExt = 64;
  static constexpr size_t kMaxFileBytes = 10485760;

  // Command 0, no dictionary, result 1, returnFromApp false, scene 0.
  AppCommunicateData();
  // From a dictionary read from a pasteboard: result 0, then the fields that
  // are present. A dictionary without "command" leaves command 0 and no
  // dictionary, and nothing else is read.
  explicit AppCommunicateData(const Value& propertList);

  // The command dictionary; nil until a writer or the reading constructor
  // made one.
  const Value& propertList() const { return propertList_; }
  unsigned long command() const { return command_; }
  const std::string& openID() const { return openID_; }
  const std::string& sdkVer() const { return sdkVer_; }
  const std::string& lang() const { return lang_; }
  const std::string& country() const { return country_; }

  // Starts a new dictionary with the common fields: "command",
  // "returnFromApp", "result", "account" (when set) and "sdkver".
  void initCommonField(unsigned long command);
  bool MakeCommand(unsigned long command);

  std::shared_ptr<PLAuthInternal> authRequest() const;
  bool MakeAuthRequest(const std::shared_ptr<SendAuthReq>& req);
  std::shared_ptr<SendAuthResp> authResp() const;
  bool MakeAuthResp(const std::shared_ptr<SendAuthResp>& resp);
  // The text of a command 1020; nullopt for another command or over 10240.
  std::optional<std::string> textMessage() const;
  bool MakeTextMessage(const std::string& text);
  std::shared_ptr<PLMediaMessage> mediaMessage() const;
  bool MakeLinkObject(const std::shared_ptr<PLMediaObject>& object);
  bool MakeMediaMessage(const std::shared_ptr<PLMediaMessage>& message);
  std::shared_ptr<PLMediaInternalMessage> mediaInternalMessage() const;
  bool MakeMediaInternalMessage(const std::shared_ptr<PLMediaInternalMessage>& message);

  std::shared_ptr<BaseReq> DataToReq() const;
  std::shared_ptr<BaseResp> DataToResp() const;
  bool ReqToData(const std::shared_ptr<BaseReq>& req);
  bool ReqToData(const std::shared_ptr<BaseReq>& req,
                 const std::shared_ptr<PLMediaInternalMessage>& internal);
  bool RespToData(const std::shared_ptr<BaseResp>& resp);

  // File bytes kept beside the dictionary on systems before 7.
  std::vector<uint8_t> fileData;
  bool returnFromApp = false;
  int result = 1;
  int scene = 0;
  std::string conversationAccount;

 private:
  // What a failed writer puts back.
  struct Snapshot {
    unsigned long command = 0;
    Value propertList;
    std::vector<uint8_t> fileData;
  };
  Snapshot snapshot() const;
  void restore(Snapshot s);
  void writeFileBytes(const std::vector<uint8_t>& bytes);
  void writeLocale(const std::string& openID, const std::string& lang, const std::string& country);

  unsigned long command_ = 0;
  Value propertList_;
  std::string openID_;
  std::string sdkVer_;
  std::string lang_;
  std::string country_;
};
