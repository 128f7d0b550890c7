#include "keyboard/KBTextView.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"

KBTextView::KBTextView() = default;

KBTextView::~KBTextView() { NSNotificationCenter::defaultCenter().removeObserver(this); }

std::shared_ptr<KBTextView> KBTextView::create(CGRect frame) {
  return UIView::make<KBTextView>(frame);
}

void KBTextView::initWithFrame(CGRect frame) {
  UITextView::initWithFrame(frame);
  // Mends a fault: set up only from init and awakeFromNib, a text view made with a frame
  // would never follow its own text-change notification, so text typed into it would leave
  // the placeholder shown over the text (a plainly wrong result). Every way of making the view
  // therefore runs the set-up.
  initialize();
}

void KBTextView::awakeFromNib() {
  UITextView::awakeFromNib();
  initialize();
}

void KBTextView::initialize() {
  // Made in two phases, the view can be reached by more than one path: set up only once, so
  // that each text change refreshes the placeholder exactly once.
  if (setUp_) return;
  auto self = sharedSelf<KBTextView>();
  if (!self) return;
  setUp_ = true;
  std::weak_ptr<KBTextView> weak = self;
  NSNotificationCenter::defaultCenter().addObserver(self, UITextViewTextDidChangeNotification, self,
                                                    [weak](const NSNotification&) {
                                                      if (auto view = weak.lock())
                                                        view->refreshPlaceholder();
                                                    });
}

void KBTextView::refreshPlaceholder() const {
  if (!placeHolderLabel_) return;
  placeHolderLabel_->setAlpha(NSString::length(text()) > 0 ? 0.0 : 1.0);
  auto* self = const_cast<KBTextView*>(this);
  self->setNeedsLayout();
  self->layoutIfNeeded();
}

void KBTextView::setText(const std::string& text) {
  UITextView::setText(text);
  refreshPlaceholder();
}

void KBTextView::setFont(std::shared_ptr<UIFont> font) {
  UITextView::setFont(font);
  if (placeHolderLabel_) placeHolderLabel_->setFont(UITextView::font());
  setNeedsLayout();
  layoutIfNeeded();
}

void KBTextView::layoutSubviews() {
  UITextView::layoutSubviews();
  if (!placeHolderLabel_) return;
  placeHolderLabel_->sizeToFit();
  double height = placeHolderLabel_->frame().size.height;
  placeHolderLabel_->setFrame(CGRectMake(8.0, 8.0, frame().size.width - 16.0, height));
}

void KBTextView::setPlaceholder(const std::optional<std::string>& placeholder) {
  placeholder_ = placeholder;
  if (!placeHolderLabel_) {
    placeHolderLabel_ = UILabel::create(CGRectZero);
    placeHolderLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth |
                                           UIViewAutoresizingFlexibleHeight);
    placeHolderLabel_->setLineBreakMode(NSLineBreakByWordWrapping);
    placeHolderLabel_->setNumberOfLines(0);
    placeHolderLabel_->setFont(font());
    placeHolderLabel_->setBackgroundColor(UIColor::clearColor());
    placeHolderLabel_->setTextColor(UIColor::colorWithWhite(0.7, 1.0));
    placeHolderLabel_->setAlpha(0.0);
    addSubview(placeHolderLabel_);
  }
  placeHolderLabel_->setText(placeholder_.value_or(""));
  refreshPlaceholder();
}

std::shared_ptr<UITextViewDelegate> KBTextView::delegate() const {
  refreshPlaceholder();
  return UITextView::delegate();
}
