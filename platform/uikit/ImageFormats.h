#pragma once
// Decoders of the image formats besides PNG and JPEG that images may come in: GIF (giflib), WebP
// (libwebp), TIFF (libtiff) and BMP (gdk-pixbuf's BMP loader). Each is a library made for hostile
// input; the bytes come from downloads and other apps.
//
// Every decoder gives width x height RGBA pixels (4 bytes each, row by row, not premultiplied) and
// refuses, before it decodes any pixel or allocates the image, a picture of more than `maxPixels`
// pixels: a header of a few bytes may claim any size. A decoder answers false for damaged or
// cut-off data, and then leaves the outputs in an unspecified state. Nothing touches the file
// system, and every decoder may be called from any thread.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ImageFormats {

enum class Format { Unknown, Gif, WebP, Tiff, Bmp };

// Whether an image of width x height is one to decode: both sides positive and at most maxPixels
// pixels in all (checked without overflow, whatever sides a header claims). Every decoder, PNG
// and JPEG included, asks this before it decodes a pixel.
bool acceptableSize(long long width, long long height, long long maxPixels);

// Tells the format by its first bytes: "GIF87a"/"GIF89a", "RIFF" .... "WEBP", "II*\0" or
// "MM\0*", "BM". Unknown for anything else, PNG and JPEG included.
Format sniff(const uint8_t* bytes, size_t size);

// The first frame only, drawn at its place on a transparent canvas of the logical screen's size
// (the frame's own size when the screen is given as empty). Pixels of the transparent colour of
// the frame's graphic control block, and pixels whose index lies beyond the colour table, stay
// transparent; whatever of the frame lies outside the canvas is cut off.
bool decodeGif(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
               std::vector<uint8_t>& rgba);
// Still WebP images, lossy or lossless, with or without alpha. Animated ones are refused.
bool decodeWebP(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba);
// The first page of a TIFF file, in any layout libtiff turns into RGBA, shown top-left first
// whatever orientation the file gives.
bool decodeTiff(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba);
// Windows and OS/2 bitmaps, uncompressed or run-length encoded.
bool decodeBmp(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
               std::vector<uint8_t>& rgba);

// Sniffs the bytes and hands them to the matching decoder above; false for an unknown format.
bool decode(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
            std::vector<uint8_t>& rgba);

}  // namespace ImageFormats
