#pragma once
// A position in a table (section, row) or collection (section, item). Plain value.

#include <string>

struct NSIndexPath {
  long section = 0;
  long row = 0;
  long item() const { return row; }
  static NSIndexPath indexPathForRow(long row, long section) { return NSIndexPath{section, row}; }
  static NSIndexPath indexPathForItem(long item, long section) {
    return NSIndexPath{section, item};
  }
  bool operator==(const NSIndexPath&) const = default;
  auto operator<=>(const NSIndexPath&) const = default;
  std::string description() const;  // "[0,3]"
};
