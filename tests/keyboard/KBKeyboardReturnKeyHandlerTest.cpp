#include "keyboard/KBKeyboardReturnKeyHandler.h"
#include "keyboard/KeyboardFixture.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/NSAttributedString.h"

namespace {
class Refusing : public KBKeyboardReturnKeyHandlerDelegate {
 public:
  bool textFieldShouldReturn(UITextField&) override { return false; }
  void textFieldDidBeginEditing(UITextField&) override { ++begins; }
  int begins = 0;
};
class Former : public UITextFieldDelegate {};
// Answers links and attachments as told, and remembers what it was asked.
class Interacting : public KBKeyboardReturnKeyHandlerDelegate {
 public:
  bool shouldInteractWithURL(UITextView&, const std::shared_ptr<NSURL>& url,
                             NSRange range) override {
    asked.push_back(url->absoluteString() + " " + std::to_string(range.location) + "+" +
                    std::to_string(range.length));
    return answer;
  }
  bool shouldInteractWithTextAttachment(UITextView&, const std::shared_ptr<NSTextAttachment>&,
                                        NSRange range) override {
    asked.push_back("attachment " + std::to_string(range.location) + "+" +
                    std::to_string(range.length));
    return answer;
  }
  bool answer = false;
  std::vector<std::string> asked;
};
}  // namespace

class KBKeyboardReturnKeyHandlerTest : public KeyboardFixture {
 protected:
  std::shared_ptr<UIViewController> threeFields() {
    return form(
        {CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30), CGRectMake(20, 180, 280, 30)});
  }
};

TEST_F(KBKeyboardReturnKeyHandlerTest, ReturnMovesDownTheFormAndTheLastFieldClosesTheKeyboard) {
  auto vc = show(threeFields());
  auto handler = KBKeyboardReturnKeyHandler::create(vc);
  handler->setLastTextFieldReturnKeyType(UIReturnKeyDone);
  EXPECT_EQ(handler->adoptedCount(), 3u);
  EXPECT_EQ(fields[0]->returnKeyType(), UIReturnKeyDefault);  // set at begin-editing only

  focus(fields[0]);
  EXPECT_EQ(fields[0]->returnKeyType(), UIReturnKeyNext);
  Automation::pressReturn(fields[0]);
  EXPECT_TRUE(fields[1]->isFirstResponder());
  EXPECT_EQ(fields[1]->returnKeyType(), UIReturnKeyNext);
  Automation::pressReturn(fields[1]);
  EXPECT_EQ(fields[2]->returnKeyType(), UIReturnKeyDone);
  Automation::pressReturn(fields[2]);
  pump();
  EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
  EXPECT_FALSE(UIKeyboard::shared().isVisible());
}

TEST_F(KBKeyboardReturnKeyHandlerTest,
       AFieldOutsideItsListResignsOnReturnAndARefusingDelegateKeepsTheFocus) {
  show(threeFields());
  auto handler = KBKeyboardReturnKeyHandler::create();  // empty: adopts and forwards nothing
  EXPECT_EQ(handler->adoptedCount(), 0u);
  auto refusing = std::make_shared<Refusing>();
  handler->setDelegate(refusing);
  handler->addTextFieldView(fields[0]);
  focus(fields[0]);
  EXPECT_EQ(refusing->begins, 1);
  Automation::pressReturn(fields[0]);  // the delegate says no: the focus stays
  EXPECT_TRUE(fields[0]->isFirstResponder());

  // Hidden, the field is no longer in its own list: Return resigns it.
  handler->setDelegate(std::weak_ptr<KBKeyboardReturnKeyHandlerDelegate>());
  fields[0]->setHidden(true);
  Automation::pressReturn(fields[0]);
  EXPECT_FALSE(fields[0]->isFirstResponder());
}

TEST_F(KBKeyboardReturnKeyHandlerTest, ReturnInATextViewMovesOnAndStillEntersTheLineBreak) {
  manager->setToolbarManageBehaviour(2);  // by position: the text view comes first
  auto vc = form({CGRectMake(20, 300, 280, 30)});
  auto textView = UITextView::create(CGRectMake(20, 100, 280, 100));
  vc->view()->addSubview(textView);
  show(vc);
  auto handler = KBKeyboardReturnKeyHandler::create(vc);
  focus(textView);
  textView->insertText("第一段\n第二段");  // a pasted paragraph: the focus stays
  EXPECT_TRUE(textView->isFirstResponder());
  textView->insertText("\n");
  EXPECT_TRUE(fields[0]->isFirstResponder());
  EXPECT_EQ(textView->text(), "第一段\n第二段\n");
}

TEST_F(KBKeyboardReturnKeyHandlerTest, ReleasedFieldsGetTheirFormerDelegateAndReturnKeyBack) {
  auto vc = threeFields();
  auto former = std::make_shared<Former>();
  fields[0]->setDelegate(former);
  fields[0]->setReturnKeyType(UIReturnKeyGo);
  show(vc);
  auto handler = KBKeyboardReturnKeyHandler::create(vc);
  for (int pass = 0; pass < 2; ++pass) {
    focus(fields[0]);
    dismiss();
  }
  handler->removeTextFieldView(fields[0]);
  EXPECT_EQ(fields[0]->delegate(), former);
  EXPECT_EQ(fields[0]->returnKeyType(), UIReturnKeyGo);
  EXPECT_EQ(handler->textFieldCachedInfo(fields[0]), nullptr);

  // The end of the handler gives the others back theirs: none.
  focus(fields[1]);
  dismiss();
  handler.reset();
  EXPECT_EQ(fields[1]->delegate(), nullptr);
  EXPECT_EQ(fields[1]->returnKeyType(), UIReturnKeyDefault);
}

TEST_F(KBKeyboardReturnKeyHandlerTest, TheHandlerHoldsFormerDelegatesWeakly) {
  auto vc = threeFields();
  auto former = std::make_shared<Former>();
  std::weak_ptr<Former> weak = former;
  fields[0]->setDelegate(former);
  auto handler = KBKeyboardReturnKeyHandler::create(vc);
  former.reset();
  EXPECT_TRUE(weak.expired());  // nothing kept it: the field held it weakly, so does the handler
  handler->removeResponderFromView(vc->view());
  EXPECT_EQ(fields[0]->delegate(), nullptr);
  EXPECT_EQ(handler->adoptedCount(), 0u);
}

TEST_F(KBKeyboardReturnKeyHandlerTest, FieldsOrderedByTagChainInTagOrder) {
  manager->setToolbarManageBehaviour(1);
  auto vc = threeFields();
  fields[0]->setTag(2);
  fields[1]->setTag(3);
  fields[2]->setTag(1);
  show(vc);
  auto handler = KBKeyboardReturnKeyHandler::create(vc);
  focus(fields[2]);
  Automation::pressReturn(fields[2]);
  EXPECT_TRUE(fields[0]->isFirstResponder());
}

TEST_F(KBKeyboardReturnKeyHandlerTest, AdoptingAFieldTwiceKeepsItsOriginalDelegateAndReturnKey) {
  auto vc = threeFields();
  auto former = std::make_shared<Former>();
  fields[2]->setDelegate(former);
  fields[2]->setReturnKeyType(UIReturnKeySearch);
  auto handler = KBKeyboardReturnKeyHandler::create();
  handler->addTextFieldView(fields[2]);
  handler->addTextFieldView(fields[2]);
  handler->addResponderFromView(vc->view());
  EXPECT_EQ(handler->adoptedCount(), 3u);
  handler->removeTextFieldView(fields[2]);
  EXPECT_EQ(fields[2]->delegate(), former);
  EXPECT_EQ(fields[2]->returnKeyType(), UIReturnKeySearch);
}

TEST_F(KBKeyboardReturnKeyHandlerTest,
       LinksAndAttachmentsAreForwardedAndTheDelegatesAnswerDecides) {
  auto vc = UIViewController::create();
  auto textView = UITextView::create(CGRectMake(20, 100, 280, 120));
  textView->setEditable(false);
  vc->view()->addSubview(textView);
  show(vc);
  SimulatedDevice::shared().installApp("https");
  auto text = NSMutableAttributedString::create("看 规则 图");
  text->addAttribute(NSLinkAttributeName,
                     std::make_shared<NSLinkAttribute>(NSURL::URLWithString("https://a.example/r")),
                     NSRange{2, 2});
  text->addAttribute(NSAttachmentAttributeName, std::make_shared<NSTextAttachment>(),
                     NSRange{5, 1});
  textView->setAttributedText(text);
  auto handler = KBKeyboardReturnKeyHandler::create();
  handler->addTextFieldView(textView);  // a read-only text view is no form field: added by hand
  ASSERT_EQ(textView->delegate(), handler);

  // Without a delegate of its own the handler answers YES: the link opens.
  EXPECT_TRUE(textView->tapCharacterAtIndex(3));
  EXPECT_EQ(SimulatedDevice::shared().openedURLs(),
            std::vector<std::string>{"https://a.example/r"});

  // With one, its answer decides, and it sees the link's whole range.
  auto interacting = std::make_shared<Interacting>();
  handler->setDelegate(interacting);
  EXPECT_TRUE(textView->tapCharacterAtIndex(2));
  EXPECT_TRUE(textView->tapCharacterAtIndex(5));
  EXPECT_EQ(interacting->asked,
            (std::vector<std::string>{"https://a.example/r 2+2", "attachment 5+1"}));
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().size(), 1u);  // NO: not opened again
  interacting->answer = true;
  textView->tapCharacterAtIndex(2);
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().size(), 2u);

  // Plain characters offer nothing.
  EXPECT_FALSE(textView->tapCharacterAtIndex(0));
  EXPECT_EQ(interacting->asked.size(), 3u);
}
