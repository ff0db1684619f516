#pragma once
#include "lang/ProgramUnit.h"

namespace kivora {

class EE;
class Field;

// A field object running a command of its program: what the command asks
// of "the unit" is answered from the object and the field it is on.
class RunningUnit final : public ProgramUnit {
public:
  RunningUnit(EE& unit, Field& field) : unit(unit), field(field) {}

  std::int32_t GetVar(char c) const override;
  void SetVar(char c, std::int32_t v) override;
  std::int32_t X() const override;
  std::int32_t Y() const override;
  std::int32_t Direction() const override;
  std::int32_t Remain() const override;
  bool Senses(Sought what, const Sector& sector) override;
  void Request(std::int32_t state) override;
  void RequestToward(std::int32_t state, Sought what, const Sector& sector) override;
  std::int32_t Draw(std::int32_t lo, std::int32_t hi) override;

  EE& unit;
  Field& field;

private:
  // The nearest object of `what` in the sector, or null.
  EE* Find(Sought what, const Sector& sector) const;
};

}  // namespace kivora
