#include "field/MaskDIBits.h"

#include "field/Canvas.h"

namespace kivora {

MaskDIBits::MaskDIBits() { isMask_ = true; }

void MaskDIBits::Draw(Canvas& dc, int cx, int cy) const { DrawWith(dc, cx, cy, RasterOp::SrcAnd); }

}  // namespace kivora
