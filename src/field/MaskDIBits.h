#pragma once
#include "field/DIBits.h"

namespace kivora {

// A transparency mask: drawn with AND, centred by its own size. It never has
// a mask of its own.
class MaskDIBits : public DIBits {
 public:
  MaskDIBits();
  void Draw(Canvas& dc, int cx, int cy) const override;
};

}  // namespace kivora
