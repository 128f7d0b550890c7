#include "platform/uikit/UIWebView.h"

#include "platform/uikit/UIColor.h"

UIWebView::UIWebView() { setBackgroundColor(UIColor::whiteColor()); }

std::shared_ptr<UIWebView> UIWebView::create(CGRect frame) { return make<UIWebView>(frame); }

void UIWebView::loadRequest(const std::shared_ptr<NSURL>& url) {
  if (!url) return;
  simulateNavigation(url, UIWebViewNavigationTypeOther);
}

void UIWebView::loadHTMLString(const std::string& html, const std::shared_ptr<NSURL>& baseURL) {
  auto keep = sharedSelf<UIWebView>();
  html_ = html;
  current_ = baseURL;
  loading_ = true;
  if (auto d = delegate()) d->webViewDidStartLoad(*this);
}

void UIWebView::reload() {
  if (current_) simulateNavigation(current_, UIWebViewNavigationTypeReload);
}

bool UIWebView::simulateNavigation(const std::shared_ptr<NSURL>& url,
                                   UIWebViewNavigationType type) {
  auto keep = sharedSelf<UIWebView>();
  if (!url) return false;
  if (auto d = delegate()) {
    if (!d->shouldStartLoadWithRequest(*this, url, type)) return false;
  }
  current_ = url;
  loaded_.push_back(url->absoluteString());
  loading_ = true;
  if (auto d = delegate()) d->webViewDidStartLoad(*this);
  return true;
}

void UIWebView::finishLoad() {
  auto keep = sharedSelf<UIWebView>();
  if (!loading_) return;
  loading_ = false;
  if (auto d = delegate()) d->webViewDidFinishLoad(*this);
}

void UIWebView::failLoad(long code, const std::string& description) {
  auto keep = sharedSelf<UIWebView>();
  loading_ = false;
  Value error =
      Value::dict({{"domain", "NSURLErrorDomain"}, {"code", code}, {"description", description}});
  if (auto d = delegate()) d->didFailLoadWithError(*this, error);
}

std::string UIWebView::stringByEvaluatingJavaScriptFromString(const std::string& script) {
  scripts_.push_back(script);
  auto it = scriptResults_.find(script);
  return it == scriptResults_.end() ? "" : it->second;
}

void UIWebView::setJavaScriptResult(const std::string& script, const std::string& result) {
  scriptResults_[script] = result;
}
