// Image bytes as servers and other apps hand them over: downloaded icons, the avatar in the user
// defaults, thumbnails. Whatever decodes must hold exactly width x height RGBA pixels and come
// back unchanged through the PNG encoder.
//
// The decoders are fuzzed at a smaller scale than the app decodes photos at. Every budget of work
// and memory (pixels, JPEG coefficients and memory, TIFF strips and tiles, WebP Huffman tables,
// BMP runs) grows with the pixels the caller allows, so the same checks run; but at the full 50 Mi
// pixels the worst input that a budget lets through is meant to cost about a second in an
// optimised build, several under the sanitizers, and a fuzzer that met one would spend its run on
// it (or stop at its time limit). At 1 Mi pixels the worst costs a fiftieth of that. What the
// full-size budgets let through is measured by tovira-bench and read by the tests instead.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIImage.h"

namespace {
constexpr long long kIconPixels = 64 * 64;
constexpr long long kFuzzPixels = 1024 * 1024;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  NSLogSink::setEcho(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  // As an icon: at most 64 x 64 pixels come out, a larger JPEG scaled down while decoding.
  if (auto icon = UIImage::imageWithData(bytes, kIconPixels, 2.0)) {
    if (static_cast<long long>(icon->pixelWidth()) * icon->pixelHeight() > kIconPixels ||
        icon->pixels().size() != static_cast<size_t>(icon->pixelWidth()) * icon->pixelHeight() * 4)
      std::abort();
  }
  // As any image is decoded, with a larger one refused (a JPEG too) rather than scaled down.
  auto image = UIImage::imageWithData(bytes, kFuzzPixels, 1.0, false);
  if (!image) return 0;
  const size_t pixels = static_cast<size_t>(image->pixelWidth()) * image->pixelHeight();
  if (image->pixelWidth() <= 0 || image->pixelHeight() <= 0 || pixels > kFuzzPixels ||
      image->pixels().size() != pixels * 4)
    std::abort();
  // The round trip is checked on small images only, so that large ones do not slow the run.
  if (pixels > 4096) return 0;
  auto again = UIImage::imageWithData(UIImagePNGRepresentation(image));
  if (!again || again->pixelWidth() != image->pixelWidth() || again->pixels() != image->pixels())
    std::abort();
  return 0;
}
