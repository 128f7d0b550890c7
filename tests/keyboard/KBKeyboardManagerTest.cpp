#include <cmath>

#include "keyboard/KBTextView.h"
#include "keyboard/KeyboardFixture.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIKitNotification.h"

// With a bar on the field, the keyboard the notifications report is 216 + 44 = 260 points
// high: its top is at 308, and a field must end 10 points above that, at 298.
class KBKeyboardManagerTest : public KeyboardFixture {};

TEST_F(KBKeyboardManagerTest, ALoneFieldLowOnTheScreenEndsTheDistanceAboveTheKeyboardAndComesBack) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  show(vc);
  focus(fields[0]);
  EXPECT_TRUE(UIKeyboard::shared().isVisible());
  EXPECT_EQ(vc->view()->frame().origin.y, -192);
  EXPECT_EQ(CGRectGetMaxY(inWindow(fields[0])), 298);
  EXPECT_EQ(manager->keyboardSize().height, 260);

  dismiss();
  EXPECT_EQ(vc->view()->frame(), CGRectMake(0, 0, 320, 568));
  EXPECT_EQ(manager->topViewBeginRect(), CGRectZero);  // forgotten once the keyboard is down
}

TEST_F(KBKeyboardManagerTest, TheScreenMovesOnlyAsFarAsTheStatusBarMarginAndNeverBelowTheKeyboard) {
  // A tall field at the top: it would need to go up, but stays 25 points from the top.
  auto vc = form({CGRectMake(20, 60, 280, 400)});
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(CGRectGetMinY(inWindow(fields[0])), 25);

  // A field at the very bottom: the root view is never set above minus the keyboard's height.
  auto low = form({CGRectMake(20, 560, 280, 400)});
  show(low);
  focus(fields[0]);
  EXPECT_GE(low->view()->frame().origin.y, -260);
}

TEST_F(KBKeyboardManagerTest, AFieldAlreadyWellAboveTheKeyboardLeavesTheScreenInPlace) {
  auto vc = form({CGRectMake(20, 100, 280, 40), CGRectMake(20, 450, 280, 40)});
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
  // Moving down to the low field moves the screen; back up brings it to where it started only.
  focus(fields[1]);
  EXPECT_EQ(vc->view()->frame().origin.y, -192);
  focus(fields[0]);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
}

TEST_F(KBKeyboardManagerTest, AFieldInAScrollViewScrollsItFirstAndGrowsItsBottomInset) {
  auto vc = UIViewController::create();
  auto scroll = UIScrollView::create(CGRectMake(0, 100, 320, 400));
  scroll->setContentSize(CGSizeMake(320, 800));
  vc->view()->addSubview(scroll);
  auto field = UITextField::create(CGRectMake(20, 500, 280, 40));
  scroll->addSubview(field);
  show(vc);
  focus(field);
  // The field's bottom (100 + 540 = 640 in the window) must reach 298: the scroll view takes it.
  EXPECT_EQ(scroll->contentOffset().y, 342);
  EXPECT_EQ(CGRectGetMaxY(inWindow(field)), 298);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
  // Bottom inset: keyboard + distance (270) less what lies below the scroll view (68).
  EXPECT_EQ(scroll->contentInset().bottom, 202);
  EXPECT_EQ(scroll->scrollIndicatorInsets().bottom, 192);

  dismiss();
  EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsZero);
  EXPECT_EQ(scroll->scrollIndicatorInsets(), UIEdgeInsetsZero);
}

TEST_F(KBKeyboardManagerTest, TheScrollIndicatorsBottomInsetNeverDropsBelowItsStartingValue) {
  auto vc = UIViewController::create();
  auto scroll = UIScrollView::create(CGRectMake(0, 20, 320, 100));
  scroll->setContentSize(CGSizeMake(320, 100));
  scroll->setContentInset(UIEdgeInsetsMake(0, 0, 4, 0));
  scroll->setScrollIndicatorInsets(UIEdgeInsetsMake(0, 0, 4, 0));
  vc->view()->addSubview(scroll);
  auto field = UITextField::create(CGRectMake(20, 10, 280, 30));
  scroll->addSubview(field);
  show(vc);
  focus(field);
  // The keyboard is far below the scroll view: no inset is needed, and none is taken away.
  EXPECT_EQ(scroll->contentInset().bottom, 4);
  EXPECT_EQ(scroll->scrollIndicatorInsets().bottom, 4);
}

TEST_F(KBKeyboardManagerTest, TheRememberedScrollViewIsClampedToItsContentWhenTheInsetGoes) {
  auto vc = UIViewController::create();
  auto scroll = UIScrollView::create(CGRectMake(0, 100, 320, 400));
  scroll->setContentSize(CGSizeMake(320, 420));
  vc->view()->addSubview(scroll);
  auto field = UITextField::create(CGRectMake(20, 370, 280, 40));
  scroll->addSubview(field);
  show(vc);
  focus(field);
  EXPECT_GT(scroll->contentOffset().y, 20);  // past the end of its content, into the inset
  dismiss();
  EXPECT_EQ(scroll->contentOffset().y, 20);  // 420 - 400: the content's end
}

TEST_F(KBKeyboardManagerTest, SwitchingScrollViewsGivesTheFirstOneItsInsetsBack) {
  auto vc = UIViewController::create();
  auto first = UIScrollView::create(CGRectMake(0, 20, 320, 400));
  auto second = UIScrollView::create(CGRectMake(0, 420, 320, 148));
  for (auto& s : {first, second}) {
    s->setContentSize(CGSizeMake(320, 600));
    vc->view()->addSubview(s);
  }
  auto a = UITextField::create(CGRectMake(20, 100, 280, 30));
  auto b = UITextField::create(CGRectMake(20, 50, 280, 30));
  first->addSubview(a);
  second->addSubview(b);
  show(vc);
  focus(a);
  EXPECT_EQ(first->contentInset().bottom, 270 - 148);
  focus(b);
  EXPECT_EQ(first->contentInset(), UIEdgeInsetsZero);
  EXPECT_GT(second->contentInset().bottom, 0);
}

TEST_F(KBKeyboardManagerTest, ATextViewReachedWithTheKeyboardUpIsShortenedAndGetsItsFrameBack) {
  manager->setCanAdjustTextView(true);
  auto vc = form({CGRectMake(20, 20, 280, 30)});
  auto textView = UITextView::create(CGRectMake(10, 60, 300, 480));
  vc->view()->addSubview(textView);
  show(vc);
  focus(fields[0]);
  focus(textView);
  // At most 568 - 270 - 25 = 273 high; the screen still moves its top to 25.
  EXPECT_EQ(textView->frame(), CGRectMake(10, 60, 300, 273));
  EXPECT_EQ(vc->view()->frame().origin.y, -35);
  dismiss();
  EXPECT_EQ(textView->frame(), CGRectMake(10, 60, 300, 480));
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
}

TEST_F(KBKeyboardManagerTest, ALayoutGuideConstraintIsChangedInsteadOfMovingTheView) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  auto guide = vc->bottomLayoutGuide();
  auto c =
      NSLayoutConstraint::constraintWithItem(guide, NSLayoutAttributeTop, NSLayoutRelationEqual,
                                             fields[0], NSLayoutAttributeBottom, 1, 78);
  vc->view()->addConstraint(c);
  setKBLayoutGuideConstraint(vc, c);
  show(vc);
  vc->view()->layoutIfNeeded();
  focus(fields[0]);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
  EXPECT_EQ(c->constant(), 78 + 192);
  EXPECT_EQ(CGRectGetMaxY(inWindow(fields[0])), 298);
  dismiss();
  EXPECT_EQ(c->constant(), 78);
  EXPECT_EQ(fields[0]->frame().origin.y, 450);
}

TEST_F(KBKeyboardManagerTest, TheLayoutGuideConstraintIsRestoredEvenWhenTheEditedViewHasGoneAway) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  auto c =
      NSLayoutConstraint::constraintWithItem(fields[0], NSLayoutAttributeTop, NSLayoutRelationEqual,
                                             vc->topLayoutGuide(), NSLayoutAttributeBottom, 1, 430);
  vc->view()->addConstraint(c);
  setKBLayoutGuideConstraint(vc, c);
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(c->constant(), 430 - 192);
  // The field is taken off the screen while editing: the keyboard goes, the constant comes back.
  auto field = fields[0];
  fields.clear();
  field->removeFromSuperview();
  field->resignFirstResponder();
  field.reset();
  pump();
  EXPECT_FALSE(UIKeyboard::shared().isVisible());
  EXPECT_EQ(c->constant(), 430);
}

TEST_F(KBKeyboardManagerTest, OnSystemSevenALandscapeKeyboardMovesTheScreenSideways) {
  UIDevice::currentDevice()->setSystemVersion("7.1");
  auto vc = form({CGRectMake(20, 20, 40, 280)});
  show(vc);
  UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeRight);
  focus(fields[0]);
  // Landscape right: the keyboard lies along the screen's left edge, 260 + 10 deep, and the
  // status bar along its right edge. The field (x 20 to 60) moves right, but stops 25 points
  // short of the right edge: 320 - 60 - 25.
  EXPECT_EQ(vc->view()->frame().origin.x, 235);
  dismiss();
  EXPECT_EQ(vc->view()->frame().origin.x, 0);
}

TEST_F(KBKeyboardManagerTest, RotatingGivesAShortenedTextViewItsFrameBack) {
  manager->setCanAdjustTextView(true);
  auto vc = form({CGRectMake(20, 20, 280, 30)});
  auto textView = UITextView::create(CGRectMake(10, 60, 300, 480));
  vc->view()->addSubview(textView);
  show(vc);
  focus(fields[0]);
  focus(textView);
  ASSERT_EQ(textView->frame().size.height, 273);
  UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeLeft);
  EXPECT_EQ(textView->frame().size.height, 480);
}

TEST_F(KBKeyboardManagerTest, SwitchingOffAndOnWhileTheKeyboardIsUpRestoresTheOriginalFrame) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  show(vc);
  focus(fields[0]);
  ASSERT_EQ(vc->view()->frame().origin.y, -192);
  manager->setEnable(false);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
  manager->setEnable(true);  // the kept will-show is replayed
  EXPECT_EQ(vc->view()->frame().origin.y, -192);
  dismiss();
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
}

TEST_F(KBKeyboardManagerTest, AWillShowOfTheSameSizeMovesNothingAndANewSizeReadjusts) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  show(vc);
  focus(fields[0]);
  vc->view()->setFrame(CGRectMake(0, -100, 320, 568));  // moved by someone else meanwhile
  UIKeyboard::shared().setHeight(216);                  // unchanged: no notification at all
  EXPECT_EQ(vc->view()->frame().origin.y, -100);
  UIKeyboard::shared().setHeight(253);  // the suggestion bar comes up
  EXPECT_EQ(CGRectGetMaxY(inWindow(fields[0])), 568 - 253 - 44 - 10);
}

TEST_F(KBKeyboardManagerTest, AWillShowWhileSwitchedOffIsKeptAndHandledWhenSwitchedOn) {
  manager->setEnable(false);
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
  manager->setEnable(true);
  EXPECT_EQ(vc->view()->frame().origin.y, -192);
}

TEST_F(KBKeyboardManagerTest, FieldsOfATableViewControllerGetBarsButAreNeverMoved) {
  auto vc = UITableViewController::create();
  auto field = UITextField::create(CGRectMake(20, 450, 280, 40));
  vc->view()->addSubview(field);
  show(vc);
  focus(field);
  EXPECT_NE(barOf(field), nullptr);
  EXPECT_EQ(vc->view()->frame().origin.y, 0);
}

TEST_F(KBKeyboardManagerTest, ATapOutsideClosesTheKeyboardOnlyWhenAskedAndNeverOnAButton) {
  auto vc = form({CGRectMake(20, 100, 280, 40)});
  bool pressed = false;
  auto button = UIButton::create(CGRectMake(20, 200, 280, 40));
  button->addTarget(
      nullptr, [&] { pressed = true; }, UIControlEventTouchUpInside);
  vc->view()->addSubview(button);
  show(vc);
  focus(fields[0]);
  Automation::tapAt(CGPointMake(160, 260));
  pump();
  EXPECT_TRUE(fields[0]->isFirstResponder());  // the default: outside taps do nothing

  manager->setShouldResignOnTouchOutside(true);
  Automation::tapAt(CGPointMake(160, 220));
  pump();
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(fields[0]->isFirstResponder());
  Automation::tapAt(CGPointMake(160, 260));
  pump();
  EXPECT_FALSE(fields[0]->isFirstResponder());
  EXPECT_FALSE(UIKeyboard::shared().isVisible());
}

TEST_F(KBKeyboardManagerTest, TypingPastTheBottomOfATextViewKeepsTheCaretSevenPointsAboveIt) {
  auto vc = UIViewController::create();
  auto textView = UITextView::create(CGRectMake(10, 30, 300, 60));
  vc->view()->addSubview(textView);
  show(vc);
  focus(textView);
  Automation::typeText("one\ntwo\nthree\nfour\nfive");
  CGRect caret = textView->caretRectForPosition(textView->selectedRange().location);
  double bottom = textView->contentOffset().y + textView->bounds().size.height;
  EXPECT_DOUBLE_EQ(bottom - CGRectGetMaxY(caret), 7.0);
}

TEST_F(KBKeyboardManagerTest, DistancesThatAreNegativeOrNotANumberCountAsZero) {
  manager->setKeyboardDistanceFromTextField(-5);
  EXPECT_EQ(manager->keyboardDistanceFromTextField(), 0);
  manager->setKeyboardDistanceFromTextField(std::nan(""));
  EXPECT_EQ(manager->keyboardDistanceFromTextField(), 0);
  auto view = UIView::create();
  EXPECT_EQ(keyboardDistanceFromTextField(view), 1.7976931348623157e308);
  setKeyboardDistanceFromTextField(view, -3);
  EXPECT_EQ(keyboardDistanceFromTextField(view), 0);
  setKeyboardDistanceFromTextField(view, std::nan(""));
  EXPECT_EQ(keyboardDistanceFromTextField(view), 0);
  setKeyboardDistanceFromTextField(view, 12.3);
  EXPECT_EQ(keyboardDistanceFromTextField(view), static_cast<double>(12.3f));
}

TEST_F(KBKeyboardManagerTest, TheManagerStartsWithEveryDefaultSetting) {
  EXPECT_TRUE(manager->isEnabled());
  EXPECT_EQ(manager->keyboardDistanceFromTextField(), 10.0);
  EXPECT_TRUE(manager->isEnableAutoToolbar());
  EXPECT_TRUE(manager->preventShowingBottomBlankSpace());
  EXPECT_TRUE(manager->shouldShowTextFieldPlaceholder());
  EXPECT_TRUE(manager->shouldFixTextViewClip());
  EXPECT_TRUE(manager->shouldAdoptDefaultKeyboardAnimation());
  EXPECT_FALSE(manager->shouldResignOnTouchOutside());
  EXPECT_FALSE(manager->tapGesture()->isEnabled());
  EXPECT_FALSE(manager->canAdjustTextView());
  EXPECT_EQ(manager->toolbarManageBehaviour(), 0);
  EXPECT_TRUE(manager->isDisableInViewControllerClass("UITableViewController"));
  EXPECT_TRUE(manager->isConsiderToolbarPreviousNextInViewClass("UITableView"));
  EXPECT_TRUE(manager->isConsiderToolbarPreviousNextInViewClass("UICollectionView"));
}

TEST_F(KBKeyboardManagerTest, AFormSheetMovesUpAndBackToWhereItStarted) {
  auto root = UIViewController::create();
  show(root);
  auto sheet = form({CGRectMake(20, 300, 280, 40)});
  sheet->setModalPresentationStyle(UIModalPresentationFormSheet);
  root->presentViewController(sheet, false);
  pump();
  sheet->view()->setFrame(CGRectMake(0, 160, 320, 400));
  focus(fields[0]);
  // The field's bottom (160 + 340 = 500) must reach 298: the sheet goes up by 202.
  EXPECT_EQ(sheet->view()->frame().origin.y, 160 - 202);
  EXPECT_EQ(root->view()->frame().origin.y, 0);
  dismiss();
  EXPECT_EQ(sheet->view()->frame().origin.y, 160);
}
