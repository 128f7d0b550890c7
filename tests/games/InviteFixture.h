#pragma once
// The invitation tab on screen as a player meets it: a home screen in the key window, the tab
// bar controller presented over it, its "邀请" button tapped, and the devserver behind the API.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "support/AppFixture.h"

class TabBarController;
class UILabel;
class UIView;
class UIViewController;
class UIWindow;
class YaoqingController;

class InviteFixture : public AppFixture {
 protected:
  static constexpr const char* kInviteUrl = "http://127.0.0.1/invite/demo";
  // A summary of two invited friends, as "getInvite_v2" answers it.
  static constexpr const char* kSummaryReply =
      R"({"state":"ok","msg":"","data":{"count":"2","sum":"20.00","list":[)"
      R"({"qx_username":"13800001111","qx_regtime":"1699800000","qx_amount":"12.00"},)"
      R"({"qx_username":"13900002222","qx_regtime":"1699700000","qx_amount":"8.00"}]}})";

  void SetUp() override;
  void TearDown() override;

  // A logged-in player with a token and an invitation link.
  static Value user();
  // Presents the tab bar controller (on its first tab) without opening the invitation tab.
  void openTabs();
  // Opens the tab bar controller when needed and taps its "邀请" button; answers the tab.
  std::shared_ptr<YaoqingController> openInviteTab();
  // Taps the tab bar's button of that title ("我的", "邀请", ...).
  void tapBar(const std::string& title);

  // The visible view with exactly this text; fails the test when missing.
  std::shared_ptr<UIView> shown(const std::string& text);
  // "location+length=rgb(r,g,b)" for each coloured range of the label's attributed text.
  // The view inside `root` (the root included) that shows exactly this text; nullptr when none.
  static std::shared_ptr<UIView> inside(const std::shared_ptr<UIView>& root,
                                        const std::string& text);
  static std::string colouredRanges(const std::shared_ptr<UILabel>& label);
  // The title | message | [buttons] of the current alert, then presses its first button.
  std::string takeAlert();
  // The class name of the screen presented over the tab bar controller ("" when none).
  std::string presentedClass();

  std::shared_ptr<UIWindow> window_;
  std::shared_ptr<UIViewController> home_;
  std::shared_ptr<TabBarController> tabs_;
  std::shared_ptr<YaoqingController> invite_;
};
