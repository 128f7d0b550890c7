#include <thread>

#include "uikit/UIKitFixture.h"

class PasteboardTest : public UIKitFixture {};

TEST_F(PasteboardTest, ConcurrentWritesLeaveTheLastWriteOnDisk) {
  auto pb = UIPasteboard::pasteboardWithName("shared.board", true);
  pb->setPersistent(true);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
      writers.emplace_back([pb, t] {
        for (int i = 0; i < 25; ++i) pb->setString("writer " + std::to_string(t * 100 + i));
      });
    }
    for (auto& w : writers) w.join();
    std::string last = pb->string();
    SimulatedDevice::shared().restartApp();
    auto again = UIPasteboard::pasteboardWithName("shared.board", false);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->string(), last) << "round " << round;
    pb = again;
  }
}

TEST_F(PasteboardTest, PasteboardsLiveInTheInstalledStoreAndInMemoryWithoutOne) {
  // A store that keeps one pasteboard and counts the changes it is told of.
  struct CountingStore : UIPasteboardStore {
    std::shared_ptr<UIPasteboard> board = std::make_shared<UIPasteboard>(UIPasteboardNameGeneral);
    int changes = 0;
    std::shared_ptr<UIPasteboard> pasteboard(const std::string& name, bool) override {
      return name == UIPasteboardNameGeneral ? board : nullptr;
    }
    void removePasteboard(const std::string&) override {}
    void persist(const UIPasteboard&) override { ++changes; }
  } counting;
  struct GiveBackTheDevice {
    ~GiveBackTheDevice() { UIPasteboard::setStore(&SimulatedDevice::shared()); }
  } giveBack;
  UIPasteboard::setStore(&counting);
  UIPasteboard::generalPasteboard()->setString("kept by the store");
  EXPECT_EQ(counting.board->string(), "kept by the store");
  EXPECT_EQ(counting.changes, 1);
  EXPECT_FALSE(UIPasteboard::pasteboardWithName("other", false));

  UIPasteboard::setStore(nullptr);
  auto memory = UIPasteboard::pasteboardWithName("memory.board", true);
  memory->setString("in memory");
  EXPECT_EQ(UIPasteboard::pasteboardWithName("memory.board", false), memory);
  UIPasteboard::removePasteboardWithName("memory.board");
  EXPECT_FALSE(UIPasteboard::pasteboardWithName("memory.board", false));

  UIPasteboard::setStore(&SimulatedDevice::shared());
  UIPasteboard::generalPasteboard()->setString("on the device");
  SimulatedDevice::shared().restartApp();
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "on the device");
}
