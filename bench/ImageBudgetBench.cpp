// What hostile images may cost against what a real photo costs. Each input is decoded in a child
// process of its own, so that its CPU time and peak memory are its own (as wait4 reports them),
// whatever the benchmark's other threads do: the crafted JPEGs of bench/images (8192 x 8192 and
// 1024 x 1024 files of many empty or arithmetic-coded scans), an 8 KB PNG of 8192 x 8192 pixels,
// and PNGs whose header is followed by hundreds of compressed text chunks of 7.9 MB each (made
// here, up to 7.7 MB on disk, under the download cap). The baseline is a 12-megapixel progressive
// photo made here with libjpeg. The worst input's CPU time must stay within six times the photo's
// (about a second where the photo takes a sixth of one) and its peak memory within 512 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/uikit/UIImage.h"

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

struct Input {
  std::string name;
  std::vector<uint8_t> bytes;
};

struct Cost {
  std::string name;
  double cpuSeconds = -1;
  double peakMegabytes = -1;
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

std::vector<Input> hostileInputs() {
  std::vector<Input> inputs;
  const std::filesystem::path folder = std::filesystem::path(TOVIRA_BENCH_DATA) / "images";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    inputs.push_back({path.filename().string(), {std::istreambuf_iterator<char>(in), {}}});
  }
  inputs.push_back({"itxt-a-200x7.9MB.png (made here)", textBomb("iTXt", 200)});
  inputs.push_back({"ztxt-a-400x7.9MB.png (made here)", textBomb("zTXt", 400)});
  inputs.push_back({"ztxt-a-1000x7.9MB.png (made here)", textBomb("zTXt", 1000)});
  return inputs;
}

// Decodes in a child process and reads its own CPU time and peak memory.
Cost decodeAlone(const Input& input) {
  Cost cost{input.name};
  const pid_t child = fork();
  if (child < 0) return cost;
  if (child == 0) _exit(UIImage::imageWithData(input.bytes) ? 0 : 3);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)) return cost;
  cost.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  cost.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  cost.decoded = WEXITSTATUS(status) == 0;
  return cost;
}

void BM_HostileImages(benchmark::State& state) {
  const auto inputs = hostileInputs();
  const Input photo{"12-megapixel progressive photo", progressivePhoto()};
  for (auto _ : state) {
    gHostile.clear();
    for (const auto& input : inputs) gHostile.push_back(decodeAlone(input));
    gPhoto = decodeAlone(photo);
  }
  if (!gPhoto.decoded) state.SkipWithError("the 12-megapixel photo did not decode");
  for (const auto& cost : gHostile)
    if (cost.cpuSeconds < 0) state.SkipWithError("a decoding child did not end normally");
}

BENCHMARK(BM_HostileImages)->Unit(benchmark::kMillisecond)->Iterations(1);

const bool kRegistered = registerBenchReport([](const BenchMedians&) {
  if (gHostile.empty() || !gPhoto.decoded) return;
  double worstCpu = 0, worstPeak = 0;
  for (const auto& cost : gHostile) {
    std::printf("  %-44s %6.3f s CPU %7.1f MB peak  %s\n", cost.name.c_str(), cost.cpuSeconds,
                cost.peakMegabytes, cost.decoded ? "decoded" : "refused");
    worstCpu = std::max(worstCpu, cost.cpuSeconds);
    worstPeak = std::max(worstPeak, cost.peakMegabytes);
  }
  std::printf("  %-44s %6.3f s CPU %7.1f MB peak  decoded\n", gPhoto.name.c_str(),
              gPhoto.cpuSeconds, gPhoto.peakMegabytes);
  printBenchVerdict("hostile images, worst CPU / a 12 MP photo's",
                    worstCpu / std::max(gPhoto.cpuSeconds, 1e-3), BenchBound::AtMost, 6.0);
  printBenchVerdict("hostile images, worst peak memory / 512 MB", worstPeak / 512.0,
                    BenchBound::AtMost, 1.0);
});

}  // namespace
