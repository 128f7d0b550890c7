#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class UIImageView;

// Images downloaded from the server, kept on disk in Caches/imageCache, one file per URL named
// after the MD5 of the URL.
class ImageCache {
 public:
  // The cache folder, created when missing. Any thread.
  static std::string cacheFolder();
  // Where the image of url is (or would be) kept. Any thread.
  static std::string cachePath(const std::string& url);

  // Main thread. Shows the image of url at once when it is among the decoded images kept in
  // memory, or when its cached file is a fit icon (at most kShownAtOnceBytes on disk and
  // kShownAtOncePixels decoded, so that decoding it costs the main thread a few milliseconds at
  // the most); otherwise shows the placeholder "ic_launcher" and, on a background queue, decodes
  // the cached file of url or, when there is none (or it is no image), downloads url and stores
  // the bytes in the cache when they are an image; the image is then shown on the main queue.
  // Images are decoded for an icon: a larger JPEG is scaled down while decoding, any other image
  // of more than kIconMaxPixels is refused and the placeholder stays. Only the latest call for a
  // view shows its image (a slower, earlier one never replaces it); a view that is gone is left
  // alone; a failed download leaves the placeholder and stores nothing.
  static void loadImage(const std::shared_ptr<UIImageView>& view, const std::string& url);

  // Drops the decoded images kept in memory (as on a memory warning, or a new launch). Any thread.
  static void clearMemory();

  // The most pixels an icon is decoded to: 1024 x 1024, far beyond the 70 points at 3x an icon is
  // shown at, and 4 MB once decoded.
  static constexpr long long kIconMaxPixels = 1024 * 1024;
  // A cached file decoded on the main thread, to show at once: 256 x 256 pixels (an icon of 70
  // points at 3x fits) from at most 256 KB. The decoders' work budget shrinks with the pixels.
  static constexpr long long kShownAtOncePixels = 256 * 256;
  static constexpr uintmax_t kShownAtOnceBytes = 256 * 1024;
  // The most bytes of decoded pixels kept in memory; the least recently shown go first.
  static constexpr size_t kMemoryBudget = 32u << 20;
};
