#include "shell/InviteShare.h"

#include <memory>

#include "core/TempData.h"
#include "parley/PLApi.h"
#include "parley/PLMediaMessage.h"
#include "parley/PLWebpageObject.h"
#include "parley/SendMessageToPLReq.h"
#include "platform/uikit/UIImage.h"

void InviteShare::share(int scene, const std::string& title, const std::string& description) {
  auto page = PLWebpageObject::object();
  page->webpageUrl = TempData::getuserdata()["inviteurl"].str();
  auto message = PLMediaMessage::message();
  message->title = title;
  message->description = description;
  message->setThumbImage(UIImage::imageNamed("ic_launcher.png"));
  message->mediaObject = page;
  auto request = std::make_shared<SendMessageToPLReq>();
  request->bText = false;
  request->scene = scene;
  request->message = message;
  PLApi::sendReq(request);
}
