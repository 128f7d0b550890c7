#include "uikit/UIKitFixture.h"

class UIViewTest : public UIKitFixture {};

TEST_F(UIViewTest, ViewWithTagFindsTheReceiverFirstThenSearchesDepthFirst) {
  auto root = UIView::create();
  auto a = UIView::create();
  auto aChild = UIView::create();
  auto b = UIView::create();
  root->addSubview(a);
  root->addSubview(b);
  a->addSubview(aChild);
  aChild->setTag(5);
  b->setTag(5);
  EXPECT_EQ(root->viewWithTag(5), aChild);  // the first subtree is searched before b
  b->setTag(0);
  root->setTag(5);
  EXPECT_EQ(root->viewWithTag(5), root);
  EXPECT_EQ(root->viewWithTag(99), nullptr);
}

TEST_F(UIViewTest, SubviewsKeepTheirOrderAndMoveBetweenParentsAndBoundsKeepTheCentre) {
  auto p1 = UIView::create(), p2 = UIView::create();
  auto a = UIView::create(), b = UIView::create(), c = UIView::create();
  p1->addSubview(a);
  p1->addSubview(b);
  p1->insertSubview(c, 0);
  EXPECT_EQ(p1->subviews(), (std::vector<std::shared_ptr<UIView>>{c, a, b}));
  p1->bringSubviewToFront(c);
  EXPECT_EQ(p1->subviews().back(), c);
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

TEST_F(UIViewTest, TheSuperviewIsWeakAndRemovingFromItKeepsTheViewAlive) {
  auto child = UIView::create();
  {
    auto parent = UIView::create();
    parent->addSubview(child);
    EXPECT_EQ(child->superview(), parent);
  }
  EXPECT_EQ(child->superview(), nullptr);
  std::weak_ptr<UIView> weak;
  auto parent = UIView::create();
  {
    auto v = UIView::create();
    weak = v;
    parent->addSubview(v);
  }
  weak.lock()->removeFromSuperview();  // the parent held the last reference before the call
  EXPECT_TRUE(weak.expired());
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

namespace {
class WidePopup : public UIView {
 public:
  std::shared_ptr<UIView> list;
  void initWithFrame(CGRect frame) override {
    UIView::initWithFrame(frame);
    list = UIView::create(CGRectMake(0, 100, 100, 150));  // hangs below the popup
    addSubview(list);
  }
  bool pointInside(CGPoint p, const UIEvent* e) const override {
    return CGRectContainsPoint(list->frame(), p) || UIView::pointInside(p, e);
  }
};
}  // namespace

TEST_F(UIViewTest, HitTestingHonoursHiddenAlphaInteractionAndOverrides) {
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

  // A child outside its parent's bounds is reached only when the parent says the point is its.
  auto plain = UIView::create(CGRectMake(0, 200, 100, 100));
  auto hanging = UIView::create(CGRectMake(0, 100, 100, 150));
  plain->addSubview(hanging);
  root->addSubview(plain);
  EXPECT_EQ(root->hitTest(CGPointMake(50, 350)), root);
  auto popup = UIView::make<WidePopup>(CGRectMake(150, 200, 100, 100));
  root->addSubview(popup);
  EXPECT_EQ(root->hitTest(CGPointMake(200, 350)), popup->list);
}

TEST_F(UIViewTest, AnimationsRunAtOnceAndCompleteWhenTheClockHasMoved) {
  auto v = UIView::create(CGRectMake(0, 0, 10, 10));
  bool finished = false;
  UIView::animateWithDuration(
      0.25, 0, UIViewAnimationOptionBeginFromCurrentState, [&] { v->setAlpha(0); },
      [&](bool f) { finished = f; });
  EXPECT_EQ(v->alpha(), 0);
  ASSERT_EQ(UIView::recordedAnimations().size(), 1u);
  EXPECT_EQ(UIView::recordedAnimations()[0].duration, 0.25);
  EXPECT_EQ(UIView::recordedAnimations()[0].options, UIViewAnimationOptionBeginFromCurrentState);
  pump();
  EXPECT_FALSE(finished);
  advance(0.25);
  EXPECT_TRUE(finished);
}

TEST_F(UIViewTest, EveryClassIsKnownToTheRegistryWithItsSuperclasses) {
  auto button = UIButton::buttonWithType(UIButtonTypeCustom);
  EXPECT_TRUE(button->isKindOfClass("UIControl"));
  EXPECT_TRUE(button->isKindOfClass("UIView"));
  EXPECT_FALSE(button->isKindOfClass("UILabel"));
  EXPECT_TRUE(UITableView::create()->isKindOfClass("UIScrollView"));
  EXPECT_TRUE(UITabBarController::create()->isKindOfClass("UIViewController"));
  auto made = ClassRegistry::create("UILabel");
  ASSERT_TRUE(made);
  EXPECT_EQ(made->className(), "UILabel");
  EXPECT_TRUE(ClassRegistry::isSubclass("UITextView", "UIScrollView"));
}

TEST_F(UIViewTest, EndEditingResignsAFieldInsideTheView) {
  auto root = UIView::create(CGRectMake(0, 0, 320, 568));
  auto field = UITextField::create(CGRectMake(0, 0, 100, 30));
  root->addSubview(field);
  ASSERT_TRUE(field->becomeFirstResponder());
  EXPECT_TRUE(root->endEditing(true));
  EXPECT_FALSE(field->isFirstResponder());
  ASSERT_TRUE(field->becomeFirstResponder());
  field->removeFromSuperview();
  EXPECT_FALSE(field->isFirstResponder());
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
  EXPECT_EQ(filling->frame(), CGRectMake(0, 0, 375, 667));
  EXPECT_EQ(pinnedRight->frame(), CGRectMake(335, 10, 30, 30));
  EXPECT_EQ(centred->frame(), CGRectMake(137.5, 0, 100, 20));
  EXPECT_EQ(fixed->frame(), CGRectMake(5, 5, 50, 50));

  parent->setAutoresizesSubviews(false);
  parent->setFrame(CGRectMake(0, 0, 320, 480));
  EXPECT_EQ(filling->frame(), CGRectMake(0, 0, 375, 667));
}
