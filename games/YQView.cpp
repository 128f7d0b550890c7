#include "games/YQView.h"

#include <ZXing/BarcodeFormat.h>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <exception>

#include "platform/foundation/NSLog.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"

TOVIRA_REGISTER_CLASS(YQView, UIView)

std::shared_ptr<YQView> YQView::create(CGRect frame, const std::string& url) {
  auto view = UIView::make<YQView>(frame);
  view->setBackgroundColor(UIColor::whiteColor());
  view->shareUrl_ = url;
  view->initSubview();
  return view;
}

void YQView::initSubview() {
  auto self = sharedSelf<YQView>();
  std::weak_ptr<YQView> weak = self;
  const double W = UIScreen::mainScreen()->bounds().size.width;
  const double side = W / 5;

  auto strip = UIImageView::create(CGRectMake(0, 0, W, 10));
  strip->setImage(UIImage::imageNamed("ktr_lang.png"));
  addSubview(strip);

  struct ShareButton {
    long tag;
    const char* title;
    const char* image;
    double x;
  };
  const ShareButton buttons[] = {{kTimelineTag, "好友圈", "ktr_parley.png", W / 5},
                                 {kFriendTag, "畅聊好友", "ktr_friend.png", 2 * W / 5},
                                 {kCopyLinkTag, "复制链接", "ktr_link.png", 3 * W / 5}};
  for (const auto& b : buttons) {
    auto button = createBtn(b.title, b.image);
    button->setFrame(CGRectMake(b.x, 20, side, side));
    button->setTag(b.tag);
    button->addTarget(
        self,
        [weak](UIButton& sender) {
          if (auto sheet = weak.lock()) sheet->btnClick(sender);
        },
        UIControlEventTouchUpInside);
    addSubview(button);
  }

  const double ruleY = 20 + side + 10;
  auto rule = UIView::create(CGRectMake(10, ruleY, W - 20, 0.5));
  rule->setBackgroundColor(UIColor::rgb(190, 239, 239));
  addSubview(rule);

  const double ruleBottom = ruleY + 0.5;
  ewmImgView_ =
      UIImageView::create(CGRectMake((W - kCodeSide) / 2, ruleBottom + 5, kCodeSide, kCodeSide));
  ewmImgView_->setUserInteractionEnabled(true);
  addSubview(ewmImgView_);

  // The captions lie over the code's quiet zone, above and below the modules.
  auto faceToFace = UILabel::create(CGRectMake(0, ruleBottom + 10, W, 20));
  faceToFace->setText("面对面邀请");
  faceToFace->setFont(UIFont::systemFontOfSize(16));
  faceToFace->setTextAlignment(NSTextAlignmentCenter);
  addSubview(faceToFace);
  auto hint = UILabel::create(CGRectMake(0, CGRectGetMaxY(ewmImgView_->frame()) - 25, W, 20));
  hint->setText("长按可保存至手机");
  hint->setFont(UIFont::systemFontOfSize(16));
  hint->setTextAlignment(NSTextAlignmentCenter);
  addSubview(hint);

  auto press = UILongPressGestureRecognizer::create(self, [weak](UIGestureRecognizer& r) {
    if (auto sheet = weak.lock()) sheet->longPressToDo(r);
  });
  press->setMinimumPressDuration(kMinimumPressDuration);
  ewmImgView_->addGestureRecognizer(press);

  createEWM();
}

std::shared_ptr<UIButton> YQView::createBtn(const std::string& title, const std::string& image) {
  const double side = UIScreen::mainScreen()->bounds().size.width / 5;
  auto button = UIButton::buttonWithType(UIButtonTypeCustom);
  button->setFrame(CGRectMake(0, 0, side, side));
  auto icon = UIImageView::create(CGRectMake(10, 0, side - 20, side - 20));
  icon->setImage(UIImage::imageNamed(image));
  icon->layer().setCornerRadius((side - 20) / 2);
  icon->setClipsToBounds(true);
  button->addSubview(icon);
  auto label = UILabel::create(CGRectMake(0, side - 15, side, 15));
  label->setText(title);
  label->setFont(UIFont::systemFontOfSize(13));
  label->setTextAlignment(NSTextAlignmentCenter);
  button->addSubview(label);
  return button;
}

std::shared_ptr<UIButton> YQView::shareButton(long tag) {
  return std::dynamic_pointer_cast<UIButton>(viewWithTag(tag));
}

void YQView::btnClick(UIButton& button) {
  const long tag = button.tag();
  if (auto d = delegete.lock()) d->shareClick(tag);
}

void YQView::longPressToDo(UIGestureRecognizer& recognizer) {
  // Only the moment the press is recognised counts, not the finger lifting.
  if (recognizer.state() != UIGestureRecognizerStateBegan) return;
  auto image = ewmImg_;
  if (auto d = delegete.lock()) d->yqViewLongPress(image);
}

void YQView::createEWM() {
  // Made once, at the size the view shows it, so that it is never rescaled.
  const auto size = ewmImgView_->frame().size;
  ewmImg_ = qrCodeImage(shareUrl_, static_cast<int>(size.width));
  ewmImgView_->setImage(ewmImg_);
}

std::shared_ptr<UIImage> YQView::qrCodeImage(const std::string& text, int side) {
  if (text.empty() || side <= 0) return nullptr;
  try {
    // Format QR Code with no hints: the library's default error correction and quiet zone.
    const ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
    const ZXing::BitMatrix matrix = writer.encode(text, side, side);
    const auto pixels = ZXing::ToMatrix<uint8_t>(matrix);
    const int width = pixels.width();
    const int height = pixels.height();
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint8_t v = pixels.get(x, y);
        rgba.insert(rgba.end(), {v, v, v, 255});
      }
    }
    return UIImage::imageWithPixels(width, height, std::move(rgba), 1.0);
  } catch (const std::exception& e) {
    NSLog("YQView: the link cannot be made into a QR code: %@", std::string(e.what()));
    return nullptr;
  }
}
