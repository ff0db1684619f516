#include "field/Placement.h"

#include "base/Random.h"
#include "field/ViewGeometry.h"
#include "sim/EE.h"

namespace kivora {

namespace {
constexpr int kSpread = 150;  // pixels from the centre
}

void PlaceAtRandom(EE& object, Random& random) {
  object.x = randomRange(random, -kSpread, kSpread) * kFieldUnitsPerPixel;
  object.y = randomRange(random, -kSpread, kSpread) * kFieldUnitsPerPixel;
}

void PlaceUnitAtRandom(EE& unit, Random& random) {
  PlaceAtRandom(unit, random);
  unit.direction = randomRange(random, -179, 180);
}

}  // namespace kivora
