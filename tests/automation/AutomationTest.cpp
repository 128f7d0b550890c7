#include "uikit/UIKitFixture.h"

class AutomationTest : public UIKitFixture {
 protected:
  std::shared_ptr<UIViewController> screen;
  std::shared_ptr<UIView> root;
  void SetUp() override {
    UIKitFixture::SetUp();
    screen = UIViewController::create();
    show(screen);
    root = screen->view();
    root->setBackgroundColor(UIColor::whiteColor());
    pump();
  }
  // A button on the screen, or on `parent` when given, that runs `action` when tapped.
  std::shared_ptr<UIButton> button(const std::string& title, CGRect frame,
                                   std::function<void()> action,
                                   const std::shared_ptr<UIView>& parent = nullptr) {
    auto b = UIButton::buttonWithType(UIButtonTypeCustom);
    b->setFrame(frame);
    b->setTitle(title);
    b->addTarget(nullptr, std::move(action), UIControlEventTouchUpInside);
    (parent ? parent : root)->addSubview(b);
    return b;
  }
};

TEST_F(AutomationTest, TapsAndSwipesReachGestureRecognizersOfViewsThatTakeTouches) {
  auto label = UILabel::create(CGRectMake(10, 30, 60, 20));
  label->setText("返回");
  root->addSubview(label);
  int back = 0;
  label->addGestureRecognizer(
      UITapGestureRecognizer::create(nullptr, [&](UITapGestureRecognizer& g) {
        EXPECT_EQ(g.view(), label);
        EXPECT_EQ(g.state(), UIGestureRecognizerStateEnded);
        ++back;
      }));
  Automation::tapText("返回");
  EXPECT_EQ(back, 0);  // labels ignore touches until told otherwise
  label->setUserInteractionEnabled(true);
  EXPECT_EQ(Automation::tapText("返回"), label);
  EXPECT_EQ(back, 1);
  EXPECT_EQ(Automation::tapAt(CGPointMake(12, 32)), label);
  EXPECT_EQ(back, 2);
  // Swipes reach the recognizers of their direction only.
  auto left = UISwipeGestureRecognizer::create(nullptr, [&] { back = -1; });
  left->setDirection(UISwipeGestureRecognizerDirectionLeft);
  label->addGestureRecognizer(left);
  EXPECT_FALSE(Automation::swipe(label, UISwipeGestureRecognizerDirectionRight));
  EXPECT_TRUE(Automation::swipe(label, UISwipeGestureRecognizerDirectionLeft));
  EXPECT_EQ(back, -1);
}

TEST_F(AutomationTest, FindingPrefersTheFrontmostMatchAndAnswersButtonsForTheirTitles) {
  auto back = button("确定", CGRectMake(0, 0, 100, 30), [] {});
  auto front = button("确定", CGRectMake(0, 100, 100, 30), [] {});
  EXPECT_EQ(Automation::findAllByText("确定").size(), 2u);
  EXPECT_EQ(Automation::findByText("确定"), front);
  back->setTag(42);
  EXPECT_EQ(Automation::findByTag(42), back);
  EXPECT_EQ(Automation::findByClass("UIControl"), front);
  EXPECT_EQ(Automation::findContainingText("确"), front);
}

TEST_F(AutomationTest, TheScreenDumpIsStableIndentedText) {
  auto label = UILabel::create(CGRectMake(5, 40, 300, 20));
  label->setFont(UIFont::systemFontOfSize(14));
  auto text = NSMutableAttributedString::create("获得9.50枚平台币");
  text->addAttribute(NSForegroundColorAttributeName, UIColor::rgb(247, 82, 55), NSMakeRange(2, 4));
  label->setAttributedText(text);
  label->setTag(7);
  root->addSubview(label);
  auto b = button("取消", CGRectMake(50, 130, 80, 30), [] {});
  b->setBackgroundColor(UIColor::grayColor());
  auto hidden = UILabel::create(CGRectMake(0, 0, 10, 10));
  hidden->setText("2");
  hidden->setHidden(true);
  b->addSubview(hidden);
  auto field = UITextField::create(CGRectMake(105, 40, 50, 20));
  field->setPlaceholder("请选择游戏账号");
  field->layer().setBorderWidth(1);
  field->layer().setBorderColor(UIColor::rgb(216, 214, 215));
  root->addSubview(field);
  UIAlertView::create("提示", "信息不能为空", {}, "知道了")->show();
  std::string expected =
      "UIWindow (0,0,320,568)\n"
      "  UIView (0,0,320,568) bg=rgb(255,255,255)\n"
      "    UILabel (5,40,300,20) tag=7 text=\"获得9.50枚平台币\" color=rgb(0,0,0) font=system 14 "
      "ranges=[2+4 rgb(247,82,55)]\n"
      "    UIButton (50,130,80,30) title=\"取消\" color=rgb(255,255,255) bg=rgb(128,128,128)\n"
      "      UILabel (0,0,10,10) text=\"2\" color=rgb(0,0,0) font=system 17 hidden\n"
      "    UITextField (105,40,50,20) text=\"\" placeholder=\"请选择游戏账号\" border=1 "
      "rgb(216,214,215)\n"
      "UIAlertView title=\"提示\" message=\"信息不能为空\" buttons=[\"知道了\"]\n";
  EXPECT_EQ(Automation::dumpScreen(), expected);
  EXPECT_EQ(Automation::dumpScreen(), expected);
}

TEST_F(AutomationTest, OnlyTheTopmostPresentedScreenAndWhatLiesAboveItAreSeenFoundAndDumped) {
  auto title = UILabel::create(CGRectMake(0, 0, 100, 20));
  title->setText("首页");
  root->addSubview(title);
  EXPECT_EQ(Automation::findByText("首页"), title);
  auto page = UIViewController::create();
  auto other = UILabel::create(CGRectMake(0, 0, 100, 20));
  other->setText("登录");
  auto list = UIScrollView::create(CGRectMake(0, 66, 320, 502));
  list->setContentSize(CGSizeMake(320, 900));
  list->setContentOffset(CGPointMake(0, 120));
  list->setShowsVerticalScrollIndicator(false);
  page->view()->addSubview(other);
  page->view()->addSubview(list);
  screen->presentViewController(page, true);
  pump();
  auto hud = UIActivityIndicatorView::create(UIActivityIndicatorViewStyleWhiteLarge);
  hud->startAnimating();
  window_->addSubview(hud);
  EXPECT_EQ(Automation::topViewController(), page);
  EXPECT_EQ(Automation::screenRoots(), (std::vector<std::shared_ptr<UIView>>{page->view(), hud}));
  EXPECT_EQ(Automation::findByText("首页"), nullptr);
  EXPECT_EQ(Automation::findByText("登录"), other);
  EXPECT_EQ(Automation::findByClass("UIActivityIndicatorView"), hud);
  other->setHidden(true);
  EXPECT_EQ(Automation::findByText("登录"), nullptr);
  EXPECT_FALSE(Automation::isVisible(title));
  EXPECT_EQ(Automation::dumpScreen(),
            "UIWindow (0,0,320,568)\n"
            "  UIView (0,0,320,568)\n"
            "    UILabel (0,0,100,20) text=\"登录\" color=rgb(0,0,0) font=system 17 hidden\n"
            "    UIScrollView (0,66,320,502) offset=(0,120) content=(320,900)\n"
            "  UIActivityIndicatorView (0,0,37,37) animating\n");
  page->dismissViewControllerAnimated(true);
  pump();
  EXPECT_TRUE(Automation::isVisible(title));
}

TEST_F(AutomationTest, TappingATableRowAtItsCentreSelectsIt) {
  struct Rows : UITableViewDataSource, UITableViewDelegate {
    long picked = -1;
    long numberOfRowsInSection(UITableView&, long) override { return 20; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                           const NSIndexPath& ip) override {
      auto c = UITableViewCell::create(UITableViewCellStyleDefault, "r");
      c->textLabel()->setText("第" + std::to_string(ip.row) + "行");
      return c;
    }
    void didSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) override { picked = ip.row; }
  };
  auto table = UITableView::create(CGRectMake(0, 64, 320, 200));
  auto rows = std::make_shared<Rows>();
  table->setDataSource(rows);
  table->setDelegate(rows);
  root->addSubview(table);
  table->reloadData();
  table->scrollToRowAtIndexPath({0, 10}, UITableViewScrollPositionTop, false);
  EXPECT_EQ(table->contentOffset(), CGPointMake(0, 440));
  // Rows scrolled out of the table's bounds cannot be seen, so they cannot be found.
  EXPECT_EQ(Automation::findByText("第0行"), nullptr);
  EXPECT_EQ(Automation::findByText("第19行"), nullptr);
  EXPECT_TRUE(Automation::findByText("第14行"));
  EXPECT_EQ(Automation::tapAt(CGPointMake(160, 64 + 44 + 22)),
            table->cellForRowAtIndexPath({0, 11}));
  EXPECT_EQ(rows->picked, 11);
  table->setAllowsSelection(false);
  Automation::tapText("第12行");
  EXPECT_EQ(rows->picked, 11);
}

TEST_F(AutomationTest, AnAlertTakesEveryTouchUntilItIsDismissed) {
  int taps = 0;
  auto ok = button("兑换", CGRectMake(10, 100, 120, 30), [&] { ++taps; });
  UIAlertView::create("提示", "网络错误", std::weak_ptr<UIAlertViewDelegate>(), "确定")->show();
  EXPECT_EQ(Automation::tap(ok), nullptr);
  EXPECT_EQ(Automation::tapAt(CGPointMake(20, 110)), nullptr);
  EXPECT_EQ(taps, 0);
  EXPECT_TRUE(Automation::pressAlertButton("确定"));
  EXPECT_EQ(Automation::tap(ok), ok);
  EXPECT_EQ(taps, 1);
}

TEST_F(AutomationTest, TextViewsBeginEditingOnATapButNotThroughAMask) {
  auto tv = UITextView::create(CGRectMake(10, 100, 200, 80));
  root->addSubview(tv);
  auto mask = UIView::create(CGRectMake(0, 0, 320, 568));
  root->addSubview(mask);
  EXPECT_FALSE(Automation::type(tv, "你好"));
  EXPECT_EQ(tv->text(), "");
  mask->removeFromSuperview();
  EXPECT_EQ(Automation::tap(tv), tv);
  EXPECT_TRUE(tv->isFirstResponder());
  EXPECT_TRUE(Automation::type(tv, "你好"));
  EXPECT_EQ(tv->text(), "你好");
}

TEST_F(AutomationTest, AButtonThatDismissesItsOwnScreenLeavesThePresenterShownAgain) {
  struct Counting : UIViewController {
    int appearances = 0;
    void viewWillAppear(bool) override { ++appearances; }
  };
  auto presenter = std::make_shared<Counting>();
  show(presenter);
  pump();
  int before = presenter->appearances;
  {
    auto popup = UIViewController::create();
    std::weak_ptr<UIViewController> weakPopup = popup;
    button(
        "关闭", CGRectMake(10, 10, 80, 30),
        [weakPopup] {
          if (auto p = weakPopup.lock()) p->dismissViewControllerAnimated(true);
        },
        popup->view());
    presenter->presentViewController(popup, true);
  }
  pump();
  std::weak_ptr<UIView> closeButton = Automation::findByText("关闭");
  EXPECT_TRUE(Automation::tapText("关闭"));
  pump();
  EXPECT_TRUE(closeButton.expired());  // the dismissed screen is gone, nothing holds it
  EXPECT_EQ(presenter->appearances, before + 1);
  EXPECT_EQ(Automation::topViewController(), presenter);
}

TEST_F(AutomationTest, TheDumpShowsALabelsLineSpacingBesideItsTextAndColours) {
  auto style = NSMutableParagraphStyle::create();
  style->setLineSpacing(3);
  auto text = NSMutableAttributedString::create("提现前请仔细检查");
  text->addAttribute(NSParagraphStyleAttributeName, style, NSMakeRange(0, text->length()));
  text->addAttribute(NSForegroundColorAttributeName, UIColor::rgb(247, 82, 55), NSMakeRange(0, 2));
  auto spaced = UILabel::create(CGRectMake(33, 40, 237, 60));
  spaced->setNumberOfLines(0);
  spaced->setAttributedText(text);
  root->addSubview(spaced);
  auto plain = UILabel::create(CGRectMake(33, 110, 237, 20));
  plain->setAttributedText(NSAttributedString::create("1"));
  root->addSubview(plain);
  const std::string dump = Automation::dumpScreen();
  EXPECT_NE(dump.find("    UILabel (33,40,237,60) text=\"提现前请仔细检查\" color=rgb(0,0,0) "
                      "font=system 17 ranges=[0+2 rgb(247,82,55)] lineSpacing=3\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("    UILabel (33,110,237,20) text=\"1\" color=rgb(0,0,0) font=system 17\n"),
            std::string::npos)
      << dump;
}
