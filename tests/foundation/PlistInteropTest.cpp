// Our plist reader and writers against Python's plistlib, an independent implementation of both
// formats: plistlib writes each case (plist_interop.py), we read it and write it back in both
// formats, and plistlib reads what we wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "platform/foundation/Plist.h"
#include "support/TemporaryFolder.h"

namespace {
using namespace std::string_literals;

// Debian's python3 (scripts/install-deps.sh installs it).
constexpr const char* kPython = "/usr/bin/python3";

// Runs the interop script with a command and a folder; its exit status, with what it printed.
int runScript(const std::string& command, const std::string& folder, std::string& output) {
  const std::string script =
      std::string(TOVIRA_RESOURCES) + "/../tests/foundation/plist_interop.py";
  const std::string line =
      std::string(kPython) + " '" + script + "' " + command + " '" + folder + "' 2>&1";
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  return pclose(pipe);
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const void* data, size_t size) {
  std::ofstream(path, std::ios::binary)
      .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Value dates(bool wholeSeconds) {
  // 2106-02-07 06:29:15.000007, 2242-03-16 12:56:32.999999, 0001-01-01 00:00:00.5 and
  // 9999-12-31 23:59:59.5 in seconds since 2001, as plistlib writes them; in XML, the second each
  // falls in.
  const double since2001[] = {0x1.8b606f760000fp+31, 0x1.c5b03780fffffp+32, -63113903999.5,
                              252423993599.5};
  Value out = Value::array();
  for (double d : since2001)
    out.append(Value::dateSinceReferenceDate(wholeSeconds ? std::floor(d) : d));
  return out;
}
}  // namespace

TEST(PlistInterop, WhatPlistlibWritesWeReadAndWhatWeWriteItReadsAsTheSameValue) {
  ASSERT_TRUE(std::filesystem::exists(kPython))
      << kPython << " is missing: scripts/install-deps.sh installs it (Debian package python3)";
  const TemporaryFolder folder("plist-interop");
  ASSERT_FALSE(folder.path().empty());
  std::string output;
  ASSERT_EQ(runScript("write", folder.path(), output), 0) << output;

  const auto max = std::numeric_limits<unsigned long long>::max();
  const Value integers =
      Value::array({Value(max), Value(1ULL << 63), Value(std::numeric_limits<long long>::max()),
                    Value(-1), Value(std::numeric_limits<long long>::min()), Value(0), Value(255),
                    Value(1LL << 32), Value::dict({{"u", Value(max)}, {"s", Value(-5)}})});
  const Value unicode = Value::dict({{"text", "中文 😀 é"}, {"list", Value::array({1, "\t", ""})}});
  const struct {
    const char* name;
    Value expected;
    bool xml;  // false when XML cannot carry the value, and toXML declines it
  } cases[] = {
      {"integers.bin", integers, true},
      {"integers.xml", integers, true},
      {"nul.bin", Value::array({"a\0b"s, Value::dict({{"k\0"s, "v"}})}), false},
      {"control.bin", Value::array({"\x01"}), false},
      {"nonchar.bin", Value::dict({{"k", "\xEF\xBF\xBE"}}), false},
      {"nonchar-key.bin", Value::dict({{"\xEF\xBF\xBF", 1}}), false},
      {"cr.bin", Value::array({"a\rb", "c\r\nd", "\r"}), true},
      {"line-ends.xml", Value::array({"a\nb\nc\n\nd", "\r", "e\nf"}), true},
      {"utf16le.xml", unicode, true},
      {"utf16be.xml", unicode, true},
      {"dates.bin", dates(false), true},
      {"dates.xml", dates(true), true},
  };
  const auto out = std::filesystem::path(folder.path()) / "out";
  std::filesystem::create_directory(out);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = Plist::parse(readFile(std::filesystem::path(folder.path()) / c.name));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, c.expected) << read->description();
    const auto binary = Plist::toBinary(*read);
    writeFile(out / (std::string(c.name) + ".bin"), binary.data(), binary.size());
    const std::string xml = Plist::toXML(*read);
    EXPECT_EQ(xml.empty(), !c.xml);
    if (!xml.empty()) writeFile(out / (std::string(c.name) + ".xml"), xml.data(), xml.size());
  }
  output.clear();
  EXPECT_EQ(runScript("check", folder.path(), output), 0) << output;
}
