#include <cmath>

#include "keyboard/KBTextView.h"
#include "keyboard/KeyboardFixture.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIKitNotification.h"

// With a bar on the field, the keyboard the notifications report is 216 + 44 = 260 points
// high: its top is at 308, and a field must end 10 points above that, at 298.
class KBKeyboardManagerTest : public KeyboardFixture {
 protected:
  // A screen of one 40-point field at y 450, focused: the screen goes up by 192.
  std::shared_ptr<UIViewController> editLowField() {
    auto vc = form({CGRectMake(20, 450, 280, 40)});
    show(vc);
    focus(fields[0]);
    return vc;
  }
  static double top(const std::shared_ptr<UIViewController>& vc) {
    return vc->view()->frame().origin.y;
  }
  // A screen with a scroll view of the given frame and content height holding one field.
  struct Scrolling {
    std::shared_ptr<UIViewController> vc;
    std::shared_ptr<UIScrollView> scroll;
    std::shared_ptr<UITextField> field;
  };
  Scrolling scrolling(CGRect frame, double contentHeight, CGRect fieldFrame) {
    Scrolling s{UIViewController::create(), UIScrollView::create(frame),
                UITextField::create(fieldFrame)};
    s.scroll->setContentSize(CGSizeMake(320, contentHeight));
    s.vc->view()->addSubview(s.scroll);
    s.scroll->addSubview(s.field);
    return s;
  }
  // A field at the top and a 480-point text view under it, reached with the keyboard up.
  std::shared_ptr<UITextView> editTallTextView() {
    manager->setCanAdjustTextView(true);
    auto vc = form({CGRectMake(20, 20, 280, 30)});
    auto textView = UITextView::create(CGRectMake(10, 60, 300, 480));
    vc->view()->addSubview(textView);
    show(vc);
    focus(fields[0]);
    focus(textView);
    return textView;
  }
};

TEST_F(KBKeyboardManagerTest, ALoneFieldLowOnTheScreenEndsTheDistanceAboveTheKeyboardAndComesBack) {
  auto vc = editLowField();
  EXPECT_TRUE(UIKeyboard::shared().isVisible());
  EXPECT_EQ(top(vc), -192);
  EXPECT_EQ(CGRectGetMaxY(inWindow(fields[0])), 298);
  EXPECT_EQ(manager->keyboardSize().height, 260);

  dismiss();
  EXPECT_EQ(vc->view()->frame(), CGRectMake(0, 0, 320, 568));
  EXPECT_EQ(manager->topViewBeginRect(), CGRectZero);  // forgotten once the keyboard is down
}

TEST_F(KBKeyboardManagerTest, TheScreenMovesOnlyAsFarAsTheStatusBarMarginAndNeverBelowTheKeyboard) {
  // A tall field at the top: it would need to go up, but stays 25 points from the top.
  show(form({CGRectMake(20, 60, 280, 400)}));
  focus(fields[0]);
  EXPECT_EQ(CGRectGetMinY(inWindow(fields[0])), 25);

  // A field at the very bottom: the root view is never set above minus the keyboard's height.
  auto low = show(form({CGRectMake(20, 560, 280, 400)}));
  focus(fields[0]);
  EXPECT_GE(top(low), -260);
}

TEST_F(KBKeyboardManagerTest, AFieldAlreadyWellAboveTheKeyboardLeavesTheScreenInPlace) {
  auto vc = show(form({CGRectMake(20, 100, 280, 40), CGRectMake(20, 450, 280, 40)}));
  // Moving down to the low field moves the screen; back up brings it to where it started only.
  for (auto [field, expected] : {std::pair{0, 0}, {1, -192}, {0, 0}}) {
    focus(fields[field]);
    EXPECT_EQ(top(vc), expected) << "field " << field;
  }
}

TEST_F(KBKeyboardManagerTest, AFieldInAScrollViewScrollsItFirstAndGrowsItsBottomInset) {
  auto s = scrolling(CGRectMake(0, 100, 320, 400), 800, CGRectMake(20, 500, 280, 40));
  show(s.vc);
  focus(s.field);
  // The field's bottom (100 + 540 = 640 in the window) must reach 298: the scroll view takes it.
  EXPECT_EQ(s.scroll->contentOffset().y, 342);
  EXPECT_EQ(CGRectGetMaxY(inWindow(s.field)), 298);
  EXPECT_EQ(top(s.vc), 0);
  // Bottom inset: keyboard + distance (270) less what lies below the scroll view (68).
  EXPECT_EQ(s.scroll->contentInset().bottom, 202);
  EXPECT_EQ(s.scroll->scrollIndicatorInsets().bottom, 192);

  dismiss();
  EXPECT_EQ(s.scroll->contentInset(), UIEdgeInsetsZero);
  EXPECT_EQ(s.scroll->scrollIndicatorInsets(), UIEdgeInsetsZero);
}

TEST_F(KBKeyboardManagerTest, TheScrollIndicatorsBottomInsetNeverDropsBelowItsStartingValue) {
  auto s = scrolling(CGRectMake(0, 20, 320, 100), 100, CGRectMake(20, 10, 280, 30));
  s.scroll->setContentInset(UIEdgeInsetsMake(0, 0, 4, 0));
  s.scroll->setScrollIndicatorInsets(UIEdgeInsetsMake(0, 0, 4, 0));
  show(s.vc);
  focus(s.field);
  // The keyboard is far below the scroll view: no inset is needed, and none is taken away.
  EXPECT_EQ(s.scroll->contentInset().bottom, 4);
  EXPECT_EQ(s.scroll->scrollIndicatorInsets().bottom, 4);
}

TEST_F(KBKeyboardManagerTest, TheRememberedScrollViewIsClampedToItsContentWhenTheInsetGoes) {
  auto s = scrolling(CGRectMake(0, 100, 320, 400), 420, CGRectMake(20, 370, 280, 40));
  show(s.vc);
  focus(s.field);
  EXPECT_GT(s.scroll->contentOffset().y, 20);  // past the end of its content, into the inset
  dismiss();
  EXPECT_EQ(s.scroll->contentOffset().y, 20);  // 420 - 400: the content's end
}

TEST_F(KBKeyboardManagerTest, SwitchingScrollViewsGivesTheFirstOneItsInsetsBack) {
  auto first = scrolling(CGRectMake(0, 20, 320, 400), 600, CGRectMake(20, 100, 280, 30));
  auto second = UIScrollView::create(CGRectMake(0, 420, 320, 148));
  second->setContentSize(CGSizeMake(320, 600));
  first.vc->view()->addSubview(second);
  auto b = UITextField::create(CGRectMake(20, 50, 280, 30));
  second->addSubview(b);
  show(first.vc);
  focus(first.field);
  EXPECT_EQ(first.scroll->contentInset().bottom, 270 - 148);
  focus(b);
  EXPECT_EQ(first.scroll->contentInset(), UIEdgeInsetsZero);
  EXPECT_GT(second->contentInset().bottom, 0);
}

TEST_F(KBKeyboardManagerTest, ATextViewReachedWithTheKeyboardUpIsShortenedAndGetsItsFrameBack) {
  auto textView = editTallTextView();
  auto vc = viewController(textView);
  // At most 568 - 270 - 25 = 273 high; the screen still moves its top to 25.
  EXPECT_EQ(textView->frame(), CGRectMake(10, 60, 300, 273));
  EXPECT_EQ(top(vc), -35);
  dismiss();
  EXPECT_EQ(textView->frame(), CGRectMake(10, 60, 300, 480));
  EXPECT_EQ(top(vc), 0);

  // Rotating gives a shortened text view its frame back too.
  focus(fields[0]);
  focus(textView);
  ASSERT_EQ(textView->frame().size.height, 273);
  UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeLeft);
  EXPECT_EQ(textView->frame().size.height, 480);
}

TEST_F(KBKeyboardManagerTest, ALayoutGuideConstraintIsChangedInsteadOfMovingTheView) {
  auto vc = form({CGRectMake(20, 450, 280, 40)});
  auto c = NSLayoutConstraint::constraintWithItem(vc->bottomLayoutGuide(), NSLayoutAttributeTop,
                                                  NSLayoutRelationEqual, fields[0],
                                                  NSLayoutAttributeBottom, 1, 78);
  vc->view()->addConstraint(c);
  setKBLayoutGuideConstraint(vc, c);
  show(vc);
  vc->view()->layoutIfNeeded();
  focus(fields[0]);
  EXPECT_EQ(top(vc), 0);
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
  auto vc = show(form({CGRectMake(20, 20, 40, 280)}));
  UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeRight);
  focus(fields[0]);
  // Landscape right: the keyboard lies along the screen's left edge, 260 + 10 deep, and the
  // status bar along its right edge. The field (x 20 to 60) moves right, but stops 25 points
  // short of the right edge: 320 - 60 - 25.
  EXPECT_EQ(vc->view()->frame().origin.x, 235);
  dismiss();
  EXPECT_EQ(vc->view()->frame().origin.x, 0);
}

TEST_F(KBKeyboardManagerTest, SwitchingOffAndOnWhileTheKeyboardIsUpRestoresTheOriginalFrame) {
  manager->setEnable(false);
  auto vc = editLowField();
  EXPECT_EQ(top(vc), 0);
  // The will-show kept while switched off is handled when switched on, each time.
  for (bool enable : {true, false, true}) {
    manager->setEnable(enable);
    EXPECT_EQ(top(vc), enable ? -192 : 0) << enable;
  }
  dismiss();
  EXPECT_EQ(top(vc), 0);
}

TEST_F(KBKeyboardManagerTest, AWillShowOfTheSameSizeMovesNothingAndANewSizeReadjusts) {
  auto vc = editLowField();
  vc->view()->setFrame(CGRectMake(0, -100, 320, 568));  // moved by someone else meanwhile
  UIKeyboard::shared().setHeight(216);                  // unchanged: no notification at all
  EXPECT_EQ(top(vc), -100);
  UIKeyboard::shared().setHeight(253);  // the suggestion bar comes up
  EXPECT_EQ(CGRectGetMaxY(inWindow(fields[0])), 568 - 253 - 44 - 10);
}

TEST_F(KBKeyboardManagerTest, FieldsOfATableViewControllerGetBarsButAreNeverMoved) {
  auto vc = UITableViewController::create();
  auto field = UITextField::create(CGRectMake(20, 450, 280, 40));
  vc->view()->addSubview(field);
  show(vc);
  focus(field);
  EXPECT_NE(barOf(field), nullptr);
  EXPECT_EQ(top(vc), 0);
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
  auto tap = [&](double y) {
    Automation::tapAt(CGPointMake(160, y));
    pump();
  };
  tap(260);
  EXPECT_TRUE(fields[0]->isFirstResponder());  // the default: outside taps do nothing

  manager->setShouldResignOnTouchOutside(true);
  tap(220);
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(fields[0]->isFirstResponder());
  tap(260);
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
  auto view = UIView::create();
  EXPECT_EQ(keyboardDistanceFromTextField(view), 1.7976931348623157e308);  // none set
  for (double given : {-5.0, std::nan("")}) {
    SCOPED_TRACE(given);
    manager->setKeyboardDistanceFromTextField(given);
    EXPECT_EQ(manager->keyboardDistanceFromTextField(), 0);
    setKeyboardDistanceFromTextField(view, given);
    EXPECT_EQ(keyboardDistanceFromTextField(view), 0);
  }
  setKeyboardDistanceFromTextField(view, 12.3);
  EXPECT_EQ(keyboardDistanceFromTextField(view), static_cast<double>(12.3f));
}

// The other defaults show in the behaviour the other tests check.
TEST_F(KBKeyboardManagerTest, TheManagerStartsWithEveryDefaultSetting) {
  EXPECT_TRUE(manager->shouldFixTextViewClip() && manager->shouldAdoptDefaultKeyboardAnimation());
  EXPECT_FALSE(manager->tapGesture()->isEnabled() || manager->canAdjustTextView());
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
  EXPECT_EQ(top(sheet), 160 - 202);
  EXPECT_EQ(top(root), 0);
  dismiss();
  EXPECT_EQ(top(sheet), 160);
}
