#include "platform/uikit/UIImage.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/ImageFormats.h"

// jpeglib.h needs FILE and size_t declared before it, and jerror.h after it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
#include <png.h>
// clang-format on

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

// The most pixels a decoded image may have (64 megapixels, 256 MB of RGBA). A header is a few
// bytes and may claim any size: without this limit, a few hundred bytes claiming 20000 x 20000
// pixels take gigabytes and many seconds to "decode". The size is checked after the header is
// read and before any pixel is.
constexpr long long kMaxPixels = 1LL << 26;
// A progressive JPEG may have any number of scans, each of which passes over the whole image:
// a small file of many empty scans keeps the decoder busy for minutes. Encoders write about ten.
constexpr int kMaxJpegScans = 500;

bool acceptableSize(long long w, long long h) { return w > 0 && h > 0 && w * h <= kMaxPixels; }

// PNG through libpng's simplified reader, which catches its own errors and refuses the file.
// 16-bit samples without a colour-space chunk are read as sRGB, as 8-bit ones are, so that they
// are narrowed rather than gamma-converted.
bool decodePng(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  if (!acceptableSize(image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return false;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return true;
}

// libjpeg reports errors by calling error_exit, whose default ends the process: ours jumps back
// to the call that started the work, which then gives up on the image.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings are quiet, except that data ending before the image does is an error: the rest of
// the image would be grey, and a cut-off download must not pass for the image.
void jpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) jpegFail(info);
}

void jpegProgress(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) jpegFail(info);
}

jpeg_error_mgr* jpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
  manager->error_exit = jpegFail;
  manager->emit_message = jpegMessage;
  return manager;
}

// No object with a destructor is made between setjmp and the calls that may jump back to it.
bool decodeJpeg(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  jpeg_progress_mgr progress{};
  progress.progress_monitor = jpegProgress;
  info.err = jpegErrors(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress;
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (!acceptableSize(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  // CMYK (as print software writes it, inverted) has four samples a pixel too: it is decoded in
  // place and turned into RGB below.
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  w = static_cast<int>(info.output_width);
  h = static_cast<int>(info.output_height);
  rgba.resize(static_cast<size_t>(w) * h * 4);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &rgba[static_cast<size_t>(info.output_scanline) * w * 4];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (cmyk) {
    for (size_t i = 0; i < rgba.size(); i += 4) {
      const unsigned k = rgba[i + 3];
      for (size_t c = 0; c < 3; ++c)
        rgba[i + c] = static_cast<uint8_t>((rgba[i + c] * k + 127) / 255);
      rgba[i + 3] = 255;
    }
  }
  return true;
}

// The encoder's output buffer is libjpeg's, grown with malloc as the file grows.
bool encodeJpeg(const UIImage& image, int quality, std::vector<uint8_t>& out) {
  jpeg_compress_struct info{};
  JpegErrors errors{};
  struct {
    unsigned char* data;
    unsigned long size;
  } buffer{nullptr, 0};
  info.err = jpegErrors(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer.data);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer.data, &buffer.size);
  info.image_width = static_cast<JDIMENSION>(image.pixelWidth());
  info.image_height = static_cast<JDIMENSION>(image.pixelHeight());
  info.input_components = 4;
  info.in_color_space = JCS_EXT_RGBA;  // the fourth byte, alpha, is not stored
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const size_t stride = static_cast<size_t>(image.pixelWidth()) * 4;
  while (info.next_scanline < info.image_height) {
    auto row = const_cast<JSAMPROW>(&image.pixels()[info.next_scanline * stride]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  out.assign(buffer.data, buffer.data + buffer.size);
  std::free(buffer.data);
  return true;
}

// PNG and JPEG are decoded here; GIF, WebP, TIFF and BMP by ImageFormats, under the same pixel
// limit. Any other bytes give no image.
std::shared_ptr<UIImage> decode(const std::vector<uint8_t>& bytes, double scale, std::string name) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  bool decoded = false;
  if (bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0)
    decoded = decodePng(bytes, w, h, rgba);
  else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    decoded = decodeJpeg(bytes, w, h, rgba);
  else
    decoded = ImageFormats::decode(bytes, kMaxPixels, w, h, rgba);
  if (!decoded) return nullptr;
  return std::make_shared<UIImage>(w, h, std::move(rgba), scale, std::move(name));
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
  png_image info{};
  info.version = PNG_IMAGE_VERSION;
  info.width = static_cast<png_uint_32>(image->pixelWidth());
  info.height = static_cast<png_uint_32>(image->pixelHeight());
  info.format = PNG_FORMAT_RGBA;
  // Written once into a buffer of the largest size the file can have, then cut to its length
  // (and the spare room given back: the bytes may be kept a long while, in a pasteboard or album).
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(info);
  out.resize(size);
  if (!png_image_write_to_memory(&info, out.data(), &size, 0, image->pixels().data(), 0, nullptr))
    size = 0;
  out.resize(size);
  out.shrink_to_fit();
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
  const int q = std::max(1, static_cast<int>(quality * 100 + 0.5));
  if (!encodeJpeg(*image, q, out)) out.clear();
  return out;
}
