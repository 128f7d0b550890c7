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

// What decoding one JPEG may cost, for the JPEG decoder and for the JPEG strips and tiles of TIFF
// files alike (libtiff hands those to the same libjpeg).
//
// A progressive JPEG may have any number of scans, each of which passes over the whole image:
// a small file of many empty scans keeps the decoder busy for minutes. Encoders write about ten.
constexpr int kMaxJpegScans = 500;
// What the scans of one image may cost, in coefficients decoded (8 x 8 per block of each component
// in a scan). Empty scans cost next to no bytes, so the file's size does not bound this work: a
// 255-byte file claiming 8192 x 8192 CMYK pixels in ten scans asks for 2.7 billion. A real
// 12-megapixel progressive photo needs about 100 million, a 48-megapixel one about 400 million;
// the budget leaves room for those and stops a crafted file within about a second. Arithmetic
// coding decodes each block bit by bit, empty or not (several times the cost of a Huffman-coded
// empty block), and real files hardly ever use it: its coefficients count four times.
constexpr unsigned long long kMaxJpegCoefficients = 1'000'000'000ULL;
constexpr unsigned long long kJpegArithmeticWeight = 4;
// The most memory libjpeg may take for one image besides the pixels it hands over: a
// progressive or multi-scan JPEG keeps every coefficient of the image (2 bytes each) until its
// last scan, 512 MiB for 8192 x 8192 CMYK. 256 MiB holds a 48-megapixel 4:2:2 photo's (192 MiB);
// with the pixels themselves, one decode stays under 512 MiB.
constexpr long long kMaxJpegMemory = 256LL << 20;
// Both shrink with the pixels an image may have: an image shown small gets work in proportion
// (an icon decoded at 1/8 scale from a full-size three-component baseline file needs 64 x 3
// coefficients a pixel, so 256 a pixel), and a small image has no business needing hundreds of
// megabytes of coefficients (64 MiB still holds a 12-megapixel progressive photo's 36 MiB, so
// that one decodes even for an icon).
unsigned long long jpegCoefficientBudget(long long maxPixels);
long long jpegMemoryBudget(long long maxPixels);

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
// Still WebP images, lossy or lossless, with or without alpha. Animated ones are refused, and so
// is a lossless image (or lossless alpha plane) whose Huffman tables would cost more memory than
// its pixels allow (WebPBudget).
bool decodeWebP(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba);
// The first page of a TIFF file, in any layout libtiff turns into RGBA, shown top-left first
// whatever orientation the file gives. Before libtiff decodes anything, what it would decode is
// counted from the directory and refused beyond a budget tied to the image's pixels and to
// maxPixels: every strip or tile at its full decoded size with all its samples, its compressed
// bytes (strips that share one blob count it each time) and a set-up cost each; the strips and
// tiles of a JPEG-compressed file have their markers read and are refused when larger than their
// strip or tile, or when their scans exceed the JPEG budgets above. Compressions whose work that
// count cannot bound (old-style JPEG, WebP, LERC, JBIG, LZMA) are refused.
bool decodeTiff(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
                std::vector<uint8_t>& rgba);
// Windows and OS/2 bitmaps, uncompressed or run-length encoded.
bool decodeBmp(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
               std::vector<uint8_t>& rgba);

// Sniffs the bytes and hands them to the matching decoder above; false for an unknown format.
bool decode(const std::vector<uint8_t>& bytes, long long maxPixels, int& width, int& height,
            std::vector<uint8_t>& rgba);

}  // namespace ImageFormats
