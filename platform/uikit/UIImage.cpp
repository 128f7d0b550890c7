#include "platform/uikit/UIImage.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSString.h"

// stb is compiled here with internal linkage, so that other libraries may use it too.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {
std::mutex& cacheMutex() {
  static std::mutex m;
  return m;
}
std::map<std::string, std::shared_ptr<UIImage>>& namedCache() {
  static std::map<std::string, std::shared_ptr<UIImage>> cache;
  return cache;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The most pixels a decoded image may have (256 MB of RGBA). A header is a few bytes and may
// claim any size: without this limit, a few hundred bytes of JPEG claiming 20000 x 20000
// pixels take gigabytes and many seconds to "decode".
constexpr long long kMaxPixels = 1LL << 26;

std::shared_ptr<UIImage> decode(const std::vector<uint8_t>& bytes, double scale, std::string name) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels))
    return nullptr;
  if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPixels) return nullptr;
  stbi_uc* pixels =
      stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
  if (!pixels) return nullptr;
  std::vector<uint8_t> rgba(pixels, pixels + static_cast<size_t>(w) * h * 4);
  stbi_image_free(pixels);
  return std::make_shared<UIImage>(w, h, std::move(rgba), scale, std::move(name));
}

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  auto* p = static_cast<uint8_t*>(data);
  out->insert(out->end(), p, p + size);
}
}  // namespace

UIImage::UIImage(int pixelWidth, int pixelHeight, std::vector<uint8_t> rgba, double scale,
                 std::string name)
    : width_(pixelWidth),
      height_(pixelHeight),
      rgba_(std::move(rgba)),
      scale_(scale > 0 ? scale : 1.0),
      name_(std::move(name)) {}

std::shared_ptr<UIImage> UIImage::imageNamed(const std::string& name) {
  if (name.empty()) return nullptr;
  {
    std::lock_guard<std::mutex> lock(cacheMutex());
    auto it = namedCache().find(name);
    if (it != namedCache().end()) return it->second;
  }
  std::string base = name, ext;
  for (const char* e : {".png", ".jpg", ".jpeg"}) {
    if (NSString::hasSuffix(name, e)) {
      base = name.substr(0, name.size() - std::string(e).size());
      ext = std::string(e).substr(1);
    }
  }
  std::vector<std::string> exts =
      ext.empty() ? std::vector<std::string>{"png", "jpg"} : std::vector<std::string>{ext};
  auto& bundle = NSBundle::mainBundle();
  std::shared_ptr<UIImage> image;
  for (const auto& e : exts) {
    for (const char* dir : {"", "images"}) {
      for (auto [suffix, scale] : {std::pair<const char*, double>{"@2x", 2.0}, {"", 1.0}}) {
        std::string path = bundle.pathForResource(base + suffix, e, dir);
        std::vector<uint8_t> bytes;
        if (path.empty() || !readFile(path, bytes)) continue;
        image = decode(bytes, scale, name);
        if (image) break;
      }
      if (image) break;
    }
    if (image) break;
  }
  if (!image) return nullptr;
  std::lock_guard<std::mutex> lock(cacheMutex());
  namedCache()[name] = image;
  return image;
}

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!readFile(path, bytes)) return nullptr;
  double scale = path.find("@2x.") != std::string::npos ? 2.0 : 1.0;
  return decode(bytes, scale, "");
}

std::shared_ptr<UIImage> UIImage::imageWithData(const std::vector<uint8_t>& bytes, double scale) {
  return decode(bytes, scale, "");
}

std::shared_ptr<UIImage> UIImage::imageWithPixels(int w, int h, std::vector<uint8_t> rgba,
                                                  double scale) {
  if (w <= 0 || h <= 0 || rgba.size() != static_cast<size_t>(w) * h * 4) return nullptr;
  return std::make_shared<UIImage>(w, h, std::move(rgba), scale, "");
}

std::shared_ptr<UIImage> UIImage::imageWithBitMatrix(const std::vector<std::vector<bool>>& cells,
                                                     int cellSize) {
  if (cells.empty() || cells[0].empty() || cellSize <= 0) return nullptr;
  int rows = static_cast<int>(cells.size());
  int cols = static_cast<int>(cells[0].size());
  int w = cols * cellSize, h = rows * cellSize;
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 255);
  for (int y = 0; y < h; ++y) {
    const auto& row = cells[y / cellSize];
    for (int x = 0; x < w; ++x) {
      size_t c = static_cast<size_t>(x / cellSize);
      if (c < row.size() && row[c]) {
        uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = p[1] = p[2] = 0;
      }
    }
  }
  return imageWithPixels(w, h, std::move(rgba));
}

void UIImage::clearNamedCache() {
  std::lock_guard<std::mutex> lock(cacheMutex());
  namedCache().clear();
}

CGSize UIImage::size() const { return CGSize{width_ / scale_, height_ / scale_}; }

uint32_t UIImage::pixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = &rgba_[(static_cast<size_t>(y) * width_ + x) * 4];
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

std::vector<uint8_t> UIImagePNGRepresentation(const std::shared_ptr<UIImage>& image) {
  std::vector<uint8_t> out;
  if (!image || image->pixels().empty()) return out;
  if (!stbi_write_png_to_func(appendBytes, &out, image->pixelWidth(), image->pixelHeight(), 4,
                              image->pixels().data(), image->pixelWidth() * 4))
    out.clear();
  return out;
}

std::vector<uint8_t> UIImageJPEGRepresentation(const std::shared_ptr<UIImage>& image,
                                               double quality) {
  std::vector<uint8_t> out;
  if (!image || image->pixels().empty()) return out;
  // Clamped before the conversion: a quality far out of range (or not a number) must not
  // overflow the integer, which would turn "best" into "worst".
  if (std::isnan(quality)) quality = 1.0;
  quality = std::clamp(quality, 0.0, 1.0);
  int q = std::max(1, static_cast<int>(quality * 100 + 0.5));
  if (!stbi_write_jpg_to_func(appendBytes, &out, image->pixelWidth(), image->pixelHeight(), 4,
                              image->pixels().data(), q))
    out.clear();
  return out;
}
