#pragma once
// The invitation guide: one long picture to scroll through, and a transparent back button over
// its top-left corner that dismisses the page. Presented modally from the invitation tab.
// Main thread only.

#include <memory>

#include "platform/uikit/UIViewController.h"

class UIImageView;
class UIScrollView;

class InviteGLVC : public UIViewController {
  TOVIRA_CLASS(InviteGLVC)
  static std::shared_ptr<InviteGLVC> create() { return std::make_shared<InviteGLVC>(); }

  void viewDidLoad() override;
  void back();

  std::shared_ptr<UIScrollView> mainScroll() const { return mainScroll_; }
  std::shared_ptr<UIImageView> guideImage() const { return guideImage_; }

 private:
  double tempDeveiceWidth_ = 0;
  std::shared_ptr<UIScrollView> mainScroll_;
  std::shared_ptr<UIImageView> guideImage_;
};
