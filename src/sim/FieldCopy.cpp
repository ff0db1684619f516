#include "sim/FieldCopy.h"

#include <stdexcept>
#include <unordered_map>

#include "lang/Command.h"
#include "lang/ProgramCopy.h"
#include "sim/Bullette.h"
#include "sim/EE.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/Parts.h"
#include "sim/Wall.h"

namespace kivora {
namespace {

// The members a field object and its plain copy share, copied either way.
template <class From, class To>
void CopyPlainFields(const From& from, To& to) {
  to.x = from.x;
  to.y = from.y;
  to.width = from.width;
  to.height = from.height;
  to.direction = from.direction;
  to.vx = from.vx;
  to.vy = from.vy;
  to.spin = from.spin;
  to.moveSpeed = from.moveSpeed;
  to.jumpSpeed = from.jumpSpeed;
  to.turnSpeed = from.turnSpeed;
  to.variables = from.variables;
  to.state = from.state;
  to.timer = from.timer;
  to.level = from.level;
}


// A member added to a field object must be kept here too: these sizes are
// the reminder (a copy that misses one would replay a different battle).
static_assert(sizeof(void*) != 8 || sizeof(EE) == 264, "EE changed: copy its new members in FieldCopy");
static_assert(sizeof(void*) != 8 || sizeof(OKE) == 288, "OKE changed: copy its new members in FieldCopy");
static_assert(sizeof(void*) != 8 || sizeof(Bullette) == 312, "Bullette changed: copy its new members in FieldCopy");

std::size_t ChainLength(const Command* first) {
  std::size_t length = 0;
  for (const Command* c = first; c; c = c->textNext) ++length;
  return length;
}

}  // namespace

std::shared_ptr<const CommandChain> FieldCopy::Programs::Keep(std::int64_t unitId, const Command* first) {
  if (first == nullptr) return nullptr;
  const std::size_t length = ChainLength(first);
  Entry& entry = byUnit_[unitId];
  if (entry.kept && entry.live == first && entry.length == length) return entry.kept;
  entry.kept = std::make_shared<const CommandChain>(CopyProgram(first));
  entry.live = first;
  entry.length = length;
  return entry.kept;
}

void FieldCopy::Programs::Put(std::int64_t unitId, const Command* first, std::shared_ptr<const CommandChain> kept) {
  Entry& entry = byUnit_[unitId];
  entry.live = first;
  entry.length = ChainLength(first);
  entry.kept = std::move(kept);
}

FieldCopy FieldCopy::Take(const Field& field, Programs& programs) {
  FieldCopy copy;
  std::unordered_map<const EE*, std::uint32_t> index;
  std::vector<const EE*> order;
  auto note = [&](const EE* obj) {
    const auto [at, added] = index.try_emplace(obj, static_cast<std::uint32_t>(order.size()));
    if (added) order.push_back(obj);
    return at->second;
  };
  for (const EE* obj : field.fieldList.Items()) note(obj);
  copy.onField_ = static_cast<std::uint32_t>(order.size());
  // What has left the field but is still aimed at, and what that aims at.
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (order[k]->target) note(order[k]->target.get());
  }

  copy.objects_.resize(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    const EE& from = *order[k];
    Object& to = copy.objects_[k];
    CopyPlainFields(from, to);
    to.target = from.target ? index.at(from.target.get()) : kNone;
    to.fieldId = from.fieldId;
    if (const auto* unit = dynamic_cast<const OKE*>(&from)) {
      to.type = Class::Unit;
      to.team = unit->team;
      to.spec = unit->spec;
      to.hp = unit->hp;
      to.ammo = unit->ammo;
      to.prone = unit->prone;
      to.program = programs.Keep(unit->fieldId, unit->firstCommand);
      if (unit->currentCommand) {
        const auto at = CommandIndex(unit->firstCommand, unit->currentCommand);
        if (!at) throw std::logic_error("a unit's current command is not in its program");
        to.current = static_cast<std::uint32_t>(*at);
      }
      continue;
    }
    if (from.firstCommand) throw std::logic_error("a program on a field object that is not a unit");
    if (const auto* bullet = dynamic_cast<const Bullette*>(&from)) {
      to.type = Class::Bullet;
      if (bullet->owner) {
        const auto at = index.find(bullet->owner);
        if (at == index.end()) throw std::logic_error("a bullet's shooter is off the field");
        to.owner = at->second;
      }
      to.ownerFieldId = bullet->ownerFieldId;
      to.alive = bullet->alive;
      to.homing = bullet->homing;
      to.life = bullet->life;
      to.power = bullet->power;
      to.powerLoss = bullet->powerLoss;
      to.prevX = bullet->prevX;
      to.prevY = bullet->prevY;
    } else if (dynamic_cast<const Wall*>(&from)) {
      to.type = Class::Wall;
    } else if (dynamic_cast<const Parts*>(&from)) {
      to.type = Class::Parts;
    } else {
      throw std::logic_error("a field object of a class the game does not have");
    }
  }
  for (const Bullette* b : field.bulletList) copy.bullets_.push_back(index.at(b));
  for (const OKE* u : field.unitList) copy.units_.push_back(index.at(u));
  copy.playerUnitCount_ = field.playerUnitCount;
  copy.generator_ = field.generator;
  copy.nextFieldId_ = field.nextFieldId_;
  return copy;
}

void FieldCopy::Restore(Field& field, Programs& programs) const {
  // Let go of what is there, as the field does when it goes.
  std::vector<EE*> gone = field.fieldList.Items();
  for (EE* obj : gone) obj->SetTarget(nullptr);
  field.fieldList.RemoveIf([](const EE*) { return true; });
  field.bulletList.clear();
  field.unitList.clear();
  for (EE* obj : gone) obj->Release();

  // Each made object holds the reference it was born with until it joins
  // the field list (or, off the field, until the targets hold it).
  std::vector<EE*> made(objects_.size(), nullptr);
  for (std::size_t k = 0; k < objects_.size(); ++k) {
    const Object& from = objects_[k];
    switch (from.type) {
      case Class::Wall: made[k] = new Wall(); break;
      case Class::Parts: made[k] = new Parts(); break;
      case Class::Unit: made[k] = new OKE(from.team, *from.spec); break;
      case Class::Bullet: made[k] = new Bullette(nullptr, 0, 0, 0, 0, 0, 0); break;
    }
  }
  for (std::size_t k = 0; k < objects_.size(); ++k) {
    const Object& from = objects_[k];
    EE& to = *made[k];
    CopyPlainFields(from, to);
    if (from.target != kNone) to.target = Ref<EE>(made[from.target]);
    to.fieldId = from.fieldId;
    if (from.type == Class::Unit) {
      auto& unit = static_cast<OKE&>(to);
      unit.hp = from.hp;
      unit.ammo = from.ammo;
      unit.prone = from.prone;
      if (from.program) {
        CommandChain chain = CopyProgram(from.program->First());
        Command* first = chain.Release();
        unit.InstallProgram(first);
        unit.currentCommand = from.current == kNone ? nullptr : CommandAt(first, from.current);
        programs.Put(unit.fieldId, first, from.program);
      }
    } else if (from.type == Class::Bullet) {
      auto& bullet = static_cast<Bullette&>(to);
      bullet.owner = from.owner == kNone ? nullptr : made[from.owner];
      bullet.ownerFieldId = from.ownerFieldId;
      bullet.alive = from.alive;
      bullet.homing = from.homing;
      bullet.life = from.life;
      bullet.power = from.power;
      bullet.powerLoss = from.powerLoss;
      bullet.prevX = from.prevX;
      bullet.prevY = from.prevY;
    }
  }
  for (std::uint32_t k = 0; k < onField_; ++k) field.AddToFieldList(made[k]);
  for (const std::uint32_t k : bullets_) field.bulletList.push_back(static_cast<Bullette*>(made[k]));
  for (const std::uint32_t k : units_) field.unitList.push_back(static_cast<OKE*>(made[k]));
  for (std::size_t k = onField_; k < made.size(); ++k) made[k]->Release();
  field.playerUnitCount = playerUnitCount_;
  field.generator = generator_;
  field.nextFieldId_ = nextFieldId_;
}

std::size_t FieldCopy::Bytes() const {
  return sizeof(*this) + objects_.capacity() * sizeof(Object) +
         (bullets_.capacity() + units_.capacity()) * sizeof(std::uint32_t);
}

}  // namespace kivora
