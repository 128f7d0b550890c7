#include "shell/ShellViews.h"

#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"

std::shared_ptr<UIButton> makeEntryButton(const std::string& title, CGRect frame,
                                          std::shared_ptr<UIColor> colour, double fontSize) {
  auto button = UIButton::buttonWithType(UIButtonTypeCustom);
  button->setFrame(frame);
  button->setTitle(title);
  button->setTitleColor(UIColor::whiteColor());
  button->setBackgroundColor(std::move(colour));
  if (fontSize > 0) button->titleLabel()->setFont(UIFont::systemFontOfSize(fontSize));
  button->layer().setCornerRadius(5);
  return button;
}

std::shared_ptr<UIView> makeTitleBar(double width, const std::string& title, CGRect titleFrame) {
  auto bar = UIView::create(CGRectMake(0, 20, width, 44));
  bar->setBackgroundColor(UIColor::rgb(81, 158, 19));
  auto label = UILabel::create(titleFrame);
  label->setText(title);
  label->setTextAlignment(NSTextAlignmentCenter);
  label->setTextColor(UIColor::whiteColor());
  label->setFont(UIFont::boldSystemFontOfSize(17));
  bar->addSubview(label);
  return bar;
}
