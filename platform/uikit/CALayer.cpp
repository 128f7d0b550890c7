#include "platform/uikit/CALayer.h"

#include "platform/uikit/UIView.h"

bool CALayer::masksToBounds() const { return owner_ && owner_->clipsToBounds(); }

void CALayer::setMasksToBounds(bool m) {
  if (owner_) owner_->setClipsToBounds(m);
}

double CALayer::opacity() const { return owner_ ? owner_->alpha() : 1.0; }

void CALayer::setOpacity(double o) {
  if (owner_) owner_->setAlpha(o);
}
