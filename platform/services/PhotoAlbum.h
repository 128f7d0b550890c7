#pragma once
// The device's photo album: saved images are PNG files under the sandbox's
// "Media/DCIM" folder. Saving completes on the main queue (after the call returns) with
// success or an error text. A test can make the next saves fail.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class UIImage;

class PhotoAlbum {
 public:
  static PhotoAlbum& shared();
  // Writes the image; completion(errorText) on the main run loop, "" meaning success.
  void saveImage(const std::shared_ptr<UIImage>& image,
                 std::function<void(const std::string& error)> completion);
  std::vector<std::string> savedPhotoPaths() const;
  // While set, saves fail with this text (e.g. "用户拒绝访问相册"); "" restores success.
  void setFailure(const std::string& error);
  // Tests: the album of a fresh device (nothing listed, saves succeed, numbering starts again;
  // files already in the folder are kept and never overwritten). A relaunch of the app leaves
  // the album as it is.
  void reset();

 private:
  std::string folder() const;
  mutable std::mutex mutex_;
  std::vector<std::string> saved_;
  std::string failure_;
  long counter_ = 0;
};

// UIImageWriteToSavedPhotosAlbum with a completion instead of the target/selector pair:
// completion(image, errorText) on the main run loop; errorText is "" on success.
void UIImageWriteToSavedPhotosAlbum(
    const std::shared_ptr<UIImage>& image,
    std::function<void(const std::shared_ptr<UIImage>&, const std::string& error)> completion);
