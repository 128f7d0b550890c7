#pragma once
// The success popup of an exchange (280 x 240): the platform currency gained, an invitation
// to share, the two share buttons (the timeline and a chat, which leave the popup open) and
// "取消". Made with DHSuccessView::create(frame, num); the delegate is held weakly.
// Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class DHSuccessViewDelegate {
 public:
  virtual ~DHSuccessViewDelegate() = default;
  virtual void cancelToShare() = 0;
  virtual void shareToFriend() = 0;
  virtual void shareToCircle() = 0;
};

class DHSuccessView : public UIView {
  TOVIRA_CLASS(DHSuccessView)
 public:
  // initWithFrame:num: — `num` is the platform currency gained, as text.
  static std::shared_ptr<DHSuccessView> create(CGRect frame, const std::string& num);

  std::weak_ptr<DHSuccessViewDelegate> delegate;

  void shareToP();  // the timeline
  void shareToF();  // a chat
  void cancelShare();

 private:
  void build(const std::string& num);
};
