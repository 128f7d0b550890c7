#include "platform/uikit/UIImage.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
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

// The most pixels a decoded image may have (50 Mi pixels, 200 MiB of RGBA): room for the largest
// camera photo this app meets (48 to 50 megapixels), not for the 8192 x 8192 that a few hundred
// crafted bytes may claim. A header is a few bytes and may claim any size: the size is checked
// after the header is read and before any pixel is, so that such a file costs nothing.
constexpr long long kMaxPixels = 50LL << 20;
// The JPEG budgets (scans, coefficients, memory) are ImageFormats', which the JPEG strips of TIFF
// files are held to as well.
using ImageFormats::kJpegArithmeticWeight;
using ImageFormats::kMaxJpegScans;

struct DecodeLimits {
  // Images of more pixels are refused...
  long long maxPixels = kMaxPixels;
  // ...unless this is set and the image is a JPEG: it is then decoded at 1/2, 1/4 or 1/8 of its
  // size, the largest that fits, as libjpeg does while decoding.
  bool scaleDown = false;
};

using ImageFormats::acceptableSize;

// PNG through libpng's full reader, so that its limits can be set: the simplified reader inflates
// and keeps every text chunk before the pixels, and a 7 MB file of compressed text took gigabytes
// and many seconds. Chunks that do not change the pixels (text, time, unknown ones) are skipped
// unread; the colour handling is the simplified reader's: 8-bit RGBA out, palette, grey and tRNS
// expanded, 16-bit samples narrowed as sRGB (not gamma-converted), a gAMA chunk honoured.
struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t offset;
};

void pngRead(png_structp png, png_bytep out, size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->size - source->offset) png_error(png, "cut off");
  std::memcpy(out, source->data + source->offset, length);
  source->offset += length;
}

[[noreturn]] void pngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarn(png_structp, png_const_charp) {}

// Owns libpng's structures, so that every way out frees them.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngReader() {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngWarn);
    if (png) info = png_create_info_struct(png);
  }
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
};

// Chunks that change what the pixels look like (tRNS is always read); every other ancillary
// chunk is skipped.
constexpr png_byte kPngColourChunks[] = "cHRM\0gAMA\0iCCP\0sRGB";

// No object with a destructor is made between setjmp and the calls that may jump back to it.
bool decodePng(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba,
               const DecodeLimits& limits) {
  PngReader reader;
  if (!reader.info) return false;
  png_structp png = reader.png;
  png_infop info = reader.info;
  PngSource source{bytes.data(), bytes.size(), 0};
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, pngRead);
  // Every chunk libpng could skip is skipped (a negative count takes in the known ones as well),
  // then the colour chunks are handed back to libpng's own handling.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kPngColourChunks,
                              sizeof(kPngColourChunks) / 5);
  // The largest chunk kept is an ICC profile (iCCP); a few chunks of a kind are plenty.
  png_set_chunk_malloc_max(png, 1 << 20);
  png_set_chunk_cache_max(png, 16);
  const auto side = static_cast<png_uint_32>(std::min<long long>(limits.maxPixels, 0x7FFFFFFF));
  png_set_user_limits(png, side, side);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
  if (!acceptableSize(width, height, limits.maxPixels)) return false;
  png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;
  rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, &rgba[static_cast<size_t>(y) * width * 4], nullptr);
  png_read_end(png, nullptr);
  w = static_cast<int>(width);
  h = static_cast<int>(height);
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

// Called by libjpeg as it goes through each scan's rows: charges every scan's whole work as the
// scan starts, before it is decoded, and stops the image once the budget is spent.
struct JpegProgress {
  jpeg_progress_mgr manager;
  unsigned long long budget = ImageFormats::kMaxJpegCoefficients;
  int scan = 0;
  unsigned long long coefficients = 0;
};

void jpegProgress(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  auto* progress = reinterpret_cast<JpegProgress*>(info->progress);
  if (info->input_scan_number == progress->scan) return;
  progress->scan = info->input_scan_number;
  if (progress->scan > kMaxJpegScans) jpegFail(common);
  unsigned long long scan = 0;
  for (int c = 0; c < info->comps_in_scan && c < MAX_COMPS_IN_SCAN; ++c) {
    const jpeg_component_info* component = info->cur_comp_info[c];
    if (component) scan += 64ULL * component->width_in_blocks * component->height_in_blocks;
  }
  progress->coefficients += info->arith_code ? scan * kJpegArithmeticWeight : scan;
  if (progress->coefficients > progress->budget) jpegFail(common);
}

jpeg_error_mgr* jpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
  manager->error_exit = jpegFail;
  manager->emit_message = jpegMessage;
  return manager;
}

// No object with a destructor is made between setjmp and the calls that may jump back to it.
bool decodeJpeg(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba,
                const DecodeLimits& limits) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  JpegProgress progress{};
  progress.manager.progress_monitor = jpegProgress;
  // An image shown small gets work in proportion.
  progress.budget = ImageFormats::jpegCoefficientBudget(limits.maxPixels);
  info.err = jpegErrors(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress.manager;
  // What libjpeg keeps besides the pixels is bounded as the pixels are; a decode that would need
  // more is refused by libjpeg before it allocates.
  info.mem->max_memory_to_use = static_cast<long>(ImageFormats::jpegMemoryBudget(limits.maxPixels));
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (!acceptableSize(info.image_width, info.image_height, kMaxPixels)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = 1;
  jpeg_calc_output_dimensions(&info);
  while (limits.scaleDown && info.scale_denom < 8 &&
         !acceptableSize(info.output_width, info.output_height, limits.maxPixels)) {
    info.scale_denom *= 2;
    jpeg_calc_output_dimensions(&info);
  }
  if (!acceptableSize(info.output_width, info.output_height, limits.maxPixels)) {
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
std::shared_ptr<UIImage> decode(const std::vector<uint8_t>& bytes, double scale, std::string name,
                                const DecodeLimits& limits = {}) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  bool decoded = false;
  if (bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0)
    decoded = decodePng(bytes, w, h, rgba, limits);
  else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    decoded = decodeJpeg(bytes, w, h, rgba, limits);
  else
    decoded = ImageFormats::decode(bytes, limits.maxPixels, w, h, rgba);
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

std::shared_ptr<UIImage> UIImage::imageWithData(const std::vector<uint8_t>& bytes,
                                                long long maxPixels, double scale, bool scaleDown) {
  if (maxPixels <= 0) return nullptr;
  return decode(bytes, scale, "", DecodeLimits{std::min(maxPixels, kMaxPixels), scaleDown});
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
