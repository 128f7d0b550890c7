#pragma once
// Segmented controls: equal-width segments shown as labels; a tap selects the segment under
// the finger and sends value-changed when the selection changes.

#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIControl.h"

class UILabel;

inline constexpr long UISegmentedControlNoSegment = -1;

// The look of the control on systems before 7.0 (stored; later systems ignore it).
enum UISegmentedControlStyle : long {
  UISegmentedControlStylePlain = 0,
  UISegmentedControlStyleBordered = 1,
  UISegmentedControlStyleBar = 2,
};

class UISegmentedControl : public UIControl {
  TOVIRA_CLASS(UISegmentedControl)
 public:
  UISegmentedControl();
  // initWithItems:
  static std::shared_ptr<UISegmentedControl> create(const std::vector<std::string>& items);

  long numberOfSegments() const { return (long)titles_.size(); }
  long selectedSegmentIndex() const { return selected_; }
  // Programmatic selection sends no action, as on the device.
  void setSelectedSegmentIndex(long index);
  std::string titleForSegmentAtIndex(long index) const;
  void setTitle(const std::string& title, long segment);
  void insertSegmentWithTitle(const std::string& title, long segment, bool animated);
  void removeAllSegments();
  // setEnabled:forSegmentAtIndex: / isEnabledForSegmentAtIndex:. A tap on a disabled segment
  // does nothing. Segments are enabled when made; indices out of range are ignored (NO).
  void setEnabledForSegmentAtIndex(bool enabled, long segment);
  bool isEnabledForSegmentAtIndex(long segment) const;
  bool isMomentary() const { return momentary_; }
  void setMomentary(bool m) { momentary_ = m; }
  UISegmentedControlStyle segmentedControlStyle() const { return style_; }
  void setSegmentedControlStyle(UISegmentedControlStyle s) { style_ = s; }
  // Title colour and font per state (setTitleTextAttributes:forState: with colour and font).
  void setTitleTextColor(std::shared_ptr<UIColor> color, UIControlState state);
  std::shared_ptr<UIColor> titleTextColor(UIControlState state) const;
  std::vector<std::shared_ptr<UILabel>> segmentLabels() const { return labels_; }

  void touchUpInside(CGPoint point) override;
  void layoutSubviews() override;
  void setFrame(CGRect frame) override;

 private:
  void rebuild();
  std::vector<std::string> titles_;
  std::vector<long> disabledSegments_;
  std::vector<std::shared_ptr<UILabel>> labels_;
  std::shared_ptr<UIColor> normalColor_;
  std::shared_ptr<UIColor> selectedColor_;
  long selected_ = UISegmentedControlNoSegment;
  UISegmentedControlStyle style_ = UISegmentedControlStylePlain;
  bool momentary_ = false;
};
