#pragma once
// Web views without a web engine: they record what they are asked to load and to evaluate,
// and tests drive page loads (finishLoad, failLoad, simulateNavigation). The delegate is held
// weakly; its calls run on the main thread.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSURL.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/UIView.h"

class UIWebView;

enum UIWebViewNavigationType : long {
  UIWebViewNavigationTypeLinkClicked = 0,
  UIWebViewNavigationTypeFormSubmitted = 1,
  UIWebViewNavigationTypeBackForward = 2,
  UIWebViewNavigationTypeReload = 3,
  UIWebViewNavigationTypeFormResubmitted = 4,
  UIWebViewNavigationTypeOther = 5,
};

class UIWebViewDelegate {
 public:
  virtual ~UIWebViewDelegate() = default;
  // webView:shouldStartLoadWithRequest:navigationType:
  virtual bool shouldStartLoadWithRequest(UIWebView&, const std::shared_ptr<NSURL>&,
                                          UIWebViewNavigationType) {
    return true;
  }
  virtual void webViewDidStartLoad(UIWebView&) {}
  virtual void webViewDidFinishLoad(UIWebView&) {}
  // webView:didFailLoadWithError: — the error as {"domain", "code", "description"}.
  virtual void didFailLoadWithError(UIWebView&, const Value& /*error*/) {}
};

class UIWebView : public UIView {
  TOVIRA_CLASS(UIWebView)
 public:
  UIWebView();
  static std::shared_ptr<UIWebView> create(CGRect frame = CGRectZero);

  std::shared_ptr<UIWebViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIWebViewDelegate> d) { delegate_ = std::move(d); }

  // Asks shouldStartLoadWithRequest (navigation type Other); when allowed, records the URL as
  // the current request, tells webViewDidStartLoad and waits for finishLoad / failLoad.
  void loadRequest(const std::shared_ptr<NSURL>& url);
  void loadHTMLString(const std::string& html, const std::shared_ptr<NSURL>& baseURL);
  std::shared_ptr<NSURL> request() const { return current_; }
  // Every URL that was allowed to load, in order.
  std::vector<std::string> loadedURLs() const { return loaded_; }
  const std::string& loadedHTML() const { return html_; }
  bool isLoading() const { return loading_; }
  void reload();
  void stopLoading() { loading_ = false; }
  bool scalesPageToFit() const { return scalesPageToFit_; }
  void setScalesPageToFit(bool s) { scalesPageToFit_ = s; }

  // Records the script and answers what the test set for it ("" otherwise).
  std::string stringByEvaluatingJavaScriptFromString(const std::string& script);
  std::vector<std::string> evaluatedScripts() const { return scripts_; }
  void setJavaScriptResult(const std::string& script, const std::string& result);

  // Test drivers.
  void finishLoad();
  void failLoad(long code, const std::string& description);
  // A link or redirect inside the page: asks the delegate; true when it would load.
  bool simulateNavigation(const std::shared_ptr<NSURL>& url,
                          UIWebViewNavigationType type = UIWebViewNavigationTypeLinkClicked);

 private:
  std::weak_ptr<UIWebViewDelegate> delegate_;
  std::shared_ptr<NSURL> current_;
  std::vector<std::string> loaded_;
  std::string html_;
  std::vector<std::string> scripts_;
  std::map<std::string, std::string> scriptResults_;
  bool loading_ = false;
  bool scalesPageToFit_ = false;
};
