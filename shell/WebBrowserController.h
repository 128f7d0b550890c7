#pragma once

#include <memory>
#include <string>

#include "platform/uikit/UIViewController.h"

class UILabel;
class UIWebView;

// The game detail page. A caller leaves ControllerData as GameDetailArgs {"title", "gid", "url"}
// and presents a new one; when its view loads it takes that hand-over (a missing value stays
// empty), clears ControllerData, shows the title and loads the URL in a web view (nothing loads
// when the URL is missing or invalid). "返回" dismisses it. Two buttons share the player's
// invitation link (UserData "inviteurl") to a Parley chat or to the Parley timeline. The title
// bar's "礼包" lists the game's gift packages: it leaves GiftSearchArgs {"gamename"} with the
// page's title, which is the game's name, as ControllerData and presents a new gift-package page.
// Main thread only.
class WebBrowserController : public UIViewController {
  TOVIRA_CLASS(WebBrowserController)
  static constexpr const char* kLibaoTitle = "礼包";
  static std::shared_ptr<WebBrowserController> create();
  void viewDidLoad() override;

  const std::string& gameTitle() const { return gameTitle_; }
  const std::string& gid() const { return gid_; }
  const std::string& url() const { return url_; }
  std::shared_ptr<UIWebView> webView() const { return webView_; }

  // Share to a chat with a friend (scene 0, with a description) and to the timeline (scene 1).
  void shareToFriend();
  void shareToCircle();
  // The title bar's "礼包".
  void libaoclick();

 private:
  std::string gameTitle_;
  std::string gid_;
  std::string url_;
  std::shared_ptr<UIWebView> webView_;
};
