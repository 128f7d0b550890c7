#include "uikit/UIKitFixture.h"

class MoreControlsTest : public UIKitFixture {};

TEST_F(MoreControlsTest, DeletingRemovesWholeCharactersAndClearingAsksTheDelegate) {
  auto field = UITextField::create(CGRectMake(0, 0, 100, 30));
  field->setEnabled(false);
  EXPECT_FALSE(field->becomeFirstResponder());  // disabled fields cannot be edited
  field->setEnabled(true);
  field->setClearsOnBeginEditing(true);
  field->setText("old");
  ASSERT_TRUE(field->becomeFirstResponder());
  EXPECT_EQ(field->text(), "");
  field->insertText("好😀");
  EXPECT_EQ(field->selectedRange(), NSMakeRange(3, 0));
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_EQ(field->text(), "好");
  field->setSelectedRange(NSMakeRange(0, 1));
  field->insertText("ab");  // replaces the selection
  EXPECT_EQ(field->text(), "ab");
  struct NoClear : UITextFieldDelegate {
    bool textFieldShouldClear(UITextField&) override { return false; }
  };
  auto d = std::make_shared<NoClear>();
  field->setDelegate(d);
  EXPECT_FALSE(Automation::clearField(field));
  field->setDelegate(std::weak_ptr<UITextFieldDelegate>());
  EXPECT_TRUE(Automation::clearField(field));
  EXPECT_EQ(field->text(), "");
}

TEST_F(MoreControlsTest, TableSectionsHaveHeadersAndRowsBelowThem) {
  struct Sections : UITableViewDataSource, UITableViewDelegate {
    long numberOfSectionsInTableView(UITableView&) override { return 2; }
    long numberOfRowsInSection(UITableView&, long s) override { return s == 0 ? 1 : 2; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                           const NSIndexPath& ip) override {
      auto c = UITableViewCell::create(UITableViewCellStyleSubtitle, "");
      c->textLabel()->setText("row " + ip.description());
      c->detailTextLabel()->setText("detail");
      return c;
    }
    std::string titleForHeaderInSection(UITableView&, long s) override { return s == 1 ? "B" : ""; }
    double heightForHeaderInSection(UITableView&, long s) override { return s == 1 ? 30 : -1; }
    std::optional<NSIndexPath> willSelectRowAtIndexPath(UITableView&,
                                                        const NSIndexPath& ip) override {
      if (ip.section == 0) return std::nullopt;
      return ip;
    }
  };
  auto table = UITableView::create(CGRectMake(0, 0, 320, 400));
  auto header = UIView::create(CGRectMake(0, 0, 10, 50));
  table->setTableHeaderView(header);
  auto s = std::make_shared<Sections>();
  table->setDataSource(s);
  table->setDelegate(s);
  table->reloadData();
  EXPECT_EQ(CGRectDescription(header->frame()) +
                CGRectDescription(table->rectForRowAtIndexPath({0, 0})) +
                CGRectDescription(table->rectForSection(1)) +
                CGRectDescription(table->rectForRowAtIndexPath({1, 1})),
            "(0,0,320,50)(0,50,320,44)(0,94,320,118)(0,168,320,44)");
  EXPECT_EQ(*table->indexPathForRowAtPoint(CGPointMake(5, 170)),
            NSIndexPath::indexPathForRow(1, 1));
  EXPECT_EQ(table->rectForRowAtIndexPath({3, 0}), CGRectZero);
  table->userSelectRow({0, 0});
  EXPECT_FALSE(table->indexPathForSelectedRow());  // the delegate refused
  table->userSelectRow({1, 0});
  EXPECT_TRUE(table->cellForRowAtIndexPath({1, 0})->isSelected());
}

TEST_F(MoreControlsTest, CollectionDelegatesSizeItemsPerIndexPath) {
  struct Sized : UICollectionViewDataSource, UICollectionViewDelegate {
    long numberOfItemsInSection(UICollectionView&, long) override { return 3; }
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView& cv,
                                                                 const NSIndexPath& ip) override {
      return cv.dequeueReusableCellWithReuseIdentifier("c", ip);
    }
    CGSize sizeForItemAtIndexPath(UICollectionView&, UICollectionViewFlowLayout&,
                                  const NSIndexPath& ip) override {
      return ip.row == 0 ? CGSizeMake(300, 40) : CGSizeMake(100, 20);
    }
  };
  auto cv = UICollectionView::create(CGRectMake(0, 0, 300, 300), nullptr);
  cv->registerClass<UICollectionViewCell>("c");
  auto d = std::make_shared<Sized>();
  cv->setDataSource(d);
  cv->setDelegate(d);
  cv->reloadData();
  std::string frames;
  for (long i : {0, 1, 2}) frames += CGRectDescription(cv->frameForItemAtIndexPath({0, i}));
  EXPECT_EQ(frames, "(0,0,300,40)(0,50,100,20)(110,50,100,20)");
  EXPECT_EQ(cv->dequeueReusableCellWithReuseIdentifier("unregistered", {0, 0}), nullptr);
}

TEST_F(MoreControlsTest, ToolbarsShareTheSpareWidthBetweenFlexibleSpaces) {
  auto bar = UIToolbar::create(CGRectMake(0, 0, 320, 44));
  auto prev = UIBarButtonItem::create("上一个", UIBarButtonItemStylePlain, nullptr, [] {});
  auto fixed = UIBarButtonItem::createSystem(UIBarButtonSystemItemFixedSpace);
  fixed->setWidth(20);
  auto done = UIBarButtonItem::createSystem(UIBarButtonSystemItemDone);
  bar->setItems(
      {prev, fixed, UIBarButtonItem::createSystem(UIBarButtonSystemItemFlexibleSpace), done});
  EXPECT_EQ(bar->viewForItem(prev)->frame(), CGRectMake(8, 0, 65, 44));  // 3 x 15 + 20
  EXPECT_EQ(CGRectGetMaxX(bar->viewForItem(done)->frame()), 312);
  EXPECT_EQ(Automation::textOf(bar->viewForItem(done)), "Done");
  EXPECT_EQ(bar->viewForItem(fixed), nullptr);
}

TEST_F(MoreControlsTest, ACaretAfterANewlineStandsAtTheStartOfTheVeryNextLine) {
  auto tv = UITextView::create(CGRectMake(0, 0, 120, 200));
  const double line = TextMeasure::lineHeight(tv->font());
  tv->setText("ab\n");
  EXPECT_EQ(tv->caretRectForPosition(3).origin, CGPointMake(5, 8 + line));
  tv->setText("ab\n\n");
  EXPECT_EQ(tv->caretRectForPosition(4).origin, CGPointMake(5, 8 + 2 * line));
}
