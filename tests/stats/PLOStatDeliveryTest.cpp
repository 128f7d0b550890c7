#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "StatTestFixture.h"
#include "support/TemporaryFolder.h"

// Delivery end to end: events recorded with the batch strategy reach the statistics server at
// least once each, nothing else arrives, and the store ends empty; also when the sending
// process is killed in the middle of a batch and the app starts again.

namespace {

// Many batches of 30, and a kill in the middle of one. How fast the store takes events is the
// benchmark's business: on a busy machine ten thousand fsync'd writes outlast any fair deadline.
constexpr int kEvents = 1000;
constexpr const char* kChildSandbox = "TOVIRA_DELIVERY_SANDBOX";
constexpr const char* kChildUrl = "TOVIRA_DELIVERY_URL";

std::string eventId(int i) { return "delivery-" + std::to_string(i); }

}  // namespace

class PLOStatDeliveryTest : public StatTestFixture {
 protected:
  // The batch strategy as the module runs it on a cellular network, with room for every event.
  static void useBatches() {
    auto config = PLOStatConfig::getInstance();
    config->setReportStrategy(2);
    config->setMaxStoreEventCount(2 * kEvents);
    config->setDebugEnable(false);
    SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  }

  static void recordAll() {
    for (int i = 0; i < kEvents; ++i) PLOStat::trackCustomEvent(eventId(i), Value());
  }

  // Every recorded event arrived at least once, and nothing else but the sessions' own events.
  void expectEveryEventArrivedAndNoneInvented() {
    std::set<std::string> recorded;
    for (int i = 0; i < kEvents; ++i) recorded.insert(eventId(i));
    for (const auto& event : server.events()) {
      const int type = event["et"].intValue();
      EXPECT_TRUE(type == 2 || (type == 1000 && recorded.count(event["ei"].str())))
          << "invented: " << event.toJSON();
    }
    EXPECT_EQ(arrivedIds(server).size(), recorded.size());
  }

  static std::set<std::string> arrivedIds(const StatServer& s) {
    std::set<std::string> ids;
    for (const auto& event : s.events()) {
      if (event["et"].intValue() == 1000) ids.insert(event["ei"].str());
    }
    return ids;
  }
};

TEST_F(PLOStatDeliveryTest, AThousandBatchedEventsAllReachTheServerAndTheStoreEndsEmpty) {
  useBatches();
  PLOStat::startWithAppkey("IPLOPdelivery");
  recordAll();
  ASSERT_TRUE(
      waitFor([&] { return arrivedIds(server).size() >= static_cast<size_t>(kEvents); }, 80))
      << arrivedIds(server).size() << " arrived";
  // The last few (fewer than a batch) wait for the next batch; commit them as the host would.
  settle();
  PLOStat::commitCachedStats(-1);
  ASSERT_TRUE(waitFor([] { return PLOStatStore::getInstance()->storedEventCount() == 0; }, 30));
  settle();
  EXPECT_EQ(storedRows(), 0);
  expectEveryEventArrivedAndNoneInvented();
  EXPECT_EQ(server.rejectedCount(), 0u);
}

TEST_F(PLOStatDeliveryTest, EventsOfASenderKilledMidBatchAllArriveAfterTheNextLaunch) {
  const TemporaryFolder sandboxFolder("stat-delivery");
  const std::string& sandbox = sandboxFolder.path();
  ASSERT_FALSE(sandbox.empty());
  // The child is killed, so it cannot remove the folders that its fixture makes: they go into a
  // temporary directory that this test removes.
  const TemporaryFolder childTemporaryDirectory("stat-delivery-child");
  ASSERT_FALSE(childTemporaryDirectory.path().empty());
  const std::string marker = sandbox + "/recorded";
  // The first report is held unanswered: the child's sender stays in the middle of a batch while
  // it records and marks further batches as sending.
  server.holdNext();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv(kChildSandbox, sandbox.c_str(), 1);
    setenv(kChildUrl, server.reportUrl().c_str(), 1);
    setenv("TMPDIR", childTemporaryDirectory.path().c_str(), 1);
    execl("/proc/self/exe", "test_stats",
          "--gtest_filter=PLOStatDeliveryTest.ChildRecordsUntilKilled", nullptr);
    _exit(127);
  }
  const bool held = server.waitForHeld(60);
  const bool recorded = waitFor([&] { return std::filesystem::exists(marker); }, 80);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  server.releaseHeld();
  ASSERT_TRUE(held) << "the child's first batch never came";
  ASSERT_TRUE(recorded) << "the child did not record every event";

  // The next launch, in the child's sandbox, with the app's default strategy.
  Sandbox::setRoot(sandbox);
  restartProcess();
  EXPECT_EQ(storedRows(), kEvents + 1) << "every event and the session's were still stored";
  EXPECT_GE(storedRows(" where status = 2"), 30) << "the killed batch was left sending";
  PLOStat::startWithAppkey("IPLOPdelivery");
  ASSERT_TRUE(
      waitFor([&] { return arrivedIds(server).size() >= static_cast<size_t>(kEvents); }, 80))
      << arrivedIds(server).size() << " arrived";
  ASSERT_TRUE(waitFor([] { return storedRows() == 0; }, 30));
  expectEveryEventArrivedAndNoneInvented();
  PLOStat::resetForTesting();
}

// The child of the test above: records every event with the batch strategy, says so, and waits
// to be killed. It is registered only in the process that the kill test starts (the environment
// names its sandbox), so that the test lists and ctest's summaries never show it.
class PLOStatDeliveryChild : public PLOStatDeliveryTest {
 public:
  void TestBody() override;
};

namespace {
[[maybe_unused]] const bool kChildRegistered = [] {
  if (!std::getenv(kChildSandbox) || !std::getenv(kChildUrl)) return false;
  ::testing::RegisterTest("PLOStatDeliveryTest", "ChildRecordsUntilKilled", nullptr, nullptr,
                          __FILE__, __LINE__,
                          []() -> PLOStatDeliveryTest* { return new PLOStatDeliveryChild; });
  return true;
}();
}  // namespace

void PLOStatDeliveryChild::TestBody() {
  const char* sandbox = std::getenv(kChildSandbox);
  const char* url = std::getenv(kChildUrl);
  PLOStat::resetForTesting();
  Sandbox::setRoot(sandbox);
  NSUserDefaults::resetStandardUserDefaults();
  PLOStatConfig::getInstance()->setStatReportURL(url);
  PLOStatDispatcher::setRequestTimeout(120);
  useBatches();
  PLOStat::startWithAppkey("IPLOPdelivery");
  recordAll();
  PLOStat::waitForQueue();
  PLOStatStore::getInstance()->waitForQueue();
  std::ofstream(std::string(sandbox) + "/recorded") << "yes";
  std::this_thread::sleep_for(std::chrono::seconds(120));
}
