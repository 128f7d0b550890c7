// The keyboard manager's geometry: how far the edited view must travel to sit the distance
// above the keyboard and below the status bar, and the four ways of getting it there.

#include <algorithm>

#include "keyboard/KBKeyboardManager.h"
#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBViewHierarchy.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextView.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

namespace {
// The layout-guide constraints' animation: curve 7 and begin-from-current-state.
constexpr UIViewAnimationOptions kLayoutGuideOptions = 0x70004;

CGRect rectInWindow(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIWindow>& window) {
  auto super = view->superview();
  return super ? super->convertRect(view->frame(), window) : view->frame();
}

std::shared_ptr<UIScrollView> enclosingScrollView(const std::shared_ptr<UIView>& view) {
  return std::dynamic_pointer_cast<UIScrollView>(superviewOfClassType(view, "UIScrollView"));
}

enum class GuideMode { kNone, kTop, kBottom };

GuideMode guideMode(const std::shared_ptr<NSLayoutConstraint>& constraint,
                    const std::shared_ptr<UIViewController>& controller) {
  if (!constraint || !controller) return GuideMode::kNone;
  auto first = constraint->firstItem(), second = constraint->secondItem();
  auto top = controller->topLayoutGuide();
  if (first == top || second == top) return GuideMode::kTop;
  auto bottom = controller->bottomLayoutGuide();
  if (first == bottom || second == bottom) return GuideMode::kBottom;
  return GuideMode::kNone;
}
}  // namespace

void KBKeyboardManager::restoreScrollView(const std::shared_ptr<UIScrollView>& scrollView) const {
  scrollView->setContentInset(startingContentInsets_);
  scrollView->setScrollIndicatorInsets(startingScrollIndicatorInsets_);
  if (shouldRestoreScrollViewContentOffset_) {
    scrollView->setContentOffset(startingContentOffset_, true);
    return;
  }
  // Without the added inset the content may end above the current offset: scroll back to its
  // end, so that no blank space is left below it.
  double height = scrollView->frame().size.height;
  double highest =
      std::max(scrollView->contentSize().height + startingContentInsets_.bottom - height,
               -startingContentInsets_.top);
  CGPoint offset = scrollView->contentOffset();
  if (offset.y > highest) scrollView->setContentOffset(CGPointMake(offset.x, highest));
}

void KBKeyboardManager::adjustFrame() {
  auto textFieldView = textFieldView_.lock();
  if (!textFieldView) return;
  isKeyboardShowing_ = true;

  auto window = keyWindow();
  auto rootController = topMostController(textFieldView);
  if (!rootController) rootController = topMostController(window);
  const UIInterfaceOrientation orientation = orientationFor(rootController);
  const double H = window ? window->frame().size.height : 0;
  const double W = window ? window->frame().size.width : 0;

  const CGRect field = rectInWindow(textFieldView, window);
  CGRect rootViewRect = rootController ? rootController->view()->frame() : CGRectZero;
  double distance = ::keyboardDistanceFromTextField(textFieldView);
  if (distance == kKBNoDistance) distance = keyboardDistance_;
  CGSize kb = kbSize_;

  double statusBar = 0;
  CGRect statusBarFrame = UIApplication::sharedApplication()->statusBarFrame();
  switch (orientation) {
    case UIInterfaceOrientationPortrait:
    case UIInterfaceOrientationPortraitUpsideDown:
      statusBar = statusBarFrame.size.height;
      kb.height += distance;
      break;
    case UIInterfaceOrientationLandscapeRight:
    case UIInterfaceOrientationLandscapeLeft:
      statusBar = statusBarFrame.size.width;
      kb.width += distance;
      break;
    default:
      break;
  }

  auto owner = viewController(textFieldView);
  auto constraint = KBLayoutGuideConstraint(owner);
  const GuideMode mode = guideMode(constraint, owner);

  // How far the field must go up (negative: it may come down).
  const double margin = statusBar + 5.0;
  double move = 0;
  switch (orientation) {
    case UIInterfaceOrientationPortrait:
      move = mode == GuideMode::kBottom
                 ? CGRectGetMaxY(field) - (H - kb.height)
                 : std::min(CGRectGetMinY(field) - margin, CGRectGetMaxY(field) - (H - kb.height));
      break;
    case UIInterfaceOrientationPortraitUpsideDown:
      move = mode == GuideMode::kBottom
                 ? kb.height - CGRectGetMinY(field)
                 : std::min(H - CGRectGetMaxY(field) - margin, kb.height - CGRectGetMinY(field));
      break;
    case UIInterfaceOrientationLandscapeRight:
      move = mode == GuideMode::kBottom
                 ? kb.width - CGRectGetMinX(field)
                 : std::min(W - CGRectGetMaxX(field) - margin, kb.width - CGRectGetMinX(field));
      break;
    case UIInterfaceOrientationLandscapeLeft:
      move = mode == GuideMode::kBottom
                 ? CGRectGetMaxX(field) - (W - kb.width)
                 : std::min(CGRectGetMinX(field) - margin, CGRectGetMaxX(field) - (W - kb.width));
      break;
    default:
      break;
  }

  // The scroll view to work with: one at a time is remembered, and given back its insets when
  // another one or none takes over.
  auto superScrollView = enclosingScrollView(textFieldView);
  auto last = lastScrollView_.lock();
  auto remember = [&](const std::shared_ptr<UIScrollView>& scrollView) {
    lastScrollView_ = scrollView;
    startingContentInsets_ = scrollView->contentInset();
    startingScrollIndicatorInsets_ = scrollView->scrollIndicatorInsets();
    startingContentOffset_ = scrollView->contentOffset();
  };
  if (last && superScrollView && last != superScrollView) {
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(),
                                [&] { restoreScrollView(last); });
    remember(superScrollView);
  } else if (last && !superScrollView) {
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(),
                                [&] { restoreScrollView(last); });
    startingContentInsets_ = UIEdgeInsetsZero;
    startingScrollIndicatorInsets_ = UIEdgeInsetsZero;
    startingContentOffset_ = CGPointZero;
    lastScrollView_.reset();
  } else if (!last && superScrollView) {
    remember(superScrollView);
  }
  last = lastScrollView_.lock();

  // Scroll the remembered scroll view, then each one around it, by what is left of the move.
  if (last) {
    std::shared_ptr<UIView> lastView = textFieldView;
    auto scrollView = last;
    auto textView = std::dynamic_pointer_cast<UITextView>(textFieldView);
    while (scrollView &&
           (move > 0 ? move > -scrollView->contentOffset().y - scrollView->contentInset().top
                     : scrollView->contentOffset().y > 0)) {
      const double offsetY = scrollView->contentOffset().y;
      auto lastSuper = lastView->superview();
      CGRect r =
          lastSuper ? lastSuper->convertRect(lastView->frame(), scrollView) : lastView->frame();
      double shouldOffsetY = std::min(offsetY - std::min(offsetY, -move), r.origin.y);
      auto outer = enclosingScrollView(scrollView);
      if (textView && !outer && shouldOffsetY >= 0) {
        // A text view in the outermost scroll view keeps its top 10 points below the bar.
        double top = 10.0;
        if (owner) {
          if (auto nav = owner->navigationController())
            top += CGRectGetMaxY(nav->navigationBar()->frame());
        }
        CGRect v = rectInWindow(textFieldView, window);
        double fix = shouldOffsetY;
        switch (orientation) {
          case UIInterfaceOrientationPortrait:
            fix = CGRectGetMinY(v) - top;
            break;
          case UIInterfaceOrientationPortraitUpsideDown:
            fix = H - CGRectGetMaxY(v) - top;
            break;
          case UIInterfaceOrientationLandscapeRight:
            fix = W - CGRectGetMaxX(v) - top;
            break;
          case UIInterfaceOrientationLandscapeLeft:
            fix = CGRectGetMinX(v) - top;
            break;
          default:
            break;
        }
        shouldOffsetY = std::min(shouldOffsetY, offsetY + fix);
        move = 0;
      } else {
        move -= shouldOffsetY - offsetY;
      }
      UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
        scrollView->setContentOffset(CGPointMake(scrollView->contentOffset().x, shouldOffsetY));
      });
      lastView = scrollView;
      scrollView = outer;
    }

    // The remembered scroll view's bottom inset clears the keyboard, so it can scroll to its
    // last field.
    CGRect s = rectInWindow(last, window);
    double need = 0;
    switch (orientation) {
      case UIInterfaceOrientationPortrait:
        need = kb.height - (H - CGRectGetMaxY(s));
        break;
      case UIInterfaceOrientationPortraitUpsideDown:
        need = kb.height - CGRectGetMinY(s);
        break;
      case UIInterfaceOrientationLandscapeRight:
        need = kb.width - CGRectGetMinX(s);
        break;
      case UIInterfaceOrientationLandscapeLeft:
        need = kb.width - (W - CGRectGetMaxX(s));
        break;
      default:
        break;
    }
    UIEdgeInsets insets = last->contentInset();
    insets.bottom = std::max(startingContentInsets_.bottom, need);
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      last->setContentInset(insets);
      UIEdgeInsets indicator = last->scrollIndicatorInsets();
      // Never below where the indicator started, however little inset was added.
      indicator.bottom = std::max(startingScrollIndicatorInsets_.bottom, insets.bottom - 10.0);
      last->setScrollIndicatorInsets(indicator);
    });
    if (last->contentSize().height < last->frame().size.height)
      last->setContentSize(CGSizeMake(last->contentSize().width, last->frame().size.height));
  }

  if (mode != GuideMode::kNone) {
    double constant =
        mode == GuideMode::kTop
            ? std::min(layoutGuideConstraintInitialConstant_, constraint->constant() - move)
            : std::max(layoutGuideConstraintInitialConstant_, constraint->constant() + move);
    auto root = rootViewController_.lock();
    UIView::animateWithDuration(animationDuration_, 0, kLayoutGuideOptions, [&] {
      constraint->setConstant(constant);
      if (root) {
        root->view()->setNeedsLayout();
        root->view()->layoutIfNeeded();
      }
    });
    return;
  }

  // A text view may be shortened instead of moving the screen.
  auto textView = std::dynamic_pointer_cast<UITextView>(textFieldView);
  if (canAdjustTextView_ && !last && textView && !isTextFieldViewFrameChanged_) {
    double height = textView->frame().size.height;
    if (orientation == UIInterfaceOrientationPortrait ||
        orientation == UIInterfaceOrientationPortraitUpsideDown) {
      height = std::min(height, H - kb.height - margin);
    } else if (orientation == UIInterfaceOrientationLandscapeRight ||
               orientation == UIInterfaceOrientationLandscapeLeft) {
      height = std::min(height, W - kb.width - margin);
    }
    UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
      CGRect f = textView->frame();
      textView->setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, height));
      isTextFieldViewFrameChanged_ = true;
    });
  }

  const long style =
      rootController ? static_cast<long>(rootController->modalPresentationStyle()) : 0;
  if (style == UIModalPresentationFormSheet || style == UIModalPresentationPageSheet) {
    if (move >= 0) {
      double y = rootViewRect.origin.y - move;
      if (preventShowingBottomBlankSpace_) {
        double lowest = 0;
        if (orientation == UIInterfaceOrientationPortrait ||
            orientation == UIInterfaceOrientationPortraitUpsideDown) {
          lowest = (H - rootViewRect.size.height - statusBar) * 0.5 - (kb.height - distance);
        } else if (orientation == UIInterfaceOrientationLandscapeRight ||
                   orientation == UIInterfaceOrientationLandscapeLeft) {
          lowest = (W - rootViewRect.size.height - statusBar) - (kb.width - distance);
        }
        y = std::max(y, lowest);
      }
      rootViewRect.origin.y = y;
      setRootViewFrame(rootViewRect);
    } else {
      double d = CGRectGetMinY(rootViewRect) - CGRectGetMinY(topViewBeginRect_);
      if (d < 0) {
        rootViewRect.origin.y -= std::max(move, d);
        setRootViewFrame(rootViewRect);
      }
    }
    return;
  }

  if (move >= 0) {
    switch (orientation) {
      case UIInterfaceOrientationPortrait:
        rootViewRect.origin.y -= move;
        if (preventShowingBottomBlankSpace_)
          rootViewRect.origin.y =
              std::max(rootViewRect.origin.y, std::min(0.0, distance - kb.height));
        break;
      case UIInterfaceOrientationPortraitUpsideDown:
        rootViewRect.origin.y += move;
        if (preventShowingBottomBlankSpace_)
          rootViewRect.origin.y = std::min(rootViewRect.origin.y, kb.height - distance);
        break;
      case UIInterfaceOrientationLandscapeRight:
        rootViewRect.origin.x += move;
        if (preventShowingBottomBlankSpace_)
          rootViewRect.origin.x = std::min(rootViewRect.origin.x, kb.width - distance);
        break;
      case UIInterfaceOrientationLandscapeLeft:
        rootViewRect.origin.x -= move;
        if (preventShowingBottomBlankSpace_)
          rootViewRect.origin.x =
              std::max(rootViewRect.origin.x, std::min(0.0, distance - kb.width));
        break;
      default:
        break;
    }
    setRootViewFrame(rootViewRect);
    return;
  }

  // The field is higher than it needs to be: bring the screen back down, but never past where
  // it started.
  const CGRect begin = topViewBeginRect_;
  double d = 0;
  switch (orientation) {
    case UIInterfaceOrientationPortrait:
      d = CGRectGetMinY(rootViewRect) - CGRectGetMinY(begin);
      break;
    case UIInterfaceOrientationPortraitUpsideDown:
      d = CGRectGetMinY(begin) - CGRectGetMinY(rootViewRect);
      break;
    case UIInterfaceOrientationLandscapeRight:
      d = CGRectGetMinX(begin) - CGRectGetMinX(rootViewRect);
      break;
    case UIInterfaceOrientationLandscapeLeft:
      d = CGRectGetMinX(rootViewRect) - CGRectGetMinX(begin);
      break;
    default:
      return;
  }
  if (d >= 0) return;
  double back = std::max(move, d);
  switch (orientation) {
    case UIInterfaceOrientationPortrait:
      rootViewRect.origin.y -= back;
      break;
    case UIInterfaceOrientationPortraitUpsideDown:
      rootViewRect.origin.y += back;
      break;
    case UIInterfaceOrientationLandscapeRight:
      rootViewRect.origin.x += back;
      break;
    default:
      rootViewRect.origin.x -= back;
      break;
  }
  setRootViewFrame(rootViewRect);
}

void KBKeyboardManager::setRootViewFrame(CGRect frame) {
  auto controller = topMostController(textFieldView_.lock());
  if (!controller) controller = topMostController(keyWindow());
  if (!controller) return;
  auto view = controller->view();
  if (KBIsSystem8OrLater()) frame.size = view->frame().size;
  UIView::animateWithDuration(animationDuration_, 0, animationOptions(), [&] {
    view->setFrame(frame);
    if (layoutIfNeededOnUpdate_) {
      view->setNeedsLayout();
      view->layoutIfNeeded();
    }
  });
}
