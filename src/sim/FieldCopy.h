#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "base/Random.h"
#include "lang/ProgramUnit.h"
#include "lang/ProgramReader.h"

namespace kivora {

class Command;
class Field;
struct OKEspec;

// A field as it stood at one moment, kept as plain values, to be put back
// later: what lets a replay jump to any tick. Everything the world step
// reads is kept: every object on the field in list order, the bullet and
// unit lists, every object that has left the field but is still aimed at,
// targets and a bullet's shooter as links between the kept objects, each
// unit's program and the command it runs next, the player's unit count,
// the simulation's generator and the next field id. The models are not
// copied: a kept unit points to the same OKEspec record.
class FieldCopy {
public:
  // The programs the copies of one battle's field share. A unit's program
  // never changes while it is on the field, so it is copied once per unit,
  // not once per copy of the field; whatever copies a field and puts it
  // back keeps one of these for the battle's whole life.
  class Programs {
  public:
    std::size_t Count() const { return byUnit_.size(); }

  private:
    friend class FieldCopy;
    struct Entry {
      const Command* live = nullptr;  // the first command of the unit's chain on the live field
      std::size_t length = 0;
      std::shared_ptr<const CommandChain> kept;
    };
    std::shared_ptr<const CommandChain> Keep(std::int64_t unitId, const Command* first);
    void Put(std::int64_t unitId, const Command* first, std::shared_ptr<const CommandChain> kept);

    std::map<std::int64_t, Entry> byUnit_;
  };

  // Copies `field`. Throws std::logic_error for an object of a class the
  // game does not have, or a bullet whose shooter is not among the kept
  // objects (neither happens on a field the world step made).
  static FieldCopy Take(const Field& field, Programs& programs);

  // Makes `field` what it was when this copy was taken: what is on it now is
  // let go first (whoever holds a pointer to one of its objects must drop
  // it), then new objects are made from the copy. The field's listener and
  // the list's cache setting stay as they are.
  void Restore(Field& field, Programs& programs) const;

  // Roughly the memory the copy holds, for keeping copies within a budget.
  std::size_t Bytes() const;

private:
  enum class Class : std::uint8_t { Wall, Parts, Unit, Bullet };
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  struct Object {
    Class type = Class::Wall;
    std::int32_t x = 0, y = 0, width = 0, height = 0, direction = 0, vx = 0, vy = 0, spin = 0;
    std::int32_t moveSpeed = 0, jumpSpeed = 0, turnSpeed = 0;
    std::array<std::int32_t, kVariableCount> variables{};
    std::int32_t state = 0, timer = 0, level = 0;
    std::uint32_t target = kNone;  // index into objects_
    std::int64_t fieldId = 0;
    // Units.
    std::shared_ptr<const CommandChain> program;
    std::uint32_t current = kNone;  // index of the current command along textNext
    std::int32_t team = 0, hp = 0, ammo = 0, prone = 0;
    const OKEspec* spec = nullptr;
    // Bullets.
    std::uint32_t owner = kNone;
    std::int64_t ownerFieldId = 0;
    std::int32_t alive = 0, homing = 0, life = 0, power = 0, powerLoss = 0, prevX = 0, prevY = 0;
  };

  std::vector<Object> objects_;              // the field list's objects first, in list order
  std::uint32_t onField_ = 0;                // how many of objects_ are on the field list
  std::vector<std::uint32_t> bullets_;       // the bullet list, as indices
  std::vector<std::uint32_t> units_;         // the unit list, as indices
  std::int32_t playerUnitCount_ = 0;
  Random generator_;
  std::int64_t nextFieldId_ = 1;
};

}  // namespace kivora
