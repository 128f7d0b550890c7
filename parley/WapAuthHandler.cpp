#include "parley/WapAuthHandler.h"

#include <mutex>
#include <random>

#include "parley/PLApi.h"
#include "parley/PLApiNSStringURLArgumentsAdditions.h"
#include "parley/PLUIWebViewControll.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UINavigationItem.h"

namespace {

using PLApiNSStringURLArgumentsAdditions::plApi_stringByEscapingForURLArgument;

// The "uid" of each run: unpredictable, from a generator seeded by the
// system's entropy source once per process.
uint64_t drawUid() {
  static std::mutex mutex;
  static std::mt19937_64 generator{[] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }()};
  std::lock_guard<std::mutex> lock(mutex);
  return generator();
}

}  // namespace

std::shared_ptr<WapAuthHandler> WapAuthHandler::shareWapAuthHandlerInstance() {
  static const std::shared_ptr<WapAuthHandler> instance = std::make_shared<WapAuthHandler>();
  return instance;
}

void WapAuthHandler::onHiddenLeftBar() {
  if (webViewController_) webViewController_->navigationItem()->setLeftBarButtonItem(nullptr);
}

void WapAuthHandler::onShowLeftBar() {
  if (!webViewController_) return;
  std::weak_ptr<WapAuthHandler> weak = weak_from_this();
  auto cancel = UIBarButtonItem::create("取消", UIBarButtonItemStyleBordered, weak, [weak] {
    if (auto self = weak.lock()) self->cancelWapOAuth();
  });
  webViewController_->navigationItem()->setLeftBarButtonItem(cancel);
}

Value WapAuthHandler::parseURLParams(const std::string& query) const {
  return PLApi::parseURLParams(query);
}

bool WapAuthHandler::beginWapAuth(const std::shared_ptr<SendAuthReq>& req,
                                  const std::shared_ptr<UIViewController>& currentVC,
                                  const std::string& appId,
                                  const std::shared_ptr<PLApiDelegate>& delegate) {
  if (!req || !currentVC || appId.empty()) return false;
  endWapAuth();
  delegate_ = delegate;
  running_ = true;
  timeStamp_ = drawUid();
  sendAuthReq_ = req;
  appId_ = appId;
  auto page = getWebViewController();
  currentVC->presentViewController(UINavigationController::create(page), true);
  std::weak_ptr<PLUIWebViewControll> weakPage = page;
  std::string url = getMobileCheckUrl();
  dispatch_after(0.1, [weakPage, url] {
    if (auto p = weakPage.lock()) p->refresh(url);
  });
  return true;
}

bool WapAuthHandler::handleWapOAuthOpenUrl(const std::shared_ptr<NSURL>& url) {
  if (!running_ || !url || !webViewController_) return false;
  std::string prefix = appId_ + "://wapoauth?";
  std::string text = url->absoluteString();
  if (!NSString::hasPrefix(text, prefix) || text.size() == prefix.size()) return false;
  webViewController_->refresh(getSmsAuthorizeUrl(text.substr(prefix.size())));
  return true;
}

bool WapAuthHandler::endWapAuth() {
  if (!running_) return false;
  running_ = false;
  dismissPage();
  return true;
}

void WapAuthHandler::cancelWapOAuth() {
  auto alert =
      UIAlertView::create("", "取消后将退出本次登录", weak_from_this(), "继续登录", {"退出登录"});
  alert->show();
}

void WapAuthHandler::clickedButtonAtIndex(UIAlertView&, long buttonIndex) {
  if (buttonIndex != 1) return;  // "继续登录": the login page stays
  // Keep this object alive across the delegate call.
  auto self = shared_from_this();
  if (auto delegate = delegate_.lock()) {
    auto resp = std::make_shared<SendAuthResp>();
    resp->errCode = PLErrorUserCancelled;
    delegate->onResp(resp);
  }
  endWapAuth();
}

std::string WapAuthHandler::getMobileCheckUrl() const {
  return std::string(kOpenHost) + "/connect/mobilecheck?appid=" + appId_ +
         "&uid=" + std::to_string(timeStamp_);
}

std::string WapAuthHandler::getSmsAuthorizeUrl(const std::string& checkQuery) const {
  std::string scope = sendAuthReq_ ? sendAuthReq_->scope : "";
  std::string state = sendAuthReq_ ? sendAuthReq_->state : "";
  // Scope and state are the caller's text: escaped, so that they stay one
  // parameter each.
  return std::string(kOpenHost) + "/connect/smsauthorize?appid=" + appId_ +
         "&redirect_uri=" + appId_ +
         "%3A%2F%2Foauth&response_type=code&scope=" + plApi_stringByEscapingForURLArgument(scope) +
         "&state=" + plApi_stringByEscapingForURLArgument(state) +
         "&uid=" + std::to_string(timeStamp_) + "&" + checkQuery;
}

void WapAuthHandler::onCancelOAuthWebView() {
  running_ = false;
  dismissPage();
}

std::shared_ptr<PLUIWebViewControll> WapAuthHandler::getWebViewController() {
  if (!webViewController_) {
    webViewController_ = PLUIWebViewControll::create(weak_from_this());
    onShowLeftBar();
    webViewController_->setTitle("畅聊登录");
  }
  return webViewController_;
}

void WapAuthHandler::dismissPage() {
  auto page = std::move(webViewController_);
  webViewController_ = nullptr;
  if (page) page->dismissViewControllerAnimated(true);
}
