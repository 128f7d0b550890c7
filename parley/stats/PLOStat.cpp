#include "parley/stats/PLOStat.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "parley/stats/PLOStatAccountEvent.h"
#include "parley/stats/PLOStatAdditionEvent.h"
#include "parley/stats/PLOStatAppMonitorStat.h"
#include "parley/stats/PLOStatCommonUDID.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatCustomEvent.h"
#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatErrorEvent.h"
#include "parley/stats/PLOStatGameUserEvent.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatKeyChain.h"
#include "parley/stats/PLOStatMonitorStatEvent.h"
#include "parley/stats/PLOStatPageView.h"
#include "parley/stats/PLOStatReachability.h"
#include "parley/stats/PLOStatSessionEnv.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIApplication.h"

// Lets the module's free functions route events through the singleton.
struct PLOStatAccess {
  static void route(PLOStat& stat, const std::shared_ptr<PLOStatEvent>& event) {
    stat.routeEvent(event);
  }
};

namespace {

constexpr size_t kMaxBufferedEvents = 128;
constexpr const char* kEventIndexKey = "STAT.EventIndex.Key";
constexpr const char* kSentStampKey = "STAT_SDK_DATA_SENT_TS";
constexpr const char* kNotStarted = "[WARN]STAT's init method is NOT invoked.";

// The singleton, and the lock held while it is made (the class lock).
struct Singleton {
  std::mutex createMutex;
  std::mutex mutex;
  std::shared_ptr<PLOStat> instance;
};
Singleton& singleton() {
  static Singleton s;
  return s;
}

std::shared_ptr<PLOStat> existingInstance() {
  std::lock_guard lock(singleton().mutex);
  return singleton().instance;
}

// The session variables, the per-session count and the addition-event flag, kept consistent
// under one lock.
struct Session {
  std::mutex mutex;
  uint32_t sessionId = 0;
  uint32_t lastActive = 0;
  int64_t nextMidnight = 0;
  uint32_t reportCount = 0;
  bool additionSent = false;
};
Session& session() {
  static Session s;
  return s;
}

// The module's own generator of session ids: seeded once per process, never shared with the
// app's random numbers. Reseeding the shared generator with the current second at every new id
// would give two sessions begun within one second the same id (a wrong result: the server would
// merge them), could give 0 (no session), and would reset the app's own random sequence.
uint32_t drawSessionId() {
  static std::mutex mutex;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard lock(mutex);
  std::uniform_int_distribution<uint32_t> ids(1, 0x7fffffff);
  return ids(generator);
}

// Open page views and open timed events, each under its own lock.
struct TimingTable {
  std::mutex mutex;
  bool created = false;
  std::map<std::string, uint32_t> starts;
};
TimingTable& pageTable() {
  static TimingTable t;
  return t;
}
TimingTable& eventTable() {
  static TimingTable t;
  return t;
}

struct PreStartBuffer {
  std::mutex mutex;
  std::vector<std::shared_ptr<PLOStatEvent>> events;
};
PreStartBuffer& buffer() {
  static PreStartBuffer b;
  return b;
}

std::shared_ptr<PLOStatConfig> config() { return PLOStatConfig::getInstance(); }

uint32_t nowSeconds() { return static_cast<uint32_t>(RunLoop::main().now()); }

// Whole seconds from start to now, at least 1, even when the clock was set back meanwhile: the
// unsigned difference would otherwise wrap to a duration of some 136 years (a wrong result).
uint32_t durationSince(uint32_t start, uint32_t now) { return now > start ? now - start : 1; }

bool gateS() { return config()->statEnable(); }
bool gateK() { return PLOStatHelper::getInstance()->checkStatEnable(); }

// The start of the device's next local day after now: its own time zone, as the user type's day
// and "tz" use, not the time zone this process happens to run in.
int64_t nextMidnightAfter(uint32_t now) {
  NSDateFormatter formatter;  // starts in the device's time zone
  formatter.setLocale("en_US_POSIX");
  formatter.setDateFormat("H m s");
  int hour = 0, minute = 0, second = 0;
  if (std::sscanf(formatter.stringFromDate(now).c_str(), "%d %d %d", &hour, &minute, &second) != 3)
    hour = minute = second = 0;
  return static_cast<int64_t>(now) + 86400 - (hour * 3600 + minute * 60 + second);
}

// A new session id: the per-session count starts again and the next midnight is computed.
// Call with the session lock held.
uint32_t newSessionIdLocked(uint32_t now) {
  session().reportCount = 0;
  session().nextMidnight = nextMidnightAfter(now);
  return drawSessionId();
}

std::string customTimingKey(const std::string& eventId, const Value& args) {
  std::string key = eventId + "[";
  for (const auto& arg : args.arrayValue()) key += arg.description();
  return key;
}

std::string keyValueTimingKey(const std::string& eventId, const Value& props) {
  std::string key = eventId + "{";
  for (const auto& [k, v] : props.dictValue()) key += k + v.description();
  return key;
}

void submit(const std::shared_ptr<PLOStatEvent>& event);
uint32_t sessionCheck(bool idleTest, const std::string& appkey, bool isRealTime);

void additionEventStep(bool forced, const std::string& appkey, bool isRealTime) {
  if (!config()->statEnable()) return;
  uint32_t sid;
  {
    std::lock_guard lock(session().mutex);
    if (!forced && session().additionSent) return;
    session().additionSent = true;
    sid = session().sessionId;
  }
  if (config()->qq().empty()) return;
  auto event = std::make_shared<PLOStatAdditionEvent>();
  event->setSid(sid);
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  submit(event);
}

void newSessionStep(uint32_t sid, const std::string& appkey, bool isRealTime) {
  if (sid != 0 && config()->reportStrategy() == PLOSTAT_APP_LAUNCH) {
    PLOStatStore::getInstance()->sendCachedEvents(-1);
  }
  auto event = std::make_shared<PLOStatSessionEnv>();
  event->setSid(sid);
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  submit(event);
  additionEventStep(true, appkey, false);
}

// Starts a new session when the app was idle too long (with the idle test) or a new local day
// began, and answers the current session id.
uint32_t sessionCheck(bool idleTest, const std::string& appkey, bool isRealTime) {
  std::vector<uint32_t> started;
  uint32_t current;
  {
    std::lock_guard lock(session().mutex);
    auto& s = session();
    const uint32_t now = nowSeconds();
    if (idleTest && now - s.lastActive >= config()->sessionTimeoutSecs()) {
      s.sessionId = newSessionIdLocked(now);
      started.push_back(s.sessionId);
    }
    if (static_cast<int64_t>(now) >= s.nextMidnight) {
      s.sessionId = newSessionIdLocked(now);
      started.push_back(s.sessionId);
    }
    s.lastActive = now;
    if (s.sessionId == 0) {
      PLOStatLog("session == 0");
      s.sessionId = newSessionIdLocked(now);
      started.push_back(s.sessionId);
    }
    current = s.sessionId;
  }
  // The new-session steps submit events of their own: run them with no lock held.
  for (uint32_t sid : started) newSessionStep(sid, appkey, isRealTime);
  return current;
}

// Gives the event its session, app key and real-time flag, then submits it.
void prepareAndSubmit(const std::shared_ptr<PLOStatEvent>& event, const std::string& appkey,
                      bool isRealTime) {
  event->setSid(sessionCheck(false, appkey, isRealTime));
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  submit(event);
}

void submit(const std::shared_ptr<PLOStatEvent>& event) {
  auto stat = existingInstance();
  if (!stat) {
    PLOStatLog(kNotStarted);
    std::lock_guard lock(buffer().mutex);
    if (buffer().events.size() < kMaxBufferedEvents) {
      buffer().events.push_back(event);
    } else {
      PLOStatLog("[ERROR]Too many cached sending events befor STAT started.");
    }
    return;
  }
  {
    // Buffered events go first, in the order they came.
    std::lock_guard lock(buffer().mutex);
    for (const auto& waiting : buffer().events) PLOStatAccess::route(*stat, waiting);
    buffer().events.clear();
  }
  PLOStatAccess::route(*stat, event);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The singleton

std::shared_ptr<PLOStat> PLOStat::getInstance() {
  std::lock_guard create(singleton().createMutex);
  if (auto existing = existingInstance()) return existing;
  auto stat = std::make_shared<PLOStat>();
  {
    std::lock_guard lock(singleton().mutex);
    singleton().instance = stat;
  }
  stat->observeApplication();
  return stat;
}

PLOStat::PLOStat() : queue_(std::make_unique<DispatchQueue>("ParleyAnalysis")) {
  auto helper = PLOStatHelper::getInstance();
  helper->setStatEnableFlag(true);
  auto store = PLOStatStore::getInstance();
  PLOStatDataConfigHolder::initSingleton([] {});
  helper->getUser();
  store->launch();
  if (config()->reportStrategy() == PLOSTAT_APP_LAUNCH) store->sendCachedEvents(-1);
  config()->setPushDeviceToken(helper->getPushDeviceTokenItem());
}

PLOStat::~PLOStat() {
  for (auto token : observerTokens_)
    NSNotificationCenter::defaultCenter().removeObserverWithToken(token);
}

void PLOStat::observeApplication() {
  auto& center = NSNotificationCenter::defaultCenter();
  auto on = [&](const std::string& name, std::function<void()> handler) {
    observerTokens_.push_back(center.addObserverForName(
        name, [handler = std::move(handler)](const Value&) { handler(); }));
  };
  on(UIApplicationWillTerminateNotification, [] {
    PLOStatLog("STAT shutdown.");
    PLOStatStore::getInstance()->close();
    // Indices keep rising across launches: the next one starts 100 above this.
    if (const uint64_t index = PLOStatHelper::currentIndex(); index != 0) {
      PLOStatKeyChain::save(kEventIndexKey, Value(static_cast<unsigned long long>(index)));
    }
  });
  on(UIApplicationWillResignActiveNotification, [] {
    if (!gateS()) return;
    sessionCheck(false, "", false);
    auto stat = existingInstance();
    const std::string page = stat ? stat->statCurrentPage() : "";
    if (!page.empty()) {
      PLOStatLog("nil != [[STAT getInstance] currentPage] ,currentPage is %@", page);
      trackDirectPageViewEnd(page, "", false);
    }
  });
  on(UIApplicationDidEnterBackgroundNotification, [] {
    if (gateS()) sessionCheck(false, "", false);
  });
  on(UIApplicationDidBecomeActiveNotification, [] {
    if (!gateS()) return;
    sessionCheck(true, "", false);
    auto stat = existingInstance();
    const std::string page = stat ? stat->statCurrentPage() : "";
    if (!page.empty()) trackDirectPageViewBegin(page, "");
  });
  on(UIApplicationWillEnterForegroundNotification, [] {
    if (gateS()) sessionCheck(true, "", false);
  });
}

void PLOStat::resetForTesting() {
  std::shared_ptr<PLOStat> stat;
  {
    std::lock_guard create(singleton().createMutex);
    std::lock_guard lock(singleton().mutex);
    stat.swap(singleton().instance);
  }
  if (stat) {
    for (auto token : stat->observerTokens_) {
      NSNotificationCenter::defaultCenter().removeObserverWithToken(token);
    }
    stat->observerTokens_.clear();
    stat->queue_->sync([] {});
  }
  // Work hands itself on from queue to queue: let each finish before the next is dropped.
  if (auto holder = PLOStatDataConfigHolder::getInstance()) holder->waitForQueue();
  PLOStatDataConfigHolder::resetForTesting();
  PLOStatStore::getInstance()->waitForQueue();
  PLOStatDispatcher::resetForTesting();
  PLOStatStore::resetForTesting();
  PLOStatHelper::resetForTesting();
  PLOStatCommonUDID::resetForTesting();
  PLOStatConfig::resetForTesting();
  {
    std::lock_guard lock(session().mutex);
    session().sessionId = 0;
    session().lastActive = 0;
    session().nextMidnight = 0;
    session().reportCount = 0;
    session().additionSent = false;
  }
  for (TimingTable* table : {&pageTable(), &eventTable()}) {
    std::lock_guard lock(table->mutex);
    table->created = false;
    table->starts.clear();
  }
  std::lock_guard lock(buffer().mutex);
  buffer().events.clear();
}

uint32_t PLOStat::currentSessionId() {
  std::lock_guard lock(session().mutex);
  return session().sessionId;
}

void PLOStat::waitForQueue() {
  if (auto stat = existingInstance()) stat->queue_->sync([] {});
}

std::string PLOStat::statCurrentPage() const {
  std::lock_guard lock(pageMutex_);
  return statCurrentPage_;
}

std::string PLOStat::lastPage() const {
  std::lock_guard lock(pageMutex_);
  return lastPage_;
}

// ---------------------------------------------------------------------------------------------
// Routing

void PLOStat::routeEvent(const std::shared_ptr<PLOStatEvent>& event) {
  if (!event) {
    PLOStatLog("[WARN]NULL event to report.");
    return;
  }
  {
    std::lock_guard lock(session().mutex);
    const int32_t cap = config()->maxSessionStatReportCount();
    if (cap >= 1 && session().reportCount >= static_cast<uint32_t>(cap)) return;
    ++session().reportCount;
  }
  queue_->async([self = shared_from_this(), event] { self->strategyStep(event); });
}

void PLOStat::strategyStep(const std::shared_ptr<PLOStatEvent>& event) {
  auto settings = config();
  if (!settings->statEnable()) return;
  int32_t strategy = event->isRealTime() ? PLOSTAT_SEND_INSTANTLY : settings->reportStrategy();
  auto reachability = PLOStatReachability::reachabilityForInternetConnection();
  const bool reachable = reachability && reachability->isReachable();
  const bool wifi = reachability && reachability->isReachableViaWiFi();
  auto store = PLOStatStore::getInstance();

  if (strategy != PLOSTAT_ONLY_WIFI_NO_CACHE && !reachable) {
    PLOStatLog("Store event since no active network.");
    store->storeEvent(event, false, nullptr);
    return;
  }
  if (strategy == PLOSTAT_ONLY_WIFI_NO_CACHE && !wifi) {
    PLOStatLog("Disard event since no active wifi network.");
    return;
  }
  if (strategy != PLOSTAT_ONLY_WIFI_NO_CACHE && settings->smartReporting() && wifi) {
    strategy = PLOSTAT_SEND_INSTANTLY;
  }

  switch (strategy) {
    case PLOSTAT_SEND_INSTANTLY:
      sendNow(event);
      break;
    case PLOSTAT_ONLY_WIFI:
      if (wifi) {
        sendNow(event);
      } else {
        store->storeEvent(event, false, nullptr);
      }
      break;
    case PLOSTAT_BATCH:
      store->storeEvent(event, false, [store] {
        const uint32_t batch = config()->minBatchReportCount();
        if (store->storedEventCount() >= batch) {
          store->sendCachedEvents(static_cast<int32_t>(batch));
        } else {
          PLOStatLog("Stored event count:%d", store->storedEventCount());
        }
      });
      break;
    case PLOSTAT_APP_LAUNCH:
    case PLOSTAT_DEVELOPER:
      store->storeEvent(event, false, nullptr);
      break;
    case PLOSTAT_PERIOD: {
      store->storeEvent(event, false, nullptr);
      auto& defaults = NSUserDefaults::standardUserDefaults();
      const int64_t stamp = defaults.integerForKey(kSentStampKey);
      const int64_t now = nowSeconds();
      if (stamp != 0 && now - stamp < static_cast<int64_t>(settings->sendPeriodMinutes()) * 60) {
        return;
      }
      if (stamp != 0) store->sendCachedEvents(-1);
      defaults.setInteger(static_cast<long>(now), kSentStampKey);
      defaults.synchronize();
      break;
    }
    case PLOSTAT_ONLY_WIFI_NO_CACHE:
      PLOStatDispatcher::getInstance()->sendEvent(event, [](bool) {});
      break;
    default:
      PLOStatLog("Not supported report strategy:%d", strategy);
      break;
  }
}

void PLOStat::sendNow(const std::shared_ptr<PLOStatEvent>& event) {
  auto store = PLOStatStore::getInstance();
  if (store->storedEventCount() == 0) {
    PLOStatDispatcher::getInstance()->sendEvent(event, [store, event](bool success) {
      if (!success) {
        store->storeEvent(event, true, nullptr);
      } else if (store->storedEventCount() > 0) {
        store->sendCachedEvents(-1);
      }
    });
    return;
  }
  // Events are waiting: this one joins them, so that events leave in the order they came.
  store->storeEvent(event, false, [store] { store->sendCachedEvents(-1); });
}

// ---------------------------------------------------------------------------------------------
// Start

void PLOStat::startWithAppkey(const std::string& appkey) {
  auto settings = config();
  if (!settings->statEnable()) return;
  if (appkey.empty()) {
    PLOStatLog("[ERROR]Failed to start stat sdk with nil/empty appkey.");
    return;
  }
  const std::string old = settings->appkey();
  const auto keys = NSString::componentsSeparatedByString(old, "|");
  // A key the module already has is not added again: a second registration with the same key
  // would otherwise report every event under a doubled key that names no app (a wrong result).
  if (old.empty()) {
    settings->setAppkey(appkey);
  } else if (std::find(keys.begin(), keys.end(), appkey) == keys.end()) {
    settings->setAppkey(old + NSString::stringWithFormat("|%@", appkey));
  }
  PLOStatLog("STAT instance started");
  getInstance();
  sessionCheck(true, "", false);
}

bool PLOStat::startWithAppkey(const std::string& appkey, const std::string& checkedSdkVersion) {
  const std::string ours = PLOStatSDKVersion;
  if (PLOStatHelper::compareVersions(checkedSdkVersion, ours) > 0) {
    PLOStatLog(
        "[ERROR]Current SDK's version %@ is lower than expected %@, use latest STAT SDK "
        "instead.",
        ours, checkedSdkVersion);
    config()->setStatEnable(false);
    return false;
  }
  startWithAppkey(appkey);
  return true;
}

void PLOStat::commitCachedStats(int n) {
  if (!gateS()) return;
  if (!existingInstance()) {
    PLOStatLog(kNotStarted);
    return;
  }
  PLOStatStore::getInstance()->sendCachedEvents(n);
}

// ---------------------------------------------------------------------------------------------
// Page views

void PLOStat::trackPageViewBegin(const std::string& page) { trackPageViewBegin(page, ""); }

void PLOStat::trackPageViewBegin(const std::string& page, const std::string& appkey) {
  if (!gateK() || !gateS()) return;
  if (page.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty page.");
    return;
  }
  if (auto stat = existingInstance()) {
    std::lock_guard lock(stat->pageMutex_);
    stat->statCurrentPage_ = page;
  }
  trackDirectPageViewBegin(page, appkey);
}

void PLOStat::trackPageViewEnd(const std::string& page) { trackPageViewEnd(page, "", false); }

void PLOStat::trackPageViewEnd(const std::string& page, const std::string& appkey,
                               bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (page.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty page.");
    return;
  }
  trackDirectPageViewEnd(page, appkey, isRealTime);
  if (auto stat = existingInstance()) {
    std::lock_guard lock(stat->pageMutex_);
    stat->statCurrentPage_.clear();
  }
}

void PLOStat::trackDirectPageViewBegin(const std::string& page, const std::string& appkey) {
  if (!gateS()) return;
  PLOStatLog("Trace begin page:%@", page);
  additionEventStep(false, appkey, false);
  bool opened = false;
  {
    auto& table = pageTable();
    std::lock_guard lock(table.mutex);
    table.created = true;
    if (table.starts.count(page)) {
      PLOStatLog("[ERROR]Duplicate entry page %@", page);
    } else if (table.starts.size() >= config()->maxParallelTimingEvents()) {
      PLOStatLog("[ERROR]Too many parallel page events in memory.");
    } else {
      table.starts[page] = nowSeconds();
      PLOStatLog("set timedPageDis success,%@", page);
      opened = true;
    }
  }
  if (opened) sessionCheck(true, appkey, false);
}

void PLOStat::trackDirectPageViewEnd(const std::string& page, const std::string& appkey,
                                     bool isRealTime) {
  if (!gateS()) return;
  std::shared_ptr<PLOStatPageView> event;
  {
    auto& table = pageTable();
    std::lock_guard lock(table.mutex);
    auto it = table.starts.find(page);
    if (it == table.starts.end()) {
      PLOStatLog("[ERROR]NULL entry for page:%@", page);
      return;
    }
    auto stat = existingInstance();
    event = std::make_shared<PLOStatPageView>();
    event->page = page;
    if (stat) event->refer = stat->lastPage();
    event->setSid(sessionCheck(false, appkey, isRealTime));
    event->duration = durationSince(it->second, nowSeconds());
    event->setAppkey(appkey);
    event->setIsRealTime(isRealTime);
    table.starts.erase(it);
    if (stat) {
      std::lock_guard pageLock(stat->pageMutex_);
      stat->lastPage_ = page;
    }
  }
  submit(event);
}

// ---------------------------------------------------------------------------------------------
// Errors

void PLOStat::trackException(const std::string& name, const std::string& reason,
                             const std::vector<std::string>& callStackSymbols) {
  trackException(name, reason, callStackSymbols, "", false);
}

void PLOStat::trackException(const std::string& name, const std::string& reason,
                             const std::vector<std::string>& callStackSymbols,
                             const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (name.empty() && reason.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil exception.");
    return;
  }
  Value symbols = Value::array();
  for (const auto& symbol : callStackSymbols) symbols.append(symbol);
  auto event = std::make_shared<PLOStatErrorEvent>();
  event->error =
      NSString::stringWithFormat("%@\n%@", reason.empty() ? name : reason, symbols.description());
  event->attr = 1;
  // A session id of its own, drawn without touching the current session or its counters: the
  // new-session step would also restart the session's report count, and the per-session cap
  // would let more events through than it allows (a wrong result).
  event->setSid(drawSessionId());
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  submit(event);
}

void PLOStat::trackError(const std::string& error) { trackError(error, "", false); }

void PLOStat::trackError(const std::string& error, const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (error.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty error.");
    return;
  }
  auto event = std::make_shared<PLOStatErrorEvent>();
  event->error = error;
  event->attr = 0;
  prepareAndSubmit(event, appkey, isRealTime);
}

// ---------------------------------------------------------------------------------------------
// Custom and key-value events

namespace {

void beginTimed(const std::string& key, const std::string& eventId) {
  auto& table = eventTable();
  std::lock_guard lock(table.mutex);
  table.created = true;
  if (table.starts.count(key)) {
    PLOStatLog("[ERROR]Duplicate key %@ for event_id:%@", key, eventId);
  } else if (table.starts.size() >= config()->maxParallelTimingEvents()) {
    PLOStatLog("[ERROR]Too many parallel events in memory.");
  } else {
    table.starts[key] = nowSeconds();
  }
}

// Closes the timed event: a custom event with args or kvs and its duration, or nothing.
std::shared_ptr<PLOStatCustomEvent> endTimed(const std::string& key, const std::string& eventId,
                                             const Value& args, const Value& kvs,
                                             const std::string& appkey, bool isRealTime) {
  auto& table = eventTable();
  std::lock_guard lock(table.mutex);
  if (!table.created) return nullptr;
  auto it = table.starts.find(key);
  if (it == table.starts.end()) {
    PLOStatLog("[ERROR]NULL key %@ for event_id:%@", key, eventId);
    return nullptr;
  }
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = eventId;
  event->args = args;
  event->kvs = kvs;
  event->setSid(sessionCheck(false, appkey, isRealTime));
  event->duration = durationSince(it->second, nowSeconds());
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  table.starts.erase(it);
  return event;
}

}  // namespace

void PLOStat::trackCustomEvent(const std::string& eventId, const Value& args) {
  trackCustomEvent(eventId, args, "", false);
}

void PLOStat::trackCustomEvent(const std::string& eventId, const Value& args,
                               const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil event_id.");
    return;
  }
  additionEventStep(false, "", false);
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = eventId;
  event->args = args;
  prepareAndSubmit(event, appkey, isRealTime);
}

void PLOStat::trackCustomEventBegin(const std::string& eventId, const Value& args) {
  trackCustomEventBegin(eventId, args, "");
}

void PLOStat::trackCustomEventBegin(const std::string& eventId, const Value& args,
                                    const std::string& appkey) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  additionEventStep(false, appkey, false);
  beginTimed(customTimingKey(eventId, args), eventId);
}

void PLOStat::trackCustomEventEnd(const std::string& eventId, const Value& args) {
  trackCustomEventEnd(eventId, args, "", false);
}

void PLOStat::trackCustomEventEnd(const std::string& eventId, const Value& args,
                                  const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  if (auto event =
          endTimed(customTimingKey(eventId, args), eventId, args, Value(), appkey, isRealTime)) {
    submit(event);
  }
}

void PLOStat::trackCustomKeyValueEvent(const std::string& eventId, const Value& props) {
  trackCustomKeyValueEvent(eventId, props, "", false);
}

void PLOStat::trackCustomKeyValueEvent(const std::string& eventId, const Value& props,
                                       const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  additionEventStep(false, "", false);
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = eventId;
  event->kvs = props;
  prepareAndSubmit(event, appkey, isRealTime);
}

void PLOStat::trackCustomKeyValueEventBegin(const std::string& eventId, const Value& props) {
  trackCustomKeyValueEventBegin(eventId, props, "");
}

void PLOStat::trackCustomKeyValueEventBegin(const std::string& eventId, const Value& props,
                                            const std::string& appkey) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  additionEventStep(false, appkey, false);
  beginTimed(keyValueTimingKey(eventId, props), eventId);
}

void PLOStat::trackCustomKeyValueEventEnd(const std::string& eventId, const Value& props) {
  trackCustomKeyValueEventEnd(eventId, props, "", false);
}

void PLOStat::trackCustomKeyValueEventEnd(const std::string& eventId, const Value& props,
                                          const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  if (auto event = endTimed(keyValueTimingKey(eventId, props), eventId, Value(), props, appkey,
                            isRealTime)) {
    submit(event);
  }
}

void PLOStat::trackCustomKeyValueEventDuration(uint32_t duration, const std::string& eventId,
                                               const Value& props) {
  trackCustomKeyValueEventDuration(duration, eventId, props, "", false);
}

void PLOStat::trackCustomKeyValueEventDuration(uint32_t duration, const std::string& eventId,
                                               const Value& props, const std::string& appKey,
                                               bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (eventId.empty()) {
    PLOStatLog("[ERROR]Failed to trace nil/empty event_id.");
    return;
  }
  if (duration == 0) {
    PLOStatLog("[ERROR] event:%@ duration should not be zero", eventId);
    return;
  }
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = eventId;
  event->kvs = props;
  event->duration = duration;
  prepareAndSubmit(event, appKey, isRealTime);
}

// ---------------------------------------------------------------------------------------------
// Sessions, account and other reports

void PLOStat::startNewSession() { startNewSession(false); }

void PLOStat::startNewSession(bool isRealTime) {
  if (gateS()) sessionCheck(true, "", isRealTime);
}

void PLOStat::stopSession() {
  if (!existingInstance()) {
    PLOStatLog(kNotStarted);
    return;
  }
  std::lock_guard lock(session().mutex);
  session().lastActive = 0;
}

void PLOStat::reportQQ(const std::string& qq) { reportQQ(qq, "", false); }

void PLOStat::reportQQ(const std::string& qq, const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  config()->setQq(qq);
  sessionCheck(false, appkey, isRealTime);
  additionEventStep(true, appkey, isRealTime);
}

void PLOStat::reportAccount(const std::string& account, uint32_t type, const std::string& ext) {
  reportAccount(account, type, ext, "", false);
}

void PLOStat::reportAccount(const std::string& account, uint32_t type, const std::string& ext,
                            const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  auto settings = config();
  settings->setAccount(account);
  settings->setAccountType(static_cast<int8_t>(type & 0xff));
  settings->setAccountExt(ext);
  const uint32_t sid = sessionCheck(false, appkey, isRealTime);
  if (!settings->statEnable() || settings->account().empty()) return;
  auto event = std::make_shared<PLOStatAccountEvent>();
  event->setSid(sid);
  event->setAppkey(appkey);
  event->setIsRealTime(isRealTime);
  submit(event);
}

void PLOStat::reportAppMonitorStat(const std::shared_ptr<PLOStatAppMonitorStat>& stat) {
  reportAppMonitorStat(stat, "", false);
}

void PLOStat::reportAppMonitorStat(const std::shared_ptr<PLOStatAppMonitorStat>& stat,
                                   const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (!stat || stat->interface.empty()) {
    PLOStatLog(
        "[ERROR]Invalid arguments for reportAppMonitorStat:NULL stat object or null interface name "
        "in stat object.");
    return;
  }
  auto event = std::make_shared<PLOStatMonitorStatEvent>();
  // The event raises a sampling of 0 in its stat: it gets a copy of its own.
  event->stat = std::make_shared<PLOStatAppMonitorStat>(*stat);
  prepareAndSubmit(event, appkey, isRealTime);
}

void PLOStat::trackGameUser(const std::string& uid, const std::string& world,
                            const std::string& level) {
  trackGameUser(uid, world, level, "", false);
}

void PLOStat::trackGameUser(const std::string& uid, const std::string& world,
                            const std::string& level, const std::string& appkey, bool isRealTime) {
  if (!gateK() || !gateS()) return;
  if (uid.empty()) {
    PLOStatLog("[ERROR]Invalid arguments for trackGameUser: null uid.");
    return;
  }
  auto event = std::make_shared<PLOStatGameUserEvent>();
  event->uid = uid;
  event->world = world;
  event->level = level;
  prepareAndSubmit(event, appkey, isRealTime);
}

std::string PLOStat::getStatUDID() { return PLOStatStore::getInstance()->getStatCommonUDID(); }
