#pragma once
// A budget for what a lossless WebP image makes the decoder allocate before it decodes a pixel.
//
// A lossless image may split itself into up to 65,536 groups of prefix codes through its
// entropy image, and the decoder builds a full set of lookup tables (some 12 to 20 KB) for
// every group the image names, however few bits the file spends on each: 300 KB of file can
// make it allocate three quarters of a gigabyte. The decoder offers no limit of its own, so this
// reader goes through the lossless bitstream just far enough to count the groups (its header,
// its transforms and their sub-images, its colour cache and its entropy image) and estimates
// what the decoder would allocate for them. It reads no pixel of the image itself, keeps no
// sub-image in memory, and its work grows with the bits of the sub-images it reads, never with
// the pixels they claim, so that it costs a few milliseconds for any file.
//
// Lossy images (and lossy images with a lossless-compressed alpha plane, whose plane is a
// lossless bitstream of its own and is budgeted the same way) are found in simple and extended
// files alike. Every function may be called from any thread; nothing is kept between calls.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace WebPBudget {

// What the decoder would allocate for one lossless bitstream.
struct LosslessCost {
  // Groups of prefix codes that the decoder builds tables for: one more than the largest group
  // the entropy image names (1 without an entropy image).
  long long groups = 0;
  // The main image's colour cache bits (0 without a cache); the tables grow with the cache.
  int cacheBits = 0;
  // Bytes: the groups' tables, plus the transforms' and entropy image's pixels and tables.
  long long bytes = 0;
};

// The most costly lossless bitstream of a WebP file (the lossless image, or the lossless alpha
// plane of a lossy image); a cost of zero groups and bytes when it has none (a lossy or animated
// image). nullopt when the file cannot be read as far as the budget needs: a container or a
// lossless header that is malformed or cut off, a lossless image of more than maxPixels pixels.
std::optional<LosslessCost> losslessCost(const uint8_t* bytes, size_t size, long long maxPixels);

// The bytes of tables that an image of at most maxPixels pixels may make the decoder allocate.
long long budgetFor(long long maxPixels);

// Whether the file's lossless bitstreams, if any, fit budgetFor(maxPixels). False when they do
// not, or when losslessCost cannot read the file. The decoder asks this before handing the bytes
// to libwebp.
bool withinBudget(const uint8_t* bytes, size_t size, long long maxPixels);

}  // namespace WebPBudget
