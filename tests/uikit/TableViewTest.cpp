#include "uikit/UIKitFixture.h"

class TableViewTest : public UIKitFixture {};

TEST_F(TableViewTest, ReloadingWithNewCellsEachTimeDoesNotKeepOldCellsAlive) {
  // A data source that never dequeues, as a screen reloading on a timer might be.
  struct Fresh : UITableViewDataSource {
    std::vector<std::weak_ptr<UITableViewCell>> made;
    long numberOfRowsInSection(UITableView&, long) override { return 5; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&,
                                                           const NSIndexPath&) override {
      auto c = UITableViewCell::create(UITableViewCellStyleDefault, "row");
      made.push_back(c);
      return c;
    }
  };
  auto ds = std::make_shared<Fresh>();
  auto table = UITableView::create(CGRectMake(0, 0, 320, 400));
  table->setDataSource(ds);
  for (int i = 0; i < 20; ++i) table->reloadData();
  long alive = 0;
  for (auto& w : ds->made) alive += !w.expired();
  // The rows on screen and, at most, the pool of those shown by the reload before.
  EXPECT_LE(alive, 10);
  EXPECT_EQ(table->visibleCells().size(), 5u);

  // A data source that does dequeue gets the cells it showed before.
  table->reloadData();
  EXPECT_TRUE(table->dequeueReusableCellWithIdentifier("row"));
}
