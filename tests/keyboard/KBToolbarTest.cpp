#include "keyboard/KBBarButtonItem.h"
#include "keyboard/KBSegmentedNextPrevious.h"
#include "keyboard/KBTextView.h"
#include "keyboard/KeyboardFixture.h"

class KBToolbarTest : public KeyboardFixture {
 protected:
  std::shared_ptr<UITextField> field = UITextField::create(CGRectMake(0, 0, 200, 30));
  int presses = 0;
  KBAction count() {
    return [this](UIBarButtonItem&) { ++presses; };
  }
};

TEST_F(KBToolbarTest, APreviousNextDoneBarHasItsSixItemsInOrder) {
  field->setPlaceholder("用户名");
  addPreviousNextDoneOnKeyboardWithTarget(field, nullptr, count(), count(), count(), true);
  EXPECT_EQ(itemsOf(field), "< _23 > [用户名]- ~ Done");
  auto bar = barOf(field);
  auto items = bar->items();
  auto title = std::dynamic_pointer_cast<KBTitleBarButtonItem>(items[3]);
  // Made 320 - 138.5 wide, the title gives up what the buttons need: Done stays on the bar.
  EXPECT_LE(CGRectGetMaxX(bar->viewForItem(items[5])->frame()), 320);
  EXPECT_GT(title->titleView()->frame().size.width, 0);
  // The bar's own title and font stay unset until someone sets them.
  EXPECT_FALSE(bar->title().has_value());
  EXPECT_EQ(bar->titleFont(), nullptr);
  EXPECT_EQ(title->font()->fontName(), UIFont::boldSystemFontOfSize(12)->fontName());
}

TEST_F(KBToolbarTest, TheOtherShapesHaveTheirItemsAndATitleOnlyWhereOneIsAsked) {
  const std::vector<std::pair<std::function<void()>, std::string>> shapes = {
      {[&] { addDoneOnKeyboardWithTarget(field, nullptr, count()); }, "[]- ~ Done"},
      {[&] { addCancelDoneOnKeyboardWithTarget(field, nullptr, count(), count(), "标题"); },
       "Cancel [标题]- ~ Done"},
      {[&] { addLeftRightOnKeyboardWithTarget(field, nullptr, "左", "右", count(), count()); },
       "'左' []- ~ '右'"},
      {[&] { addRightButtonOnKeyboardWithText(field, "好", nullptr, count()); }, "[]- ~ '好'!"},
      {[&] {
         addPreviousNextRightOnKeyboardWithTarget(field, nullptr, "完成", count(), count(),
                                                  count());
       },
       "< _23 > []- ~ '完成'!"},
  };
  for (const auto& [build, expected] : shapes) {
    SCOPED_TRACE(expected);
    build();
    EXPECT_EQ(itemsOf(field), expected);
  }

  // A plain text view has no placeholder: the placeholder form shows no title.
  auto textView = UITextView::create(CGRectMake(0, 0, 200, 80));
  addDoneOnKeyboardWithTarget(textView, nullptr, count(), true);
  EXPECT_EQ(itemsOf(textView), "[]- ~ Done");
  // A view that takes no accessory view gets nothing.
  auto plain = UIView::create();
  addDoneOnKeyboardWithTarget(plain, nullptr, count());
  EXPECT_EQ(plain->inputAccessoryView(), nullptr);
}

TEST_F(KBToolbarTest, AViewThatHidesItsTitleGetsAnEmptyTitleWhateverIsPassed) {
  field->setPlaceholder("密码");
  setShouldHideTitle(field, true);
  addDoneOnKeyboardWithTarget(field, nullptr, count(), "标题");
  EXPECT_EQ(itemsOf(field), "[]- ~ Done");
  setShouldHideTitle(field, false);  // the current bar follows at once
  EXPECT_EQ(barOf(field)->title(), std::optional<std::string>("密码"));
}

TEST_F(KBToolbarTest, TheBarFollowsADarkKeyboardAndPassesTitlesOnlyToTitleItems) {
  field->setKeyboardAppearance(UIKeyboardAppearanceDark);
  addPreviousNextDoneOnKeyboardWithTarget(field, nullptr, count(), count(), count());
  auto bar = barOf(field);
  EXPECT_EQ(bar->barStyle(), UIBarStyleBlack);
  bar->setTitle("新");
  EXPECT_EQ(itemsOf(field), "< _23 > [新]- ~ Done");
  for (auto& item : bar->items()) {
    const bool isTitle = std::dynamic_pointer_cast<KBTitleBarButtonItem>(item) != nullptr;
    EXPECT_EQ(item->title() == "新", isTitle);
  }
  field->setKeyboardAppearance(UIKeyboardAppearanceLight);
  addDoneOnKeyboardWithTarget(field, nullptr, count());
  EXPECT_EQ(barOf(field)->barStyle(), UIBarStyleDefault);
  EXPECT_EQ(barOf(field)->sizeThatFits(CGSizeMake(320, 100)).height, 44.0);
}

TEST_F(KBToolbarTest, EnablingPreviousAndNextTouchesOnlyThoseTwoButtonsFoundByTheirRole) {
  addPreviousNextDoneOnKeyboardWithTarget(field, nullptr, count(), count(), count());
  setEnablePrevious(field, false, true);
  EXPECT_EQ(itemsOf(field), "<- _23 > []- ~ Done");

  // Rearranged, the bar's arrows are still the ones changed, and Done is never disabled.
  auto items = barOf(field)->items();
  std::reverse(items.begin(), items.end());
  barOf(field)->setItems(items);
  setEnablePrevious(field, true, false);
  EXPECT_EQ(itemsOf(field), "Done ~ []- >- _23 <");

  // A bar of another shape, with four items of the bar-button class, is left alone.
  addCancelDoneOnKeyboardWithTarget(field, nullptr, count(), count());
  setEnablePrevious(field, false, false);
  EXPECT_EQ(itemsOf(field), "Cancel []- ~ Done");
}

// The bar's buttons and the custom actions hold their target weakly and do nothing once it is gone.
TEST_F(KBToolbarTest, ButtonsAndCustomActionsOfAFreedTargetDoNothing) {
  auto target = std::make_shared<int>(0);
  std::shared_ptr<UIView> seen;
  addDoneOnKeyboardWithTarget(field, target, count());
  setCustomDoneTarget(field, target,
                      [&](const std::shared_ptr<void>& t, const std::shared_ptr<UIView>& v) {
                        ++*std::static_pointer_cast<int>(t);
                        seen = v;
                      });
  auto done = barOf(field)->items()[2];
  done->sendAction();
  EXPECT_TRUE(doneInvocation(field)->invoke());
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(*target, 1);
  EXPECT_EQ(seen, field);
  std::weak_ptr<int> weak = target;
  target.reset();
  EXPECT_TRUE(weak.expired());  // neither the button nor the invocation kept it
  done->sendAction();
  EXPECT_EQ(presses, 1);
  EXPECT_FALSE(doneInvocation(field)->invoke());
}

TEST_F(KBToolbarTest, OnOlderSystemsTheArrowsAreASegmentedControlThatFollowsEnabling) {
  UIDevice::currentDevice()->setSystemVersion("6.1");
  auto target = std::make_shared<int>(0);
  int previous = 0, next = 0;
  addPreviousNextDoneOnKeyboardWithTarget(
      field, target, [&](UIBarButtonItem&) { ++previous; }, [&](UIBarButtonItem&) { ++next; },
      count());
  auto items = barOf(field)->items();
  ASSERT_EQ(items.size(), 4u);
  auto control = std::dynamic_pointer_cast<KBSegmentedNextPrevious>(items[0]->customView());
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(control->numberOfSegments(), 2);
  EXPECT_EQ(control->titleForSegmentAtIndex(0), "上一项");
  EXPECT_EQ(control->segmentedControlStyle(), UISegmentedControlStyleBar);
  setEnablePrevious(field, false, true);
  EXPECT_FALSE(control->isEnabledForSegmentAtIndex(0));
  EXPECT_TRUE(control->isEnabledForSegmentAtIndex(1));
  control->touchUpInside(CGPointMake(100, 10));
  EXPECT_EQ(next, 1);
  control->touchUpInside(CGPointMake(10, 10));  // disabled
  EXPECT_EQ(previous, 0);
}
