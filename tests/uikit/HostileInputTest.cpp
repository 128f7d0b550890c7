// The hostile inputs that cost too much for the fuzzers' seeds (bench/hostile/<kind>/): crafted
// and real files that the budgets let through at their full size, or stop only after real work.
// tovira-bench measures what each costs; here each is read as the app reads it and must give the
// verdict it gives today, read or refused, without a sanitizer report. No time is measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/uikit/UIImage.h"
#include "support/ThreadSanitizer.h"

namespace {

const std::filesystem::path kHostile =
    std::filesystem::path(TOVIRA_RESOURCES) / ".." / "bench" / "hostile";

struct HostileFile {
  const char* kind;  // its folder: image or keyed_unarchiver
  const char* name;
  bool read;  // read (decoded), or refused
};

const HostileFile kFiles[] = {
    {"image", "bmp-7240x7240-1bit-full.bmp", true},
    {"image", "bmp-7240x7240-rle8-deltas-down.bmp", true},
    {"image", "bmp-7240x7240-rle8-end-of-bitmap.bmp", true},
    {"image", "bmp-7240x7240-rle8-only-eols.bmp", true},
    {"image", "bmp-7240x7240-rle8-runs.bmp", true},
    {"image", "gif-65535x800-screen-0x0.gif", true},
    {"image", "gif-7240x7240-uniform-interlaced.gif", true},
    {"image", "gif-7240x7240-uniform.gif", true},
    {"image", "gif-frame-7240x7240-screen-1x1.gif", true},
    {"image", "tiff-7168x7168-rgba-784-tiles-share-one-deflate.tif", true},
    {"image", "tiff-7240x7240-1bit-g4.tif", true},
    {"image", "tiff-7240x7240-rgba-deflate.tif", true},
    {"image", "tiff-7240x7240-rgba-planar-deflate.tif", true},
    {"image", "tiff-8x8-4000-unknown-tags.tif", true},
    {"image", "webp-vp8-7240x7240-flat-lossy.webp", true},
    {"image", "webp-vp8l-7240x7240-one-colour.webp", true},
    {"keyed_unarchiver", "nib-19999-textviews-sharing-1KB-text.bplist", true},
};

void PrintTo(const HostileFile& file, std::ostream* out) { *out << file.kind << "/" << file.name; }

// As tovira-bench names its read modes: an image named "*.icon.*" is decoded as the image cache
// decodes an icon in the background (1 Mi pixels, a larger JPEG scaled down), "*.iconnow.*" as a
// small icon shown at once (256 x 256 pixels, nothing scaled), any other with the app's limit.
bool readImage(const std::string& name, const std::vector<uint8_t>& bytes) {
  if (name.find(".iconnow.") != std::string::npos)
    return UIImage::imageWithData(bytes, 256 * 256, 1.0, false) != nullptr;
  if (name.find(".icon.") != std::string::npos)
    return UIImage::imageWithData(bytes, 1024 * 1024, 1.0) != nullptr;
  return UIImage::imageWithData(bytes) != nullptr;
}

bool readFile(const HostileFile& file, const std::vector<uint8_t>& bytes) {
  const std::string kind = file.kind;
  if (kind == "image") return readImage(file.name, bytes);
  // An interface file ("nib-*") is decoded here as an archive: the views it would make are what
  // costs (tens of seconds under the sanitizers for 19,999 text views), which tovira-bench
  // measures; whether such text is budgeted across the views made is InterfaceArchiveTest's.
  return NSKeyedUnarchiver::unarchiveObjectWithData(bytes).has_value();
}

class HostileInputTest : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostileInputTest, EachHeavyInputIsReadOrRefusedAsBefore) {
  if (kUnderThreadSanitizer) GTEST_SKIP() << "one thread only: nothing for ThreadSanitizer";
  const HostileFile& file = GetParam();
  std::ifstream in(kHostile / file.kind / file.name, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(bytes.empty()) << file.name;
  EXPECT_EQ(readFile(file, bytes), file.read) << file.name;
}

INSTANTIATE_TEST_SUITE_P(BenchHostile, HostileInputTest, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<HostileFile>& info) {
                           std::string name = std::string(info.param.kind) + "_" + info.param.name;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

// Every file of the folders has its verdict above, so that a heavy input moved there from the
// fuzzers' seeds stays read by the tests.
TEST(HostileInputFolders, EveryFileHasItsVerdict) {
  for (const auto& folder : std::filesystem::directory_iterator(kHostile)) {
    if (!folder.is_directory()) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string kind = folder.path().filename().string();
      const std::string name = entry.path().filename().string();
      const bool listed =
          std::any_of(std::begin(kFiles), std::end(kFiles),
                      [&](const HostileFile& f) { return kind == f.kind && name == f.name; });
      EXPECT_TRUE(listed) << kind << "/" << name;
    }
  }
}

}  // namespace
