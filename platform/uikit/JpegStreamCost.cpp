#include "platform/uikit/JpegStreamCost.h"

#include <algorithm>
#include <cstring>

#include "platform/uikit/ImageFormats.h"

namespace {

constexpr int kJpegMaxComponents = 10;  // libjpeg's MAX_COMPONENTS

struct JpegComponentShape {
  int id;
  int h;
  int v;
};

unsigned jpegField16(const uint8_t* at) { return (static_cast<unsigned>(at[0]) << 8) | at[1]; }

unsigned long long jpegCeilDiv(unsigned long long a, unsigned long long b) {
  return (a + b - 1) / b;
}

// Where the entropy-coded data after a scan header ends: at the 0xFF of the next marker, which
// is any 0xFF not followed by a stuffed zero, a restart marker or another 0xFF (fill), or at the
// end of the bytes.
size_t jpegSkipEntropyData(const uint8_t* bytes, size_t size, size_t at) {
  while (at < size) {
    const void* found = std::memchr(bytes + at, 0xFF, size - at);
    if (!found) return size;
    at = static_cast<size_t>(static_cast<const uint8_t*>(found) - bytes);
    if (at + 1 >= size) return size;
    const uint8_t next = bytes[at + 1];
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
      at += 2;
    else if (next == 0xFF)
      at += 1;
    else
      return at;
  }
  return size;
}

}  // namespace

std::optional<JpegStreamCost> JpegStreamCost::read(const uint8_t* bytes, size_t size,
                                                   int maxScans) {
  if (!bytes || size < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
  JpegStreamCost cost;
  JpegComponentShape shapes[kJpegMaxComponents] = {};
  bool frame = false;
  // Each component's blocks, as libjpeg counts them (without the padding to whole units) and
  // as it keeps them (padded to whole units).
  unsigned long long blocks[kJpegMaxComponents] = {};
  size_t at = 2;
  while (at < size) {
    // libjpeg skips stray bytes before a marker (with a warning), and any fill bytes.
    const void* found = std::memchr(bytes + at, 0xFF, size - at);
    if (!found) break;
    at = static_cast<size_t>(static_cast<const uint8_t*>(found) - bytes);
    while (at < size && bytes[at] == 0xFF) ++at;
    if (at >= size) break;
    const uint8_t marker = bytes[at++];
    if (marker == 0xD9) break;                // end of image
    if (marker == 0xD8) return std::nullopt;  // a second start
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    if (at + 2 > size) break;
    const size_t length = jpegField16(bytes + at);
    if (length < 2) return std::nullopt;
    if (at + length > size) break;  // cut off: libjpeg ends the image here
    const uint8_t* segment = bytes + at + 2;
    const size_t segmentSize = length - 2;
    at += length;
    const bool sof =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      // libjpeg decodes baseline (C0), extended (C1) and progressive (C2) frames, Huffman or
      // arithmetic coded (C9, CA); it refuses lossless, hierarchical and differential ones.
      const bool supported =
          marker == 0xC0 || marker == 0xC1 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA;
      if (frame || !supported || segmentSize < 6) return std::nullopt;
      cost.height = jpegField16(segment + 1);
      cost.width = jpegField16(segment + 3);
      cost.components = segment[5];
      if (cost.width == 0 || cost.height == 0 || cost.components < 1 ||
          cost.components > kJpegMaxComponents ||
          segmentSize < 6 + 3 * static_cast<size_t>(cost.components))
        return std::nullopt;
      for (int c = 0; c < cost.components; ++c) {
        const uint8_t* spec = segment + 6 + 3 * c;
        shapes[c] = {spec[0], spec[1] >> 4, spec[1] & 15};
        if (shapes[c].h < 1 || shapes[c].h > 4 || shapes[c].v < 1 || shapes[c].v > 4)
          return std::nullopt;
        cost.maxH = std::max(cost.maxH, shapes[c].h);
        cost.maxV = std::max(cost.maxV, shapes[c].v);
      }
      cost.arithmetic = marker >= 0xC9;
      cost.progressive = marker == 0xC2 || marker == 0xCA;
      for (int c = 0; c < cost.components; ++c)
        blocks[c] = jpegCeilDiv(static_cast<unsigned long long>(cost.width) * shapes[c].h,
                                8ULL * cost.maxH) *
                    jpegCeilDiv(static_cast<unsigned long long>(cost.height) * shapes[c].v,
                                8ULL * cost.maxV);
      frame = true;
      continue;
    }
    if (marker != 0xDA) continue;  // tables, restart interval, application data, comments
    if (!frame || segmentSize < 1) return std::nullopt;
    const size_t inScan = segment[0];
    if (inScan < 1 || inScan > 4 || segmentSize < 1 + 2 * inScan + 3) return std::nullopt;
    unsigned long long scanBlocks = 0;
    for (size_t s = 0; s < inScan; ++s) {
      const int id = segment[1 + 2 * s];
      int c = 0;
      while (c < cost.components && shapes[c].id != id) ++c;
      if (c == cost.components) return std::nullopt;
      scanBlocks += blocks[c];
    }
    if (++cost.scans > maxScans) return std::nullopt;
    cost.coefficients +=
        64 * scanBlocks * (cost.arithmetic ? ImageFormats::kJpegArithmeticWeight : 1);
    at = jpegSkipEntropyData(bytes, size, at);
  }
  if (!frame || cost.scans == 0) return std::nullopt;
  if (cost.scans > 1 || cost.progressive) {
    // libjpeg keeps each component's blocks in rows of whole units: its width and height in
    // blocks are rounded up to its sampling factors, over as many units as cover the image.
    const unsigned long long unitsAcross = jpegCeilDiv(cost.width, 8ULL * cost.maxH);
    const unsigned long long unitsDown = jpegCeilDiv(cost.height, 8ULL * cost.maxV);
    for (int c = 0; c < cost.components; ++c)
      cost.coefficientMemory +=
          unitsAcross * shapes[c].h * unitsDown * shapes[c].v * 64 * sizeof(int16_t);
  }
  return cost;
}
