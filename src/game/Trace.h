#pragma once
#include <cstdint>
#include <string>

namespace kivora {

class Economy;
class Field;

// Appends one traced tick to `out`: the header line with the counters and
// the player's unit count, then one line per object on the field in
// field-list order, as kivora-arena writes it:
//
//   T tick money=M points=P wallet=W debt=D players=C
//   O id kind x=X y=Y w=W h=H dir=D st=S tm=T v=VX,VY spin=SP tgt=ID
//     [ hp=HP ammo=A prone=PR pc=I vars=V] (units)
//     [ alive=AL life=L power=PW owner=ID] (bullets)
//
// Objects are named by their field ids; "-" stands for no target, no current
// command and no non-zero variable.
void AppendTraceTick(std::string& out, std::uint64_t tick, const Field& field, const Economy& economy);

}  // namespace kivora
