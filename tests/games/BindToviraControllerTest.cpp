// The binding tab: the bind form and its checks, "boundQx" and "unboundQx" on the devserver,
// the bound-account rows with their copy and unbind buttons, the notice and the page tabs.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/BindToviraController.h"
#include "games/GamePicker.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"
#include "wallet/ShopController.h"
#include "wallet/UserJinBiDHView.h"

class BindToviraControllerTest : public GamesFixture {
 protected:
  void SetUp() override {
    GamesFixture::SetUp();
    server().reply(
        "getGameList",
        games({{"xh", "星海远征", "1"}, {"jy", "剑影江湖", "2"}, {"mc", "萌宠乐园", "3"}}));
  }
  // Remembers the login, which re-logs in with these accounts, and opens the tab as that user.
  std::shared_ptr<BindToviraController> openAs(
      const std::vector<std::pair<std::string, std::string>>& accounts) {
    rememberLogin();
    reloginAs(user(accounts));
    TempData::setuserdata(user(accounts));
    return openBinding();
  }
  // Chooses the game at `index` in the picker and types the account and password.
  void fill(const std::shared_ptr<BindToviraController>& bind, size_t index,
            const std::string& name, const std::string& password) {
    tapAndWait(bind->choosegameview());
    tapAndWait(GamePicker::rows(*bind->gamescroll()).at(index));
    Automation::type(bind->username(), name);
    Automation::type(bind->password(), password);
  }
  // The labels, button titles and tags of the account rows, one line per row.
  static std::vector<std::string> rows(const std::shared_ptr<BindToviraController>& bind) {
    std::vector<std::string> out;
    for (const auto& row : bind->accountScrollView()->subviews()) {
      if (row == bind->needKnowBtn() || row == bind->needKnowView()) continue;
      std::string line = "y" + std::to_string(static_cast<int>(row->frame().origin.y));
      for (const auto& part : row->subviews()) {
        const std::string text = Automation::textOf(part);
        if (!text.empty()) line += " " + text;
        if (part->tag() != 0) line += "#" + std::to_string(part->tag());
      }
      out.push_back(line);
    }
    return out;
  }
  // The background colours of the two page tabs.
  static std::string tabs(const std::shared_ptr<BindToviraController>& bind) {
    return bind->bindbtn()->backgroundColor()->description() + " " +
           bind->unbindbtn()->backgroundColor()->description();
  }
  static constexpr const char* kBindShown = "rgb(92,169,47) rgb(194,194,192)";
  static constexpr const char* kUnbindShown = "rgb(194,194,192) rgb(92,169,47)";
};

TEST_F(BindToviraControllerTest, TheTabLoadsEveryGameAndShowsTheMaskedAccountAndItsRows) {
  rememberLogin();
  Value refreshed = user({{"1", "hero1"}, {"3", "h5fan"}, {"2", "mage"}});
  // Entries that are no dictionaries make no rows.
  Value bondlist = refreshed["bondlist"];
  bondlist.append(Value("junk"));
  refreshed.set("bondlist", bondlist);
  reloginAs(refreshed);
  TempData::setuserdata(user({{"1", "hero1"}}));
  auto bind = openBinding();

  EXPECT_EQ(sent("getGameList"), "c_t=i&is_special=0&unlimit=1");
  EXPECT_EQ(bind->qxusername()->text(), "138****5678");
  // Held platforms come from the bondlist before the re-login; the rows from after it.
  EXPECT_EQ(bind->accountPlat(), "1");
  EXPECT_EQ(bind->h5Plat(), "0");
  EXPECT_EQ(server().requests("login").size(), 1u);
  EXPECT_EQ(rows(bind), (std::vector<std::string>{"y0 hero1 平台：星辰手游 复制#1000 解除#2000",
                                                  "y50 h5fan 平台：掌上H5游戏 复制#1001 解除#2001",
                                                  "y100 mage 平台：云游手游 复制#1002 解除#2002"}));
  auto scroll = bind->accountScrollView();
  auto unbind = std::dynamic_pointer_cast<UIButton>(scroll->viewWithTag(2001));
  auto copy = std::dynamic_pointer_cast<UIButton>(scroll->viewWithTag(1001));
  EXPECT_EQ(frames({bind->needKnowBtn(), bind->needKnowView(), unbind, copy}),
            "(0,155,320,30) (0,192,320,85) (270,10,30,30) (230,10,30,30)");
  EXPECT_EQ(scroll->contentSize().height, 270);
}

TEST_F(BindToviraControllerTest, TheNoticeShowsItsNumberedLinesAndFolds) {
  TempData::setuserdata(user());
  auto bind = openBinding();
  EXPECT_EQ(bind->needKnowBtn()->frame(), CGRectMake(0, 5, 320, 30));
  std::vector<std::string> texts;
  for (const auto& sub : bind->needKnowView()->subviews()) {
    if (auto label = std::dynamic_pointer_cast<UILabel>(sub))
      texts.push_back(label->text() + " " + colouredRanges(label) + " y" +
                      std::to_string(static_cast<int>(label->frame().origin.y)));
  }
  EXPECT_EQ(texts,
            (std::vector<std::string>{
                "此处记录的游戏账号才可实现自动返利. 13+4=rgb(247,82,55) y4",
                "已解除的游戏账号充值后无法获得返利. 0+3=rgb(247,82,55) 11+2=rgb(247,82,55) y26",
                "如需重新绑定，可在“注册游戏账号”页面提交原账号内容即可. 9+8=rgb(247,82,55) y48"}));

  bind->unbindbtnclick();
  pump();
  EXPECT_FALSE(bind->needKnowView()->isHidden());
  for (const bool hidden : {true, false}) {
    tapAndWait(bind->needKnowBtn());
    EXPECT_EQ(bind->needKnowView()->isHidden(), hidden);
  }
  EXPECT_EQ(bind->needKnowView()->frame().origin.y, 42);
}

TEST_F(BindToviraControllerTest,
       TheBindButtonChecksGameNameAndPasswordInTurnThenSendsTheHashedPassword) {
  auto bind = openAs({{"1", "hero1"}});
  TempData::setuserdata(user());
  Automation::tap(shown("立即绑定"));
  EXPECT_EQ(takeAlert(), "您还没有选择游戏 | 请选择游戏后进行绑定 | [确定]");
  fill(bind, 1, "", "");
  Automation::tap(shown("立即绑定"));
  EXPECT_EQ(takeAlert(), "您还没有填写用户名 | 请填写用户名之后进行绑定 | [确定]");
  Automation::type(bind->username(), "Mage7");
  Automation::tap(shown("立即绑定"));
  EXPECT_EQ(takeAlert(), "您还没有填写密码 | 请填写密码之后进行绑定 | [确定]");
  EXPECT_EQ(sent("boundQx"), "(none)");

  Automation::type(bind->password(), "secret");
  reloginAs(user({{"1", "hero1"}, {"2", "Mage7"}}));
  server().reply("boundQx", R"({"state":"ok","msg":"","data":null})");
  tapAndWait(shown("立即绑定"));
  EXPECT_EQ(sent("boundQx"),
            "password=5ebe2294ecd0e0f08eab7690d2a6ee69&plat_id=2&qx_username=13812345678&"
            "token=tok123&username=Mage7");
  EXPECT_EQ(takeAlert(), "绑定成功 | 恭喜您，您已经绑定成功！ | [确定]");
  // UserData is fresh for the shop's exchange; the rows show it; the form keeps its text.
  EXPECT_EQ(TempData::getuserdata()["bondlist"].count(), 2u);
  EXPECT_EQ(rows(bind), (std::vector<std::string>{"y0 hero1 平台：星辰手游 复制#1000 解除#2000",
                                                  "y50 Mage7 平台：云游手游 复制#1001 解除#2001"}));
  EXPECT_EQ(bind->username()->text(), "Mage7");
  EXPECT_EQ(bind->mainscroll()->contentOffset().x, 0);

  server().reply("boundQx", R"({"state":"error","msg":"账号或密码错误"})");
  tapAndWait(shown("立即绑定"));
  EXPECT_EQ(takeAlert(), "绑定失败 | 账号或密码错误 | [确定]");

  // Logged out, the login screen comes instead.
  TempData::setuserdata(Value());
  tapAndWait(shown("立即绑定"));
  EXPECT_EQ(Automation::alertText(), "");
  closeLogin();
}

TEST_F(BindToviraControllerTest, AFreshlyBoundAccountIsOfferedByTheShopsExchangeAtOnce) {
  auto bind = openAs({{"1", "hero1"}});
  fill(bind, 2, "Fan3", "pw");
  reloginAs(user({{"1", "hero1"}, {"3", "Fan3"}}));
  server().reply("boundQx", R"({"state":"ok"})");
  tapAndWait(shown("立即绑定"));
  takeAlert();

  Automation::tap(tabs_->barButton(1));  // "商城"
  pump();
  tapAndWait(shown("用金币兑换"));
  auto shop = std::dynamic_pointer_cast<ShopController>(tabs_->selectedViewController());
  ASSERT_TRUE(shop && shop->userJinBiDHView());
  tapAndWait(shop->userJinBiDHView()->dropButton());
  ASSERT_TRUE(shop->userJinBiDHView()->accountList());
  EXPECT_TRUE(Automation::findByText("Fan3"));
}

TEST_F(BindToviraControllerTest,
       CopyPutsTheAccountOnThePasteboardAndUnbindingAsksForTheAppPassword) {
  auto bind = openAs({{"1", "hero1"}, {"3", "h5fan"}});
  // Without a chosen account, the mask closes the dialog and a confirmation asks for one.
  bind->unbindtovira();
  pump();
  tapAndWait(CGPointMake(160, 100));
  EXPECT_TRUE(bind->mask()->isHidden() && bind->qxpasswordtanchuview()->isHidden());
  bind->reallyunbindtovira();
  EXPECT_EQ(takeAlert(), "您还没有选择游戏账号 | 请选择游戏账号后进行绑定 | [确定]");

  tapAndWait(shown("我的游戏账号"));
  // Copy puts the row's game account on the pasteboard.
  tapAndWait(bind->accountScrollView()->viewWithTag(1001));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "h5fan");
  EXPECT_EQ(takeAlert(), "提示 | 游戏账号已复制到剪切板 | [知道了]");
  tapAndWait(bind->accountScrollView()->viewWithTag(2001));
  EXPECT_FALSE(bind->mask()->isHidden() || bind->qxpasswordtanchuview()->isHidden());

  // A refusal keeps the dialog and the typed password; the empty password goes out too.
  server().reply("unboundQx", R"({"state":"error","msg":"密码错误"})");
  tapAndWait(shown("确认解除"));
  EXPECT_EQ(sent("unboundQx"),
            "plat_id=3&qx_password=&qx_username=13812345678&token=tok123&username=h5fan");
  EXPECT_EQ(takeAlert(), "解除绑定失败 | 密码错误 | [确定]");
  Automation::type(bind->qxuserpassword(), "app 123");
  tapAndWait(shown("确认解除"));
  EXPECT_EQ(takeAlert(), "解除绑定失败 | 密码错误 | [确定]");
  EXPECT_FALSE(bind->qxpasswordtanchuview()->isHidden());
  EXPECT_EQ(bind->qxuserpassword()->text(), "app 123");

  reloginAs(user({{"1", "hero1"}}));
  server().reply("unboundQx", R"({"state":"ok","msg":""})");
  tapAndWait(shown("确认解除"));
  EXPECT_EQ(sent("unboundQx"),
            "plat_id=3&qx_password=app 123&qx_username=13812345678&token=tok123&username=h5fan");
  EXPECT_EQ(takeAlert(), "解除绑定成功 | 恭喜您，您已经解除绑定成功！ | [确定]");
  EXPECT_TRUE(bind->mask()->isHidden() && bind->qxpasswordtanchuview()->isHidden());
  EXPECT_EQ(bind->qxuserpassword()->text(), "");
  EXPECT_EQ(rows(bind), (std::vector<std::string>{"y0 hero1 平台：星辰手游 复制#1000 解除#2000"}));
  EXPECT_EQ(TempData::getuserdata()["bondlist"].count(), 1u);
}

TEST_F(BindToviraControllerTest,
       ThePlaceholderShowsExactlyWhenTheFieldIsEmptyAlsoAfterARefusedChange) {
  TempData::setuserdata(user());
  auto bind = openBinding();
  auto name = bind->username();
  auto password = bind->password();
  EXPECT_FALSE(bind->usernamelabel()->isHidden());
  // The game user name takes only letters and digits; the password takes anything.
  Automation::type(password, "p_ 中");
  EXPECT_EQ(password->text(), "p_ 中");
  Automation::type(name, "ab_ 1中Z9");
  EXPECT_EQ(name->text(), "ab1Z9");
  EXPECT_FALSE(name->insertText("x-y"));
  EXPECT_TRUE(name->insertText("Q7"));
  EXPECT_EQ(name->text(), "ab1Z9Q7");
  EXPECT_TRUE(Automation::clearField(name));
  EXPECT_TRUE(Automation::clearField(password));
  // A refused character leaves the field empty, and its placeholder with it.
  Automation::type(name, "_");
  EXPECT_EQ(name->text(), "");
  EXPECT_FALSE(bind->usernamelabel()->isHidden());
  Automation::type(name, "ab");
  EXPECT_TRUE(bind->usernamelabel()->isHidden());
  EXPECT_FALSE(name->insertText("!"));
  EXPECT_TRUE(bind->usernamelabel()->isHidden());
  // Deleting everything at once shows it again, as does deleting one by one.
  EXPECT_TRUE(name->replaceCharactersInRange(NSMakeRange(0, 2), ""));
  EXPECT_FALSE(bind->usernamelabel()->isHidden());
  Automation::type(password, "pw");
  for (const bool hidden : {true, true, false}) {
    EXPECT_EQ(bind->passwordlabel()->isHidden(), hidden);
    password->deleteBackward();
  }
  Automation::type(password, "x");
  EXPECT_TRUE(Automation::clearField(password));
  EXPECT_FALSE(bind->passwordlabel()->isHidden());
}

TEST_F(BindToviraControllerTest, AfterALogoutThePageClearsThePreviousPlayersRowsAndMaskedName) {
  TempData::setuserdata(user({{"1", "hero1"}, {"2", "mage"}}));
  auto bind = openBinding();
  EXPECT_EQ(bind->qxusername()->text(), "138****5678");
  EXPECT_EQ(rows(bind).size(), 2u);

  TempData::setuserdata(Value());
  Automation::tap(tabs_->barButton(4));  // "我的"
  pump();
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "BindToviraController");
  pump();
  EXPECT_EQ(bind->qxusername()->text(), "未登录，点击登录");
  EXPECT_TRUE(rows(bind).empty());
  EXPECT_EQ(bind->needKnowBtn()->frame().origin.y, 5);
  EXPECT_EQ(bind->accountPlat(), "0");
  EXPECT_EQ(server().lastRequest("getGameList")->value("is_special"), "(null)");
  // The name now leads to the login screen.
  tapAndWait(bind->qxusername());
  closeLogin();
}

TEST_F(BindToviraControllerTest, ThePageTabsAndSwipesColourTheShownPage) {
  TempData::setuserdata(user());
  auto bind = openBinding();
  EXPECT_EQ(tabs(bind), kBindShown);
  tapAndWait(bind->unbindbtn());
  EXPECT_EQ(bind->mainscroll()->contentOffset().x, 320);
  EXPECT_EQ(tabs(bind), kUnbindShown);
  tapAndWait(bind->bindbtn());
  EXPECT_EQ(bind->mainscroll()->contentOffset().x, 0);

  // A swipe ends on the page that shows the most of itself.
  for (const auto& [x, shown] : {std::pair{310.0, kUnbindShown}, std::pair{309.0, kBindShown}}) {
    bind->mainscroll()->setContentOffset(CGPointMake(x, 0));
    bind->scrollViewDidEndDecelerating(*bind->mainscroll());
    EXPECT_EQ(tabs(bind), shown) << x;
  }
}
