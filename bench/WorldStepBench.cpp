// Cost of one world step on a crowded field: units running search-heavy
// level-6 programs among walls, parts and bullets in flight.

#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Random.h"
#include "economy/Economy.h"
#include "lang/Command.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/Parts.h"
#include "sim/Wall.h"
#include "sim/WorldStep.h"

namespace kivora {
namespace {

// Six searches and a shot, over and over: every command walks the whole
// field list.
const char* const kProgram[] = {
    "SEARCHE,300(0,360),a", "SEARCHB,200(0,120),b", "SEARCHP,300(0,180),c",
    "SEARCHF,300(0,360),d", "SEARCHO,300(0,90),e",  "FIRE,300(0,60)",
};

Command* MakeProgram() {
    Command* first = nullptr;
    Command* last = nullptr;
    for (const char* line : kProgram) {
        std::string label;
        std::unique_ptr<Command> c = CreateCommand(line, label);
        if (!c) continue;
        Command* raw = c.release();
        if (last) last->next = last->textNext = raw; else first = raw;
        last = raw;
    }
    if (last) last->next = first;
    // Every search that finds something branches back to the start, so the
    // program keeps searching instead of ending at its first find.
    for (Command* c = first; c; c = c->textNext)
        if (c->JumpLabel()) c->jumpTarget = first;
    return first;
}

OKEspec BenchSpec() {
    OKEspec s;
    s.name = "bench.spc";
    s.level = 6;
    s.maxHp = 1'000'000'000;  // nobody falls: the field stays as crowded
    s.armour = 0.0;
    s.aimTurnRate = 10;
    s.bulletPower = 1;
    s.bulletSpeed = 300;
    s.bulletLife = 60;
    s.ammunition = -1;  // never runs out
    s.homingBullets = 1;
    s.bulletTurnSpeed = 10;
    s.durations.fill(3);
    return s;
}

// Keeps the bullet count at `bullets`: new ones straight across the field.
void TopUpBullets(Field& field, Random& random, std::size_t bullets, std::int32_t span) {
    while (field.bulletList.size() < bullets) {
        auto* b = new Bullette(nullptr, 0, 1000, 300, 0, 0, 10);
        b->x = randomRange(random, -span, span);
        b->y = randomRange(random, -span, span);
        b->direction = randomRange(random, -179, 180);
        field.bulletList.push_back(b);
        field.AddToFieldList(b);
    }
}

void BM_WorldStep(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    const auto bullets = static_cast<std::size_t>(state.range(1));
    Random random;
    const OKEspec spec = BenchSpec();
    SharedField shared;
    auto field = shared.Lock();
    const std::int32_t span = 30000;  // 600 x 600 pixels
    for (int i = 0; i < 40; ++i) {
        Ref<Wall> w = MakeRef<Wall>();
        w->x = randomRange(random, -span, span);
        w->y = randomRange(random, -span, span);
        field->Add(std::move(w));
    }
    for (int i = 0; i < 30; ++i) {
        Ref<Parts> p = MakeRef<Parts>();
        p->x = randomRange(random, -span, span);
        p->y = randomRange(random, -span, span);
        field->Add(std::move(p));
    }
    for (int i = 0; i < units; ++i) {
        Ref<OKE> u = MakeRef<OKE>(i % 2, spec);
        u->x = randomRange(random, -span, span);
        u->y = randomRange(random, -span, span);
        u->direction = randomRange(random, -179, 180);
        u->InstallProgram(MakeProgram());
        field->Deploy(std::move(u));
    }
    TopUpBullets(*field, random, bullets, span);
    for (auto _ : state) {
        WorldStep(*field);
        state.PauseTiming();
        TopUpBullets(*field, random, bullets, span);
        state.ResumeTiming();
    }
    state.counters["objects"] = field->fieldList.Count();
}

BENCHMARK(BM_WorldStep)
    ->Args({50, 2000})
    ->Args({200, 2000})
    ->Args({1000, 2000})
    ->Args({200, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivora
