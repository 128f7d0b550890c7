#include "wallet/WalletStyle.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

std::shared_ptr<UIColor> WalletStyle::green() { return UIColor::rgb(81, 158, 19); }
std::shared_ptr<UIColor> WalletStyle::red() { return UIColor::rgb(247, 82, 55); }
std::shared_ptr<UIColor> WalletStyle::lightGrey() { return UIColor::rgb(216, 214, 215); }
std::shared_ptr<UIColor> WalletStyle::listGrey() { return UIColor::rgb(183, 183, 183); }
std::shared_ptr<UIColor> WalletStyle::blue() { return UIColor::rgb(47, 128, 197); }
std::shared_ptr<UIColor> WalletStyle::brightRed() { return UIColor::rgb(248, 67, 47); }
std::shared_ptr<UIColor> WalletStyle::bandGrey() { return UIColor::rgb(207, 204, 205); }
std::shared_ptr<UIColor> WalletStyle::paleGrey() { return UIColor::rgb(225, 225, 225); }

WalletStyle::TopBar WalletStyle::topBar(UIView& root, const std::string& title,
                                        std::function<void()> back) {
  const double W = root.frame().size.width;
  TopBar bar;
  bar.view = UIView::create(CGRectMake(0, 20, W, 46));
  bar.view->setBackgroundColor(UIColor::blackColor());
  root.addSubview(bar.view);
  auto backButton = UIButton::buttonWithType(UIButtonTypeCustom);
  backButton->setFrame(CGRectMake(13, 13, 10, 20));
  backButton->setImage(UIImage::imageNamed("ic_back.png"));
  backButton->addTarget(
      nullptr, [back] { back(); }, UIControlEventTouchUpInside);
  bar.view->addSubview(backButton);
  bar.backlabel =
      label(CGRectMake(CGRectGetMaxX(backButton->frame()) + 12, 13, 40, 20), "返回", 17);
  bar.backlabel->setTextColor(UIColor::rgb(255, 195, 91));
  bar.backlabel->setUserInteractionEnabled(true);
  bar.backlabel->addGestureRecognizer(UITapGestureRecognizer::create(nullptr, [back] { back(); }));
  bar.view->addSubview(bar.backlabel);
  auto centred = UILabel::create(CGRectMake((W - 100) / 2, 13, 100, 20));
  centred->setText(title);
  centred->setTextAlignment(NSTextAlignmentCenter);
  centred->setTextColor(UIColor::rgb(255, 195, 91));
  bar.view->addSubview(centred);
  return bar;
}

std::shared_ptr<UIView> WalletStyle::numberDot(const std::string& number) {
  auto dot = UIView::create(CGRectMake(0, 0, 20, 20));
  dot->layer().setCornerRadius(10);
  auto image = UIImageView::create(CGRectMake(0, 0, 20, 20));
  image->setImage(UIImage::imageNamed("ktr_ic_bg_green_dot.png"));
  image->layer().setCornerRadius(10);
  dot->addSubview(image);
  auto text = UILabel::create(CGRectMake(0, 0, 20, 20));
  text->setText(number);
  text->setTextColor(UIColor::whiteColor());
  text->setTextAlignment(NSTextAlignmentCenter);
  dot->addSubview(text);
  return dot;
}

double WalletStyle::infoForm(UIView& view, const std::string& title,
                             const std::vector<InfoRow>& rows, double lineSpacing) {
  const double W = view.frame().size.width;
  view.setBackgroundColor(UIColor::whiteColor());
  auto band = UILabel::create(CGRectMake(0, 0, W, 30));
  band->setText(title);
  band->setTextAlignment(NSTextAlignmentCenter);
  band->setTextColor(UIColor::whiteColor());
  band->setBackgroundColor(green());
  view.addSubview(band);

  double y = 40;
  double bottom = 30;
  int k = 1;
  for (const InfoRow& row : rows) {
    auto dot = numberDot(std::to_string(k++));
    dot->setFrame(CGRectMake(10, y, 20, 20));
    view.addSubview(dot);
    // As many lines as the paragraph needs, cut at the row's fixed height.
    auto paragraph = label(CGRectMake(33, y, W - 43, row.height), row.text, 14);
    paragraph->setNumberOfLines(0);
    if (lineSpacing > 0) {
      auto style = NSMutableParagraphStyle::create();
      style->setLineSpacing(lineSpacing);
      auto spaced = NSMutableAttributedString::create(row.text);
      spaced->addAttribute(NSParagraphStyleAttributeName, style, NSMakeRange(0, spaced->length()));
      paragraph->setAttributedText(spaced);
    }
    view.addSubview(paragraph);
    bottom = y + row.height;
    y = bottom + 10;
  }
  return bottom;
}

std::shared_ptr<UIButton> WalletStyle::knowButton(double viewWidth, double y) {
  auto know = button(CGRectMake((viewWidth - 200) / 2, y, 200, 30), "我知道了",
                     UIColor::whiteColor(), green(), 14);
  know->layer().setCornerRadius(3);
  return know;
}

std::shared_ptr<NSMutableAttributedString> WalletStyle::colored(
    const std::string& text, NSRange range, const std::shared_ptr<UIColor>& color) {
  auto attributed = NSMutableAttributedString::create(text);
  attributed->addAttribute(NSForegroundColorAttributeName, color, range);
  return attributed;
}

std::shared_ptr<NSMutableAttributedString> WalletStyle::colored(
    const std::string& text, NSRange first, NSRange second, const std::shared_ptr<UIColor>& color) {
  auto attributed = colored(text, first, color);
  attributed->addAttribute(NSForegroundColorAttributeName, color, second);
  return attributed;
}

std::shared_ptr<UILabel> WalletStyle::label(CGRect frame, const std::string& text,
                                            double fontSize) {
  auto l = UILabel::create(frame);
  l->setText(text);
  l->setFont(UIFont::systemFontOfSize(fontSize));
  return l;
}

std::shared_ptr<UIButton> WalletStyle::button(CGRect frame, const std::string& title,
                                              const std::shared_ptr<UIColor>& titleColor,
                                              const std::shared_ptr<UIColor>& background,
                                              double fontSize) {
  auto b = UIButton::buttonWithType(UIButtonTypeCustom);
  b->setFrame(frame);
  b->setTitle(title, UIControlStateNormal);
  b->setTitleColor(titleColor, UIControlStateNormal);
  if (background) b->setBackgroundColor(background);
  b->titleLabel()->setFont(UIFont::systemFontOfSize(fontSize));
  return b;
}

void WalletStyle::removeLater(const std::shared_ptr<UIView>& view) {
  if (!view) return;
  view->removeFromSuperview();
  dispatch_async_main([view] {});
}

void WalletStyle::alert(const std::string& title, const std::string& message,
                        const std::string& button) {
  UIAlertView::create(title, message, std::weak_ptr<UIAlertViewDelegate>(), button)->show();
}
