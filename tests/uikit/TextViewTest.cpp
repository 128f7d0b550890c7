#include "uikit/UIKitFixture.h"

class TextViewTest : public UIKitFixture {};

TEST_F(TextViewTest, DeletingBackwardRemovesAWholeEmojiAndLeavesValidText) {
  auto tv = UITextView::create(CGRectMake(0, 0, 200, 100));
  tv->setText("好😀");
  tv->setSelectedRange(NSRange{3, 0});
  EXPECT_TRUE(tv->deleteBackward());
  EXPECT_EQ(tv->text(), "好");
  EXPECT_TRUE(tv->deleteBackward());
  EXPECT_EQ(tv->text(), "");
  EXPECT_FALSE(tv->deleteBackward());
}

TEST_F(TextViewTest, TextViewsTellTheirDelegateAndPlaceTheCaret) {
  auto tv = UITextView::create(CGRectMake(0, 0, 110, 100));
  tv->setFont(UIFont::systemFontOfSize(10));
  struct Log : UITextViewDelegate {
    int changes = 0;
    bool shouldChangeTextInRange(UITextView&, NSRange, const std::string& s) override {
      return s != "x";
    }
    void textViewDidChange(UITextView&) override { ++changes; }
  };
  auto log = std::make_shared<Log>();
  tv->setDelegate(log);
  std::shared_ptr<NSObject> changedObject;
  NSNotificationCenter::defaultCenter().addObserverForName(
      UITextViewTextDidChangeNotification,
      [&](const Value&) { changedObject = UIKitNotification::currentObject(); });
  EXPECT_TRUE(Automation::type(tv, "一二三四五六七八九十一x"));
  EXPECT_EQ(tv->text(), "一二三四五六七八九十一");
  EXPECT_EQ(log->changes, 11);
  EXPECT_EQ(changedObject, tv);
  // 100 points of text width hold ten characters: the caret stands after one on line two.
  EXPECT_EQ(tv->caretRectForPosition(11), CGRectMake(5 + 10, 8 + 12, 2, 12));
  EXPECT_EQ(tv->caretRectForPosition(0), CGRectMake(5, 8, 2, 12));
  tv->setEditable(false);
  EXPECT_FALSE(tv->insertText("more"));
}
