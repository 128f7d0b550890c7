#pragma once

// The fixture of the tests of the statistics bridge and the registration record: the Parley
// fixture, with the statistics module, the bridge and the registration as at the start of a new
// process, a watchdog, and the device offline, so that every statistics event waits in the
// store, where a test reads it.

#include <memory>
#include <string>
#include <vector>

#include "ParleyTestSupport.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/services/SimulatedNetwork.h"
#include "support/Watchdog.h"

class StatBridgeTest : public ParleyTest {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    watchdog_ = std::make_unique<Watchdog>(60, info ? info->name() : "a bridge test");
    resetModule();
    SimulatedNetwork::shared().reset();
    SimulatedNetwork::shared().setKind(NetworkKind::Offline);
    ParleyTest::SetUp();  // registers kAppId
  }

  void TearDown() override {
    ParleyTest::TearDown();
    resetModule();
    SimulatedNetwork::shared().reset();
    watchdog_.reset();
  }

  static void resetModule() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
  }

  // The JSON of every stored event, oldest first, once the module's queues are quiet.
  static std::vector<Value> storedEvents() {
    PLOStat::waitForQueue();
    PLOStatStore::getInstance()->waitForQueue();
    PLOStatStore::Events rows;
    PLOStatStore::getInstance()->loadCachedEvents(rows);
    std::vector<Value> events;
    for (const auto& row : rows) events.push_back(*Value::fromJSON(row->content));
    return events;
  }

  static std::vector<Value> backgroundEvents() {
    std::vector<Value> found;
    for (const auto& e : storedEvents()) {
      if (e["ei"].str() == "onBackground_PL") found.push_back(e);
    }
    return found;
  }

 private:
  std::unique_ptr<Watchdog> watchdog_;
};
