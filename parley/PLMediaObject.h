#pragma once

// The common base of the seven media objects (PLImageObject, PLMusicObject,
// PLVideoObject, PLWebpageObject, PLFileObject, PLAppExtendObject,
// PLEmoticonObject). It carries nothing itself; the packer tells the kinds
// apart by class, and any other subclass is refused when a message is packed.
class PLMediaObject {
 public:
  virtual ~PLMediaObject() = default;

 protected:
  PLMediaObject() = default;
};
