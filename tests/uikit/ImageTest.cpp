#include <sys/resource.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
// clang-format on

#include "uikit/UIKitFixture.h"

class ImageTest : public UIKitFixture {
 protected:
  static std::shared_ptr<UIImage> grey(int w, int h) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 0);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7);
    return UIImage::imageWithPixels(w, h, std::move(rgba));
  }
  // Rewrites the dimensions that a JPEG's frame header declares.
  static void claimJpegSize(std::vector<uint8_t>& jpeg, int w, int h) {
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
      if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
        jpeg[i + 5] = static_cast<uint8_t>(h >> 8);
        jpeg[i + 6] = static_cast<uint8_t>(h & 0xFF);
        jpeg[i + 7] = static_cast<uint8_t>(w >> 8);
        jpeg[i + 8] = static_cast<uint8_t>(w & 0xFF);
        return;
      }
    }
    FAIL() << "no frame header";
  }
  // A crafted input kept with the image harness's seeds, or with the benchmark's inputs when it
  // costs too much under the sanitizers to be a seed.
  static std::vector<uint8_t> fuzzSeed(const std::string& name) {
    for (const char* folder :
         {"/../fuzz/corpus/image/", "/../bench/hostile/image/", "/../bench/images/"}) {
      std::ifstream in(std::string(TOVIRA_RESOURCES) + folder + name, std::ios::binary);
      if (in) return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    return {};
  }
};

TEST_F(ImageTest, JpegQualityOutsideZeroToOneIsClampedToTheNearestBound) {
  auto img = grey(32, 32);
  auto best = UIImageJPEGRepresentation(img, 1.0);
  auto worst = UIImageJPEGRepresentation(img, 0.0);
  ASSERT_FALSE(best.empty());
  // Not a number is no quality at all: the platform's default (best) is used.
  for (double q : {7.5, 1e12, std::numeric_limits<double>::infinity(), std::nan("")}) {
    EXPECT_EQ(UIImageJPEGRepresentation(img, q), best) << q;
  }
  for (double q : {-3.0, -1e12}) EXPECT_EQ(UIImageJPEGRepresentation(img, q), worst) << q;
}

TEST_F(ImageTest, DataClaimingHugeDimensionsIsRefusedWithoutDecoding) {
  auto jpeg = UIImageJPEGRepresentation(grey(8, 8), 0.8);
  ASSERT_TRUE(UIImage::imageWithData(jpeg));
  claimJpegSize(jpeg, 20000, 20000);  // a few hundred bytes claiming 400 million pixels
  EXPECT_EQ(UIImage::imageWithData(jpeg), nullptr);

  auto png = UIImagePNGRepresentation(grey(8, 8));
  for (int i = 16; i < 24; ++i)
    png[i] = (i % 4 == 2) ? 0x3A : (i % 4 == 3 ? 0x98 : 0);  // 15000 x 15000
  EXPECT_EQ(UIImage::imageWithData(png), nullptr);
}

TEST_F(ImageTest, TruncatedGarbageOrDamagedDataGivesNoImage) {
  auto png = UIImagePNGRepresentation(grey(16, 16));
  std::vector<std::vector<uint8_t>> inputs;
  for (size_t cut : {size_t{8}, size_t{20}, size_t{40}, png.size() / 2})
    inputs.emplace_back(png.begin(), png.begin() + static_cast<long>(cut));
  inputs.emplace_back(4096);
  for (size_t i = 0; i < inputs.back().size(); ++i)
    inputs.back()[i] = static_cast<uint8_t>(i * 131 + 17);
  for (size_t i = 0; i < inputs.size(); ++i)
    EXPECT_EQ(UIImage::imageWithData(inputs[i]), nullptr) << "input " << i;
}

// Both crafted files sit in the image fuzzer's corpus; under the sanitizers a decoder that writes
// past its tables or copies from a null pointer fails these tests even when it returns no image.
TEST_F(ImageTest, AJpegWhoseHuffmanTableClaimsOver256CodesIsRefused) {
  const auto jpeg = fuzzSeed("huffman-counts-over-256.jpg");  // 512 codes in one table
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(UIImage::imageWithData(jpeg), nullptr);
}

TEST_F(ImageTest, APngWhoseFirstIdatIsEmptyIsRefused) {
  const auto png = fuzzSeed("empty-first-idat.png");  // its only IDAT is empty: no pixel data
  ASSERT_FALSE(png.empty());
  EXPECT_EQ(UIImage::imageWithData(png), nullptr);
}

// Crafted JPEGs (kept with the fuzzer's seeds or the benchmark's inputs) whose few bytes
// ask for far more work or memory than any real image of their size: each is refused rather than
// decoded at that cost.
TEST_F(ImageTest, AJpegWhoseScansCostMoreThanTheWorkBudgetIsRefused) {
  // 8 KB, 1024 x 1024 CMYK, 500 empty arithmetic-coded scans: two billion coefficients.
  const auto manyScans = fuzzSeed("small-1024x1024-cmyk-arith-500-scans.jpg");
  // 5 KB, 7000 x 7000 grey, 500 empty scans: within the pixel limit, but 24 billion coefficients.
  const auto bigManyScans = fuzzSeed("big-7000x7000-grey-500-scans.jpg");
  ASSERT_FALSE(manyScans.empty());
  ASSERT_FALSE(bigManyScans.empty());
  EXPECT_EQ(UIImage::imageWithData(manyScans), nullptr);
  EXPECT_EQ(UIImage::imageWithData(bigManyScans), nullptr);
}

TEST_F(ImageTest, AJpegWhoseCoefficientsNeedMoreThanTheMemoryLimitIsRefused) {
  // 151 bytes, progressive 7000 x 7000 CMYK: 392 MB of coefficients before the first pixel.
  const auto jpeg = fuzzSeed("big-7000x7000-cmyk-1-scan.jpg");
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(UIImage::imageWithData(jpeg), nullptr);
}

TEST_F(ImageTest, ImagesClaiming8192By8192PixelsAreRefusedBeforeDecoding) {
  for (const char* name : {"big-8192x8192-cmyk-1-scan.jpg", "big-8192x8192-cmyk-arith-10-scans.jpg",
                           "big-8192x8192-grey-500-scans.jpg", "bomb-8192x8192-grey1.png"}) {
    const auto bytes = fuzzSeed(name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(UIImage::imageWithData(bytes), nullptr) << name;
  }
}

namespace {
long peakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
}  // namespace

TEST_F(ImageTest, APngFullOfCompressedTextIsDecodedWithoutInflatingTheText) {
  // The seed holds six zTXt (or iTXt) chunks of 7.9 MB of text each; the same chunk is repeated
  // to 40, 316 MB of text that a reader keeping text chunks would hold at once.
  for (const char* name : {"ztxt-a-6x7.9MB.png", "itxt-a-6x7.9MB.png"}) {
    const auto seed = fuzzSeed(name);
    ASSERT_GT(seed.size(), 33u) << name;
    const size_t chunkStart = 33;  // signature and IHDR
    const size_t chunkSize = 12 + ((size_t(seed[33]) << 24) | (size_t(seed[34]) << 16) |
                                   (size_t(seed[35]) << 8) | size_t(seed[36]));
    std::vector<uint8_t> png(seed.begin(), seed.begin() + chunkStart);
    for (int i = 0; i < 40; ++i)
      png.insert(png.end(), seed.begin() + chunkStart, seed.begin() + chunkStart + chunkSize);
    png.insert(png.end(), seed.begin() + chunkStart + 6 * chunkSize, seed.end());

    const long before = peakRssKb();
    auto image = UIImage::imageWithData(png);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->pixelWidth(), 8);
    EXPECT_EQ(image->pixelAt(1, 2), 0x1E3CC8FFu) << name;  // the pixels are still read
    EXPECT_LT(peakRssKb() - before, 64 * 1024) << name << ": the text was kept in memory";
  }
}

TEST_F(ImageTest, ARealTwelveMegapixelPhotoStillDecodesBaselineOrProgressive) {
  // A photo-like 4000 x 3000 image (gradients and noise), encoded as cameras and web tools do.
  const int w = 4000, h = 3000;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  uint32_t seed = 1;
  for (size_t i = 0; i < rgb.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    const size_t x = (i / 3) % w, y = i / 3 / w;
    rgb[i] = static_cast<uint8_t>((i % 3 == 0   ? x * 255 / w
                                   : i % 3 == 1 ? y * 255 / h
                                                : (x ^ y)) +
                                  (seed >> 16) % 24);
  }
  for (bool progressive : {false, true}) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &data, &size);
    info.image_width = w;
    info.image_height = h;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
      JSAMPROW row = &rgb[static_cast<size_t>(info.next_scanline) * w * 3];
      jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const std::vector<uint8_t> jpeg(data, data + size);
    std::free(data);
    auto image = UIImage::imageWithData(jpeg);
    ASSERT_TRUE(image) << (progressive ? "progressive" : "baseline");
    EXPECT_EQ(image->pixelWidth(), w);
    EXPECT_EQ(image->pixelHeight(), h);
  }
}

TEST_F(ImageTest, AnImageForASmallViewIsDecodedWithinItsPixelLimit) {
  auto photo = grey(400, 300);
  const auto jpeg = UIImageJPEGRepresentation(photo, 0.9);
  const auto png = UIImagePNGRepresentation(photo);
  // A JPEG is scaled down while decoding, to the largest of 1/2, 1/4 and 1/8 that fits.
  auto quarter = UIImage::imageWithData(jpeg, 10000, 2.0);
  ASSERT_TRUE(quarter);
  EXPECT_EQ(quarter->pixelWidth(), 100);
  EXPECT_EQ(quarter->pixelHeight(), 75);
  EXPECT_EQ(quarter->scale(), 2.0);
  EXPECT_EQ(UIImage::imageWithData(jpeg, 400 * 300, 1.0)->pixelWidth(), 400);
  EXPECT_EQ(UIImage::imageWithData(jpeg, 10, 1.0), nullptr);  // even 1/8 is too large
  // Other formats are refused beyond the limit.
  EXPECT_EQ(UIImage::imageWithData(png, 10000, 1.0), nullptr);
  EXPECT_EQ(UIImage::imageWithData(png, 400 * 300, 1.0)->pixelWidth(), 400);
  // The 8 KB PNG of 8192 x 8192 pixels a game list may name as an icon.
  EXPECT_EQ(UIImage::imageWithData(fuzzSeed("bomb-8192x8192-grey1.png"), 1 << 20, 1.0), nullptr);
}
