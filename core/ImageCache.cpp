#include "core/ImageCache.h"

#include <atomic>
#include <filesystem>
#include <fstream>

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/EncDec.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"

namespace {

// The URL a view was last asked to show, so that a late download does not replace a newer image.
constexpr const char* kUrlKey = "ImageCache.url";

bool isCurrentUrl(const UIImageView& view, const std::string& url) {
  auto current = view.associatedObjectAs<std::string>(kUrlKey);
  return current && *current == url;
}

// Writes through a temporary file and a rename, so that a reader never sees half an image.
bool storeAtomically(const std::string& path, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string tmp = path + ".part" + std::to_string(counter++);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) std::filesystem::remove(tmp, ec);
  return !ec;
}

}  // namespace

std::string ImageCache::cacheFolder() {
  const std::string folder = Sandbox::caches() + "/imageCache";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

std::string ImageCache::cachePath(const std::string& url) {
  return cacheFolder() + "/" + EncDec::md5(url);
}

void ImageCache::loadImage(const std::shared_ptr<UIImageView>& view, const std::string& url) {
  if (!view) return;
  view->setAssociatedObject(kUrlKey, std::make_shared<std::string>(url));
  const std::string path = cachePath(url);
  if (auto cached = UIImage::imageWithContentsOfFile(path)) {
    view->setImage(cached);
    return;
  }
  view->setImage(UIImage::imageNamed("ic_launcher"));
  if (url.empty()) return;
  std::weak_ptr<UIImageView> weakView = view;
  dispatch_async_global([weakView, url, path] {
    CurlHandle curl;
    auto result = curl.get(url, Config::timeout());
    if (!result.transferred || result.status != 200) return;
    const std::vector<uint8_t> bytes(result.body.begin(), result.body.end());
    auto image = UIImage::imageWithData(bytes);
    if (!image) return;
    storeAtomically(path, result.body);
    dispatch_async_main([weakView, url, image] {
      auto view = weakView.lock();
      if (view && isCurrentUrl(*view, url)) view->setImage(image);
    });
  });
}
