// The share sheet: its three round buttons and what they report, the QR code of the link read
// back with the library's own reader, and the long press that hands the code over.

#include <vector>

#include "GamesFixture.h"
#include "games/YQView.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIViewController.h"

namespace {

struct RecordingDelegate : YQViewDelegate {
  std::vector<long> tags;
  std::vector<std::shared_ptr<UIImage>> images;
  std::vector<double> pressTimes;
  void shareClick(long tag) override { tags.push_back(tag); }
  void yqViewLongPress(const std::shared_ptr<UIImage>& image) override {
    images.push_back(image);
    pressTimes.push_back(RunLoop::main().clock().now());
  }
};

}  // namespace

class YQViewTest : public GamesFixture {
 protected:
  // The sheet shown in a window at the bottom of the screen, reporting to `delegate_`.
  std::shared_ptr<YQView> showSheet(const std::string& url) {
    showHome();
    auto sheet = YQView::create(CGRectMake(0, 568 - 350, 320, 350), url);
    sheet->delegete = delegate_;
    home_->view()->addSubview(sheet);
    pump();
    return sheet;
  }

  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
};

TEST_F(YQViewTest,
       TheSheetShowsThreeRoundShareButtonsThatReportTheirTagsTheRuleTheCodeAndItsCaptions) {
  auto sheet = showSheet(kInviteUrl);
  EXPECT_EQ(Automation::dumpView(sheet), R"(YQView (0,218,320,350) bg=rgb(255,255,255)
  UIImageView (0,0,320,10) image=ktr_lang.png
  UIButton (64,20,64,64) tag=101
    UIImageView (10,0,44,44) image=ktr_parley.png radius=22
    UILabel (0,49,64,15) text="好友圈" color=rgb(0,0,0) font=system 13
  UIButton (128,20,64,64) tag=102
    UIImageView (10,0,44,44) image=ktr_friend.png radius=22
    UILabel (0,49,64,15) text="畅聊好友" color=rgb(0,0,0) font=system 13
  UIButton (192,20,64,64) tag=103
    UIImageView (10,0,44,44) image=ktr_link.png radius=22
    UILabel (0,49,64,15) text="复制链接" color=rgb(0,0,0) font=system 13
  UIView (10,94,300,0.5) bg=rgb(190,239,239)
  UIImageView (50,99.5,220,220) image=(220x220)
  UILabel (0,104.5,320,20) text="面对面邀请" color=rgb(0,0,0) font=system 16
  UILabel (0,294.5,320,20) text="长按可保存至手机" color=rgb(0,0,0) font=system 16
)");
  EXPECT_TRUE(sheet->ewmImgView()->isUserInteractionEnabled());
  // The code, made at its shown size, keeps a white quiet zone; any link reads back as itself.
  EXPECT_EQ(sheet->ewmImg()->scale(), 1);
  EXPECT_EQ(sheet->ewmImg()->pixelAt(0, 0), sheet->ewmImg()->pixelAt(219, 219));
  const std::string longer = std::string(kInviteUrl) + "?from=sheet&x=" + std::string(120, 'a');
  EXPECT_EQ(decodeQr(YQView::qrCodeImage(longer, 220)), longer);
  // The round icons are clipped to their circles.
  for (long tag : {101, 102, 103}) {
    const auto parts = sheet->shareButton(tag)->subviews();
    EXPECT_TRUE(parts.at(parts.size() - 2)->clipsToBounds()) << tag;
  }
  // Each share button reports its tag.
  for (long tag : {103, 102, 101}) Automation::tap(sheet->shareButton(tag));
  EXPECT_EQ(delegate_->tags, (std::vector<long>{103, 102, 101}));
  EXPECT_TRUE(delegate_->images.empty());
}

TEST_F(YQViewTest, APressUnderASecondDoesNothingAndALongPressReportsOnceWhenRecognised) {
  auto sheet = showSheet(kInviteUrl);
  Automation::longPress(sheet->ewmImgView(), 0.9);
  EXPECT_TRUE(delegate_->images.empty() && delegate_->tags.empty());

  const double start = RunLoop::main().clock().now();
  Automation::longPress(sheet->ewmImgView(), 3.0);
  ASSERT_EQ(delegate_->images.size(), 1u);
  EXPECT_EQ(delegate_->images[0], sheet->ewmImg());
  // Reported when the second was up, not when the finger lifted two seconds later.
  EXPECT_DOUBLE_EQ(delegate_->pressTimes[0] - start, 1.0);

  // An empty link leaves the code blank, and a long press hands over no image.
  auto blank = YQView::create(sheet->frame(), "");
  blank->delegete = delegate_;
  home_->view()->addSubview(blank);
  EXPECT_FALSE(blank->ewmImg() || blank->ewmImgView()->image());
  Automation::longPress(blank->ewmImgView(), 1.5);
  ASSERT_EQ(delegate_->images.size(), 2u);
  EXPECT_FALSE(delegate_->images[1]);
}
