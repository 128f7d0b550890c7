#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/uikit/ImageFormats.h"
#include "uikit/UIKitFixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The samples sit in the image fuzzer's corpus; each was written by its format's own library.
Bytes sample(const std::string& name) {
  std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/image/" + name,
                   std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void put16(Bytes& bytes, size_t at, unsigned value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}
void put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}
uint32_t get32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(at + i);
  return value;
}
// A copy with 16-bit little-endian fields set at the given offsets.
Bytes with16(Bytes bytes, std::initializer_list<std::pair<size_t, unsigned>> fields) {
  for (auto [at, value] : fields) put16(bytes, at, value);
  return bytes;
}
Bytes with8(Bytes bytes, size_t at, uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}
Bytes cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

// The sample GIF: a 6 x 4 screen; its first frame is 4 x 3 at (1, 1), interlaced, with the
// colour at index 3 transparent; a second frame paints the whole screen blue.
constexpr size_t kGifFrame = 0x21;  // the image descriptor's ','
Bytes gifWithFrameAt(unsigned left, unsigned top) {
  Bytes gif = sample("frame-at-1-1-6x4.gif");
  put16(gif, kGifFrame + 1, left);
  put16(gif, kGifFrame + 3, top);
  return gif;
}

// Sets the value of a short or long tag in the only directory of a little-endian TIFF.
Bytes withTiffTag(Bytes tiff, uint16_t tag, uint32_t value) {
  const uint32_t ifd = get32(tiff, 4);
  const unsigned count = tiff.at(ifd) | (tiff.at(ifd + 1) << 8);
  for (unsigned i = 0; i < count; ++i) {
    const size_t entry = ifd + 2 + 12 * i;
    if ((tiff.at(entry) | (tiff.at(entry + 1) << 8)) != tag) continue;
    if (tiff.at(entry + 2) == 3)
      put16(tiff, entry + 8, value);
    else
      put32(tiff, entry + 8, value);
  }
  return tiff;
}

// Rewrites what a lossless WebP's header says of its size, keeping its alpha and version bits.
Bytes webpClaiming(uint32_t width, uint32_t height) {
  Bytes webp = sample("rgba-5x3-lossless.webp");
  const uint32_t bits = get32(webp, 21);
  put32(webp, 21, (width - 1) | ((height - 1) << 14) | (bits & 0xF0000000u));
  return webp;
}

Bytes bmpClaiming(int32_t width, int32_t height) {
  Bytes bmp = sample("rgb-5x3.bmp");
  put32(bmp, 18, static_cast<uint32_t>(width));
  put32(bmp, 22, static_cast<uint32_t>(height));
  return bmp;
}

uint32_t rgba(unsigned r, unsigned g, unsigned b, unsigned a);

// --- TIFF files written by libtiff, into the test's sandbox (removed with it) ---

// The pixels every written TIFF holds: smooth, so that JPEG keeps them within a few levels.
uint32_t tiffPixel(int x, int y, bool grey) {
  const unsigned r = 40 + x * 4, g = grey ? r : 30 + y * 5, b = grey ? r : 200 - x * 2;
  return rgba(r, g, b, 255);
}

struct TiffLayout {
  std::string name;
  uint16_t compression, photometric, samples, bits, planar;
  uint32_t tile, rowsPerStrip;  // tile side, or 0 for strips
  int tolerance;
};

Bytes writeTiff(const TiffLayout& layout, int width, int height) {
  const std::string path = Sandbox::tmp() + "/written.tif";
  std::filesystem::create_directories(Sandbox::tmp());
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.planar);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
  if (layout.samples == 4) {
    const uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &alpha);
  }
  // Subsampled YCbCr is written from RGB rows by libjpeg, as cameras' TIFFs are.
  if (layout.photometric == PHOTOMETRIC_YCBCR)
    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK;
  const int channels = layout.planar == PLANARCONFIG_SEPARATE ? 1 : layout.samples;
  auto row = [&](int y, int sample, int fromX, int count) {
    Bytes out;
    for (int x = fromX; x < fromX + count; ++x)
      for (int c = 0; c < channels; ++c) {
        const unsigned v = (tiffPixel(x, y, grey) >> (24 - 8 * (sample + c))) & 0xFF;
        out.push_back(static_cast<uint8_t>(v));
        if (layout.bits == 16) out.push_back(static_cast<uint8_t>(v));  // v * 257, either order
      }
    return out;
  };
  if (layout.tile) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, layout.tile);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, layout.tile);
    for (int ty = 0; ty < height; ty += layout.tile)
      for (int tx = 0; tx < width; tx += layout.tile) {
        Bytes tile;
        for (uint32_t y = 0; y < layout.tile; ++y) {
          Bytes line = row(std::min<int>(ty + y, height - 1), 0, tx, layout.tile);
          tile.insert(tile.end(), line.begin(), line.end());
        }
        TIFFWriteTile(tiff, tile.data(), tx, ty, 0, 0);
      }
  } else {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, layout.rowsPerStrip);
    for (int sample = 0; sample < layout.samples / channels; ++sample)
      for (int y = 0; y < height; ++y) {
        Bytes line = row(y, sample, 0, width);
        TIFFWriteScanline(tiff, line.data(), y, static_cast<uint16_t>(sample));
      }
  }
  TIFFClose(tiff);
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// How each crafted file of the corpus is decoded: "name.icon.tif" as a background icon,
// "name.iconnow.tif" as an icon shown at once, others with the app's limit.
long long corpusPixelLimit(const std::string& file) {
  if (file.find(".iconnow.") != std::string::npos) return 256 * 256;
  if (file.find(".icon.") != std::string::npos) return 1024 * 1024;
  return 50LL << 20;
}

uint32_t rgba(unsigned r, unsigned g, unsigned b, unsigned a) {
  return (r << 24) | (g << 16) | (b << 8) | a;
}

struct Pixel {
  int x, y;
  uint32_t rgba;
};

}  // namespace

class ImageFormatsTest : public UIKitFixture {};

TEST_F(ImageFormatsTest, EachFormatsSampleDecodesToItsSizeAndPixels) {
  struct Case {
    std::string file;
    int width, height;
    std::vector<Pixel> pixels;
    int tolerance;
  };
  const uint32_t red = rgba(255, 0, 0, 255), green = rgba(0, 255, 0, 255);
  const uint32_t blue = rgba(0, 0, 255, 255), none = 0;
  const std::vector<Case> cases = {
      // Only the first frame shows; the transparent index and the border stay clear.
      {"frame-at-1-1-6x4.gif",
       6,
       4,
       {{0, 0, none},
        {1, 1, red},
        {2, 1, green},
        {3, 1, blue},
        {4, 1, none},
        {1, 2, green},
        {4, 2, green},
        {1, 3, blue},
        {2, 3, none},
        {4, 3, red},
        {5, 3, none}},
       0},
      {"rgba-5x3-lossless.webp",
       5,
       3,
       {{0, 0, rgba(0, 0, 200, 255)},
        {2, 1, rgba(100, 100, 200, 128)},
        {4, 2, rgba(200, 200, 200, 255)}},
       0},
      {"rgb-16x16-lossy.webp", 16, 16, {}, 0},
      // Alpha comes back straight, not premultiplied (within rounding).
      {"rgba-4x3-lzw.tif",
       4,
       3,
       {{0, 0, rgba(0, 0, 30, 255)},
        {1, 1, rgba(60, 90, 30, 102)},
        {3, 2, rgba(180, 180, 30, 255)}},
       3},
      // Stored bottom-up with padded rows.
      {"rgb-5x3.bmp",
       5,
       3,
       {{0, 0, rgba(0, 10, 250, 255)},
        {4, 0, rgba(160, 10, 210, 255)},
        {2, 2, rgba(80, 170, 230, 255)}},
       0},
      // Run-length encoded from the bottom row up: green; red, red, green, green; red.
      {"rle8-4x3.bmp",
       4,
       3,
       {{0, 2, green}, {3, 2, green}, {1, 1, red}, {2, 1, green}, {0, 0, red}, {3, 0, red}},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = sample(c.file);
    ASSERT_FALSE(bytes.empty());
    auto image = UIImage::imageWithData(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), c.width);
    EXPECT_EQ(image->pixelHeight(), c.height);
    for (const auto& p : c.pixels) {
      const uint32_t got = image->pixelAt(p.x, p.y);
      for (int shift = 0; shift < 32; shift += 8) {
        const int want = static_cast<int>((p.rgba >> shift) & 0xFF);
        const int have = static_cast<int>((got >> shift) & 0xFF);
        EXPECT_NEAR(have, want, c.tolerance)
            << "pixel " << p.x << "," << p.y << std::hex << " is " << got << " not " << p.rgba;
      }
    }
  }
}

// Under the sanitizers these also show that no decoder reads or writes out of bounds on them.
TEST_F(ImageFormatsTest, HostileOrDamagedInputsGiveNoImage) {
  const Bytes gif = sample("frame-at-1-1-6x4.gif");
  const Bytes tiff = sample("rgba-4x3-lzw.tif");
  const Bytes webp = sample("rgba-5x3-lossless.webp");
  const Bytes bmp = sample("rgb-5x3.bmp");
  ASSERT_FALSE(gif.empty() || tiff.empty() || webp.empty() || bmp.empty());
  Bytes garbled = gif, frameless = cut(gif, 25), mapless(gif.begin(), gif.begin() + 13);
  for (size_t i = kGifFrame + 12; i < kGifFrame + 17; ++i) garbled.at(i) = 0xFF;
  frameless.push_back(';');  // header, screen, colour table, end
  mapless.at(10) = 0;        // no global colour table, and the frame has none
  mapless.insert(mapless.end(), gif.begin() + kGifFrame, gif.end());
  Bytes animation = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8',
                     'X', 10,  0,   0,   0, 2, 0, 0, 0,   0,   0,   0,   0,   0,   0,
                     'A', 'N', 'I', 'M', 6, 0, 0, 0, 0,   0,   0,   0,   0,   0};
  put32(animation, 4, static_cast<uint32_t>(animation.size() - 8));
  const Bytes rle = sample("rle8-4x3.bmp");
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"gif screen of 60000 x 60000", with16(gif, {{6, 60000}, {8, 60000}})},
      {"gif frame of 60000 x 60000", with16(gif, {{kGifFrame + 5, 60000}, {kGifFrame + 7, 60000}})},
      {"gif of no screen and a huge frame",
       with16(gif, {{6, 0}, {8, 0}, {kGifFrame + 5, 60000}, {kGifFrame + 7, 60000}})},
      {"gif cut off in its pixels", cut(gif, kGifFrame + 13)},
      {"gif cut off in its colour table", cut(gif, 16)},
      {"gif of 12-bit codes", with8(gif, kGifFrame + 10, 12)},
      {"gif of garbage codes", garbled},
      {"gif without a frame", frameless},
      {"gif without colours", mapless},
      {"webp claiming 16384 x 16384", webpClaiming(16384, 16384)},
      {"webp cut off", cut(webp, webp.size() - 8)},
      {"webp cut off in its header", cut(webp, 20)},
      {"webp animation", animation},
      {"tiff of 60000 x 60000", withTiffTag(withTiffTag(tiff, 256, 60000), 257, 60000)},
      {"tiff strips beyond the file", withTiffTag(tiff, 273, 0x7FFFFFF0)},
      {"tiff strips of 2 GB", withTiffTag(tiff, 279, 0x7FFFFFF0)},
      {"tiff directory beyond the file", with16(tiff, {{4, 0xFFF0}, {6, 0xFFFF}})},
      {"tiff cut off before its directory", cut(tiff, 40)},
      {"tiff cut off in its strip sizes", cut(tiff, tiff.size() - 6)},
      {"bmp of 60000 x 60000", bmpClaiming(60000, 60000)},
      {"bmp of 60000 x 60000 top-down", bmpClaiming(60000, -60000)},
      {"bmp of no rows", bmpClaiming(5, 0)},
      {"bmp cut off in its header", cut(bmp, 20)},
      {"bmp whose info header claims 4 GB", sample("bmp-info-header-4-gb.bmp")},
      {"bmp whose colour table claims 3 billion colours", sample("bmp-colour-count-3-billion.bmp")},
      {"bmp whose pixels begin 4 GB in", sample("bmp-pixel-offset-4-gb.bmp")},
      {"run-length bmp cut off before its last row", cut(rle, rle.size() - 6)},
      {"gif magic alone", Bytes{'G', 'I', 'F', '8', '9', 'a'}},
      {"tiff magic alone", Bytes{'I', 'I', '*', 0}},
      {"bmp magic alone", Bytes{'B', 'M'}},
  };
  for (const auto& [name, bytes] : cases) {
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(UIImage::imageWithData(bytes), nullptr) << name;
  }
}

TEST_F(ImageFormatsTest, ACutOffBmpIsRefusedRatherThanShownWithBlankRows) {
  // A header claiming 2000 x 2000 pixels followed by the 45 bytes of a 5 x 3 image: the BMP
  // loader alone would answer a 2000 x 2000 picture with every row but three blank.
  EXPECT_EQ(UIImage::imageWithData(bmpClaiming(2000, 2000)), nullptr);
  const Bytes bmp = sample("rgb-5x3.bmp");
  for (size_t size : {bmp.size() - 1, bmp.size() - 16, size_t{60}})
    EXPECT_EQ(UIImage::imageWithData(cut(bmp, size)), nullptr) << size;
}

TEST_F(ImageFormatsTest, TheCallersPixelLimitHoldsForEveryFormat) {
  for (const std::string file :
       {"frame-at-1-1-6x4.gif", "rgba-5x3-lossless.webp", "rgb-16x16-lossy.webp",
        "rgba-4x3-lzw.tif", "rgb-5x3.bmp", "rle8-4x3.bmp"}) {
    SCOPED_TRACE(file);
    const Bytes bytes = sample(file);
    int width = 0, height = 0;
    Bytes pixels;
    ASSERT_TRUE(ImageFormats::decode(bytes, 1 << 20, width, height, pixels));
    const long long area = static_cast<long long>(width) * height;
    EXPECT_EQ(pixels.size(), static_cast<size_t>(area) * 4);
    EXPECT_TRUE(ImageFormats::decode(bytes, area, width, height, pixels));
    EXPECT_FALSE(ImageFormats::decode(bytes, area - 1, width, height, pixels));
  }
}

TEST_F(ImageFormatsTest, AGifFrameReachingBeyondTheScreenIsCutOffAtItsEdge) {
  // Moved right by three, the frame's last column falls off the 6-pixel screen.
  auto image = UIImage::imageWithData(gifWithFrameAt(4, 1));
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->pixelWidth(), 6);
  EXPECT_EQ(image->pixelAt(4, 1), rgba(255, 0, 0, 255));
  EXPECT_EQ(image->pixelAt(5, 1), rgba(0, 255, 0, 255));
  EXPECT_EQ(image->pixelAt(5, 3), 0u);  // index 3: transparent
  EXPECT_EQ(image->pixelAt(1, 1), 0u);
  // Wholly outside, at the far end of the coordinates, it leaves a clear screen.
  for (auto [left, top] : {std::pair{65535u, 0u}, {0u, 65535u}}) {
    image = UIImage::imageWithData(gifWithFrameAt(left, top));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels(), Bytes(6 * 4 * 4, 0));
  }
}

TEST_F(ImageFormatsTest, RealTiffsOfEveryLayoutStillDecodeToTheirExactPixelsWithinTheirOwnSize) {
  const std::vector<TiffLayout> layouts = {
      {"raw RGB strips", COMPRESSION_NONE, PHOTOMETRIC_RGB, 3, 8, PLANARCONFIG_CONTIG, 0, 7, 0},
      {"LZW RGBA strips", COMPRESSION_LZW, PHOTOMETRIC_RGB, 4, 8, PLANARCONFIG_CONTIG, 0, 5, 0},
      {"deflate 16-bit grey", COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK, 1, 16,
       PLANARCONFIG_CONTIG, 0, 16, 0},
      {"deflate RGB planes", COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_RGB, 3, 8,
       PLANARCONFIG_SEPARATE, 0, 8, 0},
      {"PackBits RGB", COMPRESSION_PACKBITS, PHOTOMETRIC_RGB, 3, 8, PLANARCONFIG_CONTIG, 0, 29, 0},
      {"deflate RGBA tiles", COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_RGB, 4, 8, PLANARCONFIG_CONTIG,
       16, 0, 0},
      {"JPEG RGB strips", COMPRESSION_JPEG, PHOTOMETRIC_RGB, 3, 8, PLANARCONFIG_CONTIG, 0, 8, 8},
      {"JPEG YCbCr 4:2:0 strips", COMPRESSION_JPEG, PHOTOMETRIC_YCBCR, 3, 8, PLANARCONFIG_CONTIG, 0,
       16, 12},
      {"JPEG RGB tiles", COMPRESSION_JPEG, PHOTOMETRIC_RGB, 3, 8, PLANARCONFIG_CONTIG, 16, 0, 8},
  };
  const int width = 37, height = 29;  // neither a whole number of strips, tiles nor JPEG units
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.name);
    const Bytes tiff = writeTiff(layout, width, height);
    int w = 0, h = 0;
    Bytes pixels;
    // The budget holds them even at a limit of their own size.
    ASSERT_TRUE(ImageFormats::decode(tiff, width * height, w, h, pixels));
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    int worst = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 4; ++c) {
          const int want =
              (tiffPixel(x, y, layout.photometric == PHOTOMETRIC_MINISBLACK) >> (24 - 8 * c)) &
              0xFF;
          worst =
              std::max(worst, std::abs(want - pixels[(static_cast<size_t>(y) * w + x) * 4 + c]));
        }
    EXPECT_LE(worst, layout.tolerance);
  }
}

TEST_F(ImageFormatsTest, ATiffWhoseStripsOrSamplesWouldDecodeMoreThanItsPixelsAllowIsRefused) {
  // Each has few pixels for what its strips, tiles or samples decode (shared blobs each time).
  for (const std::string file :
       {"tiff-1024x20000-spp1000-100-shared-deflate-strips.tif",
        "tiff-1024x20000-spp1000-100-shared-zstd-strips.tif",
        "tiff-1024x20000-spp1000-100-shared-packbits-strips.tif",
        "tiff-800x4000-spp65535-16bit-deflate.tif", "tiff-64x16384-spp65535-16bit-deflate.icon.tif",
        "tiff-64x16384-spp65535-16bit-lzw.icon.tif",
        "tiff-64x1024-spp65535-16bit-deflate.iconnow.tif",
        "tiff-64x1024-spp65535-16bit-lzw.iconnow.tif",
        "tiff-64x1024-spp65535-16bit-zstd.iconnow.tif",
        "tiff-1x1-one-tile-7232x7232-deflate.tif"}) {
    const Bytes bytes = sample(file);
    ASSERT_FALSE(bytes.empty()) << file;
    int w = 0, h = 0;
    Bytes pixels;
    EXPECT_FALSE(ImageFormats::decode(bytes, corpusPixelLimit(file), w, h, pixels)) << file;
  }
  // The room for padding shrinks with the caller's limit: 64 x 64 pixels in one tile of 1024 x
  // 1024 (3 MB decoded) are fine for the app's limit, not for a 64 x 64 icon.
  const Bytes padded = writeTiff({"one large tile", COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_RGB, 3,
                                  8, PLANARCONFIG_CONTIG, 1024, 0, 0},
                                 64, 64);
  int w = 0, h = 0;
  Bytes pixels;
  EXPECT_TRUE(ImageFormats::decode(padded, 50LL << 20, w, h, pixels));
  EXPECT_FALSE(ImageFormats::decode(padded, 64 * 64, w, h, pixels));
}

TEST_F(ImageFormatsTest, AJpegStripLargerThanItsStripOrOverTheCoefficientBudgetIsRefused) {
  std::vector<std::pair<std::string, Bytes>> cases;
  for (const std::string file : {"tiff-1024x1-jpeg-strip-1024x65500-cmyk-1-scan.tif",
                                 "tiff-1024x1-jpeg-strip-1024x65500-cmyk-99-huffman-scans.tif",
                                 "tiff-1024x1-jpeg-strip-1024x65500-cmyk-99-scans.tif",
                                 "tiff-1024x1-jpeg-strip-1024x65500-cmyk-99-scans.iconnow.tif",
                                 "tiff-16384x1-jpeg-strip-16384x16384-cmyk-1-scan.iconnow.tif",
                                 "tiff-7240x7240-905-strips-share-one-jpeg-99-scans.tif"})
    cases.emplace_back(file, sample(file));
  // A real JPEG strip of 16 rows in a file that says the image has 1: libtiff alone would decode
  // all 16 rows of a last strip; whole JPEG units (8 rows here) are all it may have.
  const TiffLayout jpeg{"", COMPRESSION_JPEG, PHOTOMETRIC_RGB, 3, 8, PLANARCONFIG_CONTIG, 0, 16, 8};
  const Bytes strip = writeTiff(jpeg, 64, 16);
  cases.emplace_back("strip of 16 rows in an image of 1", withTiffTag(strip, 257, 1));
  for (const auto& [name, bytes] : cases) {
    ASSERT_FALSE(bytes.empty()) << name;
    int w = 0, h = 0;
    Bytes pixels;
    EXPECT_FALSE(ImageFormats::decode(bytes, corpusPixelLimit(name), w, h, pixels)) << name;
  }
  int w = 0, h = 0;
  Bytes pixels;
  EXPECT_TRUE(ImageFormats::decode(strip, 64 * 16, w, h, pixels));
  EXPECT_EQ(h, 16);
}
