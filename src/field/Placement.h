#pragma once

namespace kivora {

class EE;
class Random;

// Where things land when nobody chooses: a random whole-pixel spot within
// 150 pixels of the centre, x drawn before y. Set-up puts its walls there.
void PlaceAtRandom(EE& object, Random& random);

// The same spot and then a random facing: how every unit joins the field,
// bought, deployed by the rival or named on a command line.
void PlaceUnitAtRandom(EE& unit, Random& random);

}  // namespace kivora
