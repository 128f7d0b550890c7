#pragma once

#include <memory>
#include <string>

#include "parley/PLUIWebViewControllDelegate.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWebView.h"

// The small screen that shows the web login's pages: one web view filling
// the screen. Load failures are ignored (the user can always cancel).
// Main thread. The delegate is held weakly.
class PLUIWebViewControll : public UIViewController, public UIWebViewDelegate {
  TOVIRA_CLASS(PLUIWebViewControll)

  // initWithDelegate:
  static std::shared_ptr<PLUIWebViewControll> create(
      std::weak_ptr<PLUIWebViewControllDelegate> delegate);

  void viewDidLoad() override;
  // Loads the URL made from the text (nothing when it is no URL).
  void refresh(const std::string& url);

  std::shared_ptr<UIWebView> webView() const { return webView_; }
  std::shared_ptr<PLUIWebViewControllDelegate> delegate() const { return delegate_.lock(); }

  bool shouldStartLoadWithRequest(UIWebView&, const std::shared_ptr<NSURL>&,
                                  UIWebViewNavigationType) override {
    return true;
  }

 private:
  std::weak_ptr<PLUIWebViewControllDelegate> delegate_;
  std::shared_ptr<UIWebView> webView_;
};
