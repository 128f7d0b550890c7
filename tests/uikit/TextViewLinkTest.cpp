#include "UIKitFixture.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/NSAttributedString.h"

namespace {
class Refusing : public UITextViewDelegate {
 public:
  bool shouldInteractWithURL(UITextView&, const std::shared_ptr<NSURL>&, NSRange) override {
    ++asked;
    return false;
  }
  int asked = 0;
};
}  // namespace

class TextViewLinkTest : public UIKitFixture {
 protected:
  void SetUp() override {
    UIKitFixture::SetUp();
    SimulatedDevice::shared().installApp("https");
    auto text = NSMutableAttributedString::create("前往 官网");
    text->addAttribute(NSLinkAttributeName,
                       std::make_shared<NSLinkAttribute>(NSURL::URLWithString("https://a.example")),
                       NSRange{3, 2});
    text->addAttribute(NSForegroundColorAttributeName, UIColor::blueColor(), NSRange{3, 2});
    view->setAttributedText(text);
  }
  std::shared_ptr<UITextView> view = UITextView::create(CGRectMake(0, 0, 300, 100));
};

TEST_F(TextViewLinkTest, ATappedLinkOpensOnlyInAReadOnlyTextViewAndWhenTheDelegateAllows) {
  EXPECT_EQ(view->text(), "前往 官网");
  // Being edited, the text takes taps as a caret would: nothing opens.
  EXPECT_FALSE(view->tapCharacterAtIndex(3));
  EXPECT_TRUE(SimulatedDevice::shared().openedURLs().empty());

  view->setEditable(false);
  EXPECT_TRUE(view->tapCharacterAtIndex(4));  // no delegate: YES
  EXPECT_EQ(SimulatedDevice::shared().openedURLs(), std::vector<std::string>{"https://a.example"});
  auto refusing = std::make_shared<Refusing>();
  view->setDelegate(refusing);
  EXPECT_TRUE(view->tapCharacterAtIndex(3));
  EXPECT_EQ(refusing->asked, 1);
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().size(), 1u);
  EXPECT_FALSE(view->tapCharacterAtIndex(1));   // plain text
  EXPECT_FALSE(view->tapCharacterAtIndex(99));  // past the end
  view->setSelectable(false);
  EXPECT_FALSE(view->tapCharacterAtIndex(3));
  EXPECT_EQ(refusing->asked, 1);
}

TEST_F(TextViewLinkTest, EditingKeepsTheLinkOnItsCharactersAndPlainTextDropsIt) {
  view->setSelectedRange(NSRange{0, 0});
  view->insertText("请");
  auto text = view->attributedText();
  EXPECT_EQ(text->string(), "请前往 官网");
  EXPECT_EQ(text->attributeAtIndex(NSLinkAttributeName, 3), nullptr);
  EXPECT_NE(text->attributeAtIndex(NSLinkAttributeName, 4), nullptr);
  EXPECT_NE(text->colorAtIndex(5), nullptr);
  view->replaceCharactersInRange(NSRange{4, 2}, "");  // the whole link goes
  EXPECT_TRUE(view->attributedText()->runs().empty());
  view->setText("纯文本");
  EXPECT_TRUE(view->attributedText()->runs().empty());
}
