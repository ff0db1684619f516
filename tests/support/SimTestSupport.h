#pragma once
// Small builders for battle tests: models without files, objects placed on
// a field, and a scripted command for driving programs.

#include <functional>
#include <string>
#include <utility>

#include "economy/Economy.h"
#include "lang/Command.h"
#include "sim/Bullette.h"
#include "sim/EE.h"
#include "sim/Field.h"
#include "sim/FieldEvents.h"
#include "sim/RunningUnit.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/Parts.h"
#include "sim/Wall.h"

namespace kivora::test {

// A model that makes arithmetic easy to follow: no countdowns, full armour
// (factor 1.0), turns up to 180 degrees a tick, straight bullets.
inline OKEspec PlainSpec() {
    OKEspec s;
    s.name = "plain.spc";
    s.level = 1;
    s.maxHp = 100;
    s.armour = 1.0;
    s.staggerThreshold = 10;
    s.aimTurnRate = 180;
    s.bulletPower = 10;
    s.bulletSpeed = 300;
    s.bulletLife = 100;
    s.bulletPowerLoss = 0;
    s.ammunition = 5;
    s.homingBullets = 0;
    s.bulletTurnSpeed = 10;
    s.fightPower = 5;
    return s;
}

// Pays what a field earns into an economy, as a battle does.
struct PayInto : FieldEvents {
    explicit PayInto(Economy& e) : economy(e) {}
    void PartPickedUp(const OKE& unit, std::uint32_t reward) override {
        if (unit.team == 1) economy.AddMoney(reward);
        else economy.AddRivalPoints(reward);
    }
    void SquadLost() override { ++squadsLost; }
    Economy& economy;
    int squadsLost = 0;
};

// A unit of `spec` standing at (x, y), not yet on a field.
inline Ref<OKE> StandingUnit(const OKEspec& spec, std::int32_t team, std::int32_t x, std::int32_t y,
                             std::int32_t direction) {
    Ref<OKE> u = MakeRef<OKE>(team, spec);
    u->x = x;
    u->y = y;
    u->direction = direction;
    return u;
}

// A field with its own economy.
struct TestField {
    TestField() { field.events = &pay; }
    Economy economy;
    PayInto pay{economy};
    Field field;

    OKE* Unit(const OKEspec& spec, std::int32_t team, std::int32_t x, std::int32_t y,
              std::int32_t direction = 0) {
        return field.Deploy(StandingUnit(spec, team, x, y, direction));
    }
    Wall* AddWall(std::int32_t x, std::int32_t y, std::int32_t w = 800, std::int32_t h = 800) {
        Ref<Wall> wall = MakeRef<Wall>();
        wall->x = x;
        wall->y = y;
        wall->width = w;
        wall->height = h;
        return static_cast<Wall*>(field.Add(std::move(wall)));
    }
    Parts* AddPart(std::int32_t x, std::int32_t y) {
        Ref<Parts> part = MakeRef<Parts>();
        part->x = x;
        part->y = y;
        return static_cast<Parts*>(field.Add(std::move(part)));
    }
};

// The same shared between threads, as the game window and the view see it.
struct SharedTestField {
    SharedTestField() { shared.Lock()->events = &pay; }
    ~SharedTestField() { shared.Lock()->events = nullptr; }
    Economy economy;
    PayInto pay{economy};
    SharedField shared;

    OKE* Unit(const OKEspec& spec, std::int32_t team, std::int32_t x, std::int32_t y,
              std::int32_t direction = 0) {
        return shared.Lock()->Deploy(StandingUnit(spec, team, x, y, direction));
    }
};

// A command that runs a test's lambda; chains of them make programs.
class ScriptCommand : public Command {
public:
    explicit ScriptCommand(std::function<void(EE&)> f) : f_(std::move(f)) {}
    int Parse(const char*, std::string*, std::size_t*) override { return 1; }
    Command* Execute(ProgramUnit& unit) override {
        f_(static_cast<RunningUnit&>(unit).unit);
        return next;
    }
    const char* Describe() override { return "SCRIPT"; }

private:
    std::function<void(EE&)> f_;
};

// Chains `steps` into a program (next = textNext = the following one) and
// returns its first command; `loop` makes the last one go back to the first.
inline Command* Program(std::vector<std::function<void(EE&)>> steps, bool loop = false) {
    Command* first = nullptr;
    Command* last = nullptr;
    for (auto& f : steps) {
        Command* c = new ScriptCommand(std::move(f));
        if (last) last->next = last->textNext = c; else first = c;
        last = c;
    }
    if (loop && last) last->next = first;
    return first;
}

inline void Give(OKE& unit, Command* program) { unit.InstallProgram(program); }

}  // namespace kivora::test
