#include "UIKitFixture.h"
#include "platform/uikit/UIAppearance.h"

namespace {
class ThemedToolbar : public UIToolbar {
  TOVIRA_CLASS(ThemedToolbar)
};
class ThemedItem : public UIBarButtonItem {
  TOVIRA_CLASS(ThemedItem)
};
}  // namespace
TOVIRA_REGISTER_CLASS(ThemedToolbar, UIToolbar)
TOVIRA_REGISTER_CLASS(ThemedItem, UIBarButtonItem)

class AppearanceTest : public UIKitFixture {
 protected:
  void SetUp() override {
    UIKitFixture::SetUp();
    UIAppearance::resetForTesting();
  }
  void TearDown() override {
    UIAppearance::resetForTesting();
    UIKitFixture::TearDown();
  }
};

TEST_F(AppearanceTest, NewBarsTakeTheirClassAppearanceAndTheMostSpecificClassWins) {
  auto red = UIColor::redColor(), blue = UIColor::blueColor();
  UIToolbar::appearance().setBarTintColor(red);
  UIToolbar::appearance().setBarStyle(UIBarStyleBlack);
  UIToolbar::appearance().setTranslucent(false);
  UIToolbar::appearanceForClassName("ThemedToolbar").setBarTintColor(blue);
  UIToolbar::appearanceForClassName("ThemedToolbar").setBackgroundColor(nullptr);  // cleared

  auto plain = UIToolbar::create();
  EXPECT_EQ(plain->barTintColor(), red);
  EXPECT_EQ(plain->barStyle(), UIBarStyleBlack);
  EXPECT_FALSE(plain->isTranslucent());
  auto themed = UIView::make<ThemedToolbar>();
  EXPECT_EQ(themed->barTintColor(), blue);
  EXPECT_EQ(themed->barStyle(), UIBarStyleBlack);  // inherited where it sets nothing
  // A bar's own later settings win; bars made before a change keep what they took.
  themed->setBarTintColor(red);
  EXPECT_EQ(themed->barTintColor(), red);
  UIToolbar::appearance().setBarStyle(UIBarStyleDefault);
  EXPECT_EQ(plain->barStyle(), UIBarStyleBlack);
}

TEST_F(AppearanceTest, AnItemKeepsWhatItSetItselfAndTakesTheRestWhenShown) {
  auto red = UIColor::redColor(), blue = UIColor::blueColor();
  UIBarButtonItem::appearance().setTintColor(red);
  UIBarButtonItem::appearance().setTitleTextAttributes({{NSForegroundColorAttributeName, blue}},
                                                       UIControlStateDisabled);
  UIBarButtonItem::appearanceForClassName("ThemedItem").setTintColor(nullptr);

  auto own = UIBarButtonItem::create("甲", UIBarButtonItemStylePlain, nullptr, [] {});
  own->setTintColor(blue);
  own->setEnabled(false);
  auto themed = std::make_shared<ThemedItem>();
  themed->setTitle("乙");
  auto bar = UIToolbar::create(CGRectMake(0, 0, 320, 44));
  bar->setItems({own, themed});
  EXPECT_EQ(own->tintColor(), blue);
  EXPECT_EQ(own->titleTextAttributes(UIControlStateDisabled)[NSForegroundColorAttributeName], blue);
  auto button = std::dynamic_pointer_cast<UIButton>(bar->viewForItem(own));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->titleColorForState(UIControlStateDisabled), blue);
  EXPECT_EQ(themed->tintColor(), nullptr);  // its class cleared the tint
}

TEST_F(AppearanceTest, AClassInitialisationHookRunsBeforeItsClassTakesAppearance) {
  std::vector<std::string> initialised;
  ClassRegistry::setInitializer("ThemedToolbar", [&](const std::string& name) {
    initialised.push_back(name);
    UIToolbar::appearanceForClassName(name).setBarTintColor(nullptr);
  });
  UIToolbar::appearance().setBarTintColor(UIColor::redColor());
  auto first = UIView::make<ThemedToolbar>();
  auto second = UIView::make<ThemedToolbar>();
  EXPECT_EQ(first->barTintColor(), nullptr);
  EXPECT_EQ(second->barTintColor(), nullptr);
  EXPECT_EQ(initialised, std::vector<std::string>{"ThemedToolbar"});  // once
  ClassRegistry::setInitializer("ThemedToolbar", nullptr);
}
