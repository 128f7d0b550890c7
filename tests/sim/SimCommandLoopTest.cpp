#include <tuple>

#include "WalkRunner.h"
#include "core/TempData.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIImage.h"

using SimCommandLoopTest = WalkTest;

namespace {
// From the first start to the login form, whose fields are #1 (the name) and #2 (the password).
const std::string kToLogin = "launch\ntap 立即体验\ntap 进入平台\ntap 我的\ntap 点击登录\n";
}  // namespace

// The second demo player has his Alipay account bound already.
TEST_F(SimCommandLoopTest, AScriptStartsTheAppLogsInAndStopsAtQuit) {
  WalkRunner walk(server());
  const std::string out = walk.run("# the tour\n" + kToLogin +
                                   "tap #1\ntype demo2\ntap #2\ntype demo123\ntap 登录\n"
                                   "tap 提现\nrequests\nquit\nscreen\n");
  EXPECT_TRUE(contains(out, "> launch\nthe app started\n"));
  EXPECT_TRUE(contains(out, "> type demo2\ntyped \"demo2\"\n"));
  EXPECT_TRUE(contains(out, "text=\"支付宝账号  demo2@pay.example\""));
  // The shop tab loads its games as well; the login is among what the server received.
  EXPECT_TRUE(contains(out, "\nlogin: demo2\n"));
  EXPECT_TRUE(contains(out, "\nget_alipay_info: demo2\n"));
  EXPECT_TRUE(contains(out, "> quit\nbye\n"));
  EXPECT_FALSE(contains(out, "> screen")) << "nothing runs after quit";
  EXPECT_FALSE(contains(out, "the tour"));
  EXPECT_TRUE(walk.loop().quitRequested());
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo2");
}

TEST_F(SimCommandLoopTest, EachCommandPrintsTheScreenAndTheSameScriptPrintsTheSameText) {
  WalkRunner first(server());
  const auto once = first.steps("launch\ntap 立即体验\ntap 进入平台\nwait 0.5\n");
  EXPECT_EQ(reportOf(once, "wait 0.5"), "waited 0.5 s");
  // The screen follows each report: the tab bar's buttons are on it after entering.
  EXPECT_TRUE(contains(outputOf(once, "wait 0.5"), "\"首页\""));

  WalkRunner second(server());
  const auto again = second.steps("launch\nlaunch\ntap 进入平台\nwait 0.5\n");
  EXPECT_EQ(reportIn(again[1].output), "the app restarted");
  // After a restart the guide is not shown again: the same screens follow.
  EXPECT_EQ(outputOf(once, "wait 0.5"), outputOf(again, "wait 0.5"));
}

// Each command says what it did, what went wrong, or why it could not act; the script goes on.
TEST_F(SimCommandLoopTest, EveryCommandReportsWhatHappenedOrWhyNothingDid) {
  const std::string frozen = R"(reply login {"state":"error","msg":"账号已冻结"})";
  // Each row: the command, its report, and whether the command counts as failed.
  const std::vector<std::tuple<std::string, std::string, bool>> table = {
      {"fly away", "unknown command: fly", true},
      {"install parley", "installed an app for parley://", false},
      {"urls", "(no URLs opened)", false},
      {"photos", "0 photo(s)", false},
      {"pasteboard", "(the pasteboards are empty)", false},
      {"screen", "(the app is not running)", false},
      {"stats", "the statistics are known only to the built-in statistics server", true},
      {"tab BindToviraController", "the tab bar is not on screen", true},
      {"launch", "the app started", false},
      {"tap 不存在的按钮", "nothing to tap: 不存在的按钮", true},
      {"tap #abc", "not a tag: #abc", true},
      {"tap #1.7", "not a tag: #1.7", true},
      {"hold #", "not a tag: #", true},
      {"tap @1", "not a point: @1", true},
      {"tap @x,1", "not a point: @x,1", true},
      {"wait soon", "wait needs a number of seconds", true},
      {"reply login {broken", "not valid JSON: {broken", true},
      {"press 好", "no alert is up", true},
      {"type 无处可打", "no text field is being edited", true},
      {"tap 立即体验", "tapped UIButton \"立即体验\"", false},
      {"tap 进入平台", "tapped UIButton \"进入平台\"", false},
      {"tab NoSuchScreen", "no tab of class NoSuchScreen", true},
      {"tab", "usage: tab <class name>", true},
      {"tap 我的", "tapped UIButton \"我的\"", false},
      {"tap 点击登录", "tapped UIButton \"点击登录\"", false},
      {frozen, "the next reply to login is set", false},
      {"tap 登录", "tapped UIButton \"登录\"", false},
      {"alert", "提示 | 账号已冻结 | [确定]", false},
      {"tap 登录", "an alert is up and takes every touch: press one of its buttons", true},
      {"hold @160,300", "an alert is up and takes every touch: press one of its buttons", true},
      {"press 好", "the alert has no button \"好\"", true},
      {"press 确定", "pressed \"确定\"", false},
      {"alert", "no alert", false},
  };
  WalkRunner walk(server());
  int failed = 0;
  for (const auto& [command, report, fails] : table) {
    SCOPED_TRACE(command);
    const std::string output = walk.loop().execute(command);
    EXPECT_EQ(reportIn(output), report) << output;
    EXPECT_EQ(walk.loop().lastCommandFailed(), fails);
    failed += fails;
  }
  EXPECT_EQ(walk.loop().failures(), failed);
  EXPECT_EQ(walk.loop().steps(), static_cast<int>(table.size()));
}

// A failed command does not stop the script; the summary counts the commands (not comments or
// blank lines) and names the script lines of the failed ones.
TEST_F(SimCommandLoopTest, TheSummaryCountsTheStepsAndNamesTheLinesOfTheFailedOnes) {
  WalkRunner walk(server());
  const std::string out =
      walk.run("# a broken tour\nlaunch\ntap 不存在的按钮\n\nfly\ntap 立即体验\nhold @1\n");
  EXPECT_TRUE(contains(out, "> tap 立即体验\ntapped UIButton \"立即体验\"\n")) << out;
  EXPECT_EQ(walk.loop().summary("walk"), "walk: 5 steps, 3 failed (lines 3, 5, 7)");

  WalkRunner clean(server());
  clean.run("launch\n");
  EXPECT_EQ(clean.loop().summary("walk"), "walk: 1 step, 0 failed");
}

TEST_F(SimCommandLoopTest, ASecureFieldsTextIsNeverPrinted) {
  WalkRunner walk(server());
  const auto steps = walk.steps(kToLogin + "tap #2\ntype demo123\ntap #1\ntap #2\n");
  const std::string tapped = outputOf(steps, "tap #2", "tap #1");
  EXPECT_TRUE(contains(tapped, "\ntapped UITextField \"*******\"\n")) << tapped;
  EXPECT_FALSE(contains(tapped, "demo123")) << "neither in the report nor on the screen";
}

// The device has a browser, as a phone does: without the shop app, the new-user gift opens its
// https link there, and "urls" shows it.
TEST_F(SimCommandLoopTest, TheNewUserGiftOpensInTheBrowserWhenNoShopAppIsInstalled) {
  WalkRunner walk(server());
  const auto steps = walk.steps(kToLogin +
                                "tap #1\ntype demo\ntap #2\ntype demo123\ntap 登录\n"
                                "tap 新手礼包\ntap 星海远征\nurls\n");
  EXPECT_EQ(reportOf(steps, "urls"), "https://gift.example/newbie?g=101");
}

// "launch" on a running app used to restart it on an empty device: the statistics slot, the
// browser, the installed apps, the opened links and the device's folder were gone.
TEST_F(SimCommandLoopTest, ARelaunchKeepsTheDeviceWithItsSlotAppsLinksAndPhotos) {
  UIImageWriteToSavedPhotosAlbum(UIImage::imageWithBitMatrix({{true}}, 2), nullptr);
  pump();
  const std::string gift = "tap 我的\ntap 新手礼包\ntap 星海远征\n";
  const std::string device = "background\npasteboard org.CommonUDID.slot.0\nurls\nphotos\n";
  WalkRunner walk(server());
  const auto steps = walk.steps(kToLogin + "tap #1\ntype demo\ntap #2\ntype demo123\ntap 登录\n" +
                                gift + device + "# restarted\nlaunch\n" + device +
                                "tap 进入平台\n" + gift + "# the browser\nurls\ninstall taobao\n" +
                                "# restarted again\nlaunch\ntap 进入平台\n" + gift + "urls\n");
  EXPECT_EQ(walk.loop().failures(), 0);
  // The report of a command: what it printed between its echo and the screen.
  auto reported = [&](const std::string& command, const std::string& after = "") {
    const std::string output = outputOf(steps, command, after);
    const size_t from = output.find('\n') + 1;
    return output.substr(from, output.find("\nUIWindow", from) - from);
  };
  const std::string link = "https://gift.example/newbie?g=101";
  const std::string slot = reported("pasteboard org.CommonUDID.slot.0");
  EXPECT_TRUE(contains(slot, "\"CommonUDID_slot\",\"org.CommonUDID.slot.0\"")) << slot;
  EXPECT_EQ(reported("urls"), link);
  EXPECT_EQ(reported("photos"), "1 photo(s)\nIMG_0001.PNG");
  // Each row: what the device keeps, what showed before the restart and what shows after.
  const struct {
    const char* what;
    std::string before;
    std::string after;
  } kept[] = {
      {"the statistics slot and its identifier", slot,
       reported("pasteboard org.CommonUDID.slot.0", "# restarted")},
      {"the opened links", reported("urls"), reported("urls", "# restarted")},
      {"the photo album", reported("photos"), reported("photos", "# restarted")},
      {"the browser", link + "\n" + link, reported("urls", "# the browser")},
      {"an installed app", link + "\n" + link + "\ntaobao://gift.example/newbie?g=101",
       reported("urls", "# restarted again")},
      {"the device's folder", sandboxRoot() + "/Device", SimulatedDevice::shared().root()},
  };
  for (const auto& row : kept) EXPECT_EQ(row.after, row.before) << row.what;
}
