#include <atomic>
#include <fstream>
#include <vector>

#include "parley/stats/PLOStatReachability.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatReachabilityTest : public StatTestFixture {
 protected:
  void TearDown() override {
    SCNetworkReachability::setRegistrationFailure(false);
    StatTestFixture::TearDown();
  }
  static std::shared_ptr<PLOStatReachability> internet() {
    return PLOStatReachability::reachabilityForInternetConnection();
  }
};
}  // namespace

TEST_F(PLOStatReachabilityTest, StatusFollowsTheNetworkTheDeviceIsOn) {
  auto reachability = internet();
  const struct {
    NetworkKind kind;
    NetworkStatus status;
    const char* text;
    const char* flags;
  } rows[] = {{NetworkKind::WiFi, ReachableViaWiFi, "WiFi", "-R -------"},
              {NetworkKind::Cellular, ReachableViaWWAN, "Cellular", "WR -t-----"},
              {NetworkKind::Offline, NotReachable, "No Connection", "-- -------"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    SimulatedNetwork::shared().setKind(row.kind);
    EXPECT_EQ(reachability->currentReachabilityStatus(), row.status);
    EXPECT_EQ(reachability->isReachable(), row.status != NotReachable);
    EXPECT_EQ(reachability->isReachableViaWWAN(), row.status == ReachableViaWWAN);
    EXPECT_EQ(reachability->isReachableViaWiFi(), row.status == ReachableViaWiFi);
    EXPECT_EQ(reachability->currentReachabilityString(), row.text);
    EXPECT_EQ(reachability->currentReachabilityFlags(), row.flags);
  }
}

TEST_F(PLOStatReachabilityTest, ACellularPathCountsOnlyWhileWWANIsAllowed) {
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  auto reachability = internet();
  EXPECT_TRUE(reachability->reachableOnWWAN());
  reachability->setReachableOnWWAN(false);
  EXPECT_FALSE(reachability->isReachable());
  EXPECT_EQ(reachability->currentReachabilityStatus(), NotReachable);
}

TEST_F(PLOStatReachabilityTest, LocalWiFiExistsOnlyOnWiFi) {
  auto local = PLOStatReachability::reachabilityForLocalWiFi();
  EXPECT_EQ(local->currentReachabilityFlags(), "-R ------d");
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  EXPECT_FALSE(local->isReachable());
  EXPECT_FALSE(PLOStatReachability::reachabilityWithAddress("not an address"));
  EXPECT_TRUE(PLOStatReachability::reachabilityWithHostname("stats.example"));
}

TEST_F(PLOStatReachabilityTest, ConnectionFlagsAreReadAsTheyCombine) {
  auto& network = SimulatedNetwork::shared();
  auto reachability = internet();
  network.setFlagsOverride(kSCNetworkReachabilityFlagsReachable |
                           kSCNetworkReachabilityFlagsConnectionRequired |
                           kSCNetworkReachabilityFlagsTransientConnection);
  EXPECT_FALSE(reachability->isReachable());
  EXPECT_TRUE(reachability->isConnectionRequired());

  network.setFlagsOverride(kSCNetworkReachabilityFlagsReachable |
                           kSCNetworkReachabilityFlagsConnectionRequired |
                           kSCNetworkReachabilityFlagsConnectionOnTraffic |
                           kSCNetworkReachabilityFlagsInterventionRequired);
  EXPECT_TRUE(reachability->isReachable());
  EXPECT_TRUE(reachability->isConnectionOnDemand());
  EXPECT_TRUE(reachability->isInterventionRequired());
  EXPECT_EQ(reachability->currentReachabilityFlags(), "-R c-iC---");
}

TEST_F(PLOStatReachabilityTest, ChangesCallTheBlocksAndPostTheNotificationOnTheMainQueue) {
  std::atomic<int> reachable{0}, unreachable{0};
  int posted = 0;
  auto token = NSNotificationCenter::defaultCenter().addObserverForName(
      kReachabilityChangedNotification, [&](const Value&) { ++posted; });
  // The notification names the object whose network changed.
  auto owner = std::make_shared<int>(0);
  std::vector<std::shared_ptr<NSObject>> senders;
  NSNotificationCenter::defaultCenter().addObserver(
      owner, kReachabilityChangedNotification, nullptr,
      [&](const NSNotification& note) { senders.push_back(note.object); });
  std::weak_ptr<PLOStatReachability> weak;
  {
    auto reachability = internet();
    reachability->setReachableBlock([&](const auto&) { ++reachable; });
    reachability->setUnreachableBlock([&](const auto&) { ++unreachable; });
    ASSERT_TRUE(reachability->startNotifier());
    weak = reachability;
  }
  ASSERT_TRUE(weak.lock()) << "a notifying object keeps itself alive";

  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  ASSERT_TRUE(waitFor([&] { return unreachable == 1; }));
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  ASSERT_TRUE(waitFor([&] { return reachable == 1; }));
  ASSERT_TRUE(RunLoop::main().runUntilIdle());
  EXPECT_EQ(posted, 2);
  ASSERT_EQ(senders.size(), 2u);
  EXPECT_EQ(senders[0], weak.lock());
  EXPECT_EQ(senders[1], weak.lock());
  senders.clear();
  NSNotificationCenter::defaultCenter().removeObserver(owner.get());
  NSNotificationCenter::defaultCenter().removeObserverWithToken(token);
  weak.lock()->stopNotifier();
  EXPECT_FALSE(weak.lock()) << "stopping lets it go";
}

TEST_F(PLOStatReachabilityTest, ANotifierThatCannotRegisterReportsFailureAndStaysSilent) {
  SCNetworkReachability::setRegistrationFailure(true);
  std::atomic<int> calls{0};
  auto reachability = internet();
  reachability->setUnreachableBlock([&](const auto&) { ++calls; });
  EXPECT_FALSE(reachability->startNotifier());
  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  ASSERT_TRUE(RunLoop::main().runUntilIdle());
  EXPECT_EQ(calls, 0);

  SCNetworkReachability::setRegistrationFailure(false);
  ASSERT_TRUE(reachability->startNotifier());
  reachability->stopNotifier();
  SimulatedNetwork::shared().setKind(NetworkKind::WiFi);
  ASSERT_TRUE(RunLoop::main().runUntilIdle());
  EXPECT_EQ(calls, 0);
}

TEST_F(PLOStatReachabilityTest, TheStatusTextIsTheMainBundlesLocalisation) {
  const std::string resources = NSBundle::mainBundle().resourcePath();
  const std::string localised = root() + "/localised";
  std::filesystem::create_directories(localised);
  std::ofstream(localised + "/Localizable.strings")
      << "\"WiFi\" = \"无线局域网\";\n\"No Connection\" = \"无网络连接\";\n";
  NSBundle::mainBundle().setResourcePath(localised);
  auto reachability = internet();
  EXPECT_EQ(reachability->currentReachabilityString(), "无线局域网");
  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  EXPECT_EQ(reachability->currentReachabilityString(), "无网络连接");
  // A key the table lacks reads as itself.
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  EXPECT_EQ(reachability->currentReachabilityString(), "Cellular");
  NSBundle::mainBundle().setResourcePath(resources);
}
