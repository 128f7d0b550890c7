#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Plist.h"
#include "uikit/UIKitFixture.h"

class PasteboardTest : public UIKitFixture {};

TEST_F(PasteboardTest, PasteboardsAreSharedByAppsAndPersistentOnesSurviveARestart) {
  UIPasteboard::generalPasteboard()->setString("Tovira手游金铺");
  auto reg = UIPasteboard::pasteboardWithName("parley_register", true);
  reg->setPersistent(true);
  reg->setValue(Value::dict({{"plapp", Value::dict({{"name", "Tovira"}})}}), "content");
  auto slot = UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", true);
  slot->setPersistent(true);
  slot->setValue(Value("v"), "org.CommonUDID");
  UIPasteboard::pasteboardWithName("scratch", true)->setString("temporary");
  EXPECT_EQ(UIPasteboard::pasteboardWithName("missing", false), nullptr);
  // Another app on the device sees the same pasteboards.
  EXPECT_EQ(SimulatedDevice::shared().pasteboard("parley_register", false), reg);
  // A damaged file among the saved pasteboards is passed over.
  std::ofstream(std::filesystem::path(SimulatedDevice::shared().root()) / "Pasteboards" /
                "broken.plist")
      << "not a property list";

  SimulatedDevice::shared().restartApp();
  EXPECT_EQ(SimulatedDevice::shared().pasteboardNames(),
            (std::vector<std::string>{"general", "org.CommonUDID.slot.0", "parley_register"}));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "Tovira手游金铺");
  auto again = UIPasteboard::pasteboardWithName("parley_register", false);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->isPersistent());
  EXPECT_EQ(again->valueForPasteboardType("content")["plapp"]["name"].str(), "Tovira");
  auto bytes = again->dataForPasteboardType("content");
  ASSERT_TRUE(bytes);
  EXPECT_EQ((*Plist::parse(*bytes))["plapp"]["name"].str(), "Tovira");
  slot = UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", false);
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->valueForPasteboardType("org.CommonUDID").str(), "v");
  EXPECT_EQ(UIPasteboard::pasteboardWithName("scratch", false), nullptr);

  UIPasteboard::removePasteboardWithName("parley_register");
  slot->setPersistent(false);
  SimulatedDevice::shared().restartApp();
  EXPECT_EQ(UIPasteboard::pasteboardWithName("parley_register", false), nullptr);
  EXPECT_EQ(UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", false), nullptr);
}

TEST_F(PasteboardTest, PasteboardTextAndDataReadAsThePlatformReadsThem) {
  auto pb = UIPasteboard::generalPasteboard();
  long before = pb->changeCount();
  pb->setString("abc");
  EXPECT_EQ(pb->changeCount(), before + 1);
  auto data = pb->dataForPasteboardType(UIPasteboardTypeText);
  ASSERT_TRUE(data);
  EXPECT_EQ(std::string(data->begin(), data->end()), "abc");
  pb->setData({1, 2, 3}, "content");
  EXPECT_FALSE(pb->hasString());
  EXPECT_EQ(pb->string(), "");
  EXPECT_EQ(*pb->dataForPasteboardType("content"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(pb->dataForPasteboardType("other"));
  pb->setItems(
      {Value::dict({{"public.text", "x"}}), Value::dict({{"public.utf8-plain-text", "y"}})});
  EXPECT_EQ(pb->strings(), (std::vector<std::string>{"x", "y"}));
}

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

// A device given no folder makes one of its own when a pasteboard is first used. That folder
// used to be forgotten when the device moved on (an app restart in the tests resets the device),
// and piled up in the temporary directory; a folder that the device was given stays.
TEST_F(PasteboardTest, TheDevicesOwnTemporaryFolderGoesWhenItMovesOnAndAGivenFolderStays) {
  auto& device = SimulatedDevice::shared();
  const std::string given = device.root();
  ASSERT_FALSE(given.empty());
  const auto moves = std::vector<std::function<void(const std::string&)>>{
      [&](const std::string& dir) { device.reset(dir); },
      [&](const std::string& dir) { device.setRoot(dir); }};
  for (size_t i = 0; i < moves.size(); ++i) {
    SCOPED_TRACE(i == 0 ? "reset" : "setRoot");
    device.reset("");
    UIPasteboard::pasteboardWithName("parley_register", true)->setPersistent(true);
    const std::string own = device.root();
    ASSERT_FALSE(own.empty());
    ASSERT_NE(own, given);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(own) / "Pasteboards" /
                                        "parley_register.plist"));
    moves[i](given);
    EXPECT_FALSE(std::filesystem::exists(own)) << own;
    EXPECT_EQ(device.root(), given);
    // Moving away from a given folder keeps it.
    moves[i](given + "/elsewhere");
    EXPECT_TRUE(std::filesystem::is_directory(given + "/Pasteboards"));
    device.reset(given);
  }
}
