#include "platform/services/PhotoAlbum.h"

#include <filesystem>
#include <fstream>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIImage.h"

namespace fs = std::filesystem;

PhotoAlbum& PhotoAlbum::shared() {
  static PhotoAlbum album;
  return album;
}

std::string PhotoAlbum::folder() const {
  std::string root = Sandbox::root();
  if (root.empty()) root = (fs::temp_directory_path() / "tovira-photos").string();
  return (fs::path(root) / "Media" / "DCIM").string();
}

void PhotoAlbum::saveImage(const std::shared_ptr<UIImage>& image,
                           std::function<void(const std::string& error)> completion) {
  std::string error;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    error = failure_;
  }
  if (error.empty() && !image) error = "没有图片";
  if (error.empty()) {
    auto png = UIImagePNGRepresentation(image);
    std::string dir = folder();
    std::error_code ec;
    fs::create_directories(dir, ec);
    // The next free number: photos saved by an earlier run of the app are never overwritten.
    std::string path;
    while (true) {
      long n;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        n = ++counter_;
      }
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%04ld.PNG", n);
      path = (fs::path(dir) / name).string();
      if (!fs::exists(path, ec) || n > 1000000) break;
    }
    bool written = false;
    if (!png.empty()) {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      if (out) {
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        out.close();
        written = static_cast<bool>(out);
      }
    }
    if (!written) {
      fs::remove(path, ec);  // no empty or half-written photo is left behind
      error = "无法保存图片";
    } else {
      std::lock_guard<std::mutex> lock(mutex_);
      saved_.push_back(path);
    }
  }
  if (completion) RunLoop::main().post([completion, error] { completion(error); });
}

std::vector<std::string> PhotoAlbum::savedPhotoPaths() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return saved_;
}

void PhotoAlbum::setFailure(const std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  failure_ = error;
}

void PhotoAlbum::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  saved_.clear();
  failure_.clear();
  counter_ = 0;
}

void UIImageWriteToSavedPhotosAlbum(
    const std::shared_ptr<UIImage>& image,
    std::function<void(const std::shared_ptr<UIImage>&, const std::string& error)> completion) {
  PhotoAlbum::shared().saveImage(image, [image, completion](const std::string& error) {
    if (completion) completion(image, error);
  });
}
