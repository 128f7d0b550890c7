#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

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
  // A crafted input kept with the image harness's seeds.
  static std::vector<uint8_t> fuzzSeed(const std::string& name) {
    std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/image/" + name,
                     std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
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
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(UIImage::imageWithData(jpeg), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

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
