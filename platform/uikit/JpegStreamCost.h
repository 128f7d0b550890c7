#pragma once
// What a JPEG stream would make libjpeg do, read from its markers alone, without decoding a
// coefficient: the frame header's size, components and sampling, and the blocks every scan
// covers. The JPEG decoder watches libjpeg scan by scan; a JPEG that reaches libjpeg through
// another library (a JPEG strip or tile of a TIFF file, which libtiff decodes) cannot be watched,
// so it is read first and held to the same budgets. Any thread; nothing is kept.

#include <cstddef>
#include <cstdint>
#include <optional>

struct JpegStreamCost {
  // From the frame header.
  uint32_t width = 0;
  uint32_t height = 0;
  int components = 0;
  // The largest sampling factors: a minimum coded unit is 8 maxH x 8 maxV pixels.
  int maxH = 1;
  int maxV = 1;
  bool arithmetic = false;
  bool progressive = false;
  int scans = 0;
  // What the scans cost as the JPEG decoder charges them: 64 for each block of each component of
  // each scan, times kJpegArithmeticWeight for arithmetic coding.
  unsigned long long coefficients = 0;
  // The bytes libjpeg keeps for an image of several scans (every coefficient of the image, 2
  // bytes each, in rows of whole minimum coded units); 0 for one scan.
  unsigned long long coefficientMemory = 0;

  // Reads the markers from the start of image to its end (or to the end of the bytes, where
  // libjpeg too would stop). Empty for what libjpeg would refuse: no start of image, a kind of
  // frame it does not decode (only baseline, extended and progressive, Huffman or arithmetic
  // coded), a second frame header, a scan before the frame header or naming a component the
  // frame lacks, an empty size, no components or more than libjpeg's ten, sampling factors
  // outside 1 to 4, no scan; and for more than maxScans scans, where reading stops.
  static std::optional<JpegStreamCost> read(const uint8_t* bytes, size_t size, int maxScans);
};
