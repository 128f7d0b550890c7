#pragma once

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

  // Main thread. Shows the cached image of url at once when the cache holds it. Otherwise shows
  // the placeholder "ic_launcher", downloads url on a background queue and, when the bytes are an
  // image, stores them in the cache and shows the image (on the main queue). A view that has been
  // given another URL in the meantime keeps that one; a view that is gone is left alone; a failed
  // download leaves the placeholder and stores nothing.
  static void loadImage(const std::shared_ptr<UIImageView>& view, const std::string& url);
};
