// Image bytes as servers and other apps hand them over: downloaded icons, the avatar in the user
// defaults, thumbnails. Whatever decodes must hold exactly width x height RGBA pixels and come
// back unchanged through the PNG encoder.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIImage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  NSLogSink::setEcho(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  // As an icon: at most 64 x 64 pixels come out, a larger JPEG scaled down while decoding.
  if (auto icon = UIImage::imageWithData(bytes, 64 * 64, 2.0)) {
    if (static_cast<long long>(icon->pixelWidth()) * icon->pixelHeight() > 64 * 64 ||
        icon->pixels().size() != static_cast<size_t>(icon->pixelWidth()) * icon->pixelHeight() * 4)
      std::abort();
  }
  auto image = UIImage::imageWithData(bytes);
  if (!image) return 0;
  const size_t pixels = static_cast<size_t>(image->pixelWidth()) * image->pixelHeight();
  if (image->pixelWidth() <= 0 || image->pixelHeight() <= 0 || image->pixels().size() != pixels * 4)
    std::abort();
  // The round trip is checked on small images only, so that large ones do not slow the run.
  if (pixels > 4096) return 0;
  auto again = UIImage::imageWithData(UIImagePNGRepresentation(image));
  if (!again || again->pixelWidth() != image->pixelWidth() || again->pixels() != image->pixels())
    std::abort();
  return 0;
}
