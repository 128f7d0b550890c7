#include "keyboard/KBTextView.h"
#include "keyboard/KeyboardFixture.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIAppearance.h"
#include "platform/uikit/UIKitNotification.h"

TOVIRA_REGISTER_CLASS(CountingTextView, KBTextView)

class KBAppearanceArchiveTest : public KeyboardFixture {
 protected:
  void SetUp() override {
    KeyboardFixture::SetUp();
    UIAppearance::resetForTesting();
  }
  void TearDown() override {
    UIAppearance::resetForTesting();
    KeyboardFixture::TearDown();
  }
  std::shared_ptr<UIButton> buttonOf(const std::shared_ptr<UIToolbar>& bar,
                                     const std::shared_ptr<UIBarButtonItem>& item) {
    return std::dynamic_pointer_cast<UIButton>(bar->viewForItem(item));
  }
};

TEST_F(KBAppearanceArchiveTest, TheKeyboardBarAndItsItemsNeverTakeTheAppsGlobalAppearance) {
  auto red = UIColor::redColor(), green = UIColor::greenColor();
  auto image = UIImage::imageWithPixels(4, 4, std::vector<uint8_t>(64, 0x80));
  auto big = UIFont::systemFontOfSize(30);
  UIToolbar::appearance().setBarTintColor(green);
  UIToolbar::appearance().setTintColor(red);
  UIToolbar::appearance().setBackgroundColor(red);
  UIToolbar::appearance().setBackgroundImage(image, UIBarPositionBottom, UIBarMetricsDefault);
  UIToolbar::appearance().setShadowImage(image, UIBarPositionAny);
  UIBarButtonItem::appearance().setTintColor(red);
  UIBarButtonItem::appearance().setTitleTextAttributes({{NSFontAttributeName, big}},
                                                       UIControlStateNormal);
  UIBarButtonItem::appearance().setBackgroundImage(image, UIControlStateNormal,
                                                   UIBarMetricsDefault);
  UIBarButtonItem::appearance().setTitlePositionAdjustment(UIOffset{3, 4}, UIBarMetricsDefault);

  // The app's own toolbar and item take the appearance.
  auto plain = UIToolbar::create(CGRectMake(0, 0, 320, 44));
  auto item = UIBarButtonItem::create("好", UIBarButtonItemStylePlain, nullptr, [] {});
  plain->setItems({item});
  EXPECT_EQ(plain->barTintColor(), green);
  EXPECT_EQ(plain->backgroundColor(), red);
  EXPECT_EQ(plain->backgroundImageForToolbarPosition(UIBarPositionBottom, UIBarMetricsDefault),
            image);
  EXPECT_EQ(plain->shadowImageForToolbarPosition(UIBarPositionAny), image);
  EXPECT_EQ(item->tintColor(), red);
  EXPECT_EQ(item->titlePositionAdjustment(UIBarMetricsDefault), (UIOffset{3, 4}));
  ASSERT_NE(buttonOf(plain, item), nullptr);
  EXPECT_EQ(buttonOf(plain, item)->titleLabel()->font(), big);
  EXPECT_EQ(buttonOf(plain, item)->currentBackgroundImage(), image);

  // The keyboard's bar, its buttons and its title item (a subclass of the item class) do not.
  auto field = UITextField::create(CGRectMake(0, 0, 200, 30));
  field->setPlaceholder("用户名");
  addPreviousNextDoneOnKeyboardWithTarget(
      field, nullptr, [](UIBarButtonItem&) {}, [](UIBarButtonItem&) {}, [](UIBarButtonItem&) {},
      true);
  auto bar = barOf(field);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->barTintColor(), nullptr);
  EXPECT_EQ(bar->backgroundColor(), nullptr);
  EXPECT_NE(bar->tintColor(), red);
  for (long position = UIBarPositionAny; position <= UIBarPositionTopAttached; ++position) {
    EXPECT_EQ(bar->backgroundImageForToolbarPosition(static_cast<UIBarPosition>(position),
                                                     UIBarMetricsDefault),
              nullptr);
    EXPECT_EQ(bar->shadowImageForToolbarPosition(static_cast<UIBarPosition>(position)), nullptr);
  }
  int titles = 0;
  for (const auto& barItem : bar->items()) {
    SCOPED_TRACE(barItem->className());
    titles += barItem->isMemberOfClass("KBTitleBarButtonItem");
    EXPECT_NE(barItem->tintColor(), red);
    EXPECT_TRUE(barItem->titleTextAttributes(UIControlStateNormal).empty());
    EXPECT_EQ(barItem->backgroundImage(UIControlStateNormal, UIBarMetricsDefault), nullptr);
    EXPECT_EQ(barItem->titlePositionAdjustment(UIBarMetricsDefault), UIOffsetZero);
    if (auto button = buttonOf(bar, barItem)) {
      EXPECT_NE(button->titleLabel()->font(), big);
      EXPECT_EQ(button->currentBackgroundImage(), nullptr);
    }
  }
  EXPECT_EQ(titles, 1);
}

TEST_F(KBAppearanceArchiveTest, TheBarAndThePlaceholderTextViewMadeFromAnArchiveAreSetUp) {
  const Value archived = Value::dict(
      {{"$classname", "UIView"},
       {"UIFrame", "{{0, 0}, {320, 480}}"},
       {"UISubviews",
        Value::array(
            {Value::dict({{"$classname", "KBToolbar"},
                          {"UIFrame", "{{0, 100}, {0, 0}}"},
                          {"UITag", 7},
                          {"UIItems", Value::array({Value::dict({{"$classname", "KBBarButtonItem"},
                                                                 {"UITitle", "好"},
                                                                 {"UIStyle", 2}})})}}),
             Value::dict({{"$classname", "CountingTextView"},
                          {"UIFrame", "{{0, 200}, {300, 120}}"},
                          {"UIText", "已有"}})})}});
  auto root = std::dynamic_pointer_cast<UIView>(NSKeyedUnarchiver::instantiateObjectWithData(
      NSKeyedArchiver::archivedDataWithRootObject(archived)));
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->subviews().size(), 2u);

  // The bar ran the same set-up as one made with a frame: sized to the screen's width and 44
  // high at its archived origin, flexible width, translucent, a black tint.
  auto bar = std::dynamic_pointer_cast<KBToolbar>(root->subviews()[0]);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->frame(), CGRectMake(0, 100, 320, 44));
  EXPECT_EQ(bar->tag(), 7);
  EXPECT_EQ(bar->autoresizingMask(), UIViewAutoresizingFlexibleWidth);
  EXPECT_TRUE(bar->isTranslucent());
  EXPECT_EQ(bar->tintColor()->description(), UIColor::blackColor()->description());
  ASSERT_EQ(bar->items().size(), 1u);
  EXPECT_EQ(bar->items()[0]->title(), "好");
  EXPECT_EQ(bar->items()[0]->style(), UIBarButtonItemStyleDone);

  // The text view woke and set itself up once: it follows its own text changes.
  auto textView = std::dynamic_pointer_cast<CountingTextView>(root->subviews()[1]);
  ASSERT_NE(textView, nullptr);
  EXPECT_EQ(textView->text(), "已有");
  textView->setPlaceholder("说点什么");
  EXPECT_EQ(textView->placeHolderLabel()->alpha(), 0.0);
  textView->refreshes = 0;
  UIKitNotification::post(UITextViewTextDidChangeNotification, textView);
  EXPECT_EQ(textView->refreshes, 1);
}
