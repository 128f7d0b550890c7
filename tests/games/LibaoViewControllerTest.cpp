// The new-user gift page: its bars and hot list, the picker, and the gift links it opens in the
// shop app or the browser.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/GamePicker.h"
#include "games/LibaoViewController.h"
#include "platform/automation/Automation.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITableView.h"

class LibaoViewControllerTest : public GamesFixture {
 protected:
  void SetUp() override {
    GamesFixture::SetUp();
    server().reply(
        "getGameList",
        games({{"xh", "星海远征", "1"}, {"", "无名之地", "2"}, {"mc", "萌宠乐园", "3"}}));
    server().reply("get_hot_gift", R"({"state":"ok","data":[
        {"plat_gamename":"星海远征","data":{"tb_url":"https://shop.example/item?id=101"}},
        {"plat_gamename":"剑影江湖","data":{"tb_url":""}}]})");
    SimulatedDevice::shared().installApp("https", [](const std::string&) { return true; });
  }
  std::vector<std::string> tableTexts(const std::shared_ptr<LibaoViewController>& page) {
    std::vector<std::string> out;
    auto table = page->gameTableview();
    for (long row = 0; row < table->numberOfRowsInSection(0); ++row) {
      auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0));
      out.push_back(cell->textLabel()->text() + " " +
                    cell->textLabel()->textColor()->description());
    }
    return out;
  }
  void selectRow(const std::shared_ptr<LibaoViewController>& page, long row) {
    page->gameTableview()->userSelectRow(NSIndexPath::indexPathForRow(row, 0));
    pump();
  }
  static std::vector<std::string> urls() { return SimulatedDevice::shared().openedURLs(); }
};

TEST_F(LibaoViewControllerTest, ThePageShowsItsBarChooserAndTheHotGiftsUnderAHeading) {
  TempData::setuserdata(user());
  auto page = openGifts();
  // The bar, its back label and title; the chooser, its prompt and the gift button; the hot
  // list; the picker's two columns, hidden.
  EXPECT_EQ(frames({page->topview(), page->backlabel(), shown("新手礼包"), page->chooser(),
                    page->chooseLab(), shown("0.1元"), page->gameTableview(), page->gamescroll(),
                    page->gamezimuscroll()}),
            "(0,20,320,46) (35,13,40,20) (110,13,100,20) (10,40,240,30) (10,0,200,30) "
            "(260,40,50,30) (0,156,320,412) (10,136,210,240) (220,136,30,240)");
  EXPECT_EQ(page->chooseLab()->text(), "请输入游戏名称");
  shown("您在Tovira玩的游戏是：");
  EXPECT_TRUE(page->gamescroll()->isHidden() && page->mask()->isHidden());

  EXPECT_EQ(tableTexts(page),
            (std::vector<std::string>{"热门新手礼包 rgb(0,0,0)", "星海远征 rgb(47,128,197)",
                                      "剑影江湖 rgb(47,128,197)"}));
  EXPECT_EQ(sent("get_hot_gift"), "client_type=2");
  EXPECT_EQ(sent("getGameList"), "c_t=i&is_special=0&unlimit=1");
}

TEST_F(LibaoViewControllerTest, AHotGiftOpensInTheShopAppWhenItCanAndInTheBrowserOtherwise) {
  auto page = openGifts();
  EXPECT_EQ(server().lastRequest("getGameList")->value("is_special"), "(null)");
  selectRow(page, 0);
  EXPECT_TRUE(urls().empty());
  EXPECT_EQ(Automation::alertText(), "");

  selectRow(page, 1);
  EXPECT_EQ(urls(), (std::vector<std::string>{"https://shop.example/item?id=101"}));
  EXPECT_FALSE(page->gameTableview()->indexPathForSelectedRow());

  SimulatedDevice::shared().installApp("taobao", [](const std::string&) { return true; });
  selectRow(page, 1);
  EXPECT_EQ(urls().back(), "taobao://shop.example/item?id=101");

  selectRow(page, 2);
  EXPECT_EQ(takeAlert(), "很抱歉 | 该游戏暂不提供新手礼包 | [确定]");
  EXPECT_EQ(urls().size(), 2u);
}

TEST_F(LibaoViewControllerTest, TheGiftLinkReplacesOnlyALeadingHttpsScheme) {
  EXPECT_EQ(LibaoViewController::shopAppLink("https://shop.example/a?back=https://x.example/https"),
            "taobao://shop.example/a?back=https://x.example/https");
  EXPECT_EQ(LibaoViewController::shopAppLink("http://shop.example/https"),
            "http://shop.example/https");

  SimulatedDevice::shared().installApp("taobao", [](const std::string&) { return true; });
  server().reply("get_tb_url",
                 R"({"state":"ok","data":{"tb_url":"https://shop.example/g?from=https"}})");
  openGifts();
  tapAndWait(shown("0.1元"));
  EXPECT_EQ(urls(), (std::vector<std::string>{"taobao://shop.example/g?from=https"}));
}

TEST_F(LibaoViewControllerTest, TheGiftButtonSendsThePromptBeforeAGameIsChosenAndThenTheName) {
  server().reply("get_tb_url", R"({"state":"error","msg":"无","data":null})");
  auto page = openGifts();
  tapAndWait(shown("0.1元"));
  EXPECT_EQ(server().lastRequest("get_tb_url")->value("gamename"), "请输入游戏名称");
  EXPECT_EQ(takeAlert(), "很抱歉 | 该游戏暂不提供新手礼包 | [确定]");

  tapAndWait(page->chooser());
  EXPECT_FALSE(page->gamescroll()->isHidden() || page->gamezimuscroll()->isHidden() ||
               page->mask()->isHidden());
  auto rows = GamePicker::rows(*page->gamescroll());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1]->text(), "  无  无名之地");
  EXPECT_EQ(Automation::dumpView(page->gamescroll()).find("\"H5\""), std::string::npos)
      << "no badges on this page";
  tapAndWait(rows[1]);
  EXPECT_EQ(page->chooseLab()->text(), "无名之地");
  EXPECT_TRUE(page->gamescroll()->isHidden() && page->mask()->isHidden());
  tapAndWait(shown("0.1元"));
  EXPECT_EQ(server().lastRequest("get_tb_url")->value("gamename"), "无名之地");
  takeAlert();

  // The mask closes an open picker.
  tapAndWait(page->chooser());
  tapAndWait(CGPointMake(300, 500));
  EXPECT_TRUE(page->gamescroll()->isHidden() && page->mask()->isHidden());
}

TEST_F(LibaoViewControllerTest, AGameNameIsPercentEscapedSoThatItCannotAddKeys) {
  server().reply("getGameList", games({{"a", "A&B=C 1+1", "1"}}));
  server().reply("get_tb_url", R"({"state":"ok","data":{}})");
  auto page = openGifts();
  tapAndWait(page->chooser());
  tapAndWait(GamePicker::rows(*page->gamescroll()).at(0));
  tapAndWait(shown("0.1元"));
  const auto request = server().lastRequest("get_tb_url");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("gamename"), "A&B=C 1+1");
  EXPECT_FALSE(request->has("B"));
  EXPECT_NE(request->raw.find("gamename=A%26B%3DC%201%2B1"), std::string::npos) << request->raw;
  EXPECT_EQ(takeAlert(), "很抱歉 | 该游戏暂不提供新手礼包 | [确定]");
}

TEST_F(LibaoViewControllerTest, AHotGiftReplyWhoseListIsNotAnArrayOfDictionariesAddsNothing) {
  server().reply("get_hot_gift", R"({"state":"ok","data":{"plat_gamename":"x"}})");
  auto page = openGifts();
  EXPECT_EQ(page->gameAry().count(), 1u);
  EXPECT_EQ(page->gameTableview()->numberOfRowsInSection(0), 1);

  server().reply("get_hot_gift",
                 R"({"state":"ok","data":["text",3,{"plat_gamename":"乙","data":"none"}]})");
  auto second = LibaoViewController::create();
  second->view();
  EXPECT_EQ(tableTexts(second),
            (std::vector<std::string>{"热门新手礼包 rgb(0,0,0)", "乙 rgb(47,128,197)"}));
  selectRow(second, 1);
  EXPECT_EQ(takeAlert(), "很抱歉 | 该游戏暂不提供新手礼包 | [确定]");
}

TEST_F(LibaoViewControllerTest, ANilLinkReplyCountsAsNoLinkAndBackDismissesThePage) {
  server().replyRaw("get_tb_url", "not json");
  auto page = openGifts();
  tapAndWait(shown("0.1元"));
  EXPECT_EQ(takeAlert(), "很抱歉 | 该游戏暂不提供新手礼包 | [确定]");
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  tapAndWait(page->backlabel());
  EXPECT_EQ(home_->presentedViewController(), nullptr);
}
