#include "uikit/UIKitFixture.h"

class UIViewTest : public UIKitFixture {};

TEST_F(UIViewTest, SubviewsKeepTheirOrderAndMoveBetweenParentsAndBoundsKeepTheCentre) {
  auto p1 = UIView::create(), p2 = UIView::create();
  auto a = UIView::create(), b = UIView::create(), c = UIView::create();
  p1->addSubview(a);
  p1->addSubview(b);
  p1->insertSubview(c, 0);
  EXPECT_EQ(p1->subviews(), (std::vector<std::shared_ptr<UIView>>{c, a, b}));
  p2->addSubview(a);
  EXPECT_EQ(a->superview(), p2);
  EXPECT_EQ(p1->subviews().size(), 2u);
  b->removeFromSuperview();
  EXPECT_EQ(b->superview(), nullptr);
  p1->addSubview(p1);  // a view cannot contain itself
  a->addSubview(p2);   // nor an ancestor
  EXPECT_EQ(p2->superview(), nullptr);
  auto v = UIView::create(CGRectMake(10, 10, 100, 100));
  v->setBounds(CGRectMake(0, 0, 50, 50));
  EXPECT_EQ(v->frame(), CGRectMake(35, 35, 50, 50));
  EXPECT_EQ(v->center(), CGPointMake(60, 60));
}

TEST_F(UIViewTest, ConversionsGoThroughScrollOffsetsWithNothingCached) {
  auto window = UIWindow::create(CGRectMake(0, 0, 320, 568));
  auto scroll = UIScrollView::create(CGRectMake(0, 100, 320, 400));
  auto inner = UIScrollView::create(CGRectMake(320, 0, 320, 400));  // second page
  auto row = UIView::create(CGRectMake(10, 200, 300, 30));
  window->addSubview(scroll);
  scroll->addSubview(inner);
  inner->addSubview(row);
  EXPECT_EQ(row->convertRect(row->bounds(), nullptr), CGRectMake(330, 300, 300, 30));
  scroll->setContentOffset(CGPointMake(320, 0));
  inner->setContentOffset(CGPointMake(0, 50));
  EXPECT_EQ(row->convertRect(row->bounds(), nullptr), CGRectMake(10, 250, 300, 30));
  EXPECT_EQ(row->convertPoint(CGPointMake(0, 0), scroll), CGPointMake(330, 150));
  EXPECT_EQ(scroll->convertPointFromView(CGPointMake(0, 0), row), CGPointMake(330, 150));
  EXPECT_EQ(row->convertPointFromView(CGPointMake(10, 250), nullptr), CGPointMake(0, 0));
  EXPECT_EQ(window->convertRectFromView(row->bounds(), row), CGRectMake(10, 250, 300, 30));
  EXPECT_EQ(row->window(), window);
}

TEST_F(UIViewTest, HitTestingHonoursHiddenAlphaAndInteraction) {
  auto root = UIView::create(CGRectMake(0, 0, 320, 568));
  auto v = UIView::create(CGRectMake(0, 0, 100, 100));
  root->addSubview(v);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 50)), v);
  v->setHidden(true);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 50)), root);
  v->setHidden(false);
  v->setAlpha(0.005);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 50)), root);
  v->setAlpha(0.02);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 50)), v);
  v->setUserInteractionEnabled(false);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 50)), root);
  EXPECT_EQ(root->hitTest(CGPointMake(400, 50)), nullptr);
}

TEST_F(UIViewTest, EveryClassIsKnownToTheRegistryWithItsSuperclasses) {
  EXPECT_TRUE(UITabBarController::create()->isKindOfClass("UIViewController"));
  EXPECT_FALSE(UIButton::buttonWithType(UIButtonTypeCustom)->isKindOfClass("UILabel"));
  EXPECT_EQ(ClassRegistry::create("UILabel")->className(), "UILabel");
}

TEST_F(UIViewTest, FlexibleSubviewsFollowTheirSuperviewsNewSize) {
  auto parent = UIView::create(CGRectMake(0, 0, 320, 480));
  auto filling = UIView::create(CGRectMake(0, 0, 320, 480));
  filling->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  auto pinnedRight = UIView::create(CGRectMake(280, 10, 30, 30));
  pinnedRight->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
  auto centred = UIView::create(CGRectMake(110, 0, 100, 20));
  centred->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin |
                               UIViewAutoresizingFlexibleRightMargin);
  auto fixed = UIView::create(CGRectMake(5, 5, 50, 50));
  for (const auto& v : {filling, pinnedRight, centred, fixed}) parent->addSubview(v);

  parent->setFrame(CGRectMake(0, 0, 375, 667));
  std::string frames;
  for (const auto& v : parent->subviews()) frames += CGRectDescription(v->frame());
  EXPECT_EQ(frames, "(0,0,375,667)(335,10,30,30)(137.5,0,100,20)(5,5,50,50)");

  parent->setAutoresizesSubviews(false);
  parent->setFrame(CGRectMake(0, 0, 320, 480));
  EXPECT_EQ(filling->frame(), CGRectMake(0, 0, 375, 667));
}
