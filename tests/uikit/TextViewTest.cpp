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
