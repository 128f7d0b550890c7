#pragma once
// Images: RGBA pixels with a scale. PNG and JPEG are decoded and encoded by libpng and libjpeg;
// GIF, WebP, TIFF and BMP are decoded by giflib, libwebp, libtiff and gdk-pixbuf's BMP loader:
// libraries made for hostile input, since downloaded and handed-over bytes reach the decoders.
// Immutable once made; loads by name are cached per name.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/CGGeometry.h"

class UIImage : public NSObject {
  TOVIRA_CLASS(UIImage)
 public:
  // width x height pixels, 4 bytes each (RGBA, row by row).
  UIImage(int pixelWidth, int pixelHeight, std::vector<uint8_t> rgba, double scale,
          std::string name);

  // From the main bundle's images: "name", "name.png" and "name.jpg" all work; "name@2x.png"
  // is preferred when present (scale 2). Looks in the bundle's resource folder and its
  // "images" subfolder. nullptr when missing or undecodable.
  static std::shared_ptr<UIImage> imageNamed(const std::string& name);
  static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::string& path);
  // Decodes PNG, JPEG, GIF (its first frame), still WebP, TIFF (its first page) and BMP bytes;
  // nullptr for anything else, for damaged or cut-off data, for images of more than 50 Mi pixels
  // (a header claiming a huge size is refused before any decoding), and for files whose decoding
  // would cost more work or memory than such an image does (a JPEG of hundreds of empty scans,
  // say). Any thread.
  static std::shared_ptr<UIImage> imageWithData(const std::vector<uint8_t>& bytes,
                                                double scale = 1.0);
  // The same for images shown small (icons): at most maxPixels pixels come out. A larger JPEG is
  // decoded at 1/2, 1/4 or 1/8 of its size, the largest that fits, without the full-size pixels
  // ever being made (unless scaleDown is false: it is then refused too); any other larger image
  // is refused. The limits on work and memory are tightened with the pixels. Any thread.
  static std::shared_ptr<UIImage> imageWithData(const std::vector<uint8_t>& bytes,
                                                long long maxPixels, double scale,
                                                bool scaleDown = true);
  // From a pixel matrix (RGBA rows); nullptr when the sizes do not match.
  static std::shared_ptr<UIImage> imageWithPixels(int pixelWidth, int pixelHeight,
                                                  std::vector<uint8_t> rgba, double scale = 1.0);
  // A matrix of on/off cells (e.g. a QR code), each cell `cellSize` pixels, black on white.
  static std::shared_ptr<UIImage> imageWithBitMatrix(const std::vector<std::vector<bool>>& cells,
                                                     int cellSize);
  static void clearNamedCache();

  CGSize size() const;  // points: pixels / scale
  double scale() const { return scale_; }
  int pixelWidth() const { return width_; }
  int pixelHeight() const { return height_; }
  const std::vector<uint8_t>& pixels() const { return rgba_; }
  // RGBA of one pixel (0 when out of range).
  uint32_t pixelAt(int x, int y) const;
  // The bundle name it was loaded by ("" for other images).
  const std::string& name() const { return name_; }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> rgba_;
  double scale_;
  std::string name_;
};

// Encoders; empty when the image is null or encoding fails. quality is 0..1; values outside
// are clamped to the nearest bound (not a number counts as 1).
std::vector<uint8_t> UIImagePNGRepresentation(const std::shared_ptr<UIImage>& image);
std::vector<uint8_t> UIImageJPEGRepresentation(const std::shared_ptr<UIImage>& image,
                                               double quality);
