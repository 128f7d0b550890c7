#include "keyboard/KeyboardFixture.h"

namespace {
// A view of no text class that can become first responder.
class Knob : public UIView {
 public:
  bool canBecomeFirstResponder() const override { return true; }
};
}  // namespace

class KBViewHierarchyTest : public KeyboardFixture {};

TEST_F(KBViewHierarchyTest, OnlyVisibleEnabledEditableFieldsTakePartInAChain) {
  auto container = UIView::create(CGRectMake(0, 0, 320, 500));
  auto add = [&](std::shared_ptr<UIView> v, double y) {
    v->setFrame(CGRectMake(0, y, 100, 30));
    container->addSubview(v);
    return v;
  };
  auto good = add(UITextField::create(), 0);
  auto hidden = add(UITextField::create(), 40);
  hidden->setHidden(true);
  auto disabled = std::dynamic_pointer_cast<UITextField>(add(UITextField::create(), 80));
  disabled->setEnabled(false);
  auto readOnly = std::dynamic_pointer_cast<UITextView>(add(UITextView::create(), 120));
  readOnly->setEditable(false);
  auto transparent = add(UITextField::create(), 160);
  transparent->setAlpha(0);
  auto search = add(UISearchBar::create(), 200);
  auto knob = add(UIView::make<Knob>(), 240);
  auto label = add(UILabel::create(), 280);

  using Views = std::vector<std::shared_ptr<UIView>>;
  EXPECT_EQ(responderSiblings(good), (Views{good, knob}));
  EXPECT_FALSE(isAskingCanBecomeFirstResponder(good));
  EXPECT_TRUE(isSearchBarTextField(search));
  EXPECT_FALSE(isAlertViewTextField(good));
}

TEST_F(KBViewHierarchyTest, SortsAreAscendingAndKeepEqualElementsInTheirOrder) {
  std::vector<std::shared_ptr<UIView>> views;
  for (long tag : {3, 1, 2, 1}) {
    auto v = UIView::create(CGRectMake(0, 10, 10, 10));
    v->setTag(tag);
    views.push_back(v);
  }
  auto byTag = sortedArrayByTag(views);
  EXPECT_EQ(byTag, (std::vector<std::shared_ptr<UIView>>{views[1], views[3], views[2], views[0]}));
  // All at the same place: the order stays as it was.
  EXPECT_EQ(sortedArrayByPosition(views), views);
  views[2]->setFrame(CGRectMake(50, 0, 10, 10));
  views[0]->setFrame(CGRectMake(5, 0, 10, 10));
  auto byPosition = sortedArrayByPosition(views);
  EXPECT_EQ(byPosition,
            (std::vector<std::shared_ptr<UIView>>{views[0], views[2], views[1], views[3]}));
  // Objects without a tag compare equal to anything.
  std::vector<std::shared_ptr<NSObject>> mixed{views[0], std::make_shared<NSObject>(), views[1]};
  auto sorted = sortedArrayByTag(mixed);
  EXPECT_EQ(sorted, mixed);
}

TEST_F(KBViewHierarchyTest, DeepRespondersGoDepthFirstWithEachLevelByPosition) {
  auto root = UIView::create(CGRectMake(0, 0, 320, 500));
  auto lower = UIView::create(CGRectMake(0, 200, 320, 100));
  auto upper = UIView::create(CGRectMake(0, 0, 320, 100));
  root->addSubview(lower);
  root->addSubview(upper);
  auto a = UITextField::create(CGRectMake(0, 50, 100, 30));
  auto b = UITextField::create(CGRectMake(0, 10, 100, 30));
  auto c = UITextField::create(CGRectMake(0, 10, 100, 30));
  upper->addSubview(a);
  upper->addSubview(b);
  lower->addSubview(c);
  EXPECT_EQ(deepResponderViews(root), (std::vector<std::shared_ptr<UIView>>{b, a, c}));
  EXPECT_EQ(superviewOfClassType(a, "UIView"), upper);
  EXPECT_EQ(superviewOfClassType(a, "UIScrollView"), nullptr);
  EXPECT_EQ(depth(a), 2);
  EXPECT_NE(subHierarchy(root).find("|  |  UITextField: ( 0, 50, 100, 30 )"), std::string::npos);
}

TEST_F(KBViewHierarchyTest, TheControllerToMoveIsThePresentedOneThatHoldsTheView) {
  auto root = UIViewController::create();
  show(root);
  auto presented = UIViewController::create();
  auto child = UIViewController::create();
  presented->addChildViewController(child);
  presented->view()->addSubview(child->view());
  auto field = UITextField::create(CGRectMake(0, 0, 100, 30));
  child->view()->addSubview(field);
  root->presentViewController(presented, false);
  pump();
  EXPECT_EQ(viewController(field), child);
  EXPECT_EQ(topMostController(field), presented);
  EXPECT_EQ(topMostController(window), presented);
  EXPECT_EQ(currentViewController(window), presented);
}
