#include "uikit/UIKitFixture.h"

namespace {
// Writes each life-cycle call into a shared log with its name.
class Screen : public UIViewController {
 public:
  TOVIRA_CLASS(Screen)
  std::string name;
  std::vector<std::string>* log = nullptr;
  int loads = 0;
  static std::shared_ptr<Screen> make(std::string n, std::vector<std::string>& log) {
    auto s = std::make_shared<Screen>();
    s->name = std::move(n);
    s->log = &log;
    return s;
  }
  void viewDidLoad() override { ++loads; }
  void viewWillAppear(bool) override { log->push_back(name + " willAppear"); }
  void viewDidAppear(bool) override { log->push_back(name + " didAppear"); }
  void viewWillDisappear(bool) override { log->push_back(name + " willDisappear"); }
  void viewDidDisappear(bool) override { log->push_back(name + " didDisappear"); }
};
}  // namespace

class ControllerTest : public UIKitFixture {
 protected:
  std::vector<std::string> log;
};

TEST_F(ControllerTest, TheViewLoadsOnceOnFirstUseAndLeadsTheResponderChainToTheApplication) {
  auto s = Screen::make("s", log);
  auto v = s->view();
  EXPECT_EQ(s->view(), v);
  EXPECT_EQ(s->loads, 1);
  // The responder chain runs from views through controllers to the application.
  auto label = UILabel::create();
  v->addSubview(label);
  EXPECT_EQ(label->nextResponder(), v);
  EXPECT_EQ(v->nextResponder(), s);
  auto window = show(s);
  EXPECT_EQ(s->nextResponder(), window);
  EXPECT_EQ(window->nextResponder(), UIApplication::sharedApplication());
  EXPECT_EQ(UIWindow::keyWindow(), window);
}

TEST_F(ControllerTest, ChildrenPresentFromTheirContainerAndAppearWithIt) {
  auto home = Screen::make("home", log);
  show(home);
  auto tabs = UITabBarController::create();
  auto shop = Screen::make("shop", log);
  auto gifts = Screen::make("gifts", log);
  tabs->setViewControllers({shop, gifts});
  bool presented = false;
  home->presentViewController(tabs, true, [&] { presented = true; });
  EXPECT_FALSE(presented);  // completions come on the run loop
  pump();
  EXPECT_TRUE(presented);
  log.clear();
  auto login = Screen::make("login", log);
  shop->presentViewController(login, true);  // from a tab: the tab bar controller presents
  EXPECT_EQ(login->presentingViewController(), tabs);
  EXPECT_EQ(shop->presentedViewController(), login);
  pump();
  login->dismissViewControllerAnimated(true);
  pump();
  EXPECT_EQ(log,
            (std::vector<std::string>{"shop willDisappear", "login willAppear", "login didAppear",
                                      "shop didDisappear", "login willDisappear", "shop willAppear",
                                      "login didDisappear", "shop didAppear"}));
  // A child dismisses its container when nothing is presented over it.
  shop->dismissViewControllerAnimated(true);
  pump();
  EXPECT_EQ(home->presentedViewController(), nullptr);
  EXPECT_EQ(log.back(), "home didAppear");
}

TEST_F(ControllerTest, AControllerThatIsAlreadyPresentingRefusesASecondPresentation) {
  auto home = Screen::make("home", log);
  show(home);
  auto a = Screen::make("a", log), b = Screen::make("b", log);
  home->presentViewController(a, false);
  bool called = false;
  home->presentViewController(b, false, [&] { called = true; });
  pump();
  EXPECT_EQ(home->presentedViewController(), a);
  EXPECT_FALSE(called);
  a->presentViewController(b, false);  // the top of the chain may present
  pump();
  EXPECT_EQ(a->presentedViewController(), b);
  home->dismissViewControllerAnimated(false);  // takes the whole chain down
  pump();
  EXPECT_EQ(home->presentedViewController(), nullptr);
  EXPECT_EQ(b->presentingViewController(), nullptr);
}

TEST_F(ControllerTest, ANewControllerAtTheSelectedTabPositionAppearsInPlaceOfTheOldOne) {
  auto tabs = UITabBarController::create();
  auto shop = Screen::make("shop", log), me = Screen::make("me", log),
       bind = Screen::make("bind", log);
  tabs->setViewControllers({shop, me, bind});
  show(tabs);
  pump();
  tabs->setSelectedIndex(1);
  log.clear();
  tabs->setViewControllers({shop, bind, me});
  EXPECT_EQ(tabs->selectedViewController(), bind);
  EXPECT_EQ(bind->view()->superview(), tabs->view());
  EXPECT_EQ(log, (std::vector<std::string>{"me willDisappear", "bind willAppear", "me didDisappear",
                                           "bind didAppear"}));
  log.clear();
  tabs->setViewControllers({shop, bind, me});
  EXPECT_TRUE(log.empty());
}

TEST_F(ControllerTest, NavigationControllersPushAndPopAndTheBarShowsTheTopItemsButtons) {
  auto root = Screen::make("root", log), page = Screen::make("page", log);
  root->setTitle("首页");
  auto nav = UINavigationController::create(root);
  show(nav);
  pump();
  nav->pushViewController(page, true);
  EXPECT_EQ(nav->topViewController(), page);
  EXPECT_EQ(page->navigationController(), nav);
  EXPECT_TRUE(nav->lastTransitionAnimated());
  page->navigationItem()->setTitle("登录");
  EXPECT_EQ(nav->navigationBar()->titleLabel()->text(), "登录");
  EXPECT_EQ(Automation::textOf(nav->navigationBar()->leftItemView()), "首页");  // the back button
  int cancels = 0;
  page->navigationItem()->setLeftBarButtonItem(
      UIBarButtonItem::create("取消", UIBarButtonItemStyleBordered, page, [&] { ++cancels; }));
  Automation::tapText("取消");
  EXPECT_EQ(cancels, 1);
  page->navigationItem()->setLeftBarButtonItem(nullptr);
  Automation::tapText("首页");
  EXPECT_EQ(nav->topViewController(), root);
  EXPECT_EQ(nav->navigationBar()->leftItemView(), nullptr);
  nav->pushViewController(page, false);
  EXPECT_EQ(nav->popViewControllerAnimated(false), page);
  EXPECT_EQ(log.back(), "root didAppear");
  EXPECT_EQ(root->view()->frame(), CGRectMake(0, 64, 320, 504));
}

TEST_F(ControllerTest, ReplacingTheRootControllerMovesAppearance) {
  auto a = Screen::make("a", log), b = Screen::make("b", log);
  auto window = show(a);
  window->setRootViewController(b);
  pump();
  EXPECT_EQ(log, (std::vector<std::string>{"a willAppear", "a willDisappear", "b willAppear",
                                           "a didDisappear", "b didAppear"}));
  EXPECT_EQ(window->subviews(), (std::vector<std::shared_ptr<UIView>>{b->view()}));
}
