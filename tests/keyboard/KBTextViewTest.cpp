#include "keyboard/KBTextView.h"
#include "keyboard/KeyboardFixture.h"
#include "platform/uikit/UIKitNotification.h"

class KBTextViewTest : public KeyboardFixture {};

TEST_F(KBTextViewTest, ThePlaceholderShowsOnlyWhileTheTextIsEmpty) {
  auto vc = UIViewController::create();
  auto view = KBTextView::create(CGRectMake(10, 40, 300, 120));
  EXPECT_EQ(view->placeHolderLabel(), nullptr);
  view->refreshPlaceholder();  // nothing to show yet
  view->setPlaceholder("说点什么");
  vc->view()->addSubview(view);
  show(vc);
  auto label = view->placeHolderLabel();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "说点什么");
  EXPECT_EQ(label->alpha(), 1.0);
  EXPECT_EQ(label->frame().origin, CGPointMake(8, 8));
  EXPECT_EQ(label->frame().size.width, 300 - 16);

  focus(view);
  Automation::typeText("a");
  EXPECT_EQ(label->alpha(), 0.0);
  view->deleteBackward();
  EXPECT_EQ(label->alpha(), 1.0);

  view->setText("已写");  // no notification needed
  EXPECT_EQ(label->alpha(), 0.0);
  view->setText("");
  EXPECT_EQ(label->alpha(), 1.0);
  view->setFont(UIFont::systemFontOfSize(20));
  EXPECT_EQ(label->font()->pointSize(), 20);
  view->setPlaceholder(std::nullopt);
  EXPECT_EQ(label->text(), "");
  // It answers its placeholder, so the keyboard bar can show it as its title.
  view->setPlaceholder("备注");
  EXPECT_EQ(KBPlaceholder(view), std::optional<std::string>("备注"));
  EXPECT_EQ(barOf(view)->title(), std::optional<std::string>("说点什么"));  // as editing began
}

TEST_F(KBTextViewTest, ThePlaceholderTextViewSetsItselfUpFromEveryWayOfMakingOneExactlyOnce) {
  auto made = UIView::make<CountingTextView>(CGRectMake(0, 0, 200, 80));
  made->awakeFromNib();  // a second way in: still one registration
  made->setPlaceholder("提示");
  made->refreshes = 0;
  UIKitNotification::post(UITextViewTextDidChangeNotification, made);
  EXPECT_EQ(made->refreshes, 1);

  // Another text view's changes are not this one's.
  auto other = UITextView::create();
  UIKitNotification::post(UITextViewTextDidChangeNotification, other);
  EXPECT_EQ(made->refreshes, 1);

  // Reading the delegate refreshes too.
  made->delegate();
  EXPECT_EQ(made->refreshes, 2);

  // A freed placeholder text view stops observing.
  std::weak_ptr<KBTextView> weak = made;
  made.reset();
  EXPECT_TRUE(weak.expired());
  UIKitNotification::post(UITextViewTextDidChangeNotification, nullptr);  // must not crash
}
