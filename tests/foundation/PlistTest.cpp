#include <gtest/gtest.h>
#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/PlistFormat.h"

namespace {
// A binary plist of `levels` arrays, each holding the next, around one empty array.
std::vector<uint8_t> nestedBinaryPlist(uint32_t levels) {
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  auto be = [&](uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  std::vector<uint64_t> offsets;
  for (uint32_t i = 0; i < levels; ++i) {
    offsets.push_back(out.size());
    out.push_back(0xA1);  // an array of one member
    be(i + 1, 4);
  }
  offsets.push_back(out.size());
  out.push_back(0xA0);  // an empty array
  uint64_t table = out.size();
  for (uint64_t o : offsets) be(o, 8);
  out.insert(out.end(), 6, 0);
  out.push_back(8);  // offset size
  out.push_back(4);  // reference size
  be(offsets.size(), 8);
  be(0, 8);  // top object
  be(table, 8);
  return out;
}

// A binary plist of the given objects (raw bytes each), the first one on top, with one-byte
// offsets and references.
std::vector<uint8_t> binaryPlist(const std::vector<std::vector<uint8_t>>& objects) {
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  std::vector<uint8_t> offsets;
  for (const auto& object : objects) {
    offsets.push_back(static_cast<uint8_t>(out.size()));
    out.insert(out.end(), object.begin(), object.end());
  }
  const auto table = static_cast<uint8_t>(out.size());
  out.insert(out.end(), offsets.begin(), offsets.end());
  out.insert(out.end(), 6, 0);
  out.push_back(1);  // offset size
  out.push_back(1);  // reference size
  const uint8_t counts[] = {0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(objects.size()),
                            0, 0, 0, 0, 0, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, table};
  out.insert(out.end(), std::begin(counts), std::end(counts));
  return out;
}

Value sample() {
  return Value::dict({{"name", "帕利 😀"},
                      {"count", 42},
                      {"negative", -7},
                      {"big", 1LL << 40},
                      {"ratio", 9.5},
                      {"yes", Value::boolean(true)},
                      {"no", Value::boolean(false)},
                      {"bytes", Value::data({0, 1, 2, 255})},
                      {"list", Value::array({1, "two", Value::dict({{"k", "v"}})})},
                      {"empty", Value::dict()}});
}
}  // namespace

TEST(Plist, BinaryAndXmlRoundTripsKeepEveryKindOfValue) {
  auto bytes = Plist::toBinary(sample());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
  std::string xml = Plist::toXML(sample());
  EXPECT_NE(xml.find("<key>name</key>"), std::string::npos);
  for (const auto& back : {Plist::parse(bytes), Plist::parse(xml)}) {
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, sample());
    EXPECT_TRUE((*back)["count"].isInteger());
    EXPECT_TRUE((*back)["yes"].isBool());
  }
}

TEST(Plist, InvalidUtf8IsReplacedWhenWrittenAndRead) {
  Value v = Value::dict({{std::string("k\xff"), std::string("v\xc3")}});
  auto back = Plist::parse(Plist::toBinary(v));
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)["k\xEF\xBF\xBD"].str(), "v\xEF\xBF\xBD");
  EXPECT_TRUE(Plist::parse(Plist::toXML(v)));
}

TEST(Plist, NullsAreLeftOutAndAbsentWritesNothing) {
  Value v = Value::dict({{"a", 1}});
  v.append(Value());  // not an array: ignored
  Value list = Value::array({1, Value::null(), 2});
  EXPECT_EQ(Plist::parse(Plist::toBinary(list))->count(), 2u);
  EXPECT_TRUE(Plist::toBinary(Value()).empty());
  EXPECT_EQ(Plist::toXML(Value::null()), "");
}

TEST(Plist, GarbageDeeplyNestedOrBrokenBinaryInputIsRefusedWithoutCrashing) {
  EXPECT_FALSE(Plist::parse(std::vector<uint8_t>{}));
  for (const std::string& garbage :
       {std::string("not a plist"), std::string("bplist00\x01\x02garbage", 17),
        std::string("<plist><dict><key>a</key>")})
    EXPECT_FALSE(Plist::parse(garbage)) << garbage;
  auto shallow = Plist::parse(nestedBinaryPlist(20));
  ASSERT_TRUE(shallow);
  EXPECT_EQ((*shallow)[0][0][0].count(), 1u);
  // A hundred thousand levels overflowed the stack of the binary reader.
  auto deep = nestedBinaryPlist(100000);
  EXPECT_FALSE(Plist::parse(deep));
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(deep));
  auto cut = nestedBinaryPlist(3);
  cut[cut.size() - 1] = 0xFF;  // the offset table lies past the end
  EXPECT_FALSE(Plist::parse(cut));
  auto loop = nestedBinaryPlist(3);
  loop[8 + 5 * 2 + 4] = 0;  // the last array (object 2) refers back to the first
  EXPECT_FALSE(Plist::parse(loop));
}

TEST(Plist, BinaryStringsHoldingNulReadAndWriteWhole) {
  using namespace std::string_literals;
  const struct {
    std::vector<std::vector<uint8_t>> objects;
    Value expected;
  } cases[] = {
      {{{0x53, 'a', 0, 'b'}}, Value("a\0b"s)},                   // one byte per character
      {{{0x62, 0x00, 'a', 0x00, 0x00}}, Value("a\0"s)},          // UTF-16
      {{{0xA1, 1}, {0x61, 0x00, 0x00}}, Value::array({"\0"s})},  // inside an array
      {{{0xD1, 1, 2}, {0x61, 0x00, 0x00}, {0x51, 'v'}}, Value::dict({{"\0"s, "v"}})},  // a key
      {{{0xD1, 1, 2}, {0x52, 'k', 0}, {0x51, 'v'}}, Value::dict({{"k\0"s, "v"}})},
      {{{0x62, 0x4E, 0x2D, 0x00, 0x00}}, Value("中\0"s)},
  };
  for (const auto& c : cases) {
    const auto read = Plist::parse(binaryPlist(c.objects));
    ASSERT_TRUE(read) << c.expected.description();
    EXPECT_EQ(*read, c.expected);
    EXPECT_EQ(*Plist::parse(Plist::toBinary(*read)), c.expected);
  }
  // A length that runs past the objects is still refused.
  EXPECT_FALSE(Plist::parse(binaryPlist({{0x6F, 0x10, 0x10, 0x00, 0x00}})));
  auto clean = Plist::parse(binaryPlist({{0xD1, 1, 2}, {0x62, 0x00, 'k', 0x00, 'y'}, {0x51, 'v'}}));
  ASSERT_TRUE(clean);
  EXPECT_EQ((*clean)["ky"].str(), "v");
  EXPECT_EQ(Plist::parse(binaryPlist({{0x53, 'a', 'b', 'c'}}))->str(), "abc");
}

TEST(Plist, DatesRoundTripAsDatesOnEitherSideOf2001) {
  // 1999-12-31 23:59:59 and 2026-12-07 05:58:31, each with a quarter second.
  for (double seconds : {946684799.25, 1796623111.25, 978307200.0}) {
    SCOPED_TRACE(seconds);
    const Value dict = Value::dict({{"at", Value::date(seconds)}});
    const auto binary = Plist::parse(Plist::toBinary(dict));
    ASSERT_TRUE(binary);
    EXPECT_TRUE((*binary)["at"].isDate());
    EXPECT_DOUBLE_EQ((*binary)["at"].dateValue(), seconds);
    // XML dates carry the whole second the moment falls in.
    const auto xml = Plist::parse(Plist::toXML(dict));
    ASSERT_TRUE(xml);
    EXPECT_TRUE((*xml)["at"].isDate());
    EXPECT_DOUBLE_EQ((*xml)["at"].dateValue(), std::floor(seconds));
  }
  EXPECT_NE(Plist::toXML(Value::date(946684799)).find("<date>1999-12-31T23:59:59Z</date>"),
            std::string::npos);
  // 1811 is a plist date like any other.
  EXPECT_EQ(*Plist::parse(Plist::toBinary(Value::date(-5e9))), Value::date(-5e9));
}

namespace {
std::vector<uint8_t> corpusFile(const std::string& name) {
  std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string nestedXml(int levels, const std::string& inner = "<array/>") {
  std::string out = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < levels; ++i) out += "<array>";
  out += inner;
  for (int i = 0; i < levels; ++i) out += "</array>";
  return out + "</plist>";
}
}  // namespace

TEST(Plist, SharedReferencesAreReadOnceAndBounded) {
  // Crafted files whose references expand to 2^20 and more values or gigabytes of text: refused.
  for (const char* name :
       {"plist-bin-100k-refs-to-one-64KB-string.bplist",
        "plist-bin-10k-refs-to-one-16KB-string.bplist",
        "plist-bin-dict-100k-refs-to-one-64KB-data.bplist",
        "plist-bin-nested-arrays-2-pow-20.bplist", "plist-bin-nested-arrays-2-pow-24.bplist",
        "plist-bin-nested-arrays-2-pow-30.bplist", "plist-bin-array-count-2-pow-60.bplist",
        "plist-bin-data-length-2-pow-60.bplist"}) {
    const auto bytes = corpusFile(std::string("plist/") + name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_FALSE(Plist::parse(bytes)) << name;
  }
  // 2^16 leaves from 18 objects are within bounds: read, and written back as small as they came.
  const auto dag = corpusFile("plist/plist-bin-nested-arrays-2-pow-16.bplist");
  const auto read = Plist::parse(dag);
  ASSERT_TRUE(read);
  EXPECT_EQ((*read)[0][1][0][1][0][1][0][1][0][1][0][1][0][1][0].count(), 2u);
  EXPECT_LT(Plist::toBinary(*read).size(), 4 * dag.size());

  // Shared text and data, built here: read once however often they are referred to, and within
  // the budget while the expanded size is.
  const std::string text(64 * 1024, 'x');
  for (const Value& shared : {Value(text), Value::data(Value::Data(64 * 1024, 7))}) {
    Value::Array list(500, shared);
    const auto bytes = Plist::toBinary(Value(list));
    EXPECT_LT(bytes.size(), 70u * 1024);  // written once
    const auto back = Plist::parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->count(), 500u);
    EXPECT_EQ((*back)[499], shared);
    Value::Array tooMany(1100, shared);  // 70 MB expanded
    EXPECT_FALSE(Plist::parse(Plist::toBinary(Value(tooMany))));
  }
  // More values than the budget, each small and distinct, are refused too; a flat array of
  // 200,000 reads.
  Value::Array flat;
  for (int i = 0; i < 200000; ++i) flat.push_back(Value(i));
  const auto flatBack = Plist::parse(Plist::toBinary(Value(flat)));
  ASSERT_TRUE(flatBack);
  EXPECT_EQ((*flatBack)[199999].intValue(), 199999);
  Value::Array wide(1100000, Value(1));
  EXPECT_FALSE(Plist::parse(Plist::toBinary(Value(wide))));
}

TEST(Plist, NestingIsBoundedInBothFormatsWithoutRecursion) {
  const struct {
    const char* name;
    bool reads;
  } files[] = {
      {"plist-bin-nesting-512.bplist", true},           {"plist-bin-nesting-513.bplist", false},
      {"plist-xml-nesting-10000.plist", false},         {"plist-xml-nesting-150000.plist", false},
      {"plist-xml-nesting-200000.plist", false},        {"plist-xml-nesting-1000000.plist", false},
      {"plist-xml-200000-unclosed-arrays.plist", false}};
  for (const auto& file : files) {
    const auto bytes = corpusFile(std::string("plist/") + file.name);
    ASSERT_FALSE(bytes.empty()) << file.name;
    EXPECT_EQ(Plist::parse(bytes).has_value(), file.reads) << file.name;
  }
  // The top value and 512 levels below it read in either format; one more level does not.
  for (int levels : {512, 513}) {
    const bool reads = levels == 512;
    const auto binary = Plist::parse(nestedBinaryPlist(static_cast<uint32_t>(levels)));
    EXPECT_EQ(binary.has_value(), reads) << levels;
    const auto xml = Plist::parse(nestedXml(levels));
    EXPECT_EQ(xml.has_value(), reads) << levels;
    if (binary && xml) {
      EXPECT_EQ(*binary, *xml);
    }
    EXPECT_EQ(Plist::parse(nestedXml(levels, "<integer>1</integer>")).has_value(), reads);
  }
  // An object read once must fit at every depth it is referred to from: a chain of 300 arrays,
  // referred to from the top and again from the end of another chain of 300.
  plist_format::BinaryWriter writer;
  const uint64_t top = writer.reserve();
  uint64_t first = writer.addArray({});
  for (int i = 0; i < 299; ++i) first = writer.addArray({first});
  uint64_t second = writer.addArray({first});
  for (int i = 0; i < 300; ++i) second = writer.addArray({second});
  writer.setArray(top, {first, second});
  EXPECT_FALSE(Plist::parse(writer.finish(top)));
}

TEST(Plist, DatesFromYear1To9999RoundTripExactlyInBothFormats) {
  const struct {
    double seconds;  // since 1970
    const char* xml;
  } dates[] = {
      {-62135596800.0, "0001-01-01T00:00:00Z"},      {-3187209600.0 + 0.25, "1869-01-01T00:00:00Z"},
      {-1169176671.0, "1932-12-13T20:42:09Z"},       {-1.5, "1969-12-31T23:59:58Z"},
      {978307199.5, "2000-12-31T23:59:59Z"},  // the last second before 2001
      {978307200.0, "2001-01-01T00:00:00Z"},         {3126211200.0 + 0.125, "2069-01-24T00:00:00Z"},
      {7258118400.0 + 1e-3, "2200-01-01T00:00:00Z"}, {951782400.0, "2000-02-29T00:00:00Z"},
      {253402300799.0, "9999-12-31T23:59:59Z"},
  };
  for (const auto& date : dates) {
    SCOPED_TRACE(date.xml);
    const Value v = Value::array({Value::date(date.seconds)});
    const auto binary = Plist::parse(Plist::toBinary(v));
    ASSERT_TRUE(binary);
    ASSERT_TRUE((*binary)[0].isDate());
    EXPECT_EQ((*binary)[0].dateValue(), date.seconds);
    const std::string xml = Plist::toXML(v);
    EXPECT_NE(xml.find(std::string("<date>") + date.xml + "</date>"), std::string::npos) << xml;
    const auto back = Plist::parse(xml);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value::array({Value::date(std::floor(date.seconds))}));
  }
  // A binary date written in whole microseconds by another writer is written back bit for bit.
  // So is every other finite date, however fine its fraction: 2106-02-07 06:29:15.000007 and
  // 2242-03-16 12:56:32.999999 moved by a microsecond when kept as seconds since 1970.
  for (double since2001 : {0.1, -0.5, -63113904000.0 + 0.123456, 12345.678901, 1e-6,
                           0x1.8b606f760000fp+31, 0x1.c5b03780fffffp+32, 5e-324, -1e300, 1e15}) {
    std::vector<uint8_t> object = {0x33};
    uint64_t bits;
    std::memcpy(&bits, &since2001, 8);
    for (int i = 7; i >= 0; --i) object.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    const auto read = Plist::parse(binaryPlist({object}));
    ASSERT_TRUE(read && read->isDate()) << since2001;
    const auto again = Plist::toBinary(*read);
    EXPECT_NE(std::search(again.begin(), again.end(), object.begin(), object.end()), again.end())
        << since2001;
  }
  // XML names the second a moment falls in, also where seconds since 1970 would round it up.
  EXPECT_NE(Plist::toXML(Value::dateSinceReferenceDate(0x1.c5b03780fffffp+32))
                .find("<date>2242-03-16T12:56:32Z</date>"),
            std::string::npos);
  // Moments XML cannot write as a date stay their real number of seconds since 1970; binary
  // keeps every finite moment as a date.
  for (double seconds : {-62135596801.0, 253402300800.0, 1e300}) {
    EXPECT_EQ(*Plist::parse(Plist::toXML(Value::date(seconds))), Value(seconds));
    EXPECT_EQ(*Plist::parse(Plist::toBinary(Value::date(seconds))), Value::date(seconds));
  }
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(*Plist::parse(Plist::toBinary(Value::date(-inf))), Value(-inf));
  // Dates that are no dates are refused.
  for (const char* text : {"2001-02-29T00:00:00Z", "0000-01-01T00:00:00Z", "2001-01-01T24:00:00Z",
                           "2001-1-01T00:00:00Z", "2001-01-01 00:00:00Z", "2001-01-01T00:00:00"})
    EXPECT_FALSE(Plist::parse(std::string("<plist><date>") + text + "</date></plist>")) << text;
}

TEST(Plist, XmlPlistsReadEveryMarkupAPlistMayHold) {
  const std::string head =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
      "\"-//Example//DTD PLIST 1.0//EN\" \"plist.dtd\" [<!ENTITY x \"y\">]>\n<!-- written by hand "
      "-->\n<plist version=\"1.0\">";
  const struct {
    const char* body;
    Value expected;
  } valid[] = {
      {"<string>a &amp; &lt;b&gt; &quot;c&quot; &apos;d&apos; &#233;&#x4E2D;&#x1F600;</string>",
       Value("a & <b> \"c\" 'd' é中😀")},
      {"<string><![CDATA[<kept> & as is]]><!-- gone --><?pi?>!</string>", Value("<kept> & as is!")},
      {"<string/>", Value("")},
      {"<string>  spaced\n</string>", Value("  spaced\n")},
      // Line ends read as LF (XML 1.0, 2.11); a CR is carried as a reference.
      {"<string>a\r\nb\rc\r\r\nd&#13;<![CDATA[\r]]></string>", Value("a\nb\nc\n\nd\r\n")},
      {"<dict><key>k\r\n</key><integer>\r\n1\r</integer></dict>", Value::dict({{"k\n", 1}})},
      {"<array/>", Value(Value::Array{})},
      {"<dict/>", Value(Value::Dict{})},
      {"<data/>", Value::data({})},
      {"<array><integer>-9223372036854775808</integer><integer>18446744073709551615</integer>"
       "<integer> 0x10 </integer><integer>+7</integer></array>",
       Value::array({Value(std::numeric_limits<long long>::min()),
                     Value(std::numeric_limits<unsigned long long>::max()), Value(16), Value(7)})},
      {"<array><real>9.5</real><real>-1e-3</real><real>1E400</real><real>inf</real></array>",
       Value::array({Value(9.5), Value(-1e-3), Value(std::numeric_limits<double>::infinity()),
                     Value(std::numeric_limits<double>::infinity())})},
      {"<data>\n\tAAH/\n\tAA==\n</data>", Value::data({0, 1, 255, 0})},
      {"<dict><key>k</key><true/><key>k</key><false></false><key></key><date>2026-12-07T05:58:31Z"
       "</date></dict>",
       Value::dict({{"k", Value::boolean(false)}, {"", Value::date(1796623111)}})},
  };
  for (const auto& c : valid) {
    const auto v = Plist::parse(head + c.body + "</plist>\n<!-- end -->\n");
    ASSERT_TRUE(v) << c.body;
    EXPECT_EQ(*v, c.expected) << c.body;
    EXPECT_EQ(v->kind(), c.expected.kind()) << c.body;
  }
  const auto nan = Plist::parse(head + "<real>nan</real></plist>");
  ASSERT_TRUE(nan);
  EXPECT_TRUE(std::isnan(nan->doubleValue()));
  for (const char* body :
       {"<string>a&#0;b</string>", "<string>&#xD800;</string>", "<string>&unknown;</string>",
        "<string>a<b/></string>", "<dict><key>a</key></dict>", "<dict><string>v</string></dict>",
        "<array>text</array>", "<string>a</string><string>b</string>", "", "<set/>",
        "<integer>18446744073709551616</integer>", "<integer>1.5</integer>", "<integer/>",
        "<real>1.5x</real>", "<data>AA!A</data>", "<true>yes</true>", "<array></dict>",
        "<key>a</key>"}) {
    EXPECT_FALSE(Plist::parse(head + body + "</plist>")) << body;
  }
  EXPECT_FALSE(Plist::parse(corpusFile("plist/plist-xml-nul-entity.plist")));
  const auto entities = Plist::parse(corpusFile("plist/plist-xml-100k-entities.plist"));
  ASSERT_TRUE(entities);
  EXPECT_GE(entities->str().size(), 100000u);
  // What the writer escapes reads back.
  const Value text = Value::dict({{"<&>", "]]> & <tag> &amp;"}});
  EXPECT_EQ(*Plist::parse(Plist::toXML(text)), text);
}

namespace {
// libplist's view of a plist, as a Value: the reference the reader is held to.
Value libplistValue(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value::boolean(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<long long>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING: {
      char* s = nullptr;
      plist_get_string_val(node, &s);
      Value v(std::string(s ? s : ""));
      std::free(s);
      return v;
    }
    case PLIST_DATA: {
      char* d = nullptr;
      uint64_t n = 0;
      plist_get_data_val(node, &d, &n);
      const auto* p = reinterpret_cast<const uint8_t*>(d);
      Value v = Value::data(p ? Value::Data(p, p + n) : Value::Data());
      std::free(d);
      return v;
    }
    case PLIST_DATE: {  // only dates within its range are compared
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return Value::date(978307200.0 + sec + usec / 1e6);
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return Value(static_cast<unsigned long long>(u));
    }
    case PLIST_ARRAY: {
      Value::Array a;
      for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
        a.push_back(libplistValue(plist_array_get_item(node, i)));
      return Value(std::move(a));
    }
    case PLIST_DICT: {
      Value::Dict d;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) break;
        d.insert_or_assign(key ? key : "", libplistValue(item));
        std::free(key);
      }
      std::free(it);
      return Value(std::move(d));
    }
    default:
      return Value();
  }
}

std::optional<Value> libplistParse(const std::vector<uint8_t>& bytes) {
  plist_t node = nullptr;
  const char* data = reinterpret_cast<const char*>(bytes.data());
  if (bytes.size() >= 8 && std::memcmp(data, "bplist00", 8) == 0)
    plist_from_bin(data, static_cast<uint32_t>(bytes.size()), &node);
  else
    plist_from_xml(data, static_cast<uint32_t>(bytes.size()), &node);
  if (!node) return std::nullopt;
  Value v = libplistValue(node);
  plist_free(node);
  return v;
}
}  // namespace

TEST(Plist, ThePlatformsReaderReadsWhatLibplistReads) {
  std::vector<std::vector<uint8_t>> inputs;
  for (const char* name : {"plist/array", "plist/binary", "plist/date", "plist/date_xml",
                           "plist/xml", "keyed_unarchiver/date", "keyed_unarchiver/dictionary",
                           "plist/plist-bin-nesting-512.bplist"})
    inputs.push_back(corpusFile(name));
  const Value mixed =
      Value::dict({{"sample", sample()},
                   {"dates", Value::array({Value::date(946684799), Value::date(1796623111)})},
                   {"wide", std::string("\xF0\x9F\x98\x80 ü")},
                   {"ints", Value::array({0, 255, 256, 65535, 65536, 4294967295LL, 4294967296LL, -1,
                                          std::numeric_limits<long long>::min()})},
                   {"reals", Value::array({0.1, -2.5, 1e300})},
                   {"long", std::string(300, 'a')},
                   {"many", Value(Value::Array(40, Value("same")))}});
  const auto binary = Plist::toBinary(mixed);
  const auto xml = Plist::toXML(mixed);
  inputs.push_back(binary);
  inputs.emplace_back(xml.begin(), xml.end());
  // What libplist writes, too.
  for (const auto& source : std::vector<std::vector<uint8_t>>(inputs)) {
    plist_t node = nullptr;
    const char* data = reinterpret_cast<const char*>(source.data());
    if (std::memcmp(data, "bplist00", 8) == 0)
      plist_from_bin(data, static_cast<uint32_t>(source.size()), &node);
    else
      plist_from_xml(data, static_cast<uint32_t>(source.size()), &node);
    ASSERT_TRUE(node);
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &out, &length);
    inputs.emplace_back(out, out + length);
    std::free(out);
    plist_to_xml(node, &out, &length);
    inputs.emplace_back(out, out + length);
    std::free(out);
    plist_free(node);
  }
  for (size_t i = 0; i < inputs.size(); ++i) {
    const auto ours = Plist::parse(inputs[i]);
    const auto theirs = libplistParse(inputs[i]);
    ASSERT_TRUE(ours) << i;
    ASSERT_TRUE(theirs) << i;
    EXPECT_EQ(*ours, *theirs) << i << "\n" << ours->description() << "\n" << theirs->description();
  }
}

TEST(Plist, IntegersOfSixteenBytesReadAsTheNumberTheyHoldOrAreRefused) {
  const std::vector<uint8_t> zeros(8, 0x00), ones(8, 0xFF);
  auto integer16 = [](const std::vector<uint8_t>& high, std::vector<uint8_t> low) {
    std::vector<uint8_t> object = {0x14};
    object.insert(object.end(), high.begin(), high.end());
    object.insert(object.end(), low.begin(), low.end());
    return binaryPlist({object});
  };
  const unsigned long long max = std::numeric_limits<unsigned long long>::max();
  const struct {
    std::vector<uint8_t> bytes;
    std::optional<Value> expected;
  } cases[] = {
      {integer16(zeros, ones), Value(max)},
      {integer16(zeros, {0x80, 0, 0, 0, 0, 0, 0, 0}), Value(1ULL << 63)},
      {integer16(zeros, {0, 0, 0, 0, 0, 0, 0, 5}), Value(5)},
      {integer16(ones, ones), Value(-1)},
      {integer16(ones, {0x80, 0, 0, 0, 0, 0, 0, 0}), Value(std::numeric_limits<long long>::min())},
      // 2^64, -2^63-1 and 2^127: no 64-bit integer holds them.
      {integer16({0, 0, 0, 0, 0, 0, 0, 1}, zeros), std::nullopt},
      {integer16(ones, {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), std::nullopt},
      {integer16({0x80, 0, 0, 0, 0, 0, 0, 0}, zeros), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected ? c.expected->description() : "refused");
    const auto read = Plist::parse(c.bytes);
    ASSERT_EQ(read.has_value(), c.expected.has_value());
    if (!read) continue;
    EXPECT_EQ(*read, *c.expected);
    EXPECT_EQ(read->isUnsigned(), c.expected->isUnsigned());
    // Written back as the same number, in every form.
    EXPECT_EQ(*Plist::parse(Plist::toBinary(*read)), *read);
    EXPECT_EQ(*Plist::parse(Plist::toXML(*read)), *read);
    EXPECT_EQ(*NSKeyedUnarchiver::unarchiveObjectWithData(
                  NSKeyedArchiver::archivedDataWithRootObject(Value::array({*read}))),
              Value::array({*read}));
  }
  // Above the signed range, binary writes sixteen bytes whose high half is zero, as others do.
  const auto written = Plist::toBinary(Value(max));
  EXPECT_EQ(std::vector<uint8_t>(written.begin() + 8, written.begin() + 25),
            std::vector<uint8_t>(cases[0].bytes.begin() + 8, cases[0].bytes.begin() + 25));
  EXPECT_EQ(*Plist::parse(std::string("<plist><integer>0xFFFFFFFFFFFFFFFF</integer></plist>")),
            Value(max));
}

TEST(Plist, ToXmlDeclinesWhatXmlCannotCarryAndWritesTheRest) {
  using namespace std::string_literals;
  std::vector<std::string> declined = {"\xEF\xBF\xBE", "a\xEF\xBF\xBF"};
  for (char c = 0; c < 0x20; ++c)
    if (c != '\t' && c != '\n' && c != '\r') declined.push_back("a"s + c + "b");
  for (const auto& text : declined) {
    SCOPED_TRACE(Value::data(Value::Data(text.begin(), text.end())).description());
    for (const Value& v : {Value(text), Value::dict({{text, 1}}),
                           Value::array({1, Value::dict({{"k", Value::array({text})}})})}) {
      EXPECT_EQ(Plist::toXML(v), "");
      EXPECT_EQ(*Plist::parse(Plist::toBinary(v)), v);  // the binary format holds it
    }
  }
  // Every other character is written, and reads back as itself.
  for (const std::string& text : {"\t\n\r"s, "\x7F"s, "\xC2\x85"s, "\xEF\xBF\xBD"s, "\xEF\xBF\xBC"s,
                                  "\xF4\x8F\xBF\xBF"s, "\xED\x9F\xBF\xEE\x80\x80"s, "\xEF\xBF"s}) {
    const Value v = Value::dict({{text, text}});
    const std::string xml = Plist::toXML(v);
    ASSERT_FALSE(xml.empty()) << xml;
    EXPECT_EQ(*Plist::parse(xml), *Plist::parse(Plist::toBinary(v))) << xml;
  }
}

TEST(Plist, XmlInUtf16ReadsAfterItsByteOrderMarkAndBrokenUtf16IsRefused) {
  auto utf16 = [](const std::u16string& text, bool bigEndian) {
    std::vector<uint8_t> out =
        bigEndian ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
    for (char16_t u : text) {
      const auto high = static_cast<uint8_t>(u >> 8), low = static_cast<uint8_t>(u & 0xFF);
      out.push_back(bigEndian ? high : low);
      out.push_back(bigEndian ? low : high);
    }
    return out;
  };
  const std::u16string head = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>";
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian);
    EXPECT_EQ(*Plist::parse(utf16(head + u"中 \U0001F600\r\n</string></plist>", bigEndian)),
              Value("中 😀\n"));
    for (const std::u16string& broken :
         {head + u"\xD800</string></plist>", head + u"\xDC00 </string></plist>",
          head + std::u16string(1, u'\0') + u"</string></plist>"})
      EXPECT_FALSE(Plist::parse(utf16(broken, bigEndian)));
    auto odd = utf16(head + u"</string></plist>", bigEndian);
    odd.push_back(0);
    EXPECT_FALSE(Plist::parse(odd));
  }
}
