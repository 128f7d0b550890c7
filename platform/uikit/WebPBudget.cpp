#include "platform/uikit/WebPBudget.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace WebPBudget {

namespace {

// --- What the decoder allocates ---

// The decoder looks prefix codes up in two-level tables with an 8-bit first level, and sizes
// each group's tables for the worst complete code of each alphabet with codes of up to 15 bits
// (the most entries such a table can take for that alphabet): 630 entries for the
// red, blue and alpha alphabets of 256 symbols, 410 for the 40 distance symbols, and for the
// green alphabet (256 literals, 24 lengths and the colour cache's entries) a size that grows with
// the cache. An entry takes 4 bytes.
constexpr long long kLiteralTableEntries = 630;
constexpr long long kDistanceTableEntries = 410;
constexpr std::array<long long, 12> kGreenTableEntries = {654, 656, 658, 662,  670,  686,
                                                          718, 782, 910, 1166, 1678, 2704};
constexpr long long kTableEntryBytes = 4;
// Each group also has its bookkeeping beside the tables (the tables' addresses and a small
// table of pre-decoded literals): some 600 bytes.
constexpr long long kGroupBookkeepingBytes = 600;

long long groupBytes(int cacheBits) {
  return (3 * kLiteralTableEntries + kDistanceTableEntries + kGreenTableEntries[cacheBits]) *
             kTableEntryBytes +
         kGroupBookkeepingBytes;
}

// --- The bitstream ---

// Values are stored least significant bit first. Reading beyond the end gives zero bits and is
// remembered: a cut-off stream is one the budget cannot vouch for.
class LosslessBits {
 public:
  LosslessBits(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The next n bits (n <= 32), not consumed.
  uint32_t peek(int n) const {
    const uint64_t byte = bit_ >> 3;
    uint64_t window = 0;
    if constexpr (std::endian::native == std::endian::little) {
      if (byte + 8 <= size_) {
        std::memcpy(&window, data_ + byte, 8);
        return static_cast<uint32_t>((window >> (bit_ & 7)) & ((uint64_t{1} << n) - 1));
      }
    }
    if (byte < size_) {
      const size_t available = std::min<uint64_t>(8, size_ - byte);
      for (size_t i = 0; i < available; ++i) window |= uint64_t{data_[byte + i]} << (8 * i);
    }
    return static_cast<uint32_t>((window >> (bit_ & 7)) & ((uint64_t{1} << n) - 1));
  }
  void skip(int n) { bit_ += static_cast<uint64_t>(n); }
  uint32_t read(int n) {
    const uint32_t value = peek(n);
    skip(n);
    return value;
  }
  bool overrun() const { return bit_ > uint64_t{size_} * 8; }
  uint64_t position() const { return bit_; }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t bit_ = 0;
};

constexpr int kMaxCodeLength = 15;

// A canonical prefix code, read through one table indexed by the next bits of the stream (the
// probe builds only a handful of them, for the sub-images, so a two-level table would not pay).
class PrefixCode {
 public:
  // From each symbol's code length (0: unused). The lengths must make a complete code, or name
  // exactly one symbol, which then takes no bits.
  bool build(const uint8_t* lengths, int alphabet) {
    std::array<int, kMaxCodeLength + 1> count{};
    int symbols = 0;
    for (int symbol = 0; symbol < alphabet; ++symbol) {
      if (lengths[symbol] == 0) continue;
      ++count[lengths[symbol]];
      ++symbols;
      single_ = symbol;
    }
    bits_ = 0;
    if (symbols == 0) return false;
    if (symbols == 1) return true;
    long long open = 1;  // unused codes at the current length
    for (int length = 1; length <= kMaxCodeLength; ++length) {
      open = open * 2 - count[length];
      if (open < 0) return false;  // over-subscribed
      if (count[length] != 0) bits_ = length;
    }
    if (open != 0) return false;  // incomplete
    std::array<int, kMaxCodeLength + 1> next{};
    for (int length = 1, code = 0; length <= kMaxCodeLength; ++length) {
      code = (code + count[length - 1]) << 1;
      next[length] = code;
    }
    table_.assign(size_t{1} << bits_, 0);
    for (int symbol = 0; symbol < alphabet; ++symbol) {
      const int length = lengths[symbol];
      if (length == 0) continue;
      // A code's first bit is the stream's first: the table is indexed by the reversed code.
      const int code = next[length]++;
      size_t reversed = 0;
      for (int i = 0; i < length; ++i) reversed |= size_t((code >> i) & 1) << (length - 1 - i);
      for (size_t at = reversed; at < table_.size(); at += size_t{1} << length)
        table_[at] = static_cast<uint32_t>(symbol) | static_cast<uint32_t>(length) << 16;
    }
    return true;
  }

  int read(LosslessBits& bits) const {
    if (bits_ == 0) return single_;
    const uint32_t entry = table_[bits.peek(bits_)];
    bits.skip(static_cast<int>(entry >> 16));
    return static_cast<int>(entry & 0xffff);
  }

 private:
  std::vector<uint32_t> table_;
  int bits_ = 0;
  int single_ = 0;
};

// Reads one prefix code of the given alphabet: a simple code of one or two symbols, or a normal
// one whose code lengths are themselves coded with a code of the 19 code-length symbols.
bool readPrefixCode(LosslessBits& bits, int alphabet, PrefixCode& code) {
  std::vector<uint8_t> lengths(static_cast<size_t>(alphabet), 0);
  if (bits.read(1) == 1) {
    const int symbols = static_cast<int>(bits.read(1)) + 1;
    const int first = static_cast<int>(bits.read(bits.read(1) == 1 ? 8 : 1));
    if (first >= alphabet) return false;
    lengths[first] = 1;
    if (symbols == 2) {
      const int second = static_cast<int>(bits.read(8));
      if (second >= alphabet) return false;
      lengths[second] = 1;
    }
    return !bits.overrun() && code.build(lengths.data(), alphabet);
  }
  static constexpr std::array<int, 19> kOrder = {17, 18, 0, 1,  2,  3,  4,  5,  16, 6,
                                                 7,  8,  9, 10, 11, 12, 13, 14, 15};
  std::array<uint8_t, 19> lengthLengths{};
  const int given = static_cast<int>(bits.read(4)) + 4;
  for (int i = 0; i < given; ++i) lengthLengths[kOrder[i]] = static_cast<uint8_t>(bits.read(3));
  PrefixCode lengthCode;
  if (bits.overrun() || !lengthCode.build(lengthLengths.data(), 19)) return false;
  // The count of code-length symbols to read may be given; otherwise one a symbol.
  int tokens = alphabet;
  if (bits.read(1) == 1) {
    const int width = 2 + 2 * static_cast<int>(bits.read(3));
    tokens = 2 + static_cast<int>(bits.read(width));
    if (tokens > alphabet) return false;
  }
  int previous = 8;  // what symbol 16 repeats before any non-zero length
  for (int symbol = 0; symbol < alphabet && tokens-- > 0;) {
    const int token = lengthCode.read(bits);
    if (bits.overrun()) return false;
    if (token < 16) {
      lengths[symbol++] = static_cast<uint8_t>(token);
      if (token != 0) previous = token;
      continue;
    }
    // 16: the previous non-zero length 3-6 times; 17: zeros 3-10 times; 18: zeros 11-138 times.
    const int repeat = token == 16   ? 3 + static_cast<int>(bits.read(2))
                       : token == 17 ? 3 + static_cast<int>(bits.read(3))
                                     : 11 + static_cast<int>(bits.read(7));
    if (symbol + repeat > alphabet) return false;
    std::fill_n(lengths.begin() + symbol, repeat, static_cast<uint8_t>(token == 16 ? previous : 0));
    symbol += repeat;
  }
  return !bits.overrun() && code.build(lengths.data(), alphabet);
}

// Lengths and distances are coded as a prefix symbol and extra bits.
long long prefixCodedValue(LosslessBits& bits, int symbol) {
  if (symbol < 4) return symbol + 1;
  const int extra = (symbol - 2) >> 1;
  const long long offset = static_cast<long long>(2 + (symbol & 1)) << extra;
  return offset + bits.read(extra) + 1;
}

// The first 120 distance codes name nearby pixels as (columns back, rows up).
constexpr int8_t kNearDistances[120][2] = {
    {0, 1},  {1, 0},  {1, 1},  {-1, 1}, {0, 2},  {2, 0},  {1, 2},  {-1, 2}, {2, 1},  {-2, 1},
    {2, 2},  {-2, 2}, {0, 3},  {3, 0},  {1, 3},  {-1, 3}, {3, 1},  {-3, 1}, {2, 3},  {-2, 3},
    {3, 2},  {-3, 2}, {0, 4},  {4, 0},  {1, 4},  {-1, 4}, {4, 1},  {-4, 1}, {3, 3},  {-3, 3},
    {2, 4},  {-2, 4}, {4, 2},  {-4, 2}, {0, 5},  {3, 4},  {-3, 4}, {4, 3},  {-4, 3}, {5, 0},
    {1, 5},  {-1, 5}, {5, 1},  {-5, 1}, {2, 5},  {-2, 5}, {5, 2},  {-5, 2}, {4, 4},  {-4, 4},
    {3, 5},  {-3, 5}, {5, 3},  {-5, 3}, {0, 6},  {6, 0},  {1, 6},  {-1, 6}, {6, 1},  {-6, 1},
    {2, 6},  {-2, 6}, {6, 2},  {-6, 2}, {4, 5},  {-4, 5}, {5, 4},  {-5, 4}, {3, 6},  {-3, 6},
    {6, 3},  {-6, 3}, {0, 7},  {7, 0},  {1, 7},  {-1, 7}, {5, 5},  {-5, 5}, {7, 1},  {-7, 1},
    {4, 6},  {-4, 6}, {6, 4},  {-6, 4}, {2, 7},  {-2, 7}, {7, 2},  {-7, 2}, {3, 7},  {-3, 7},
    {7, 3},  {-7, 3}, {5, 6},  {-5, 6}, {6, 5},  {-6, 5}, {8, 0},  {4, 7},  {-4, 7}, {7, 4},
    {-7, 4}, {8, 1},  {8, 2},  {6, 6},  {-6, 6}, {8, 3},  {5, 7},  {-5, 7}, {7, 5},  {-7, 5},
    {8, 4},  {6, 7},  {-6, 7}, {7, 6},  {-7, 6}, {8, 5},  {7, 7},  {-7, 7}, {8, 6},  {8, 7}};

constexpr int kLiterals = 256;
constexpr int kLengthSymbols = 24;
constexpr int kDistanceSymbols = 40;
constexpr int kMaxCacheBits = 11;

struct SubImages {
  long long bytes = 0;  // their pixels and their own tables
  uint32_t largestGroup = 0;
};

// Reads an entropy-coded sub-image of xsize x ysize pixels (a transform's data or the entropy
// image): its colour cache, its one group of five codes, and its pixels, which are counted and
// checked but not kept. Only literal pixels bring new values (a copy or a cache hit repeats an
// earlier pixel), so the largest group that the pixels name is the largest among the literals.
// A step that takes no bits is repeated unchanged to the end, so the reading stops there: its
// work is bounded by the bits of the data, whatever size the sub-image claims.
bool readSubImage(LosslessBits& bits, long long xsize, long long ysize, SubImages& out) {
  int cacheBits = 0;
  if (bits.read(1) == 1) {
    cacheBits = static_cast<int>(bits.read(4));
    if (cacheBits < 1 || cacheBits > kMaxCacheBits) return false;
  }
  PrefixCode green, red, blue, alpha, distance;
  const int greenAlphabet = kLiterals + kLengthSymbols + (cacheBits > 0 ? 1 << cacheBits : 0);
  if (!readPrefixCode(bits, greenAlphabet, green) || !readPrefixCode(bits, kLiterals, red) ||
      !readPrefixCode(bits, kLiterals, blue) || !readPrefixCode(bits, kLiterals, alpha) ||
      !readPrefixCode(bits, kDistanceSymbols, distance))
    return false;
  const long long total = xsize * ysize;
  out.bytes += total * 4 + groupBytes(cacheBits) + (cacheBits > 0 ? 4LL << cacheBits : 0);
  for (long long at = 0; at < total;) {
    const uint64_t before = bits.position();
    const int symbol = green.read(bits);
    if (symbol < kLiterals) {
      const auto group = static_cast<uint32_t>(red.read(bits) << 8 | symbol);
      blue.read(bits);
      alpha.read(bits);
      out.largestGroup = std::max(out.largestGroup, group);
      ++at;
    } else if (symbol < kLiterals + kLengthSymbols) {
      const long long length = prefixCodedValue(bits, symbol - kLiterals);
      const long long code = prefixCodedValue(bits, distance.read(bits));
      long long back = code - 120;
      if (code <= 120) {
        const auto& near = kNearDistances[code - 1];
        back = std::max(1LL, near[0] + near[1] * xsize);
      }
      if (back > at || length > total - at) return false;
      at += length;
    } else {
      ++at;
    }
    if (bits.overrun()) return false;
    if (bits.position() == before) break;
  }
  return true;
}

long long subsampled(long long size, int bits) { return (size + (1LL << bits) - 1) >> bits; }

// Reads a lossless image stream after its header (or a lossless alpha plane, which has none)
// as far as the entropy image, and estimates what the decoder allocates for it.
std::optional<LosslessCost> readImageStream(LosslessBits& bits, long long width, long long height) {
  SubImages sub;
  long long xsize = width;
  std::array<bool, 4> seen{};
  while (bits.read(1) == 1) {
    const uint32_t type = bits.read(2);
    if (seen[type]) return std::nullopt;  // each transform at most once
    seen[type] = true;
    if (type == 0 || type == 1) {  // predictor or cross-colour: a sub-image of block data
      const int blockBits = static_cast<int>(bits.read(3)) + 2;
      SubImages blocks;
      if (!readSubImage(bits, subsampled(xsize, blockBits), subsampled(height, blockBits), blocks))
        return std::nullopt;
      sub.bytes += blocks.bytes;
    } else if (type == 3) {  // colour indexing: a palette, then pixels packed by its size
      const int colours = static_cast<int>(bits.read(8)) + 1;
      SubImages palette;
      if (!readSubImage(bits, colours, 1, palette)) return std::nullopt;
      sub.bytes += palette.bytes;
      xsize = subsampled(xsize, colours <= 2 ? 3 : colours <= 4 ? 2 : colours <= 16 ? 1 : 0);
    }
    if (bits.overrun()) return std::nullopt;
  }
  LosslessCost cost;
  if (bits.read(1) == 1) {
    cost.cacheBits = static_cast<int>(bits.read(4));
    if (cost.cacheBits < 1 || cost.cacheBits > kMaxCacheBits) return std::nullopt;
  }
  cost.groups = 1;
  if (bits.read(1) == 1) {
    const int blockBits = static_cast<int>(bits.read(3)) + 2;
    SubImages entropy;
    if (!readSubImage(bits, subsampled(xsize, blockBits), subsampled(height, blockBits), entropy))
      return std::nullopt;
    // The decoder builds tables for at most every group up to the largest named.
    cost.groups = entropy.largestGroup + 1LL;
    sub.bytes += entropy.bytes;
  }
  if (bits.overrun()) return std::nullopt;
  cost.bytes = cost.groups * groupBytes(cost.cacheBits) + sub.bytes;
  return cost;
}

bool fitsPixels(long long width, long long height, long long maxPixels) {
  return width > 0 && height > 0 && width <= maxPixels && width * height <= maxPixels;
}

constexpr uint8_t kLosslessSignature = 0x2f;

// A lossless bitstream with its header: signature, 14-bit width and height less one, an
// alpha hint and a 3-bit version that must be 0.
std::optional<LosslessCost> losslessImageCost(const uint8_t* data, size_t size,
                                              long long maxPixels) {
  if (size < 5 || data[0] != kLosslessSignature) return std::nullopt;
  LosslessBits bits(data, size);
  bits.skip(8);
  const long long width = bits.read(14) + 1LL;
  const long long height = bits.read(14) + 1LL;
  bits.skip(1);
  if (bits.read(3) != 0 || !fitsPixels(width, height, maxPixels)) return std::nullopt;
  return readImageStream(bits, width, height);
}

// An alpha chunk: a byte of flags, whose low two bits say how the plane is compressed (1: as a
// lossless image stream of the image's size, with no header of its own), then the data.
std::optional<LosslessCost> alphaCost(const uint8_t* data, size_t size, long long width,
                                      long long height, long long maxPixels) {
  if (size < 1) return std::nullopt;
  if ((data[0] & 3) != 1) return LosslessCost{};
  if (!fitsPixels(width, height, maxPixels)) return std::nullopt;
  LosslessBits bits(data + 1, size - 1);
  return readImageStream(bits, width, height);
}

uint32_t littleEndian(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

bool isTag(const uint8_t* at, const char* tag) { return std::memcmp(at, tag, 4) == 0; }

// A lossy key frame starts with a 3-byte frame tag, a 3-byte start code and the 14-bit sizes.
bool lossyFrameSize(const uint8_t* data, size_t size, long long& width, long long& height) {
  if (size < 10 || data[3] != 0x9d || data[4] != 0x01 || data[5] != 0x2a) return false;
  width = littleEndian(data + 6, 2) & 0x3fff;
  height = littleEndian(data + 8, 2) & 0x3fff;
  return true;
}

const LosslessCost& costlier(const LosslessCost& a, const LosslessCost& b) {
  return b.bytes > a.bytes ? b : a;
}

// Walks the chunks from `at` up to the image's own chunk, where the decoder stops looking. Every
// alpha chunk before a lossy image is budgeted (the decoder takes one of them), and an animation
// (whose frames the still-image decoder refuses) costs nothing.
std::optional<LosslessCost> chunksCost(const uint8_t* data, size_t size, size_t at,
                                       long long maxPixels) {
  std::vector<std::pair<const uint8_t*, size_t>> alphas;
  bool animated = false;
  while (at <= size && size - at >= 8) {
    const uint8_t* tag = data + at;
    const uint64_t length = littleEndian(tag + 4, 4);
    const uint8_t* payload = tag + 8;
    const size_t available = static_cast<size_t>(std::min<uint64_t>(length, size - at - 8));
    if (isTag(tag, "VP8L")) return losslessImageCost(payload, available, maxPixels);
    if (isTag(tag, "VP8 ")) {
      if (alphas.empty()) return LosslessCost{};
      long long width = 0, height = 0;
      if (!lossyFrameSize(payload, available, width, height)) return std::nullopt;
      LosslessCost worst;
      for (const auto& [alpha, alphaSize] : alphas) {
        const auto cost = alphaCost(alpha, alphaSize, width, height, maxPixels);
        if (!cost) return std::nullopt;
        worst = costlier(worst, *cost);
      }
      return worst;
    }
    if (isTag(tag, "VP8X") && available >= 1 && (payload[0] & 0x02) != 0) animated = true;
    if (isTag(tag, "ALPH")) alphas.emplace_back(payload, available);
    if (length > size - at - 8) break;  // cut off
    at += 8 + static_cast<size_t>(length) + (length & 1);
    if (at > size) break;
  }
  if (animated) return LosslessCost{};
  return std::nullopt;
}

}  // namespace

std::optional<LosslessCost> losslessCost(const uint8_t* bytes, size_t size, long long maxPixels) {
  if (bytes == nullptr) return std::nullopt;
  if (size >= 12 && isTag(bytes, "RIFF") && isTag(bytes + 8, "WEBP")) {
    // The decoder reads no further than the container's own size says, when that is shorter.
    const uint64_t end = uint64_t{littleEndian(bytes + 4, 4)} + 8;
    return chunksCost(bytes, std::min<uint64_t>(end, size), 12, maxPixels);
  }
  // The decoder also takes bare bitstreams: lossless, alpha then lossy, or lossy.
  if (size >= 1 && bytes[0] == kLosslessSignature) return losslessImageCost(bytes, size, maxPixels);
  if (size >= 4 && isTag(bytes, "ALPH")) return chunksCost(bytes, size, 0, maxPixels);
  long long width = 0, height = 0;
  if (lossyFrameSize(bytes, size, width, height)) return LosslessCost{};
  return std::nullopt;
}

// What real files need: libwebp's encoder, at every quality and method, near-lossless and with
// alpha, gives a photograph up to 14 groups (a few hundred KB of tables), and names at most
// 2,600 groups in any image (it caps its entropy image at that many blocks): 54 MB even at the
// largest colour cache. The most varied content there is (mosaics of small tiles, each of its own
// random colours) makes it use every block it has: 87 groups at 256 x 256, 1,024 at 1024 x 1024
// and 2048 x 2048, some 17 MB with its 10-bit cache; about 16 bytes a pixel at most.
// So the budget is 64 bytes a pixel of the limit, at least 8 MiB for small images (six times the
// worst small icon) and at most 64 MiB: above every file the encoder makes, and low enough that
// the largest lossless image allowed (whose pixels the decoder holds twice, 400 MiB) stays under
// half a gigabyte with its tables, while building them costs a few hundredths of a second.
constexpr long long kBudgetBytesPerPixel = 64;
constexpr long long kSmallestBudget = 8LL << 20;
constexpr long long kLargestBudget = 64LL << 20;

long long budgetFor(long long maxPixels) {
  if (maxPixels >= kLargestBudget / kBudgetBytesPerPixel) return kLargestBudget;
  return std::max(kSmallestBudget, maxPixels * kBudgetBytesPerPixel);
}

bool withinBudget(const uint8_t* bytes, size_t size, long long maxPixels) {
  const auto cost = losslessCost(bytes, size, maxPixels);
  return cost && cost->bytes <= budgetFor(maxPixels);
}

}  // namespace WebPBudget
