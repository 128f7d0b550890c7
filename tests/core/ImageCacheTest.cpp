#include <gtest/gtest.h>

#include <filesystem>

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
