#include "parley/PLMediaMessage.h"

#include "platform/uikit/UIImage.h"

void PLMediaMessage::setThumbImage(const std::shared_ptr<UIImage>& image) {
  if (!image) return;
  auto jpeg = UIImageJPEGRepresentation(image, 0.6);
  if (!jpeg.empty()) thumbData = std::move(jpeg);
}
