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
