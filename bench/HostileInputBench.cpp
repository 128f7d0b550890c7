// What hostile input may cost against what a real photo costs. Each input is read in a process of
// its own (tovira-bench runs itself again on one file), so that its CPU time and peak memory are
// its own, as wait4 reports them, whatever the benchmark's other threads do:
// - images: the crafted JPEGs and PNG of bench/images, the crafted GIF, WebP, TIFF and BMP
//   files of bench/hostile/image (those that cost too much under the sanitizers to be fuzzing
//   seeds) and fuzz/corpus/image (a name with ".icon." is decoded as the image cache decodes an
//   icon in the background, ".iconnow." as it decodes a small cached icon on the main thread),
//   and PNGs whose header is followed by hundreds of compressed text chunks of 7.9 MB each (made
//   here);
// - property lists: fuzz/corpus/plist, and a flat binary array of 200,000 small items (made here);
// - keyed archives: bench/hostile/keyed_unarchiver and fuzz/corpus/keyed_unarchiver (a name
//   starting "nib-" is made into objects as an interface file is).
// The baseline is a 12-megapixel progressive photo made here with libjpeg. For each kind, the
// worst input's CPU time must stay within six times the photo's (about a second where the photo
// takes a sixth of one) and its peak memory within 512 MB.
// TOVIRA_BENCH_HOSTILE_DIR may name a further folder with a manifest.tsv (file, how it is read:
// img, icon, iconnow, plist, archive or nib, and a note), as the hostile-input generators write;
// its files named "real-*" must decode, and the others count with their kind.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/ImageCache.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIResponder.h"

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

// How an input is read, as the app reads such bytes.
enum class Reader { Image, Icon, IconNow, Plist, Archive, Nib };

constexpr struct {
  Reader reader;
  const char* name;
} kReaders[] = {{Reader::Image, "img"},       {Reader::Icon, "icon"},
                {Reader::IconNow, "iconnow"}, {Reader::Plist, "plist"},
                {Reader::Archive, "archive"}, {Reader::Nib, "nib"}};

const char* readerName(Reader reader) {
  for (const auto& known : kReaders)
    if (known.reader == reader) return known.name;
  return "?";
}

bool readerNamed(const std::string& name, Reader& reader) {
  for (const auto& known : kReaders)
    if (name == known.name) {
      reader = known.reader;
      return true;
    }
  return false;
}

enum class Kind { Image, Plist, Archive };

Kind kindOf(Reader reader) {
  switch (reader) {
    case Reader::Plist:
      return Kind::Plist;
    case Reader::Archive:
    case Reader::Nib:
      return Kind::Archive;
    default:
      return Kind::Image;
  }
}

struct Input {
  std::string name;
  std::string path;
  Reader reader;
  bool mustDecode = false;  // a real file, not a crafted one
};

struct Cost {
  Input input;
  double cpuSeconds = -1;
  double peakMegabytes = -1;
  bool ended = false;  // answered read or refused, rather than crashing or being stopped
  bool decoded = false;
};

std::vector<Cost> gHostile;
Cost gPhoto;

void appendChunk(std::vector<uint8_t>& png, const char* kind, const std::vector<uint8_t>& data) {
  const auto put32 = [&png](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<uint8_t>(v >> shift));
  };
  put32(static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(kind, kind + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  put32(static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(raw.size());
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, raw.data(), raw.size(), 9);
  out.resize(size);
  return out;
}

// An 8 x 8 RGBA PNG with `count` text chunks of `kind` (zTXt or iTXt) before its pixels, each
// inflating to 7.9 MB of "a".
std::vector<uint8_t> textBomb(const char* kind, int count) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  appendChunk(png, "IHDR", {0, 0, 0, 8, 0, 0, 0, 8, 8, 6, 0, 0, 0});
  const auto text = deflated(std::vector<uint8_t>(7'900'000, 'a'));
  std::vector<uint8_t> chunk;
  if (std::string(kind) == "zTXt")
    chunk = {'k', 0, 0};
  else
    chunk = {'k', 'e', 'y', 0, 1, 0, 0, 0};
  chunk.insert(chunk.end(), text.begin(), text.end());
  for (int i = 0; i < count; ++i) appendChunk(png, kind, chunk);
  std::vector<uint8_t> rows;
  for (int y = 0; y < 8; ++y) {
    rows.push_back(0);
    for (int x = 0; x < 8; ++x)
      rows.insert(rows.end(),
                  {static_cast<uint8_t>(30 * x), static_cast<uint8_t>(30 * y), 200, 255});
  }
  appendChunk(png, "IDAT", deflated(rows));
  appendChunk(png, "IEND", {});
  return png;
}

// A 4000 x 3000 progressive JPEG of gradients and noise, as a camera's photo is coded.
std::vector<uint8_t> progressivePhoto() {
  constexpr int kWidth = 4000, kHeight = 3000;
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = kWidth;
  info.image_height = kHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(kWidth * 3);
  uint32_t noise = 12345;
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int jitter = static_cast<int>((noise >> 16) % 24);
      row[3 * x] = static_cast<uint8_t>((x * 255 / kWidth + jitter) & 0xFF);
      row[3 * x + 1] = static_cast<uint8_t>((y * 255 / kHeight + jitter) & 0xFF);
      row[3 * x + 2] = static_cast<uint8_t>(((x + y) / 32 * 37 + jitter) & 0xFF);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return out;
}

// A binary property list of one array of `count` distinct short strings ("item0", "item1", ...),
// written here byte by byte: a list as flat and plain as another app may hand over.
std::vector<uint8_t> flatArrayPlist(uint32_t count) {
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  const auto putBig = [&out](uint64_t v, int width) {
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
      out.push_back(static_cast<uint8_t>(v >> shift));
  };
  std::vector<uint64_t> offsets;
  offsets.push_back(out.size());
  out.push_back(0xAF);  // an array whose count follows as a 4-byte integer
  out.push_back(0x12);
  putBig(count, 4);
  for (uint32_t i = 1; i <= count; ++i) putBig(i, 4);
  for (uint32_t i = 0; i < count; ++i) {
    offsets.push_back(out.size());
    const std::string text = "item" + std::to_string(i);
    out.push_back(static_cast<uint8_t>(0x50 | text.size()));  // ASCII, at most 14 characters
    out.insert(out.end(), text.begin(), text.end());
  }
  const uint64_t table = out.size();
  for (uint64_t offset : offsets) putBig(offset, 4);
  out.insert(out.end(), 6, 0);
  out.push_back(4);  // offset size
  out.push_back(4);  // reference size
  putBig(offsets.size(), 8);
  putBig(0, 8);  // the top object
  putBig(table, 8);
  return out;
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

void addFolder(std::vector<Input>& inputs, const std::filesystem::path& folder, Reader reader) {
  for (const auto& path : filesIn(folder)) {
    const std::string name = path.filename().string();
    Reader how = reader;
    if (reader == Reader::Image && name.find(".iconnow.") != std::string::npos)
      how = Reader::IconNow;
    else if (reader == Reader::Image && name.find(".icon.") != std::string::npos)
      how = Reader::Icon;
    else if (reader == Reader::Archive && name.rfind("nib-", 0) == 0)
      how = Reader::Nib;
    inputs.push_back({name, path.string(), how});
  }
}

// The files of a generator's manifest: "file<TAB>how<TAB>note" lines.
void addManifest(std::vector<Input>& inputs, const std::filesystem::path& folder) {
  std::ifstream manifest(folder / "manifest.tsv");
  std::string line;
  while (std::getline(manifest, line)) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string file = line.substr(0, tab);
    const std::string how = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    Reader reader{};
    if (!readerNamed(how, reader)) continue;
    const bool known = std::any_of(inputs.begin(), inputs.end(),
                                   [&file](const Input& input) { return input.name == file; });
    if (known) continue;  // already read from the folders above
    inputs.push_back({file, (folder / file).string(), reader, file.rfind("real-", 0) == 0});
  }
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// The inputs made here are written to `scratch` once, so that every child only reads a file.
std::vector<Input> hostileInputs(const std::filesystem::path& scratch) {
  const std::filesystem::path source(TOVIRA_SOURCE_DIR);
  const std::filesystem::path hostile = source / "bench" / "hostile";
  const std::filesystem::path corpus = source / "fuzz" / "corpus";
  std::vector<Input> inputs;
  addFolder(inputs, source / "bench" / "images", Reader::Image);
  addFolder(inputs, hostile / "image", Reader::Image);
  addFolder(inputs, corpus / "image", Reader::Image);
  const struct {
    const char* name;
    const char* kind;
    int count;
  } bombs[] = {{"itxt-a-200x7.9MB.png", "iTXt", 200},
               {"ztxt-a-400x7.9MB.png", "zTXt", 400},
               {"ztxt-a-1000x7.9MB.png", "zTXt", 1000}};
  for (const auto& bomb : bombs) {
    writeFile(scratch / bomb.name, textBomb(bomb.kind, bomb.count));
    inputs.push_back(
        {std::string(bomb.name) + " (made here)", (scratch / bomb.name).string(), Reader::Image});
  }
  addFolder(inputs, corpus / "plist", Reader::Plist);
  writeFile(scratch / "flat-array-200000.bplist", flatArrayPlist(200000));
  inputs.push_back({"flat-array-200000.bplist (made here)",
                    (scratch / "flat-array-200000.bplist").string(), Reader::Plist});
  addFolder(inputs, hostile / "keyed_unarchiver", Reader::Archive);
  addFolder(inputs, corpus / "keyed_unarchiver", Reader::Archive);
  if (const char* extra = std::getenv("TOVIRA_BENCH_HOSTILE_DIR"); extra && *extra)
    addManifest(inputs, extra);
  return inputs;
}

// Runs tovira-bench again to read one file as `reader` reads it, and takes that process's own
// CPU time and peak memory.
Cost readAlone(const Input& input) {
  Cost cost{input};
  const pid_t child = fork();
  if (child < 0) return cost;
  if (child == 0) {
    // A runaway input is stopped rather than left to take the machine: past a minute of CPU or
    // 4 GB of address space the child dies, and the case fails.
    const rlimit cpu{60, 60}, memory{4ULL << 30, 4ULL << 30};
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_AS, &memory);
    const char* how = readerName(input.reader);
    execl("/proc/self/exe", "tovira-bench", "--read-one", how, input.path.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return cost;
  cost.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  cost.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  cost.ended = WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 3);
  cost.decoded = cost.ended && WEXITSTATUS(status) == 0;
  return cost;
}

void BM_HostileInput(benchmark::State& state) {
  const std::filesystem::path scratch = Sandbox::makeTemporaryDirectory("tovira-bench-hostile");
  const auto inputs = hostileInputs(scratch);
  writeFile(scratch / "photo-12mp.jpg", progressivePhoto());
  const Input photo{"12-megapixel progressive photo", (scratch / "photo-12mp.jpg").string(),
                    Reader::Image, true};
  for (auto _ : state) {
    gHostile.clear();
    for (const auto& input : inputs) gHostile.push_back(readAlone(input));
    gPhoto = readAlone(photo);
  }
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  if (!gPhoto.decoded) state.SkipWithError("the 12-megapixel photo did not decode");
  for (const auto& cost : gHostile) {
    if (!cost.ended) state.SkipWithError("a reading child crashed or was stopped");
    if (cost.input.mustDecode && !cost.decoded) state.SkipWithError("a real file did not decode");
  }
}

BENCHMARK(BM_HostileInput)->Unit(benchmark::kMillisecond)->Iterations(1);

const bool kRegistered = registerBenchReport([](const BenchMedians&) {
  if (gHostile.empty() || !gPhoto.decoded) return;
  const struct {
    Kind kind;
    const char* label;
  } kinds[] = {{Kind::Image, "hostile images"},
               {Kind::Plist, "hostile property lists"},
               {Kind::Archive, "hostile keyed archives"}};
  for (const auto& kind : kinds) {
    const Cost* worstCpu = nullptr;
    const Cost* worstPeak = nullptr;
    for (const auto& cost : gHostile) {
      if (kindOf(cost.input.reader) != kind.kind) continue;
      std::printf("  %-60s %-7s %7.3f s CPU %7.1f MB peak  %s\n", cost.input.name.c_str(),
                  readerName(cost.input.reader), cost.cpuSeconds, cost.peakMegabytes,
                  cost.decoded ? "read"
                  : cost.ended ? "refused"
                               : "CRASHED or stopped");
      if (cost.input.mustDecode) continue;  // a real file is no hostile input
      if (!worstCpu || cost.cpuSeconds > worstCpu->cpuSeconds) worstCpu = &cost;
      if (!worstPeak || cost.peakMegabytes > worstPeak->peakMegabytes) worstPeak = &cost;
    }
    if (!worstCpu) continue;
    std::printf("  %-60s %-7s %7.3f s CPU %7.1f MB peak  read\n", gPhoto.input.name.c_str(), "img",
                gPhoto.cpuSeconds, gPhoto.peakMegabytes);
    printBenchVerdict((std::string(kind.label) + ", worst CPU / a 12 MP photo's").c_str(),
                      worstCpu->cpuSeconds / std::max(gPhoto.cpuSeconds, 1e-3), BenchBound::AtMost,
                      6.0, worstCpu->input.name);
    printBenchVerdict((std::string(kind.label) + ", worst peak memory / 512 MB").c_str(),
                      worstPeak->peakMegabytes / 512.0, BenchBound::AtMost, 1.0,
                      worstPeak->input.name);
  }
});

}  // namespace

// The child's side of readAlone: reads the file as `how` says and answers 0 when it was read,
// 3 when it was refused, 2 when it could not be read at all.
int benchReadOne(const char* how, const char* path) {
  Reader reader{};
  if (!readerNamed(how, reader)) return 2;
  std::ifstream in(path, std::ios::binary);
  if (!in) return 2;
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  bool read = false;
  switch (reader) {
    case Reader::Image:
      read = UIImage::imageWithData(bytes) != nullptr;
      break;
    case Reader::Icon:
      read = UIImage::imageWithData(bytes, ImageCache::kIconMaxPixels, 1.0) != nullptr;
      break;
    case Reader::IconNow:
      read = UIImage::imageWithData(bytes, ImageCache::kShownAtOncePixels, 1.0, false) != nullptr;
      break;
    case Reader::Plist:
      read = Plist::parse(bytes).has_value();
      break;
    case Reader::Archive:
      read = NSKeyedUnarchiver::unarchiveObjectWithData(bytes).has_value();
      break;
    case Reader::Nib:
      registerUIKitClasses();  // as the app does at start, so that the views can be made
      read = NSKeyedUnarchiver::instantiateObjectWithData(bytes) != nullptr;
      break;
  }
  return read ? 0 : 3;
}
