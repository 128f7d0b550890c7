#include <gtest/gtest.h>
#include <webp/encode.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/uikit/ImageFormats.h"
#include "platform/uikit/WebPBudget.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr long long kImageLimit = 50LL << 20;
constexpr long long kIconLimit = 1024LL * 1024;
constexpr long long kShownIconLimit = 256LL * 256;

// A crafted file of the image harness's seeds, or of the benchmark's hostile inputs when it costs
// too much under the sanitizers to be a seed.
Bytes corpusFile(const std::string& name) {
  for (const char* folder : {"/../fuzz/corpus/image/", "/../bench/hostile/image/"}) {
    std::ifstream in(std::string(TOVIRA_RESOURCES) + folder + name, std::ios::binary);
    if (in) return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  return {};
}

Bytes operator+(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

Bytes chunk(const char* tag, const Bytes& payload) {
  const auto size = static_cast<uint32_t>(payload.size());
  Bytes out = Bytes(tag, tag + 4) +
              Bytes{uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)} +
              payload;
  if (size % 2 != 0) out.push_back(0);
  return out;
}

Bytes riff(const Bytes& chunks) { return chunk("RIFF", Bytes{'W', 'E', 'B', 'P'} + chunks); }

// A lossless image of side x side in one colour (every code has one symbol and takes no bits),
// whose entropy image names the groups first, ..., first + count - 1 over its 4 x 4 blocks in
// turn. An alpha plane has no header. Values go least significant bit first, codes first bit
// first.
Bytes groupsStream(int side, int first, int count, bool header = true) {
  std::vector<bool> bits;
  auto put = [&](uint32_t value, int n) {
    for (int i = 0; i < n; ++i) bits.push_back((value >> i) & 1);
  };
  auto code = [&](uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) bits.push_back((value >> i) & 1);
  };
  auto oneSymbol = [&] { put(0b0001, 4); };
  // Each byte value an 8-bit code of itself: the code lengths are an 8 then 255 repeats of it
  // (42 of six, one of three), written with the code-length code {8: 0, 16 (repeat): 1}.
  auto everyByte = [&] {
    put(0, 1);
    put(12 - 4, 4);
    for (int symbol : {17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8}) put(symbol == 8 || symbol == 16, 3);
    put(1, 1), put(2, 3), put(44 - 2, 6);
    code(0, 1);
    for (int i = 0; i <= 42; ++i) code(1, 1), put(i < 42 ? 3 : 0, 2);
  };
  if (header) put(0x2f, 8), put(side - 1, 14), put(side - 1, 14), put(0, 4);
  put(0b000100, 6);  // no transform, no colour cache, an entropy image of 4 x 4 blocks
  put(0, 1);  // ...without a colour cache, whose green gives a group's low byte, red its high
  everyByte(), everyByte(), oneSymbol(), oneSymbol(), oneSymbol();
  for (int block = 0; block < (side + 3) / 4 * ((side + 3) / 4); ++block)
    code((first + block % count) & 255, 8), code((first + block % count) >> 8, 8);
  for (int i = 0; i < (first + count) * 5; ++i) oneSymbol();
  Bytes out((bits.size() + 7) / 8);
  for (size_t i = 0; i < bits.size(); ++i) out[i / 8] = uint8_t(out[i / 8] | bits[i] << (i % 8));
  return out;
}

struct Encoding {
  const char* what;
  bool lossless;
  int quality, method, nearLossless;
  bool alpha;
};

Bytes encode(const Encoding& how, int side) {
  WebPConfig config;
  WebPPicture picture;
  WebPMemoryWriter writer;
  if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return {};
  WebPMemoryWriterInit(&writer);
  config.lossless = how.lossless, config.quality = float(how.quality), config.method = how.method;
  config.near_lossless = how.nearLossless, config.exact = how.alpha;
  picture.use_argb = 1, picture.width = picture.height = side;
  picture.writer = WebPMemoryWrite, picture.custom_ptr = &writer;
  Bytes rgba;  // gradients with grain, as in a photograph; alpha fading across it when asked
  for (uint32_t i = 0, seed = 2024; i < uint32_t(side * side); ++i) {
    seed = seed * 1664525 + 1013904223;
    const int x = int(i) % side, y = int(i) / side, grain = int(seed >> 27);
    for (int value : {x * 200 / side + grain, y * 180 / side + grain / 2, (x + y) * 100 / side,
                      how.alpha ? x * y * 255 / (side * side) : 255})
      rgba.push_back(uint8_t(value));
  }
  const bool ok =
      WebPPictureImportRGBA(&picture, rgba.data(), side * 4) && WebPEncode(&config, &picture);
  Bytes out = ok ? Bytes(writer.mem, writer.mem + writer.size) : Bytes{};
  WebPMemoryWriterClear(&writer);
  WebPPictureFree(&picture);
  return out;
}

TEST(WebPBudgetTest, CraftedFilesAreJudgedByTheTablesTheyWouldCost) {
  struct Case {
    const char* name;
    long long limit;
    bool fits;
    long long groups;  // -1: the budget cannot read the file
  } cases[] = {
      {"webp-vp8l-1024x1024-65536-huffman-groups.webp", kImageLimit, false, 65536},
      {"webp-vp8l-1024x1024-65536-huffman-groups.icon.webp", kIconLimit, false, 65536},
      {"webp-vp8l-1024x1024-65536-groups-cache11.webp", kImageLimit, false, 65536},
      {"webp-vp8l-256x256-4096-groups.iconnow.webp", kShownIconLimit, false, 4096},
      {"webp-vp8l-7240x7240-65536-groups.webp", kImageLimit, false, 65536},
      {"webp-vp8l-truncated.webp", kImageLimit, false, -1},
      {"webp-vp8l-16384x16384-header.webp", kImageLimit, false, -1},
      // These cost no tables; the decoder's own checks judge them.
      {"webp-vp8l-7240x7240-one-colour.webp", kImageLimit, true, 1},
      {"webp-vp8-7240x7240-flat-lossy.webp", kImageLimit, true, 0},
      {"webp-animated-2-frames.webp", kImageLimit, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = corpusFile(c.name);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(WebPBudget::withinBudget(file.data(), file.size(), c.limit), c.fits);
    const auto cost = WebPBudget::losslessCost(file.data(), file.size(), c.limit);
    EXPECT_EQ(cost ? cost->groups : -1, c.groups);
  }
}

TEST(WebPBudgetTest, WhatTheEncoderMakesFitsTheSmallestBudget) {
  const Encoding encodings[] = {
      {"lossless, fastest", true, 0, 0, 100, false},
      {"lossless, default", true, 75, 4, 100, false},
      {"lossless, smallest", true, 100, 6, 100, false},
      {"near-lossless", true, 100, 6, 60, false},
      {"lossless with alpha", true, 90, 5, 100, true},
      {"lossy", false, 80, 4, 100, false},
      {"lossy with alpha", false, 80, 4, 100, true},
  };
  for (const auto& how : encodings) {
    SCOPED_TRACE(how.what);
    const Bytes file = encode(how, 128);
    int width = 0, height = 0;
    Bytes rgba;
    ASSERT_TRUE(ImageFormats::decodeWebP(file, kShownIconLimit, width, height, rgba));
    EXPECT_TRUE(WebPBudget::withinBudget(file.data(), file.size(), kShownIconLimit));
    const auto cost = WebPBudget::losslessCost(file.data(), file.size(), kShownIconLimit);
    ASSERT_TRUE(cost.has_value());
    // A lossy image's only lossless stream is its alpha plane.
    if (how.lossless || how.alpha) {
      EXPECT_GE(cost->groups, 1);
      EXPECT_LE(cost->groups, 100);
    } else {
      EXPECT_EQ(cost->groups, 0);
    }
  }
}

// A group without a colour cache costs some 12 KB of tables, so the smallest budget (8 MiB)
// holds about 670 of them, wherever the groups are named.
TEST(WebPBudgetTest, TheGroupsNamedDecideInEveryPlaceALosslessStreamMayBe) {
  const Bytes lossy = encode({"lossy", false, 80, 4, 100, false}, 256);
  ASSERT_GT(lossy.size(), 12u);
  const Bytes lossyChunk(lossy.begin() + 12, lossy.end());
  const Bytes extended = {0x10, 0, 0, 0, 255, 0, 0, 255, 0, 0};  // alpha; 256 x 256
  auto withAlpha = [&](const Bytes& plane) {  // the plane compressed as a lossless stream
    return riff(chunk("VP8X", extended) + chunk("ALPH", Bytes{1} + plane) + lossyChunk);
  };
  struct Case {
    const char* what;
    Bytes file;
    long long groups;
  } cases[] = {
      {"600 groups", riff(chunk("VP8L", groupsStream(256, 0, 600))), 600},
      {"700 groups", riff(chunk("VP8L", groupsStream(256, 0, 700))), 700},
      {"only group 699, everywhere", riff(chunk("VP8L", groupsStream(256, 699, 1))), 700},
      {"700 groups, bare stream", groupsStream(256, 0, 700), 700},
      {"700 groups, extended file",
       riff(chunk("VP8X", {0, 0, 0, 0, 255, 0, 0, 255, 0, 0}) +
            chunk("VP8L", groupsStream(256, 0, 700))),
       700},
      {"alpha plane of 600 groups", withAlpha(groupsStream(256, 0, 600, false)), 600},
      {"alpha plane of 700 groups", withAlpha(groupsStream(256, 0, 700, false)), 700},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto cost = WebPBudget::losslessCost(c.file.data(), c.file.size(), kShownIconLimit);
    ASSERT_TRUE(cost.has_value());
    EXPECT_EQ(cost->groups, c.groups);
    EXPECT_EQ(WebPBudget::withinBudget(c.file.data(), c.file.size(), kShownIconLimit),
              c.groups < 670);
  }
}

}  // namespace
