#include "core/ImageCache.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <mutex>
#include <unordered_map>

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/EncDec.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"

namespace {

// The request a view was last given (its URL, kept by identity): only that request's image is
// shown, so that a late result never replaces a newer one, even for the same URL.
constexpr const char* kUrlKey = "ImageCache.url";

bool isCurrentRequest(const UIImageView& view, const std::shared_ptr<std::string>& request) {
  return view.associatedObject(kUrlKey) == request;
}

// Decoded icons by URL, least recently used first out, within a byte budget: a page of icons
// shows at once when it comes back, and a long list never holds more than the budget.
class MemoryCache {
 public:
  std::shared_ptr<UIImage> get(const std::string& url) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = index_.find(url);
    if (it == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return it->second->second;
  }
  void put(const std::string& url, const std::shared_ptr<UIImage>& image) {
    const size_t size = image->pixels().size();
    if (size > ImageCache::kMemoryBudget) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto it = index_.find(url); it != index_.end()) remove(it->second);
    order_.emplace_front(url, image);
    index_[url] = order_.begin();
    bytes_ += size;
    while (bytes_ > ImageCache::kMemoryBudget) remove(std::prev(order_.end()));
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    order_.clear();
    index_.clear();
    bytes_ = 0;
  }

 private:
  using Entries = std::list<std::pair<std::string, std::shared_ptr<UIImage>>>;
  void remove(Entries::iterator entry) {
    bytes_ -= entry->second->pixels().size();
    index_.erase(entry->first);
    order_.erase(entry);
  }
  std::mutex mutex_;
  Entries order_;
  std::unordered_map<std::string, Entries::iterator> index_;
  size_t bytes_ = 0;
};

MemoryCache& memoryCache() {
  static MemoryCache cache;
  return cache;
}

// One icon is decoded at a time: a page of crafted icons then costs one decoder's memory, not
// one for each worker thread.
std::shared_ptr<UIImage> decodeIcon(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  static std::mutex decoding;
  std::lock_guard<std::mutex> lock(decoding);
  return UIImage::imageWithData(bytes, ImageCache::kIconMaxPixels, 1.0);
}

Value::Data readFile(const std::string& path) {
  return NSFileManager::defaultManager().contentsAtPath(path).value_or(Value::Data{});
}

// The bytes of a cached file small enough to read and try on the main thread (within
// kShownAtOnceBytes); empty for a larger or missing one, which the background reads.
Value::Data smallCachedFile(const std::string& path) {
  const auto size = NSFileManager::defaultManager().fileSizeAtPath(path);
  if (!size || *size > ImageCache::kShownAtOnceBytes) return {};
  return readFile(path);
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

// A cached file used to be decoded on the main thread as the view appeared, at full size: a
// page of crafted icons (8 KB files claiming 8192 x 8192 pixels) froze the screen for many seconds
// and took gigabytes. Now only an already decoded image, or a small file of an icon's size, is
// shown at once; other files are decoded on a background queue, one at a time, within an icon's
// pixel limit.
void ImageCache::loadImage(const std::shared_ptr<UIImageView>& view, const std::string& url) {
  if (!view) return;
  auto request = std::make_shared<std::string>(url);
  view->setAssociatedObject(kUrlKey, request);
  if (auto image = memoryCache().get(url)) {
    view->setImage(image);
    return;
  }
  if (url.empty()) {
    view->setImage(UIImage::imageNamed("ic_launcher"));
    return;
  }
  const std::string path = cachePath(url);
  // A small cached file shows at once when it is an icon of at most kShownAtOncePixels, unscaled;
  // otherwise its bytes go on to the background, which does not read them again.
  Value::Data cached = smallCachedFile(path);
  if (auto image = UIImage::imageWithData(cached, kShownAtOncePixels, 1.0, false)) {
    memoryCache().put(url, image);
    view->setImage(image);
    return;
  }
  view->setImage(UIImage::imageNamed("ic_launcher"));
  std::weak_ptr<UIImageView> weakView = view;
  dispatch_async_global([weakView, request, url, path, cached = std::move(cached)] {
    auto image = decodeIcon(cached.empty() ? readFile(path) : cached);
    if (!image) {
      CurlHandle curl;
      auto result = curl.get(url, Config::timeout());
      if (!result.transferred || result.status != 200) return;
      image = decodeIcon(std::vector<uint8_t>(result.body.begin(), result.body.end()));
      if (!image) return;
      storeAtomically(path, result.body);
    }
    memoryCache().put(url, image);
    dispatch_async_main([weakView, request, image] {
      auto view = weakView.lock();
      if (view && isCurrentRequest(*view, request)) view->setImage(image);
    });
  });
}

void ImageCache::clearMemory() { memoryCache().clear(); }
