#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/Value.h"

// ReportStrategy: how an event that is not real-time is routed.
enum ReportStrategy : int32_t {
  PLOSTAT_SEND_INSTANTLY = 1,      // send now
  PLOSTAT_BATCH = 2,               // store; send minBatchReportCount once that many wait
  PLOSTAT_APP_LAUNCH = 3,          // store; send all at start and at each new session (default)
  PLOSTAT_ONLY_WIFI = 4,           // send now on Wi-Fi, else store
  PLOSTAT_PERIOD = 5,              // store; send all every sendPeriodMinutes
  PLOSTAT_DEVELOPER = 6,           // store only, until the host commits
  PLOSTAT_ONLY_WIFI_NO_CACHE = 7,  // on Wi-Fi send without storing, else drop
};

// Every setting of the statistics module, with its default.
//
// One process-wide instance (getInstance), made on first use. Settings are read from every
// thread and queue of the module without further locking: numbers and flags are atomics,
// and a text setting is replaced as a whole under a lock of its own, so a reader always
// sees either the old or the new text. A text setting that is "" counts as not set (nil).
class PLOStatConfig {
 public:
  static std::shared_ptr<PLOStatConfig> getInstance();
  // Tests: a fresh instance with the defaults, as at the start of a new process.
  static void resetForTesting();

  PLOStatConfig() = default;

  bool debugEnable() const { return debugEnable_; }
  void setDebugEnable(bool v) { debugEnable_ = v; }
  uint32_t sessionTimeoutSecs() const { return sessionTimeoutSecs_; }
  void setSessionTimeoutSecs(uint32_t v) { sessionTimeoutSecs_ = v; }
  int32_t reportStrategy() const { return reportStrategy_; }
  void setReportStrategy(int32_t v) { reportStrategy_ = v; }
  std::string appkey() const { return text(appkey_); }
  void setAppkey(const std::string& v) { setText(appkey_, v); }
  std::string channel() const { return text(channel_); }
  void setChannel(const std::string& v) { setText(channel_, v); }
  uint32_t maxStoreEventCount() const { return maxStoreEventCount_; }
  void setMaxStoreEventCount(uint32_t v) { maxStoreEventCount_ = v; }
  uint32_t maxLoadEventCount() const { return maxLoadEventCount_; }
  void setMaxLoadEventCount(uint32_t v) { maxLoadEventCount_ = v; }
  uint32_t minBatchReportCount() const { return minBatchReportCount_; }
  void setMinBatchReportCount(uint32_t v) { minBatchReportCount_ = v; }
  uint32_t maxSendRetryCount() const { return maxSendRetryCount_; }
  void setMaxSendRetryCount(uint32_t v) { maxSendRetryCount_ = v; }
  uint32_t sendPeriodMinutes() const { return sendPeriodMinutes_; }
  void setSendPeriodMinutes(uint32_t v) { sendPeriodMinutes_ = v; }
  uint32_t maxParallelTimingEvents() const { return maxParallelTimingEvents_; }
  void setMaxParallelTimingEvents(uint32_t v) { maxParallelTimingEvents_ = v; }
  bool smartReporting() const { return smartReporting_; }
  void setSmartReporting(bool v) { smartReporting_ = v; }
  // Longest event JSON text, in UTF-16 units, that is stored or sent (error events exempt).
  uint32_t maxReportEventLength() const { return maxReportEventLength_; }
  void setMaxReportEventLength(uint32_t v) { maxReportEventLength_ = v; }
  std::string qq() const { return text(qq_); }
  void setQq(const std::string& v) { setText(qq_, v); }
  std::string account() const { return text(account_); }
  void setAccount(const std::string& v) { setText(account_, v); }
  int8_t accountType() const { return accountType_; }
  void setAccountType(int8_t v) { accountType_ = v; }
  std::string accountExt() const { return text(accountExt_); }
  void setAccountExt(const std::string& v) { setText(accountExt_, v); }
  bool statEnable() const { return statEnable_; }
  void setStatEnable(bool v) { statEnable_ = v; }
  std::string customerUserID() const { return text(customerUserID_); }
  void setCustomerUserID(const std::string& v) { setText(customerUserID_, v); }
  std::string customerAppVersion() const { return text(customerAppVersion_); }
  void setCustomerAppVersion(const std::string& v) { setText(customerAppVersion_, v); }
  std::string ifa() const { return text(ifa_); }
  void setIfa(const std::string& v) { setText(ifa_, v); }
  std::string pushDeviceToken() const { return text(pushDeviceToken_); }
  void setPushDeviceToken(const std::string& v) { setText(pushDeviceToken_, v); }
  // "" means the built-in report endpoint.
  std::string statReportURL() const { return text(statReportURL_); }
  void setStatReportURL(const std::string& v) { setText(statReportURL_, v); }
  // Events routed per session; below 1 means no limit.
  int32_t maxSessionStatReportCount() const { return maxSessionStatReportCount_; }
  void setMaxSessionStatReportCount(int32_t v) { maxSessionStatReportCount_ = v; }
  std::string op() const { return text(op_); }
  void setOp(const std::string& v) { setText(op_, v); }
  std::string cn() const { return text(cn_); }
  void setCn(const std::string& v) { setText(cn_, v); }
  std::string sp() const { return text(sp_); }
  void setSp(const std::string& v) { setText(sp_, v); }

  // The value of key in the server's app configuration, or def when it has none.
  Value getCustomProperty(const std::string& key, const Value& def) const;

 private:
  std::string text(const std::string& slot) const;
  void setText(std::string& slot, const std::string& v);

  mutable std::mutex textMutex_;
  std::atomic<bool> debugEnable_{false};
  std::atomic<uint32_t> sessionTimeoutSecs_{30};
  std::atomic<int32_t> reportStrategy_{PLOSTAT_APP_LAUNCH};
  std::string appkey_;
  std::string channel_ = "appstore";
  std::atomic<uint32_t> maxStoreEventCount_{1024};
  std::atomic<uint32_t> maxLoadEventCount_{30};
  std::atomic<uint32_t> minBatchReportCount_{30};
  std::atomic<uint32_t> maxSendRetryCount_{3};
  std::atomic<uint32_t> sendPeriodMinutes_{1440};
  std::atomic<uint32_t> maxParallelTimingEvents_{1024};
  std::atomic<bool> smartReporting_{true};
  std::atomic<uint32_t> maxReportEventLength_{4096};
  std::string qq_;
  std::string account_;
  std::atomic<int8_t> accountType_{0};
  std::string accountExt_;
  std::atomic<bool> statEnable_{true};
  std::string customerUserID_;
  std::string customerAppVersion_;
  std::string ifa_;
  std::string pushDeviceToken_;
  std::string statReportURL_;
  std::atomic<int32_t> maxSessionStatReportCount_{-1};
  std::string op_;
  std::string cn_;
  std::string sp_;
};

// The module's debug log: while debugEnable is on, logs "[STAT]: " and the message formatted
// like NSLog; otherwise does nothing. Every message of the module goes through it.
template <class... A>
void PLOStatLog(std::string_view fmt, const A&... args) {
  if (!PLOStatConfig::getInstance()->debugEnable()) return;
  NSLogSink::write("[STAT]: " + NSString::stringWithFormat(fmt, args...));
}
