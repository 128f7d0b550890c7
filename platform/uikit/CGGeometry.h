#pragma once
// Geometry of the view system: points in doubles, y growing downwards.

#include <cstddef>
#include <limits>
#include <string>

struct CGPoint {
  double x = 0;
  double y = 0;
  bool operator==(const CGPoint&) const = default;
};

struct CGSize {
  double width = 0;
  double height = 0;
  bool operator==(const CGSize&) const = default;
};

struct CGRect {
  CGPoint origin;
  CGSize size;
  bool operator==(const CGRect&) const = default;
};

struct UIEdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  bool operator==(const UIEdgeInsets&) const = default;
};

// A range of UTF-16 code units (or of any other index space), as the platform counts text.
struct NSRange {
  size_t location = 0;
  size_t length = 0;
  bool operator==(const NSRange&) const = default;
};

// An affine transform [a b 0; c d 0; tx ty 1]. Views store it; geometry ignores it.
struct CGAffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr size_t NSNotFound = std::numeric_limits<long>::max();
inline constexpr CGRect CGRectZero{};
inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr UIEdgeInsets UIEdgeInsetsZero{};
inline constexpr CGAffineTransform CGAffineTransformIdentity{};

inline CGPoint CGPointMake(double x, double y) { return CGPoint{x, y}; }
inline CGSize CGSizeMake(double w, double h) { return CGSize{w, h}; }
inline CGRect CGRectMake(double x, double y, double w, double h) { return CGRect{{x, y}, {w, h}}; }
inline UIEdgeInsets UIEdgeInsetsMake(double t, double l, double b, double r) {
  return UIEdgeInsets{t, l, b, r};
}
inline NSRange NSMakeRange(size_t loc, size_t len) { return NSRange{loc, len}; }
inline size_t NSMaxRange(NSRange r) { return r.location + r.length; }

inline double CGRectGetMinX(CGRect r) { return r.origin.x; }
inline double CGRectGetMinY(CGRect r) { return r.origin.y; }
inline double CGRectGetMaxX(CGRect r) { return r.origin.x + r.size.width; }
inline double CGRectGetMaxY(CGRect r) { return r.origin.y + r.size.height; }
inline double CGRectGetMidX(CGRect r) { return r.origin.x + r.size.width / 2; }
inline double CGRectGetMidY(CGRect r) { return r.origin.y + r.size.height / 2; }
inline double CGRectGetWidth(CGRect r) { return r.size.width; }
inline double CGRectGetHeight(CGRect r) { return r.size.height; }
inline bool CGRectEqualToRect(CGRect a, CGRect b) { return a == b; }
inline bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a == b; }
inline bool CGSizeEqualToSize(CGSize a, CGSize b) { return a == b; }
inline bool CGRectIsEmpty(CGRect r) { return r.size.width <= 0 || r.size.height <= 0; }
// Half-open on the far edges, as the platform tests containment.
bool CGRectContainsPoint(CGRect r, CGPoint p);
bool CGRectContainsRect(CGRect outer, CGRect inner);
bool CGRectIntersectsRect(CGRect a, CGRect b);
CGRect CGRectIntersection(CGRect a, CGRect b);
CGRect CGRectUnion(CGRect a, CGRect b);
CGRect CGRectOffset(CGRect r, double dx, double dy);
CGRect CGRectInset(CGRect r, double dx, double dy);
CGRect UIEdgeInsetsInsetRect(CGRect r, UIEdgeInsets insets);

CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty);
CGAffineTransform CGAffineTransformMakeScale(double sx, double sy);
CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2);
CGAffineTransform CGAffineTransformInvert(CGAffineTransform t);
bool CGAffineTransformIsIdentity(CGAffineTransform t);
CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t);

// Text forms as the platform writes them: "{{0, 352}, {320, 216}}", "{3, 4}". Rectangles travel
// in notification user-info dictionaries in this form (there is no boxed rectangle value).
std::string NSStringFromCGRect(CGRect r);
std::string NSStringFromCGPoint(CGPoint p);
std::string NSStringFromCGSize(CGSize s);
CGRect CGRectFromString(const std::string& text);  // CGRectZero when unreadable
CGPoint CGPointFromString(const std::string& text);
CGSize CGSizeFromString(const std::string& text);

// Stable short form for dumps and logs: "(0,20,320,46)", numbers without trailing zeros.
std::string CGRectDescription(CGRect r);
std::string CGNumberDescription(double v);
