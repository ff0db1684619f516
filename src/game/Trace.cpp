#include "game/Trace.h"

#include <charconv>

#include "economy/Economy.h"
#include "lang/Command.h"
#include "sim/Bullette.h"
#include "sim/EE.h"
#include "sim/Field.h"
#include "sim/OKE.h"

namespace kivora {
namespace {

template <typename T>
void Number(std::string& out, T value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// The key (" x=") and the number.
template <typename T>
void Put(std::string& out, const char* key, T value) {
  out += key;
  Number(out, value);
}

void Id(std::string& out, const EE* object) {
  if (object) {
    Number(out, object->fieldId);
  } else {
    out += '-';
  }
}

// The index of the current command in the program's file order, or "-".
void ProgramCounter(std::string& out, const EE& unit) {
  if (!unit.currentCommand) {
    out += '-';
    return;
  }
  std::uint64_t index = 0;
  for (const Command* c = unit.firstCommand; c; c = c->textNext, ++index) {
    if (c == unit.currentCommand) {
      Number(out, index);
      return;
    }
  }
  out += '?';  // a current command outside the chain: never happens in a sound program step
}

void Variables(std::string& out, const EE& unit) {
  bool any = false;
  for (int i = 0; i < kVariableCount; ++i) {
    const std::int32_t v = unit.variables[static_cast<std::size_t>(i)];
    if (v == 0) continue;
    if (any) out += ',';
    out += static_cast<char>('A' + i);
    out += ':';
    Number(out, v);
    any = true;
  }
  if (!any) out += '-';
}

}  // namespace

void AppendTraceTick(std::string& out, std::uint64_t tick, const Field& field, const Economy& economy) {
  Put(out, "T ", tick);
  Put(out, " money=", economy.GetMoney());
  Put(out, " points=", economy.GetRivalPoints());
  Put(out, " wallet=", economy.GetLeaderWallet());
  Put(out, " debt=", economy.GetDebt());
  Put(out, " players=", field.playerUnitCount);
  out += '\n';

  for (const EE* object : field.fieldList.Items()) {
    const int kind = object->Kind();
    Put(out, "O ", object->fieldId);
    Put(out, " ", kind);
    Put(out, " x=", object->x);
    Put(out, " y=", object->y);
    Put(out, " w=", object->width);
    Put(out, " h=", object->height);
    Put(out, " dir=", object->direction);
    Put(out, " st=", object->state);
    Put(out, " tm=", object->timer);
    Put(out, " v=", object->vx);
    out += ',';
    Number(out, object->vy);
    Put(out, " spin=", object->spin);
    out += " tgt=";
    Id(out, object->target.get());
    if (kind == kKindPlayerUnit || kind == kKindRivalUnit) {
      const auto& unit = static_cast<const OKE&>(*object);
      Put(out, " hp=", unit.hp);
      Put(out, " ammo=", unit.ammo);
      Put(out, " prone=", unit.prone);
      out += " pc=";
      ProgramCounter(out, unit);
      out += " vars=";
      Variables(out, unit);
    } else if (kind == kKindBullet) {
      const auto& bullet = static_cast<const Bullette&>(*object);
      Put(out, " alive=", bullet.alive);
      Put(out, " life=", bullet.life);
      Put(out, " power=", bullet.power);
      out += " owner=";
      if (bullet.ownerFieldId != 0) {
        Number(out, bullet.ownerFieldId);
      } else {
        out += '-';
      }
    }
    out += '\n';
  }
}

}  // namespace kivora
