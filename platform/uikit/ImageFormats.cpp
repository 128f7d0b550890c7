#include "platform/uikit/ImageFormats.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gif_lib.h>
#include <tiffio.h>
#include <webp/decode.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/uikit/JpegStreamCost.h"
#include "platform/uikit/WebPBudget.h"

namespace ImageFormats {

unsigned long long jpegCoefficientBudget(long long maxPixels) {
  return std::min<unsigned long long>(
      kMaxJpegCoefficients, static_cast<unsigned long long>(std::max(maxPixels, 0LL)) * 256ULL);
}

long long jpegMemoryBudget(long long maxPixels) {
  return std::min(kMaxJpegMemory,
                  std::max<long long>(std::min(maxPixels, 1LL << 40) * 16, 64LL << 20));
}

bool acceptableSize(long long width, long long height, long long maxPixels) {
  return width > 0 && height > 0 && width <= maxPixels && height <= maxPixels &&
         width * height <= maxPixels;
}

namespace {

bool startsWith(const uint8_t* bytes, size_t size, const char* magic, size_t length,
                size_t offset = 0) {
  return size >= offset + length && std::memcmp(bytes + offset, magic, length) == 0;
}

// --- GIF ---

struct GifSource {
  const uint8_t* data;
  size_t size;
  size_t position;
};

// giflib's reads: a short count at the end of the data is how a cut-off file shows.
int gifRead(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  if (count <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(count), source->size - source->position);
  std::memcpy(out, source->data + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// Reads the records up to the first image descriptor, keeping the transparent colour of the
// graphic control block before it (-1 when there is none).
bool readToFirstFrame(GifFileType* gif, int& transparent) {
  transparent = NO_TRANSPARENT_COLOR;
  bool controlSeen = false;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
    if (type != EXTENSION_RECORD_TYPE) return false;  // the file ends without a frame
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && !controlSeen) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
        transparent = control.TransparentColor;
        controlSeen = true;
      }
    }
    while (block)
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
}

// --- TIFF: the file is read from memory through libtiff's client procedures ---

struct TiffSource {
  const uint8_t* data;
  toff_t size;
  toff_t position;
};

tmsize_t tiffRead(thandle_t handle, void* out, tmsize_t count) {
  auto* source = static_cast<TiffSource*>(handle);
  if (count <= 0 || source->position >= source->size) return 0;
  const toff_t n = std::min(static_cast<toff_t>(count), source->size - source->position);
  std::memcpy(out, source->data + source->position, n);
  source->position += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t tiffWrite(thandle_t, void*, tmsize_t) { return -1; }

// Offsets come from the file: one that leads before the start or overflows fails the seek, and
// one past the end is allowed (reads there give nothing), as with a file.
toff_t tiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<TiffSource*>(handle);
  long long base = 0;
  if (whence == SEEK_CUR)
    base = static_cast<long long>(source->position);
  else if (whence == SEEK_END)
    base = static_cast<long long>(source->size);
  else if (whence != SEEK_SET)
    return static_cast<toff_t>(-1);
  long long target = 0;
  if (__builtin_add_overflow(base, static_cast<long long>(offset), &target) || target < 0)
    return static_cast<toff_t>(-1);
  source->position = static_cast<toff_t>(target);
  return source->position;
}

int tiffClose(thandle_t) { return 0; }
toff_t tiffSize(thandle_t handle) { return static_cast<TiffSource*>(handle)->size; }
int tiffMap(thandle_t, void**, toff_t*) { return 0; }
void tiffUnmap(thandle_t, void*, toff_t) {}

// Errors and warnings are not printed: a damaged file is simply no image. Answering 1 keeps the
// process-wide handlers from being called too.
int tiffQuiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// --- TIFF: what decoding the first directory costs, counted before libtiff decodes any of it ---

// The most bytes libtiff may decode for an image: up to 16 a pixel of the image (eight 16-bit
// samples: RGBA or CMYK at 16 bits, 8 bytes, with room for alpha and spot colours), but never more
// than 8 for each pixel the caller allows, so that the work shrinks with the caller's limit (400
// MB, under half a second of inflating, at the app's 50 Mi pixels; 512 KB for a 256 x 256 icon).
// On top of that, whatever the image's size, a little room for the padding of strips and tiles
// (a small image in one 256 x 256 tile decodes the whole tile) and for the set-up of a strip:
// 16 bytes a pixel of the caller's limit, at least 64 KB and at most 4 MB.
constexpr unsigned long long kTiffBytesPerImagePixel = 16;
constexpr unsigned long long kTiffBytesPerAllowedPixel = 8;
constexpr unsigned long long kTiffLeastPaddingAllowance = 64ULL << 10;
constexpr unsigned long long kTiffMostPaddingAllowance = 4ULL << 20;
// Every strip or tile costs libtiff a seek, a read and a codec's reset besides its bytes; a file
// of a million one-row strips must not pass for free. Charged as that many decoded bytes.
constexpr unsigned long long kTiffBytesPerStrile = 1024;
// A JPEG strip or tile also costs libjpeg a header to parse and decoding state to build, about
// what decoding this many coefficients costs.
constexpr unsigned long long kJpegStreamSetupCoefficients = 16384;

unsigned long long tiffMul(unsigned long long a, unsigned long long b) {
  unsigned long long product = 0;
  return __builtin_mul_overflow(a, b, &product) ? ~0ULL : product;
}
unsigned long long tiffAdd(unsigned long long a, unsigned long long b) {
  unsigned long long sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? ~0ULL : sum;
}
unsigned long long tiffRoundUp(unsigned long long value, unsigned long long step) {
  return (value + step - 1) / step * step;
}

// Compressions whose decoders' work and memory follow from what they write out and read in,
// which is what is counted. The others take sizes or memory from headers of their own inside
// each strip, which this count does not read: WebP (Huffman groups, its own canvas), LERC and JBIG
// (their own size headers), LZMA (a dictionary size of up to 1.5 GB from the stream, which libtiff
// opens without a memory limit); and old-style JPEG (6) rebuilds its tables and scans from tags
// and a stream that may lie anywhere in the file, so its scans cannot be read as a strip's. It
// was replaced in 1995 and is not written any more.
bool tiffCompressionCounted(uint16_t compression) {
  switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_LZW:
    case COMPRESSION_JPEG:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ZSTD:
    case COMPRESSION_NEXT:
    case COMPRESSION_THUNDERSCAN:
    case COMPRESSION_PIXARLOG:
    case COMPRESSION_SGILOG:
    case COMPRESSION_SGILOG24:
      return true;
    default:
      return false;
  }
}

// The shape of one strip or tile of the first directory, as libtiff decodes it.
struct TiffStrileShape {
  bool tiled = false;
  uint32_t count = 0;              // strips or tiles, every plane's
  uint32_t segmentWidth = 0;       // pixels across one
  uint32_t segmentHeight = 0;      // rows of one (of a strip: as many as it holds, not the last's)
  uint16_t samples = 1;            // samples a pixel of one: all of them, or one plane's
  unsigned long long decoded = 0;  // bytes of one, decoded
};

std::optional<TiffStrileShape> tiffStrileShape(TIFF* tiff, uint32_t width, uint32_t height) {
  uint16_t samplesPerPixel = 1, bitsPerSample = 1, planar = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TiffStrileShape shape;
  shape.tiled = TIFFIsTiled(tiff);
  shape.samples = planar == PLANARCONFIG_SEPARATE ? 1 : samplesPerPixel;
  if (shape.tiled) {
    if (!TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &shape.segmentWidth) ||
        !TIFFGetField(tiff, TIFFTAG_TILELENGTH, &shape.segmentHeight))
      return std::nullopt;
    shape.count = TIFFNumberOfTiles(tiff);
  } else {
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    shape.segmentWidth = width;
    shape.segmentHeight = std::min(rowsPerStrip, height);
    shape.count = TIFFNumberOfStrips(tiff);
  }
  if (shape.count == 0 || shape.segmentWidth == 0 || shape.segmentHeight == 0 || bitsPerSample == 0)
    return std::nullopt;
  // Whole rows of whole samples, subsampled chroma counted in full (libtiff's JPEG codec hands
  // them over so).
  const unsigned long long rowBits =
      tiffMul(tiffMul(shape.segmentWidth, shape.samples), bitsPerSample);
  shape.decoded = tiffMul((rowBits / 8) + (rowBits % 8 != 0), shape.segmentHeight);
  return shape;
}

// The bytes of a strip or tile that lie in the file: libtiff reads no more, and a read beyond
// the end fails.
std::pair<uint64_t, uint64_t> tiffStrileBytes(TIFF* tiff, uint32_t strile, uint64_t fileSize) {
  const uint64_t offset = TIFFGetStrileOffset(tiff, strile);
  const uint64_t count = TIFFGetStrileByteCount(tiff, strile);
  if (offset >= fileSize) return {offset, 0};
  return {offset, std::min<uint64_t>(count, fileSize - offset)};
}

// Each JPEG strip or tile is read as libjpeg would read it: it may be no larger than its strip or
// tile rounded up to whole units (libtiff alone takes a last strip of any height, and decodes it
// all), holds the samples that its strip or tile holds, and all of them together stay within the
// JPEG budgets. Strips that share bytes are read once and charged each time.
bool tiffJpegStrilesWithinBudget(TIFF* tiff, const TiffStrileShape& shape,
                                 const std::vector<uint8_t>& bytes, long long maxPixels) {
  const unsigned long long budget = jpegCoefficientBudget(maxPixels);
  const auto memoryBudget = static_cast<unsigned long long>(jpegMemoryBudget(maxPixels));
  std::map<std::pair<uint64_t, uint64_t>, std::optional<JpegStreamCost>> read;
  unsigned long long coefficients = 0;
  for (uint32_t strile = 0; strile < shape.count; ++strile) {
    const auto span = tiffStrileBytes(tiff, strile, bytes.size());
    if (span.second == 0) return false;  // no JPEG at all: libtiff would fail on it too
    auto it = read.find(span);
    if (it == read.end())
      it = read.emplace(span,
                        JpegStreamCost::read(bytes.data() + span.first, span.second, kMaxJpegScans))
               .first;
    const std::optional<JpegStreamCost>& cost = it->second;
    if (!cost || cost->components != shape.samples ||
        cost->width > tiffRoundUp(shape.segmentWidth, 8ULL * cost->maxH) ||
        cost->height > tiffRoundUp(shape.segmentHeight, 8ULL * cost->maxV) ||
        cost->coefficientMemory > memoryBudget)
      return false;
    coefficients = tiffAdd(coefficients, cost->coefficients + kJpegStreamSetupCoefficients);
    if (coefficients > budget) return false;
  }
  return true;
}

// Counts what TIFFReadRGBAImage would decode of the first directory, and refuses it beyond the
// budget above. libtiff's own limit is on single allocations only, so a file whose strips or
// samples are each of an allowed size may still ask for gigabytes of decoding in all.
bool tiffWithinBudget(TIFF* tiff, const std::vector<uint8_t>& bytes, uint32_t width,
                      uint32_t height, long long maxPixels) {
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  if (!tiffCompressionCounted(compression)) return false;
  const auto shape = tiffStrileShape(tiff, width, height);
  if (!shape) return false;
  const auto allowed = static_cast<unsigned long long>(std::min(maxPixels, 1LL << 40));
  const unsigned long long budget =
      std::min(tiffMul(static_cast<unsigned long long>(width) * height, kTiffBytesPerImagePixel),
               allowed * kTiffBytesPerAllowedPixel) +
      std::clamp(allowed * 16, kTiffLeastPaddingAllowance, kTiffMostPaddingAllowance);
  // libtiff's JPEG codec reads the shared tables again for every strip or tile.
  unsigned long long tables = 0;
  if (compression == COMPRESSION_JPEG) {
    uint32_t count = 0;
    void* data = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_JPEGTABLES, &count, &data)) tables = count;
  }
  const unsigned long long perStrile =
      tiffAdd(tiffAdd(shape->decoded, tables), kTiffBytesPerStrile);
  unsigned long long charged = 0;
  // Every strile adds at least kTiffBytesPerStrile, so the count stops soon on a file of millions.
  for (uint32_t strile = 0; strile < shape->count; ++strile) {
    charged =
        tiffAdd(tiffAdd(charged, perStrile), tiffStrileBytes(tiff, strile, bytes.size()).second);
    if (charged > budget) return false;
  }
  return compression != COMPRESSION_JPEG ||
         tiffJpegStrilesWithinBudget(tiff, *shape, bytes, maxPixels);
}

struct TiffOptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// --- BMP through gdk-pixbuf's loader ---

// What the loader's signals tell of one image: its height once the header is read, whether
// that size was refused, and the rows filled in so far, as ranges [first, last + 1) that neither
// overlap nor touch. The loader fills rows in order, so there is mostly one range.
struct BmpProgress {
  long long maxPixels;
  long long height = 0;
  bool refused = false;
  std::map<long long, long long> rowsDone;
};

// Called once the header is read and before the loader allocates the image. A size of zero
// makes the loader stop instead of allocating.
void bmpSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
  auto* progress = static_cast<BmpProgress*>(data);
  if (acceptableSize(width, height, progress->maxPixels)) {
    progress->height = height;
    return;
  }
  progress->refused = true;
  gdk_pixbuf_loader_set_size(loader, 0, 0);
}

void bmpAreaUpdated(GdkPixbufLoader*, gint, gint y, gint, gint height, gpointer data) {
  auto* progress = static_cast<BmpProgress*>(data);
  long long begin = std::max(0, y);
  long long end = std::min(static_cast<long long>(y) + height, progress->height);
  if (begin >= end) return;
  auto& rows = progress->rowsDone;
  // Ranges that overlap or touch the new one are merged into it.
  auto it = rows.upper_bound(begin);
  if (it != rows.begin() && std::prev(it)->second >= begin) --it;
  while (it != rows.end() && it->first <= end) {
    begin = std::min(begin, it->first);
    end = std::max(end, it->second);
    it = rows.erase(it);
  }
  try {
    rows.emplace(begin, end);
  } catch (...) {  // nothing may be thrown through the loader; the image counts as incomplete
    progress->refused = true;
  }
}

// The BMP loader takes a file that ends early for a whole one, with the missing rows left
// blank; a cut-off download must not pass for the image. The loader reports every row that it
// has filled in (a run-length encoded image that ends itself early counts as filled in), so a
// row never reported means the data ran out.
bool bmpComplete(const BmpProgress& progress) {
  const auto& rows = progress.rowsDone;
  return !progress.refused && progress.height > 0 && rows.size() == 1 && rows.begin()->first == 0 &&
         rows.begin()->second == progress.height;
}

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};

bool copyPixbuf(const GdkPixbuf* pixbuf, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba) {
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || (channels != 3 && channels != 4))
    return false;
  width = gdk_pixbuf_get_width(pixbuf);
  height = gdk_pixbuf_get_height(pixbuf);
  if (!acceptableSize(width, height, maxPixels)) return false;
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  rgba.resize(rowBytes * height);
  uint8_t* out = rgba.data();
  // Rows of four channels are ours already, and usually lie without gaps.
  if (channels == 4 && static_cast<size_t>(stride) == rowBytes) {
    std::memcpy(out, pixels, rgba.size());
    return true;
  }
  for (int y = 0; y < height; ++y) {
    const guint8* in = pixels + static_cast<size_t>(y) * stride;
    if (channels == 4) {
      std::memcpy(out, in, rowBytes);
      out += rowBytes;
      continue;
    }
    for (int x = 0; x < width; ++x, in += channels, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 255;
    }
  }
  return true;
}

}  // namespace

Format sniff(const uint8_t* bytes, size_t size) {
  if (!bytes) return Format::Unknown;
  if (startsWith(bytes, size, "GIF87a", 6) || startsWith(bytes, size, "GIF89a", 6))
    return Format::Gif;
  if (startsWith(bytes, size, "RIFF", 4) && startsWith(bytes, size, "WEBP", 4, 8))
    return Format::WebP;
  if (startsWith(bytes, size, "II*\0", 4) || startsWith(bytes, size, "MM\0*", 4))
    return Format::Tiff;
  if (startsWith(bytes, size, "BM", 2)) return Format::Bmp;
  return Format::Unknown;
}

bool decodeGif(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
               std::vector<uint8_t>& rgba) {
  GifSource source{bytes.data(), bytes.size(), 0};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, gifRead, &error));
  if (!gif) return false;
  // The logical screen is the canvas: refused when too large before anything more is read.
  long long canvasWidth = gif->SWidth, canvasHeight = gif->SHeight;
  const bool screenGiven = canvasWidth > 0 && canvasHeight > 0;
  if (screenGiven && !acceptableSize(canvasWidth, canvasHeight, maxPixels)) return false;
  int transparent = NO_TRANSPARENT_COLOR;
  if (!readToFirstFrame(gif.get(), transparent)) return false;
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  // The whole frame is decoded even where it is cut off, so it is held to the limit too.
  if (!colours || !colours->Colors || !acceptableSize(frame.Width, frame.Height, maxPixels))
    return false;
  long long left = frame.Left, top = frame.Top;
  if (!screenGiven) {
    canvasWidth = frame.Width;
    canvasHeight = frame.Height;
    left = top = 0;
  }
  rgba.assign(static_cast<size_t>(canvasWidth * canvasHeight * 4), 0);
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  auto readRow = [&](int row) {
    if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return false;
    const long long y = top + row;
    if (y < 0 || y >= canvasHeight) return true;
    for (int x = 0; x < frame.Width; ++x) {
      const long long cx = left + x;
      const int index = line[static_cast<size_t>(x)];
      if (cx < 0 || cx >= canvasWidth || index == transparent || index >= colours->ColorCount)
        continue;
      const GifColorType& colour = colours->Colors[index];
      uint8_t* p = &rgba[static_cast<size_t>((y * canvasWidth + cx) * 4)];
      p[0] = colour.Red;
      p[1] = colour.Green;
      p[2] = colour.Blue;
      p[3] = 255;
    }
    return true;
  };
  if (frame.Interlace) {
    // Rows come in four passes: every eighth from 0, every eighth from 4, every fourth from 2,
    // every second from 1.
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int row = kStart[pass]; row < frame.Height; row += kStep[pass])
        if (!readRow(row)) return false;
  } else {
    for (int row = 0; row < frame.Height; ++row)
      if (!readRow(row)) return false;
  }
  width = static_cast<int>(canvasWidth);
  height = static_cast<int>(canvasHeight);
  return true;
}

bool decodeWebP(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba) {
  WebPBitstreamFeatures features{};
  if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) return false;
  // The simple decoder reads still images only; an animation is refused rather than shown as
  // a blank first frame.
  if (features.has_animation || !acceptableSize(features.width, features.height, maxPixels))
    return false;
  // A lossless image (or a lossy image's lossless alpha plane) may name tens of thousands of
  // prefix-code groups, each of which libwebp builds tables for before it decodes a pixel.
  if (!WebPBudget::withinBudget(bytes.data(), bytes.size(), maxPixels)) return false;
  width = features.width;
  height = features.height;
  rgba.resize(static_cast<size_t>(width) * height * 4);
  return WebPDecodeRGBAInto(bytes.data(), bytes.size(), rgba.data(), rgba.size(), width * 4) !=
         nullptr;
}

bool decodeTiff(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba) {
  std::unique_ptr<TIFFOpenOptions, TiffOptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return false;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), tiffQuiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), tiffQuiet, nullptr);
  // No single buffer of libtiff's (a strip, a tile, a tag's array) may be larger than the
  // image itself may be, or than a few megabytes for a small limit: a few bytes of header may
  // claim strips of gigabytes.
  const long long imageBytes = std::min(maxPixels, (1LL << 40)) * 4;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(),
                                      static_cast<tmsize_t>(std::max(imageBytes, 8LL << 20)));
  TiffSource source{bytes.data(), bytes.size(), 0};
  // "m": no memory mapping; the client procedures serve the bytes.
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpenExt("image", "rm", &source, tiffRead,
                                                           tiffWrite, tiffSeek, tiffClose, tiffSize,
                                                           tiffMap, tiffUnmap, options.get()));
  if (!tiff) return false;
  uint32_t w = 0, h = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &w) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &h) || !acceptableSize(w, h, maxPixels))
    return false;
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tiff.get(), message) ||
      !tiffWithinBudget(tiff.get(), bytes, w, h, maxPixels))
    return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  rgba.resize(static_cast<size_t>(w) * h * 4);
  // libtiff fills the buffer as 32-bit words (storage from operator new is aligned for them),
  // red in the low byte; a damaged strip stops the read instead of leaving a hole.
  if (!TIFFReadRGBAImageOriented(tiff.get(), w, h, reinterpret_cast<uint32_t*>(rgba.data()),
                                 ORIENTATION_TOPLEFT, 1))
    return false;
  // The words become bytes in our order, and alpha, which libtiff gives premultiplied, is undone
  // so that the pixels are straight RGBA as every other decoder gives them.
  for (size_t i = 0; i < rgba.size(); i += 4) {
    uint32_t word = 0;
    std::memcpy(&word, &rgba[i], 4);
    const unsigned a = TIFFGetA(word);
    unsigned c[3] = {TIFFGetR(word), TIFFGetG(word), TIFFGetB(word)};
    for (unsigned& v : c)
      if (a > 0 && a < 255) v = std::min(255u, (v * 255 + a / 2) / a);
    rgba[i] = static_cast<uint8_t>(c[0]);
    rgba[i + 1] = static_cast<uint8_t>(c[1]);
    rgba[i + 2] = static_cast<uint8_t>(c[2]);
    rgba[i + 3] = static_cast<uint8_t>(a);
  }
  return true;
}

bool decodeBmp(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
               std::vector<uint8_t>& rgba) {
  // The loader reserves its buffers by sizes that the file declares before it checks them:
  // four bytes could make it take gigabytes. Three of them are bounded here, and the loader
  // judges the rest: the pixel data begins within the file; the info header (after the 14-byte
  // file header) declares its own size, and no kind is longer than 124 bytes; one of 40 bytes or
  // more declares the number of colours in its table, and no table has more than 256.
  auto field = [&](size_t at) {
    return bytes.size() < at + 4 ? 0u
                                 : bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                       (static_cast<uint32_t>(bytes[at + 3]) << 24);
  };
  const uint32_t infoSize = field(14);
  if (field(10) > bytes.size() || infoSize > 124 || (infoSize >= 40 && field(46) > 256))
    return false;
  GError* error = nullptr;
  std::unique_ptr<GdkPixbufLoader, ObjectUnref> loader(
      gdk_pixbuf_loader_new_with_type("bmp", &error));
  g_clear_error(&error);
  if (!loader) return false;
  BmpProgress progress{maxPixels, 0, false, {}};
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(bmpSizePrepared), &progress);
  g_signal_connect(loader.get(), "area-updated", G_CALLBACK(bmpAreaUpdated), &progress);
  const bool written = gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), &error);
  g_clear_error(&error);
  // The loader is always closed (it complains when it is not).
  const bool closed = gdk_pixbuf_loader_close(loader.get(), &error);
  g_clear_error(&error);
  if (!written || !closed || !bmpComplete(progress)) return false;
  const GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  return pixbuf && gdk_pixbuf_get_height(pixbuf) == progress.height &&
         copyPixbuf(pixbuf, maxPixels, width, height, rgba);
}

bool decode(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
            std::vector<uint8_t>& rgba) {
  switch (sniff(bytes.data(), bytes.size())) {
    case Format::Gif:
      return decodeGif(bytes, maxPixels, width, height, rgba);
    case Format::WebP:
      return decodeWebP(bytes, maxPixels, width, height, rgba);
    case Format::Tiff:
      return decodeTiff(bytes, maxPixels, width, height, rgba);
    case Format::Bmp:
      return decodeBmp(bytes, maxPixels, width, height, rgba);
    case Format::Unknown:
      break;
  }
  return false;
}

}  // namespace ImageFormats
