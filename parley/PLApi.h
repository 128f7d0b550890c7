#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"
#include "parley/BaseResp.h"
#include "parley/PLApiDelegate.h"
#include "platform/foundation/Value.h"

class AddCardToPLCardPackageReq;
class CreateChatRoomReq;
class HBReq;
class JoinChatRoomReq;
class JumpToBizProfileReq;
class JumpToBizWebviewReq;
class NSURL;
class OpenRankListReq;
class OpenTempSessionReq;
class OpenWebviewReq;
class PayReq;
class SendAuthReq;
class UIViewController;

// The one entry point through which the app talks to the Parley app, which
// it reaches only by URL schemes and pasteboards.
//
// Nothing works before registerApp: without an AppID the URL builders give
// nullptr and every sender answers false. A sender answers false for a null
// request and for a field that breaks a limit (then nothing is opened and
// the pasteboards are untouched), else the result of
// UIApplication::openURL. When Parley cannot be opened after a message was
// put on a pasteboard, the pasteboard gets back what it held before.
// Values placed in "parley://" URLs are percent-escaped, so that no "&",
// "#", space or non-ASCII text of a value can add a parameter or break the
// URL; a required value that is empty refuses the request.
//
// Class methods only, for the main thread (pasteboards, openURL, delegate
// calls). The two process-wide values (the registered AppID and the
// conversation account of the last command read from Parley) are guarded,
// so reading them from another thread is safe.
class PLApi {
 public:
  // Keeps the AppID (replacing an earlier one); false for an empty AppID.
  static bool registerApp(const std::string& appId);
  static bool registerApp(const std::string& appId, const std::string& description);
  // canOpenURL of "parley://app/<AppID>/"; false while no AppID is registered.
  static bool isPLAppInstalled();
  // canOpenURL of "parley://".
  static bool isPLAppSupportApi();
  // The https address of Parley's page in the app store.
  static std::string getPLAppInstallUrl();
  static std::string getApiVersion();  // "1.6.2"
  // Opens "parley://app/<AppID>/".
  static bool openPLApp();
  // Splits a query at "&", each part at its first "=": key before it, value
  // after it (later "=" included). Values are not unescaped; a later key
  // replaces an earlier one; a part without "=" is a key with an empty value.
  static Value parseURLParams(const std::string& query);

  // The reply handlers for URLs of the app's own scheme ("<AppID>://...").
  // Each answers false for a URL that is not its reply, else builds the
  // response, hands it to the delegate's onResp (when there is a delegate)
  // and answers true. A result code that is missing or not a number is
  // reported as -1 (PLErrorCommon).
  static bool handleAuthOpenUrl(const std::shared_ptr<NSURL>& url,
                                const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handlePayOpenUrl(const std::shared_ptr<NSURL>& url,
                               const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handleHBOpenUrl(const std::shared_ptr<NSURL>& url,
                              const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handleAddCardOpenUrl(const std::shared_ptr<NSURL>& url,
                                   const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handleOpenTempSessionOpenUrl(const std::shared_ptr<NSURL>& url,
                                           const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handleOpenWebviewOpenUrl(const std::shared_ptr<NSURL>& url,
                                       const std::shared_ptr<PLApiDelegate>& delegate);
  static bool handleOpenRankList(const std::shared_ptr<NSURL>& url,
                                 const std::shared_ptr<PLApiDelegate>& delegate);
  // Routes a URL by which Parley opened the app: the reply handlers, the web
  // login's redirect, then a command dictionary on the pasteboard, whose
  // request or response goes to onReq or onResp. False for a null delegate
  // and for a URL that nothing handles.
  static bool handleOpenURL(const std::shared_ptr<NSURL>& url,
                            const std::shared_ptr<PLApiDelegate>& delegate);

  // Writes the request or response as a command dictionary to the pasteboard
  // and answers the Parley URL ".../sendreq/?" or ".../sendresp/?"; nullptr
  // on any failure (nothing written then).
  static std::shared_ptr<NSURL> packReq(const std::shared_ptr<BaseReq>& req);
  static std::shared_ptr<NSURL> packResp(const std::shared_ptr<BaseResp>& resp);

  static bool auth(const std::shared_ptr<SendAuthReq>& req);
  static bool pay(const std::shared_ptr<PayReq>& req);
  static bool sendHBReq(const std::shared_ptr<HBReq>& req);
  static bool openTempSession(const std::shared_ptr<OpenTempSessionReq>& req);
  static bool openWebview(const std::shared_ptr<OpenWebviewReq>& req);
  static bool openRankList(const std::shared_ptr<OpenRankListReq>& req);
  static bool createChatRoom(const std::shared_ptr<CreateChatRoomReq>& req);
  static bool joinChatRoom(const std::shared_ptr<JoinChatRoomReq>& req);
  static bool openProfile(const std::shared_ptr<JumpToBizProfileReq>& req);
  static bool jumpToBizWebview(const std::shared_ptr<JumpToBizWebviewReq>& req);
  static bool addCardToPLCardPackageReq(const std::shared_ptr<AddCardToPLCardPackageReq>& req);

  // A login: through Parley when it is installed, else in the in-app web
  // page (WapAuthHandler), presented from viewController. False without a
  // registered AppID or a request.
  static bool sendAuthReq(const std::shared_ptr<SendAuthReq>& req,
                          const std::shared_ptr<UIViewController>& viewController,
                          const std::shared_ptr<PLApiDelegate>& delegate);
  // Sends any request, by its class, to the sender above that takes it;
  // messages (and the other requests) go through packReq.
  static bool sendReq(const std::shared_ptr<BaseReq>& req);
  static bool sendResp(const std::shared_ptr<BaseResp>& resp);

  // The registered AppID; "" before registerApp.
  static std::string registeredAppID();
};
