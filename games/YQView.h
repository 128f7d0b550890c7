#pragma once
// The invitation share sheet: a white sheet, 350 points high, that slides up over the
// invitation tab. It shows three round share buttons (the Parley timeline, a Parley friend,
// copying the link) and, under them, the QR code of the invitation link for face-to-face
// invitations, which the player can hold for a second to save. The sheet only draws and
// reports: every action goes to its delegate, which it holds weakly.
//
// The code is made once, at creation, at the size it is shown (220 x 220). An empty link
// cannot be encoded: the code area stays blank and a long press hands over no image.
// Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UIButton;
class UIGestureRecognizer;
class UIImage;
class UIImageView;

class YQViewDelegate {
 public:
  virtual ~YQViewDelegate() = default;
  // The player held the code for a second; `image` is the code (nullptr when there is none).
  // The image lives as long as the sheet shows it.
  virtual void yqViewLongPress(const std::shared_ptr<UIImage>& image) = 0;
  // A share button was tapped; `tag` is its tag (101 timeline, 102 friend, 103 copy link).
  virtual void shareClick(long tag) = 0;
};

class YQView : public UIView {
  TOVIRA_CLASS(YQView)
 public:
  static constexpr long kTimelineTag = 101;
  static constexpr long kFriendTag = 102;
  static constexpr long kCopyLinkTag = 103;
  static constexpr double kHeight = 350;
  static constexpr double kCodeSide = 220;
  static constexpr double kMinimumPressDuration = 1.0;

  // initWithFrame:url:
  static std::shared_ptr<YQView> create(CGRect frame, const std::string& url);

  // The property keeps the platform's spelling.
  std::weak_ptr<YQViewDelegate> delegete;

  const std::string& shareUrl() const { return shareUrl_; }
  std::shared_ptr<UIImageView> ewmImgView() const { return ewmImgView_; }
  std::shared_ptr<UIImage> ewmImg() const { return ewmImg_; }
  std::shared_ptr<UIButton> shareButton(long tag);

  void btnClick(UIButton& button);
  void longPressToDo(UIGestureRecognizer& recognizer);

  // The QR code of `text` as a black-on-white image of side x side pixels (scale 1), with the
  // encoder's default error correction and quiet zone; nullptr when the text is empty or
  // cannot be encoded.
  static std::shared_ptr<UIImage> qrCodeImage(const std::string& text, int side);

 private:
  void initSubview();
  std::shared_ptr<UIButton> createBtn(const std::string& title, const std::string& image);
  void createEWM();

  std::string shareUrl_;
  std::shared_ptr<UIImageView> ewmImgView_;
  std::shared_ptr<UIImage> ewmImg_;
};
