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
  out += "T ";
  Number(out, tick);
  out += " money=";
  Number(out, economy.GetMoney());
  out += " points=";
  Number(out, economy.GetRivalPoints());
  out += " wallet=";
  Number(out, economy.GetLeaderWallet());
  out += " debt=";
  Number(out, economy.GetDebt());
  out += " players=";
  Number(out, field.playerUnitCount);
  out += '\n';

  for (const EE* object : field.fieldList.Items()) {
    const int kind = object->Kind();
    out += "O ";
    Number(out, object->fieldId);
    out += ' ';
    Number(out, kind);
    out += " x=";
    Number(out, object->x);
    out += " y=";
    Number(out, object->y);
    out += " w=";
    Number(out, object->width);
    out += " h=";
    Number(out, object->height);
    out += " dir=";
    Number(out, object->direction);
    out += " st=";
    Number(out, object->state);
    out += " tm=";
    Number(out, object->timer);
    out += " v=";
    Number(out, object->vx);
    out += ',';
    Number(out, object->vy);
    out += " spin=";
    Number(out, object->spin);
    out += " tgt=";
    Id(out, object->target.get());
    if (kind == kKindPlayerUnit || kind == kKindRivalUnit) {
      const auto& unit = static_cast<const OKE&>(*object);
      out += " hp=";
      Number(out, unit.hp);
      out += " ammo=";
      Number(out, unit.ammo);
      out += " prone=";
      Number(out, unit.prone);
      out += " pc=";
      ProgramCounter(out, unit);
      out += " vars=";
      Variables(out, unit);
    } else if (kind == kKindBullet) {
      const auto& bullet = static_cast<const Bullette&>(*object);
      out += " alive=";
      Number(out, bullet.alive);
      out += " life=";
      Number(out, bullet.life);
      out += " power=";
      Number(out, bullet.power);
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
