#include "platform/uikit/CGGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

bool CGRectContainsPoint(CGRect r, CGPoint p) {
  return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
         p.y < r.origin.y + r.size.height;
}

bool CGRectContainsRect(CGRect outer, CGRect inner) {
  return inner.origin.x >= outer.origin.x && inner.origin.y >= outer.origin.y &&
         CGRectGetMaxX(inner) <= CGRectGetMaxX(outer) &&
         CGRectGetMaxY(inner) <= CGRectGetMaxY(outer);
}

bool CGRectIntersectsRect(CGRect a, CGRect b) { return !CGRectIsEmpty(CGRectIntersection(a, b)); }

CGRect CGRectIntersection(CGRect a, CGRect b) {
  double x1 = std::max(a.origin.x, b.origin.x);
  double y1 = std::max(a.origin.y, b.origin.y);
  double x2 = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
  double y2 = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
  if (x2 <= x1 || y2 <= y1) return CGRectZero;
  return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

CGRect CGRectUnion(CGRect a, CGRect b) {
  if (CGRectIsEmpty(a)) return b;
  if (CGRectIsEmpty(b)) return a;
  double x1 = std::min(a.origin.x, b.origin.x);
  double y1 = std::min(a.origin.y, b.origin.y);
  double x2 = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
  double y2 = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
  return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

CGRect CGRectOffset(CGRect r, double dx, double dy) {
  r.origin.x += dx;
  r.origin.y += dy;
  return r;
}

CGRect CGRectInset(CGRect r, double dx, double dy) {
  return CGRectMake(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx,
                    r.size.height - 2 * dy);
}

CGRect UIEdgeInsetsInsetRect(CGRect r, UIEdgeInsets i) {
  return CGRectMake(r.origin.x + i.left, r.origin.y + i.top, r.size.width - i.left - i.right,
                    r.size.height - i.top - i.bottom);
}

CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty) {
  return CGAffineTransform{1, 0, 0, 1, tx, ty};
}

CGAffineTransform CGAffineTransformMakeScale(double sx, double sy) {
  return CGAffineTransform{sx, 0, 0, sy, 0, 0};
}

CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2) {
  return CGAffineTransform{
      t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
      t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
      t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

CGAffineTransform CGAffineTransformInvert(CGAffineTransform t) {
  double det = t.a * t.d - t.b * t.c;
  if (det == 0) return t;  // not invertible: the platform hands the transform back unchanged
  return CGAffineTransform{t.d / det,
                           -t.b / det,
                           -t.c / det,
                           t.a / det,
                           (t.c * t.ty - t.d * t.tx) / det,
                           (t.b * t.tx - t.a * t.ty) / det};
}

bool CGAffineTransformIsIdentity(CGAffineTransform t) { return t == CGAffineTransformIdentity; }

CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t) {
  return CGPoint{t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

std::string CGNumberDescription(double v) {
  if (std::isnan(v)) return "nan";
  if (v == 0) return "0";  // also folds -0
  char buf[64];
  if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", std::round(v));
  } else {
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
  }
  return buf;
}

namespace {
std::string platformNumber(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v == 0 ? 0.0 : v);
  return buf;
}

std::vector<double> numbersIn(const std::string& text) {
  std::vector<double> out;
  const char* p = text.c_str();
  while (*p) {
    if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '+' || *p == '.') {
      char* end = nullptr;
      double v = std::strtod(p, &end);
      if (end != p) {
        out.push_back(v);
        p = end;
        continue;
      }
    }
    ++p;
  }
  return out;
}
}  // namespace

std::string NSStringFromCGPoint(CGPoint p) {
  return "{" + platformNumber(p.x) + ", " + platformNumber(p.y) + "}";
}

std::string NSStringFromCGSize(CGSize s) {
  return "{" + platformNumber(s.width) + ", " + platformNumber(s.height) + "}";
}

std::string NSStringFromCGRect(CGRect r) {
  return "{" + NSStringFromCGPoint(r.origin) + ", " + NSStringFromCGSize(r.size) + "}";
}

CGRect CGRectFromString(const std::string& text) {
  auto n = numbersIn(text);
  if (n.size() != 4) return CGRectZero;
  return CGRectMake(n[0], n[1], n[2], n[3]);
}

CGPoint CGPointFromString(const std::string& text) {
  auto n = numbersIn(text);
  if (n.size() != 2) return CGPointZero;
  return CGPoint{n[0], n[1]};
}

CGSize CGSizeFromString(const std::string& text) {
  auto n = numbersIn(text);
  if (n.size() != 2) return CGSizeZero;
  return CGSize{n[0], n[1]};
}

std::string CGRectDescription(CGRect r) {
  return "(" + CGNumberDescription(r.origin.x) + "," + CGNumberDescription(r.origin.y) + "," +
         CGNumberDescription(r.size.width) + "," + CGNumberDescription(r.size.height) + ")";
}
