#pragma once

#include <memory>
#include <string>

#include "parley/PLUIWebViewControllDelegate.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWebView.h"

class UIButton;

// The small screen that shows the web login's pages: one web view filling
// the screen. Load failures are ignored (the user can always cancel).
// Main thread. The delegate is held weakly.
class PLUIWebViewControll : public UIViewController, public UIWebViewDelegate {
  TOVIRA_CLASS(PLUIWebViewControll)

  // initWithDelegate:
  static std::shared_ptr<PLUIWebViewControll> create(
      std::weak_ptr<PLUIWebViewControllDelegate> delegate);

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  // Loads the URL made from the text (nothing when it is no URL).
  void refresh(const std::string& url);

  std::shared_ptr<UIWebView> webView() const { return webView_; }
  std::shared_ptr<PLUIWebViewControllDelegate> delegate() const { return delegate_.lock(); }

  // The left button of the page's navigation bar ("取消"): set (replacing an
  // earlier one) or removed (nullptr). It stands at the left of the bar of
  // the navigation controller that holds this page.
  void setLeftBarButton(const std::shared_ptr<UIButton>& button);
  std::shared_ptr<UIButton> leftBarButton() const { return leftBarButton_; }

  bool shouldStartLoadWithRequest(UIWebView&, const std::shared_ptr<NSURL>&,
                                  UIWebViewNavigationType) override {
    return true;
  }

 private:
  void placeLeftBarButton();

  std::weak_ptr<PLUIWebViewControllDelegate> delegate_;
  std::shared_ptr<UIWebView> webView_;
  std::shared_ptr<UIButton> leftBarButton_;
};
