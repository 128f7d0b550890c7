#include "platform/uikit/UIEvent.h"

#include "platform/uikit/UIView.h"

CGPoint UITouch::locationInView(const std::shared_ptr<UIView>& view) const {
  if (!view) return location_;
  return view->convertPointFromView(location_, nullptr);
}
