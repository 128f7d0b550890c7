#include "platform/uikit/TextMeasure.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/NSString.h"
#include "platform/uikit/UIFont.h"

namespace {
// Splits UTF-16 text into characters (a surrogate pair stays one) with their widths.
struct Glyph {
  std::u16string units;
  double width;  // in font sizes
};

std::vector<Glyph> glyphs(const std::u16string& s) {
  std::vector<Glyph> out;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      out.push_back({s.substr(i, 2), 1.0});
      ++i;
    } else {
      out.push_back({std::u16string(1, c), c < 0x80 ? 0.55 : 1.0});
    }
  }
  return out;
}

double sizeOf(const std::shared_ptr<UIFont>& font) {
  return font ? font->pointSize() : UIFont::defaultFont()->pointSize();
}
}  // namespace

double TextMeasure::widthOfText(const std::string& text, double fontSize) {
  double w = 0;
  for (const auto& g : glyphs(NSString::toUTF16(text))) {
    if (g.units[0] != u'\n') w += g.width;
  }
  return w * fontSize;
}

double TextMeasure::widthOfText(const std::string& text, const std::shared_ptr<UIFont>& font) {
  return widthOfText(text, sizeOf(font));
}

double TextMeasure::lineHeight(const std::shared_ptr<UIFont>& font) { return sizeOf(font) * 1.2; }

std::vector<std::string> TextMeasure::lines(const std::string& text,
                                            const std::shared_ptr<UIFont>& font, double maxWidth,
                                            long numberOfLines) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  double size = sizeOf(font);
  std::u16string line;
  double lineWidth = 0;
  bool lineStarted = false;
  auto flush = [&] {
    out.push_back(NSString::fromUTF16(line));
    line.clear();
    lineWidth = 0;
    lineStarted = false;
  };
  for (const auto& g : glyphs(NSString::toUTF16(text))) {
    if (g.units[0] == u'\n') {
      flush();
      continue;
    }
    double w = g.width * size;
    // A tiny tolerance keeps exact fits (e.g. 10 characters in 10 x size) on one line.
    if (maxWidth > 0 && lineStarted && lineWidth + w > maxWidth + 1e-9) flush();
    line += g.units;
    lineWidth += w;
    lineStarted = true;
  }
  flush();
  if (numberOfLines > 0 && static_cast<long>(out.size()) > numberOfLines) out.resize(numberOfLines);
  return out;
}

double TextMeasure::heightOfLines(size_t count, const std::shared_ptr<UIFont>& font,
                                  double lineSpacing) {
  if (count == 0) return 0;
  return static_cast<double>(count) * lineHeight(font) +
         static_cast<double>(count - 1) * std::max(lineSpacing, 0.0);
}

size_t TextMeasure::linesInHeight(double height, const std::shared_ptr<UIFont>& font,
                                  double lineSpacing) {
  const double step = lineHeight(font) + std::max(lineSpacing, 0.0);
  if (!(step > 0) || !(height > 0)) return 0;
  // The last line needs no spacing below it; the tolerance keeps exact fits.
  const double count = std::floor((height + std::max(lineSpacing, 0.0)) / step + 1e-9);
  if (!(count < 1e9)) return static_cast<size_t>(1e9);  // no real text has that many lines
  return static_cast<size_t>(count);
}

CGSize TextMeasure::sizeOfText(const std::string& text, const std::shared_ptr<UIFont>& font,
                               double maxWidth, long numberOfLines, double lineSpacing) {
  auto ls = lines(text, font, maxWidth, numberOfLines);
  if (ls.empty()) return CGSizeZero;
  double w = 0;
  for (const auto& l : ls) w = std::max(w, widthOfText(l, font));
  return CGSize{w, heightOfLines(ls.size(), font, lineSpacing)};
}
