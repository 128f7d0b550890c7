#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "parley/PLApiDelegate.h"
#include "parley/PLUIWebViewControllDelegate.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/UIAlertView.h"

class NSURL;
class PLUIWebViewControll;
class SendAuthReq;
class UIViewController;

// The web login, used when Parley is not installed: presents a page
// (PLUIWebViewControll in a navigation controller) that loads the open
// platform's mobile check, follows its redirect to "<AppID>://wapoauth?..."
// with the SMS authorisation page, and ends when the final login reply
// "<AppID>://oauth..." reaches PLApi::handleAuthOpenUrl, or when the user
// cancels (the delegate then gets a SendAuthResp with errCode -2).
//
// One shared instance; main thread only. The delegate is held weakly.
class WapAuthHandler : public PLUIWebViewControllDelegate,
                       public UIAlertViewDelegate,
                       public std::enable_shared_from_this<WapAuthHandler> {
 public:
  static std::shared_ptr<WapAuthHandler> shareWapAuthHandlerInstance();

  // Remove or set the page's left bar button item: "取消" (bordered), which
  // asks whether to quit the login.
  void onHiddenLeftBar() override;
  void onShowLeftBar() override;
  Value parseURLParams(const std::string& query) const;
  // Ends an earlier run, then presents the page from currentVC and loads the
  // mobile check 0.1 s later on the main queue. False (nothing shown) without
  // a request, a view controller or an AppID.
  bool beginWapAuth(const std::shared_ptr<SendAuthReq>& req,
                    const std::shared_ptr<UIViewController>& currentVC, const std::string& appId,
                    const std::shared_ptr<PLApiDelegate>& delegate);
  // The mobile check's redirect: loads the SMS authorisation page with the
  // redirect's query appended; false when no login runs or the URL is not
  // "<AppID>://wapoauth?" followed by something.
  bool handleWapOAuthOpenUrl(const std::shared_ptr<NSURL>& url);
  // Closes the page; false when no login runs.
  bool endWapAuth();
  // Asks the user whether to quit the login.
  void cancelWapOAuth();
  // The answer: "继续登录" (0) keeps the page; "退出登录" (1) reports the
  // cancel and closes the page.
  void clickedButtonAtIndex(UIAlertView& alert, long buttonIndex) override;
  std::string getMobileCheckUrl() const;
  std::string getSmsAuthorizeUrl(const std::string& checkQuery) const;
  // Closes the page without asking.
  void onCancelOAuthWebView();
  std::shared_ptr<PLUIWebViewControll> getWebViewController();

  bool running() const { return running_; }
  // The "uid" of the current run.
  uint64_t timeStamp() const { return timeStamp_; }

  // The open platform that serves the login pages.
  static constexpr const char* kOpenHost = "https://open.parley.example";

 private:
  void dismissPage();

  std::shared_ptr<PLUIWebViewControll> webViewController_;
  std::string appId_;
  uint64_t timeStamp_ = 0;
  std::shared_ptr<SendAuthReq> sendAuthReq_;
  std::weak_ptr<PLApiDelegate> delegate_;
  bool running_ = false;
};
