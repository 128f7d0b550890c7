#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/EncDec.h"
#include "core/ImageCache.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "support/AppFixture.h"

namespace fs = std::filesystem;

class ImageCacheTest : public AppFixture {
 protected:
  DevServer files;
  std::string url(const std::string& name) { return files.baseUrl() + "/files/" + name; }
  void SetUp() override {
    AppFixture::SetUp();
    ImageCache::clearMemory();
    ASSERT_TRUE(files.serveFiles("/files", resourcesPath() + "/demo/files"));
    ASSERT_TRUE(files.start());
  }
};

TEST_F(ImageCacheTest, ShowsThePlaceholderThenTheDownloadedImageAndKeepsIt) {
  auto view = UIImageView::create();
  ImageCache::loadImage(view, url("game1.png"));
  EXPECT_EQ(view->image(), UIImage::imageNamed("ic_launcher"));
  pump();
  ASSERT_TRUE(view->image());
  EXPECT_EQ(view->image()->pixelWidth(), 64);
  EXPECT_EQ(ImageCache::cachePath(url("game1.png")),
            Sandbox::caches() + "/imageCache/" + EncDec::md5(url("game1.png")));
  EXPECT_TRUE(fs::exists(ImageCache::cachePath(url("game1.png"))));

  // Once cached, the image is shown at once, without the network.
  files.stop();
  auto second = UIImageView::create();
  ImageCache::loadImage(second, url("game1.png"));
  ASSERT_TRUE(second->image());
  EXPECT_EQ(second->image()->pixelWidth(), 64);
}

TEST_F(ImageCacheTest, AFailedDownloadKeepsThePlaceholderAndStoresNothing) {
  auto view = UIImageView::create();
  ImageCache::loadImage(view, url("missing.png"));
  ImageCache::loadImage(UIImageView::create(), url("shop.html"));  // not an image
  pump();
  EXPECT_EQ(view->image(), UIImage::imageNamed("ic_launcher"));
  EXPECT_FALSE(fs::exists(ImageCache::cachePath(url("missing.png"))));
  EXPECT_FALSE(fs::exists(ImageCache::cachePath(url("shop.html"))));
}

TEST_F(ImageCacheTest, AViewGivenANewerUrlKeepsTheNewerImage) {
  // Both downloads run at once; whichever ends last, the view shows the one it was last given.
  auto view = UIImageView::create();
  ImageCache::loadImage(view, url("game1.png"));
  ImageCache::loadImage(view, url("game3.png"));
  pump();
  const auto expected = UIImage::imageWithContentsOfFile(resourcesPath() + "/demo/files/game3.png");
  ASSERT_TRUE(expected);
  ASSERT_TRUE(view->image());
  EXPECT_EQ(view->image()->pixelAt(0, 0), expected->pixelAt(0, 0));
}

TEST_F(ImageCacheTest, AViewThatIsGoneBeforeTheDownloadEndsIsLeftAlone) {
  auto view = UIImageView::create();
  ImageCache::loadImage(view, url("game1.png"));
  view.reset();
  pump();
  EXPECT_TRUE(fs::exists(ImageCache::cachePath(url("game1.png"))));
}

namespace {
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
std::vector<uint8_t> pngOf(int w, int h, uint8_t shade) {
  return UIImagePNGRepresentation(
      UIImage::imageWithPixels(w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4, shade)));
}
}  // namespace

TEST_F(ImageCacheTest, AFitCachedIconShowsAtOnceAndALargerFileIsDecodedOffTheMainThread) {
  // As on a new launch: the files are on disk, nothing is decoded yet. An icon-sized file shows
  // at once, as it always did.
  const std::string small = url("cached-small.png");
  writeFile(ImageCache::cachePath(small), pngOf(60, 60, 0x20));
  auto shown = UIImageView::create();
  ImageCache::loadImage(shown, small);
  ASSERT_TRUE(shown->image());
  EXPECT_EQ(shown->image()->pixelAt(0, 0), 0x20202020u);

  // A larger one is decoded in the background: decoding it inside loadImage held the main thread
  // for as long as the file took.
  const std::string icon = url("cached-only.png");
  writeFile(ImageCache::cachePath(icon), pngOf(300, 300, 0x40));
  auto view = UIImageView::create();
  ImageCache::loadImage(view, icon);
  EXPECT_EQ(view->image(), UIImage::imageNamed("ic_launcher"));
  pump();
  ASSERT_TRUE(view->image());
  EXPECT_EQ(view->image()->pixelAt(0, 0), 0x40404040u);

  // Once decoded, the image is shown at once.
  auto again = UIImageView::create();
  ImageCache::loadImage(again, icon);
  EXPECT_EQ(again->image(), view->image());
}

TEST_F(ImageCacheTest, AnIconClaimingHugeDimensionsLeavesThePlaceholder) {
  // The 8 KB PNG of 8192 x 8192 pixels (256 MB decoded), cached from an earlier launch.
  std::ifstream in(resourcesPath() + "/../fuzz/corpus/image/bomb-8192x8192-grey1.png",
                   std::ios::binary);
  const std::vector<uint8_t> bomb(std::istreambuf_iterator<char>(in), {});
  ASSERT_FALSE(bomb.empty());
  const std::string icon = url("bomb.png");  // not served either
  writeFile(ImageCache::cachePath(icon), bomb);
  auto view = UIImageView::create();
  ImageCache::loadImage(view, icon);
  pump();
  EXPECT_EQ(view->image(), UIImage::imageNamed("ic_launcher"));
}

TEST_F(ImageCacheTest, ACraftedIconCostingMoreThanItsPixelsLeavesThePlaceholder) {
  // Small files (most under 256 KB, so tried on the main thread first) whose few pixels would
  // decode gigabytes of samples or JPEG coefficients; neither the main thread nor the background
  // shows them.
  for (const std::string name : {"tiff-64x1024-spp65535-16bit-deflate.iconnow.tif",
                                 "tiff-64x1024-spp65535-16bit-lzw.iconnow.tif",
                                 "tiff-64x1024-spp65535-16bit-zstd.iconnow.tif",
                                 "tiff-1024x1-jpeg-strip-1024x65500-cmyk-99-scans.iconnow.tif",
                                 "tiff-16384x1-jpeg-strip-16384x16384-cmyk-1-scan.iconnow.tif",
                                 "tiff-64x16384-spp65535-16bit-deflate.icon.tif",
                                 "gif-screen-7240x7240-frame-1x1.icon.gif"}) {
    std::ifstream in(resourcesPath() + "/../fuzz/corpus/image/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(bytes.empty()) << name;
    const std::string icon = url(name);  // not served either
    writeFile(ImageCache::cachePath(icon), bytes);
    auto view = UIImageView::create();
    ImageCache::loadImage(view, icon);
    pump();
    EXPECT_EQ(view->image(), UIImage::imageNamed("ic_launcher")) << name;
  }
}

TEST_F(ImageCacheTest, ALargeJpegIconIsScaledDownWhileDecoding) {
  const std::string icon = url("big-photo.jpg");
  auto photo = UIImage::imageWithPixels(2048, 1536, std::vector<uint8_t>(2048 * 1536 * 4, 0x80));
  writeFile(ImageCache::cachePath(icon), UIImageJPEGRepresentation(photo, 0.8));
  auto view = UIImageView::create();
  ImageCache::loadImage(view, icon);
  pump();
  ASSERT_TRUE(view->image());
  EXPECT_EQ(view->image()->pixelWidth(), 1024);  // half size: 1024 x 768 fits the icon limit
  EXPECT_EQ(view->image()->pixelHeight(), 768);
}

TEST_F(ImageCacheTest, DecodedIconsKeptInMemoryStayWithinTheBudget) {
  // Each icon decodes to 4 MB: nine of them exceed the 32 MB budget, and the least recently
  // shown one goes.
  std::vector<std::string> icons;
  for (int i = 0; i < 9; ++i) {
    icons.push_back(url("icon" + std::to_string(i) + ".png"));
    writeFile(ImageCache::cachePath(icons.back()), pngOf(1024, 1024, static_cast<uint8_t>(i)));
  }
  for (const auto& icon : icons) {
    ImageCache::loadImage(UIImageView::create(), icon);
    pump();
  }
  auto newest = UIImageView::create(), oldest = UIImageView::create();
  ImageCache::loadImage(newest, icons.back());
  ImageCache::loadImage(oldest, icons.front());
  ASSERT_TRUE(newest->image());
  EXPECT_EQ(newest->image()->pixelWidth(), 1024);  // at once, from memory
  EXPECT_EQ(oldest->image(), UIImage::imageNamed("ic_launcher"));
  pump();
  ASSERT_TRUE(oldest->image());
  EXPECT_EQ(oldest->image()->pixelAt(0, 0), 0u);
}

TEST_F(ImageCacheTest, AnEarlierRequestThatEndsLaterDoesNotReplaceTheNewerImage) {
  // The first URL is decoded from disk in the background; the second is already in memory and
  // shows at once. The first one's image must not land over it.
  const std::string slow = url("slow.png"), quick = url("quick.png");
  writeFile(ImageCache::cachePath(slow), pngOf(8, 8, 0x11));
  writeFile(ImageCache::cachePath(quick), pngOf(8, 8, 0x22));
  ImageCache::loadImage(UIImageView::create(), quick);
  pump();
  auto view = UIImageView::create();
  ImageCache::loadImage(view, slow);
  ImageCache::loadImage(view, quick);
  pump();
  ASSERT_TRUE(view->image());
  EXPECT_EQ(view->image()->pixelAt(0, 0), 0x22222222u);
}
