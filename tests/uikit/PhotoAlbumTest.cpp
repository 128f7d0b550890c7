#include <fstream>
#include <iterator>

#include "platform/services/PhotoAlbum.h"
#include "uikit/UIKitFixture.h"

class PhotoAlbumTest : public UIKitFixture {
 protected:
  std::string save(const std::shared_ptr<UIImage>& img) {
    std::string error = "pending";
    UIImageWriteToSavedPhotosAlbum(
        img, [&](const std::shared_ptr<UIImage>&, const std::string& e) { error = e; });
    pump();
    return error;
  }
  static std::vector<uint8_t> read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(PhotoAlbumTest, PhotosSavedBeforeTheAppRestartedAreNotOverwritten) {
  auto first = UIImage::imageWithBitMatrix({{true}}, 2);
  auto second = UIImage::imageWithBitMatrix({{true, false}, {false, true}}, 4);
  ASSERT_EQ(save(first), "");
  std::string firstPath = PhotoAlbum::shared().savedPhotoPaths().at(0);
  PhotoAlbum::shared().reset();  // a fresh album over the same folder: numbering starts again
  ASSERT_EQ(save(second), "");
  std::string secondPath = PhotoAlbum::shared().savedPhotoPaths().at(0);
  EXPECT_NE(secondPath, firstPath);
  EXPECT_EQ(read(firstPath), UIImagePNGRepresentation(first));
  EXPECT_EQ(read(secondPath), UIImagePNGRepresentation(second));
}
