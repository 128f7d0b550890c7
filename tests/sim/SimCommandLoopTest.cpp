#include "WalkRunner.h"
#include "core/TempData.h"
#include "shell/ShellTestFixture.h"

class SimCommandLoopTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }

  static bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  // The line that follows the echo of a command.
  static std::string reportOf(const std::vector<std::string>& lines, const std::string& command) {
    auto it = std::find(lines.begin(), lines.end(), "> " + command);
    if (it == lines.end() || ++it == lines.end()) return "(missing)";
    return *it;
  }
};

TEST_F(SimCommandLoopTest, AScriptStartsTheAppLogsInAndEndsOnThePlayersPage) {
  WalkRunner walk(server());
  const auto lines = walk.run(
      "# the tour\n"
      "launch\n"
      "tap 立即体验\n"
      "tap 进入平台\n"
      "tap 我的\n"
      "tap 点击登录\n"
      "tap #1\n"
      "type demo\n"
      "tap #2\n"
      "type demo123\n"
      "tap 登录\n"
      "requests\n"
      "quit\n"
      "screen\n");
  EXPECT_EQ(reportOf(lines, "launch"), "the app started");
  EXPECT_EQ(reportOf(lines, "tap 进入平台"), "tapped UIButton \"进入平台\"");
  EXPECT_EQ(reportOf(lines, "type demo"), "typed \"demo\"");
  // The shop tab loads its games as well; the login is among what the server received.
  EXPECT_TRUE(has(lines, "login: demo"));
  EXPECT_TRUE(has(lines, "bye"));
  EXPECT_FALSE(has(lines, "> screen")) << "nothing runs after quit";
  EXPECT_FALSE(has(lines, "> # the tour"));
  EXPECT_TRUE(walk.loop().quitRequested());
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
  EXPECT_NE(Automation::dumpScreen().find("用户名：demo"), std::string::npos);
}

TEST_F(SimCommandLoopTest, EachCommandPrintsTheScreenAndTheSameScriptPrintsTheSameText) {
  const std::string script = "launch\ntap 立即体验\ntap 进入平台\nalert\nwait 0.5\n";
  WalkRunner first(server());
  const auto once = first.run(script);
  EXPECT_EQ(reportOf(once, "alert"), "no alert");
  EXPECT_EQ(reportOf(once, "wait 0.5"), "waited 0.5 s");
  // The screen follows each report: the tab bar's buttons are on it after entering.
  EXPECT_TRUE(std::any_of(once.begin(), once.end(), [](const std::string& l) {
    return l.find("\"首页\"") != std::string::npos;
  }));

  WalkRunner second(server());
  EXPECT_EQ(second.run("launch\n").front(), "> launch");
  const auto again = second.run("launch\ntap 进入平台\nalert\nwait 0.5\n");
  EXPECT_EQ(reportOf(again, "launch"), "the app restarted");
  // After a restart the guide is not shown again: the same screens follow.
  auto tail = [](const std::vector<std::string>& v, const std::string& from) {
    return std::vector<std::string>(std::find(v.begin(), v.end(), from), v.end());
  };
  EXPECT_EQ(tail(once, "> alert"), tail(again, "> alert"));
}

TEST_F(SimCommandLoopTest, RepliesAlertsAndPressesGoThroughTheServerAndTheAlert) {
  WalkRunner walk(server());
  const auto lines = walk.run(
      "launch\n"
      "tap 立即体验\n"
      "tap 进入平台\n"
      "tap 我的\n"
      "tap 点击登录\n"
      "reply login {\"state\":\"error\",\"msg\":\"账号已冻结\"}\n"
      "tap 登录\n"
      "alert\n"
      "press 确定\n"
      "alert\n");
  EXPECT_EQ(reportOf(lines, "reply login {\"state\":\"error\",\"msg\":\"账号已冻结\"}"),
            "the next reply to login is set");
  EXPECT_EQ(reportOf(lines, "alert"), "提示 | 账号已冻结 | [确定]");
  EXPECT_EQ(reportOf(lines, "press 确定"), "pressed \"确定\"");
}

TEST_F(SimCommandLoopTest, DeviceCommandsReportInstalledAppsURLsPasteboardsAndPhotos) {
  WalkRunner walk(server());
  const auto lines = walk.run("install parley\nurls\nphotos\npasteboard\nscreen\n");
  EXPECT_EQ(reportOf(lines, "install parley"), "installed an app for parley://");
  EXPECT_TRUE(SimulatedDevice::shared().isInstalled("parley"));
  EXPECT_EQ(reportOf(lines, "urls"), "(no URLs opened)");
  EXPECT_EQ(reportOf(lines, "photos"), "0 photo(s)");
  EXPECT_EQ(reportOf(lines, "pasteboard"), "(the pasteboards are empty)");
  EXPECT_EQ(reportOf(lines, "screen"), "(the app is not running)");
}

TEST_F(SimCommandLoopTest, BadCommandsAreReportedAndDoNotStopTheScript) {
  WalkRunner walk(server());
  const auto lines = walk.run(
      "launch\n"
      "fly away\n"
      "tap 不存在的按钮\n"
      "tap #abc\n"
      "tap @x,1\n"
      "wait soon\n"
      "reply login {broken\n"
      "press 好\n"
      "type 无处可打\n"
      "tap @10,10\n");
  EXPECT_EQ(reportOf(lines, "fly away"), "unknown command: fly");
  EXPECT_EQ(reportOf(lines, "tap 不存在的按钮"), "nothing to tap: 不存在的按钮");
  EXPECT_EQ(reportOf(lines, "tap #abc"), "not a tag: #abc");
  EXPECT_EQ(reportOf(lines, "tap @x,1"), "not a point: @x,1");
  EXPECT_EQ(reportOf(lines, "wait soon"), "wait needs a number of seconds");
  EXPECT_EQ(reportOf(lines, "reply login {broken"), "not valid JSON: {broken");
  EXPECT_EQ(reportOf(lines, "press 好"), "the alert has no button \"好\"");
  EXPECT_EQ(reportOf(lines, "type 无处可打"), "no text field is being edited");
  EXPECT_TRUE(has(lines, "> tap @10,10"));
}

// The README's first command runs this script: every step must find what it taps, the exchange
// and the card form must reach the server, and the share must reach the stand-in Parley app.
TEST_F(SimCommandLoopTest, TheScriptedWalkRunsThroughTheShopAndSharesToParley) {
  WalkRunner walk(server());
  const auto lines = walk.run(WalkRunner::walkScript());

  for (const auto& line : lines) {
    EXPECT_EQ(line.rfind("nothing to tap", 0), std::string::npos) << line;
    EXPECT_EQ(line.rfind("unknown command", 0), std::string::npos) << line;
  }
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
  EXPECT_TRUE(has(lines, "exchangePTB: demo"));
  EXPECT_TRUE(has(lines, "tbkToGold: "));  // the card form sends "qx_username", not "username"
  EXPECT_TRUE(has(lines, "  command = \"1010\""));
  EXPECT_TRUE(has(lines, "  title = \"Tovira手游\""));
  EXPECT_EQ(reportOf(lines, "alert"), "提示 | 充值成功 | [知道了]");
}
