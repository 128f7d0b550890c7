#include "parley/PLUIWebViewControll.h"

#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIScreen.h"

TOVIRA_REGISTER_CLASS(PLUIWebViewControll, UIViewController)

std::shared_ptr<PLUIWebViewControll> PLUIWebViewControll::create(
    std::weak_ptr<PLUIWebViewControllDelegate> delegate) {
  auto controller = std::make_shared<PLUIWebViewControll>();
  controller->delegate_ = std::move(delegate);
  return controller;
}

void PLUIWebViewControll::viewDidLoad() {
  UIViewController::viewDidLoad();
  webView_ = UIWebView::create(UIScreen::mainScreen()->bounds());
  webView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  webView_->setDelegate(std::static_pointer_cast<PLUIWebViewControll>(shared_from_this()));
  webView_->setUserInteractionEnabled(true);
  view()->addSubview(webView_);
}

void PLUIWebViewControll::refresh(const std::string& text) {
  auto url = NSURL::URLWithString(text);
  if (!url) return;
  view();  // the web view exists once the view is loaded
  webView_->loadRequest(url);
}
