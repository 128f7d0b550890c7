#pragma once
// The invitation tab on screen as a player meets it: the tab bar controller presented over the
// home screen, its "邀请" button tapped, and the devserver behind the API.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "support/ScreenFixture.h"

class UIView;
class YaoqingController;

class InviteFixture : public ScreenFixture {
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
  // Opens the tab bar controller when needed and taps its "邀请" button; answers the tab.
  std::shared_ptr<YaoqingController> openInviteTab();
  // Taps the tab bar's button of that title ("我的", "邀请", ...).
  void tapBar(const std::string& title);

  // The view inside `root` (the root included) that shows exactly this text, as the automation
  // reads any view's text; nullptr, without failing, when none does.
  static std::shared_ptr<UIView> inside(const std::shared_ptr<UIView>& root,
                                        const std::string& text);
  // The class name of the screen presented over the tab bar controller ("" when none).
  std::string presentedClass();

  std::shared_ptr<YaoqingController> invite_;
};
