#include "platform/foundation/NSString.h"
#include "uikit/UIKitFixture.h"

class ControlsTest : public UIKitFixture {};

TEST_F(ControlsTest, ActionsRunForLiveAndUnremovedTargetsOnlyAndNotWhenDisabled) {
  auto b = UIButton::create(CGRectMake(0, 0, 50, 50));
  int calls = 0;
  std::string seen;
  auto target = std::make_shared<int>(0);
  b->addTarget(
      target,
      [&](UIButton& sender) {
        ++calls;
        seen = sender.className();
      },
      UIControlEventTouchUpInside);
  b->addTarget(
      nullptr, [&] { ++calls; }, UIControlEventValueChanged);
  b->touchUpInside(CGPointMake(1, 1));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, "UIButton");
  b->setEnabled(false);
  b->touchUpInside(CGPointMake(1, 1));
  EXPECT_EQ(calls, 1);
  b->setEnabled(true);
  target.reset();
  b->sendActionsForControlEvents(UIControlEventTouchUpInside | UIControlEventValueChanged);
  EXPECT_EQ(calls, 2);  // the gone target's action is skipped
  auto owner = std::make_shared<int>(1);
  b->addTarget(
      owner, [&] { ++calls; }, UIControlEventTouchUpInside);
  EXPECT_EQ(b->actionCount(UIControlEventTouchUpInside), 1u);  // the gone target is dropped
  b->removeTarget(owner.get(), UIControlEventTouchUpInside);
  b->sendActionsForControlEvents(UIControlEventTouchUpInside);
  EXPECT_EQ(calls, 2);  // nor is a removed one
}

namespace {
struct FieldLog : UITextFieldDelegate {
  std::vector<std::string> calls;
  bool allowBegin = true, allowEnd = true;
  size_t maxLength = 100;
  bool textFieldShouldBeginEditing(UITextField&) override {
    calls.push_back("shouldBegin");
    return allowBegin;
  }
  void textFieldDidBeginEditing(UITextField&) override { calls.push_back("didBegin"); }
  bool shouldChangeCharactersInRange(UITextField& f, NSRange r, const std::string& s) override {
    calls.push_back("change " + std::to_string(r.location) + "," + std::to_string(r.length) + " " +
                    s);
    return NSString::length(f.text()) - r.length + NSString::length(s) <= maxLength;
  }
  bool textFieldShouldReturn(UITextField& f) override {
    calls.push_back("return");
    f.resignFirstResponder();
    return true;
  }
  bool textFieldShouldEndEditing(UITextField&) override {
    calls.push_back("shouldEnd");
    return allowEnd;
  }
  void textFieldDidEndEditing(UITextField&) override { calls.push_back("didEnd"); }
};
}  // namespace

TEST_F(ControlsTest, EditingAFieldGoesThroughEveryDelegateHookInOrder) {
  auto field = UITextField::create(CGRectMake(0, 0, 100, 30));
  auto log = std::make_shared<FieldLog>();
  log->maxLength = 3;
  field->setDelegate(log);
  std::vector<std::string> notes;
  auto observer = std::make_shared<int>(0);
  for (auto name :
       {UITextFieldTextDidBeginEditingNotification, UITextFieldTextDidEndEditingNotification,
        UIKeyboardWillShowNotification, UIKeyboardWillHideNotification}) {
    NSNotificationCenter::defaultCenter().addObserver(observer, name, [&, name](const Value&) {
      auto obj = UIKitNotification::currentObject();
      notes.push_back(name + (obj == field ? " field" : ""));
    });
  }
  ASSERT_TRUE(field->becomeFirstResponder());
  for (auto ch : {"账", "号", "a", "b"}) field->insertText(ch);
  EXPECT_EQ(field->text(), "账号a");  // the fourth character breaks the limit of 3
  EXPECT_TRUE(field->pressReturn());
  pump();
  EXPECT_EQ(log->calls, (std::vector<std::string>{"shouldBegin", "didBegin", "change 0,0 账",
                                                  "change 1,0 号", "change 2,0 a", "change 3,0 b",
                                                  "return", "shouldEnd", "didEnd"}));
  EXPECT_EQ(notes, (std::vector<std::string>{"UITextFieldTextDidBeginEditingNotification field",
                                             "UIKeyboardWillShowNotification",
                                             "UITextFieldTextDidEndEditingNotification field",
                                             "UIKeyboardWillHideNotification"}));
}

TEST_F(ControlsTest, ARefusingDelegateKeepsTheFieldFromBeginningOrEnding) {
  auto field = UITextField::create(CGRectMake(0, 0, 100, 30));
  auto other = UITextField::create(CGRectMake(0, 40, 100, 30));
  auto log = std::make_shared<FieldLog>();
  field->setDelegate(log);
  log->allowBegin = false;
  EXPECT_FALSE(field->becomeFirstResponder());
  log->allowBegin = true;
  ASSERT_TRUE(field->becomeFirstResponder());
  log->allowEnd = false;
  EXPECT_FALSE(other->becomeFirstResponder());  // the editing field refuses to let go
  EXPECT_TRUE(field->isFirstResponder());
  log->allowEnd = true;
  EXPECT_TRUE(other->becomeFirstResponder());
  pump();
  EXPECT_TRUE(UIKeyboard::shared().isVisible());  // moving between fields keeps the keyboard up
}

namespace {
struct Rows : UITableViewDataSource, UITableViewDelegate {
  std::vector<std::string> items{"a", "b", "c"};
  std::vector<std::string> log;
  int made = 0;
  long numberOfRowsInSection(UITableView&, long) override { return (long)items.size(); }
  std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t,
                                                         const NSIndexPath& ip) override {
    auto cell = t.dequeueReusableCellWithIdentifier("row");
    if (!cell) {
      cell = UITableViewCell::create(UITableViewCellStyleDefault, "row");
      ++made;
    }
    cell->textLabel()->setText(items[ip.row]);
    return cell;
  }
  double heightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) override {
    return ip.row == 1 ? 60 : -1;
  }
  void didSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) override {
    log.push_back("select " + ip.description());
  }
  void didDeselectRowAtIndexPath(UITableView&, const NSIndexPath& ip) override {
    log.push_back("deselect " + ip.description());
  }
};
}  // namespace

TEST_F(ControlsTest, TablesLayOutCellsAsSubviewsReuseThemAndSelectOnTap) {
  auto vc = UIViewController::create();
  show(vc);
  auto table = UITableView::create(CGRectMake(0, 64, 320, 400));
  auto rows = std::make_shared<Rows>();
  table->setDataSource(rows);
  table->setDelegate(rows);
  vc->view()->addSubview(table);
  table->reloadData();
  EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}), CGRectMake(0, 44, 320, 60));
  EXPECT_EQ(table->contentSize(), CGSizeMake(320, 148));
  table->reloadData();
  EXPECT_EQ(rows->made, 3);  // the second load reused every cell
  Automation::tapText("b");
  Automation::tapText("c");
  EXPECT_EQ(rows->log,
            (std::vector<std::string>{"select [0,1]", "deselect [0,1]", "select [0,2]"}));
  EXPECT_EQ(*table->indexPathForSelectedRow(), NSIndexPath::indexPathForRow(2, 0));
  table->deselectRowAtIndexPath({0, 2}, true);
  EXPECT_FALSE(table->indexPathForSelectedRow());
}

namespace {
struct Grid : UICollectionViewDataSource, UICollectionViewDelegate {
  long count = 5;
  std::vector<NSIndexPath> selected;
  long numberOfItemsInSection(UICollectionView&, long) override { return count; }
  std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& cv,
                                                               const NSIndexPath& ip) override {
    auto cell = cv.dequeueReusableCellWithReuseIdentifier("cell", ip);
    cell->setTag(100 + ip.row);
    return cell;
  }
  void didSelectItemAtIndexPath(UICollectionView&, const NSIndexPath& ip) override {
    selected.push_back(ip);
  }
};
}  // namespace

TEST_F(ControlsTest, FlowLayoutsJustifyFullLinesAndSelectTappedItems) {
  auto vc = UIViewController::create();
  show(vc);
  auto layout = UICollectionViewFlowLayout::create();
  layout->itemSize = CGSizeMake(90, 100);
  layout->minimumInteritemSpacing = 5;
  layout->minimumLineSpacing = 10;
  layout->sectionInset = UIEdgeInsetsMake(5, 10, 5, 10);
  auto cv = UICollectionView::create(CGRectMake(0, 0, 310, 400), layout);
  auto grid = std::make_shared<Grid>();
  cv->registerClass<UICollectionViewCell>("cell");
  cv->setDataSource(grid);
  cv->setDelegate(grid);
  vc->view()->addSubview(cv);
  cv->reloadData();
  // 290 points of width: three 90-point items with 10 between them on the first line.
  std::string frames;
  for (long i : {0, 2, 4}) frames += CGRectDescription(cv->frameForItemAtIndexPath({0, i}));
  EXPECT_EQ(frames, "(10,5,90,100)(210,5,90,100)(110,115,90,100)");
  EXPECT_EQ(cv->contentSize().height, 220);
  Automation::tap(cv->cellForItemAtIndexPath({0, 3}));
  EXPECT_EQ(grid->selected, (std::vector<NSIndexPath>{NSIndexPath::indexPathForItem(3, 0)}));
}

TEST_F(ControlsTest, SegmentedControlsSelectTheTappedSegmentAndReportChangesOnly) {
  auto seg = UISegmentedControl::create({"金币", "绑金"});
  seg->setFrame(CGRectMake(0, 0, 200, 30));
  seg->setSelectedSegmentIndex(0);
  int changes = 0;
  seg->addTarget(
      nullptr, [&](UISegmentedControl& s) { changes += 1 + (int)s.selectedSegmentIndex(); },
      UIControlEventValueChanged);
  seg->touchUpInside(CGPointMake(150, 10));
  seg->touchUpInside(CGPointMake(160, 10));
  EXPECT_EQ(seg->selectedSegmentIndex(), 1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(seg->titleForSegmentAtIndex(1), "绑金");
}

namespace {
struct Web : UIWebViewDelegate {
  std::vector<std::string> log;
  bool shouldStartLoadWithRequest(UIWebView&, const std::shared_ptr<NSURL>& url,
                                  UIWebViewNavigationType) override {
    log.push_back("should " + url->absoluteString());
    return url->scheme() != "paylumepay";
  }
  void webViewDidFinishLoad(UIWebView&) override { log.push_back("finished"); }
  void didFailLoadWithError(UIWebView&, const Value& e) override {
    log.push_back("failed " + e["description"].str());
  }
};
}  // namespace

TEST_F(ControlsTest, WebViewsRecordLoadsAndLetTestsDriveThem) {
  auto web = UIWebView::create(CGRectMake(0, 0, 320, 500));
  auto d = std::make_shared<Web>();
  web->setDelegate(d);
  web->loadRequest(NSURL::URLWithString("http://127.0.0.1/game"));
  EXPECT_TRUE(web->isLoading());
  web->finishLoad();
  EXPECT_FALSE(web->simulateNavigation(NSURL::URLWithString("paylumepay://pay?x=1")));
  web->failLoad(-1009, "offline");
  web->setJavaScriptResult("document.title", "游戏");
  EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.title"), "游戏");
  EXPECT_EQ(web->loadedURLs(), (std::vector<std::string>{"http://127.0.0.1/game"}));
  EXPECT_EQ(d->log, (std::vector<std::string>{"should http://127.0.0.1/game", "finished",
                                              "should paylumepay://pay?x=1", "failed offline"}));
}

TEST_F(ControlsTest, SpinnersHideWhenStopped) {
  auto spinner = UIActivityIndicatorView::create(UIActivityIndicatorViewStyleGray);
  spinner->startAnimating();
  spinner->stopAnimating();
  EXPECT_TRUE(spinner->isHidden());
}
