// The invitation tab: its page on the tab bar controller's view, the summary ("getInvite_v2"),
// the share sheet with the Parley shares, the copied link and the saved QR code, and the ways
// to the rewards, the guide and the withdrawal.

#include <algorithm>

#include "GamesFixture.h"
#include "app/StandInParley.h"
#include "core/Config.h"
#include "core/TempData.h"
#include "games/InviteGLVC.h"
#include "games/YaoQingJiangLiController.h"
#include "games/YaoqingController.h"
#include "parley/PLApi.h"
#include "platform/automation/Automation.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIView.h"
#include "shell/TabBarController.h"

class YaoqingControllerTest : public GamesFixture {
 protected:
  // Logs the player in and opens the tab with the two-friend summary.
  std::shared_ptr<YaoqingController> openLoggedIn() {
    TempData::setuserdata(inviter());
    server().reply("getInvite_v2", kSummaryReply);
    return openInviteTab();
  }
  std::shared_ptr<YQView> openSheet() {
    tapAndWait(shown("立即邀请"));
    EXPECT_TRUE(invite_->yqView());
    return invite_->yqView();
  }
  std::shared_ptr<UIView> saveSheetAfterLongPress() {
    Automation::longPress(invite_->yqView()->ewmImgView(), 1.2);
    pump();
    return invite_->chooseView();
  }
  void maskClose() {
    Automation::tapAt(CGPointMake(160, 100));
    advance(0.25);
  }
};

TEST_F(YaoqingControllerTest, TheTabLaysItsPageOverTheTabBarControllersViewAndShowsTheSummary) {
  auto page = openLoggedIn()->mainScroll();
  EXPECT_EQ(page->superview(), tabs_->view());
  EXPECT_EQ(sent("getInvite_v2"), "token=tok123&username=demo");
  // The picture at the screen's width (720 x 755) and 220 below it; sum and count exactly as
  // the server sent them.
  EXPECT_EQ(Automation::dumpView(page),
            R"(UIScrollView (0,0,320,568) content=(320,555.56) bg=rgb(190,239,239)
  UIImageView (0,0,320,335.56) image=ktr_invte_top.png
  UILabel (110,20,100,40) text="邀请好友" color=rgb(0,0,0) font=system 18
  UIButton (0,0,50,50)
    UIImageView (10,25,25,25) image=ktr_back.png
  UILabel (85,355.56,150,20) text="累计奖励（绑定金币）" color=rgb(75,117,162) font=system 14
  UIView (10,365.56,65,0.5) bg=rgb(75,117,162)
  UIView (245,365.56,65,0.5) bg=rgb(75,117,162)
  UILabel (0,375.56,320,50) text="20.00" color=rgb(0,0,0) font=system 30
  UILabel (0,425.56,320,20) text="成功邀请好友2人>" color=rgb(75,117,162) font=system 14
    UIView (100,19.5,120,0.5) bg=rgb(75,117,162)
  UIButton (20,465.56,280,30) title="立即邀请" color=rgb(255,255,255) bg=rgb(47,128,197) radius=3
  UIButton (20,505.56,80,30) title="邀请攻略" color=rgb(255,0,0)
    UIImageView (0,5,20,20) image=ktr_gl.png
  UIButton (220,505.56,80,30) title="绑金提现" color=rgb(255,0,0)
    UIImageView (0,5,20,20) image=ktr_tx.png
)");
}

TEST_F(YaoqingControllerTest, ATabLoadedLoggedOutFetchesTheSummaryOnItsNextAppearanceAfterLogin) {
  openInviteTab();
  EXPECT_FALSE(server().lastRequest("getInvite_v2"));
  EXPECT_EQ(invite_->goldLab()->text() + " " + invite_->friendLab()->text(), "0 成功邀请好友0人");
  tapAndWait(invite_->friendLab());
  closeLogin();
  server().reply("getInvite_v2", kSummaryReply);
  // The player logs in from the login screen that the tab presented.
  tapAndWait(shown("立即邀请"));
  EXPECT_FALSE(invite_->yqView());
  TempData::setuserdata(inviter());
  closeLogin();
  EXPECT_EQ(sent("getInvite_v2"), "token=tok123&username=demo");
  EXPECT_EQ(invite_->goldLab()->text() + " " + invite_->friendLab()->text(),
            "20.00 成功邀请好友2人>");

  // The sheet now carries his link: copying gives it and the code reads it.
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  EXPECT_EQ(decodeQr(sheet->ewmImg()), kInviteUrl);
  Automation::tap(sheet->shareButton(YQView::kCopyLinkTag));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), kInviteUrl);
  EXPECT_EQ(takeAlert(), "提示 | 链接已复制到剪切板 | [确定]");
  EXPECT_TRUE(sheet->superview()) << "the sheet stays open after copying";
  // Later appearances ask nothing more.
  maskClose();
  tapBar("我的");
  tapBar("邀请");
  EXPECT_EQ(server().requests("getInvite_v2").size(), 1u);
}

TEST_F(YaoqingControllerTest, ATabLoadedLoggedOutNeverOffersAnEmptyLinkOrABlankCode) {
  openInviteTab();
  // Somebody logs in while the tab stays on screen: it holds no copy of his data yet.
  TempData::setuserdata(inviter());
  tapAndWait(shown("立即邀请"));
  EXPECT_EQ(presentedClass(), "LoginViewController");
  EXPECT_FALSE(invite_->yqView());
  tapAndWait(invite_->friendLab());
  EXPECT_EQ(presentedClass(), "LoginViewController");

  // Back from the login screen, the tab takes his data and the sheet carries his link and code.
  server().reply("getInvite_v2", kSummaryReply);
  tabs_->dismissViewControllerAnimated(false);
  pump();
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  EXPECT_EQ(sheet->shareUrl(), kInviteUrl);
  EXPECT_TRUE(sheet->ewmImg());
}

TEST_F(YaoqingControllerTest, CopyShareAndSaveWithoutALoggedInPlayerPresentTheLoginInstead) {
  PLApi::registerApp(Config::kParleyAppId);
  auto parley = StandInParley::install();
  openLoggedIn();
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  UIPasteboard::generalPasteboard()->setString("mine");
  // The player logs out on his own page and comes back to the open sheet.
  TempData::setuserdata(Value());

  tapAndWait(sheet->shareButton(YQView::kCopyLinkTag));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "mine");
  closeLogin();

  tapAndWait(sheet->shareButton(YQView::kFriendTag));
  closeLogin();
  EXPECT_TRUE(parley->received().empty());

  Automation::longPress(sheet->ewmImgView(), 1.2);
  pump();
  EXPECT_EQ(presentedClass(), "LoginViewController");
  EXPECT_FALSE(invite_->chooseView());
  EXPECT_TRUE(PhotoAlbum::shared().savedPhotoPaths().empty());
  EXPECT_EQ(Automation::alertText(), "");
  StandInParley::uninstall();
}

TEST_F(YaoqingControllerTest, ANilOrRefusedSummaryShowsNoEmptyAlertAndKeepsTheLabels) {
  TempData::setuserdata(inviter());
  server().replyRaw("getInvite_v2", "not json");
  openInviteTab();
  // Only the transport's own alert: no empty "提示" after it.
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_EQ(Automation::alertText(), "");
  EXPECT_EQ(invite_->goldLab()->text(), "0");
  EXPECT_FALSE(invite_->data());
  // Tapping the friends line before any summary arrived does nothing.
  tapAndWait(invite_->friendLab());
  EXPECT_EQ(presentedClass(), "");

  TempData::setuserdata(inviter());
  server().reply("getInvite_v2", R"({"state":"error","msg":"登录已过期"})");
  tabs_.reset();
  invite_.reset();
  openInviteTab();
  EXPECT_EQ(Automation::alertText(), "");
  EXPECT_EQ(invite_->goldLab()->text(), "0");
}

TEST_F(YaoqingControllerTest, ASummaryWithoutCountOrSumShowsZeroNotNull) {
  TempData::setuserdata(inviter());
  server().reply("getInvite_v2", R"({"state":"ok","data":{"list":[]}})");
  openInviteTab();
  EXPECT_EQ(invite_->goldLab()->text() + " " + invite_->friendLab()->text(), "0 成功邀请好友0人>");
}

TEST_F(YaoqingControllerTest, SharesReachTheParleyAppWithTheLinkAndLeaveTheSheetOpen) {
  openLoggedIn();
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  // Without the app, both buttons say to install it and send nothing; other tags do nothing.
  for (long tag : {YQView::kTimelineTag, YQView::kFriendTag}) {
    Automation::tap(sheet->shareButton(tag));
    EXPECT_EQ(takeAlert(), "提示 | 请先安装畅聊 | [确定]") << tag;
  }
  EXPECT_TRUE(SimulatedDevice::shared().openedURLs().empty());
  invite_->shareClick(104);
  EXPECT_EQ(Automation::alertText(), "");

  PLApi::registerApp(Config::kParleyAppId);
  auto parley = StandInParley::install();
  // The command's keys that a share sets, "|" after each.
  auto fields = [&] {
    const Value sent = parley->last().commandDictionary;
    std::string out;
    for (const char* key : {"command", "scene", "mediaUrl", "title", "description"})
      out += sent[key].str() + "|";
    return out + (sent["thumbData"].dataValue().empty() ? "no thumb" : "thumb");
  };
  tapAndWait(sheet->shareButton(YQView::kTimelineTag));
  EXPECT_EQ(fields(),
            std::string("1010|1|") + kInviteUrl +
                "|Tovira手游，玩手游必备神器，100%返利/永久返利/自动返利，不是一般的省钱！||thumb");
  tapAndWait(sheet->shareButton(YQView::kFriendTag));
  EXPECT_EQ(fields(),
            std::string("1010|0|") + kInviteUrl +
                "|Tovira手游|玩手游必备神器，100%返利/永久返利/自动返利，不是一般的省钱！|thumb");
  EXPECT_EQ(parley->received().size(), 2u);
  EXPECT_EQ(invite_->yqView(), sheet);
  EXPECT_TRUE(sheet->superview());
  StandInParley::uninstall();
}

TEST_F(YaoqingControllerTest,
       SavingTheCodePutsAPngInTheAlbumThatDecodesToTheLinkOrReportsTheAlbumsRefusal) {
  openLoggedIn();
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  auto choose = saveSheetAfterLongPress();
  ASSERT_TRUE(choose);
  auto mask1 = invite_->mask1();
  EXPECT_EQ(mask1->superview(), invite_->mainScroll());
  const auto layers = invite_->mainScroll()->subviews();
  EXPECT_GT(std::find(layers.begin(), layers.end(), mask1),
            std::find(layers.begin(), layers.end(), sheet))
      << "the save sheet's mask lies above the share sheet";
  auto save = inside(choose, "保存");
  EXPECT_EQ(frames({choose, save, inside(choose, "取消")}),
            "(0,468,320,100) (0,0,320,50) (0,50,320,50)");

  tapAndWait(save);
  EXPECT_EQ(takeAlert(), "提示 | 成功保存到相册 | [确定]");
  advance(0.25);
  EXPECT_FALSE(choose->superview() || mask1->superview());
  EXPECT_TRUE(sheet->superview()) << "the share sheet stays open";
  const auto photos = PhotoAlbum::shared().savedPhotoPaths();
  ASSERT_EQ(photos.size(), 1u);
  EXPECT_EQ(decodeQr(UIImage::imageWithContentsOfFile(photos[0])), kInviteUrl);

  // An album that refuses the code: its error comes after the save sheet has slid away.
  PhotoAlbum::shared().setFailure("用户拒绝访问相册");
  choose = saveSheetAfterLongPress();
  ASSERT_TRUE(choose);
  tapAndWait(inside(choose, "保存"));
  EXPECT_EQ(choose->frame().origin.y, 568) << "the save sheet slides away first";
  EXPECT_EQ(takeAlert(), "提示 | 用户拒绝访问相册 | [确定]");
  EXPECT_EQ(PhotoAlbum::shared().savedPhotoPaths().size(), 1u);
}

TEST_F(YaoqingControllerTest,
       TheGuideAndTheWithdrawalAreReachedOnceTheEndOfThePageIsScrolledClear) {
  openLoggedIn();
  // Under the tab bar's own bar at first; the page scrolls just far enough to show them.
  EXPECT_EQ(Automation::hitTest(CGPointMake(60, 520.5)), tabs_->barButton(0));
  Automation::drag(invite_->mainScroll(), CGPointMake(0, 200));
  EXPECT_NEAR(invite_->mainScroll()->contentOffset().y, 320.0 * 755 / 720 + 220 + 49 - 568, 1e-9);
  // The guide: one long picture at the screen's width (720 x 3094); its corner goes back.
  tapAndWait(shown("邀请攻略"));
  ASSERT_EQ(presentedClass(), "InviteGLVC");
  auto guide = std::static_pointer_cast<InviteGLVC>(tabs_->presentedViewController());
  EXPECT_EQ(frames({guide->mainScroll(), guide->guideImage()}), "(0,0,320,568) (0,20,320,1355.11)");
  EXPECT_EQ(guide->guideImage()->image()->name(), "ktr_pic_invite_stratege.png");
  EXPECT_DOUBLE_EQ(guide->mainScroll()->contentSize().height, 320.0 * 3094 / 720);
  tapAndWait(CGPointMake(25, 25));
  EXPECT_EQ(presentedClass(), "");
  tapAndWait(shown("绑金提现"));
  EXPECT_EQ(presentedClass(), "TiXianVC");
}

TEST_F(YaoqingControllerTest, ThePageLiesUnderTheBarAndCoversItOnlyWhileASheetIsOpen) {
  openLoggedIn();
  auto page = invite_->mainScroll();
  auto bar = tabs_->bar();
  auto layers = [&] { return tabs_->view()->subviews(); };
  EXPECT_EQ(layers().back(), bar);
  EXPECT_EQ(Automation::hitTest(CGPointMake(288, 540)), tabs_->barButton(4));

  // The share sheet slides up over a mask that dims the whole screen; the sheets' bottoms
  // can be reached.
  auto sheet = openSheet();
  ASSERT_TRUE(sheet);
  auto mask = invite_->mask();
  EXPECT_TRUE(mask->superview() == page && sheet->superview() == page);
  EXPECT_EQ(frames({mask, sheet}), "(0,0,320,568) (0,218,320,350)");
  EXPECT_DOUBLE_EQ(mask->alpha(), 0.4);
  EXPECT_EQ(UIView::recordedAnimations().back().duration, 0.25);
  EXPECT_EQ(layers().back(), page);
  auto choose = saveSheetAfterLongPress();
  ASSERT_TRUE(choose);
  Automation::tap(inside(choose, "取消"));
  advance(0.25);
  EXPECT_FALSE(choose->superview() || invite_->chooseView()) << "取消 lies where the bar is";
  EXPECT_EQ(layers().back(), page) << "the share sheet is still open";
  EXPECT_TRUE(Automation::hitTest(CGPointMake(288, 540))->isDescendantOfView(sheet));
  // A tap outside the save sheet closes only the save sheet.
  choose = saveSheetAfterLongPress();
  ASSERT_TRUE(choose);
  maskClose();
  EXPECT_FALSE(choose->superview());
  EXPECT_TRUE(sheet->superview() && mask->superview());
  EXPECT_TRUE(PhotoAlbum::shared().savedPhotoPaths().empty());
  // A tap on the mask above the sheet slides it down; it goes when the slide ends.
  Automation::tapAt(CGPointMake(160, 100));
  EXPECT_EQ(sheet->frame(), CGRectMake(0, 568, 320, 350));
  EXPECT_TRUE(sheet->superview());
  advance(0.25);
  EXPECT_FALSE(sheet->superview() || mask->superview() || invite_->yqView());
  EXPECT_EQ(layers().back(), bar);
  EXPECT_TRUE(openSheet()) << "it opens again";
}

TEST_F(YaoqingControllerTest, OtherTabsAreNeverCoveredByTheInvitationPage) {
  openLoggedIn();
  auto page = invite_->mainScroll();
  tapBar("我的");
  EXPECT_TRUE(page->isHidden());
  EXPECT_FALSE(Automation::findByText("立即邀请"));
  shown("我的");
  tapBar("邀请");
  EXPECT_FALSE(page->isHidden());
  shown("立即邀请");
  // The back button leaves the tab bar for the home screen.
  tapAndWait(CGPointMake(25, 25));
  EXPECT_FALSE(home_->presentedViewController());
}
