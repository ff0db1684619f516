#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/WorldStep.h"
#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::Program;
using test::TestField;

// The simulation thread ticks while the window thread deploys units under
// the field lock, replaces their programs, describes their current
// commands and reads the counters, as the game does.
TEST(WorldStepThreadTest, DeployingAndReprogrammingWhileTheWorldTicks) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.durations.fill(2);
    spec.maxHp = 20;
    spec.level = 3;
    t.AddWall(0, 20000, 40000, 400);
    for (int i = 0; i < 5; ++i) t.AddPart(-4000 + 2000 * i, 0);

    std::atomic<bool> stop{false};
    std::thread simulation([&] {
        for (int tick = 0; tick < 1500 && !stop.load(); ++tick) {
            std::lock_guard lock(t.field.lock);
            WorldStep(t.field);
        }
    });

    auto fire = [&t](EE& me) {
        // A search of the field as a program step does it: under the tick.
        for (EE* o : t.field.fieldList.Items()) {
            if (IsUnitKind(o->Kind()) && o->Kind() != me.Kind()) {
                me.SetState(kAiming, o);
                return;
            }
        }
        me.SetState(kForward, nullptr);
    };
    auto walk = [](EE& me) { me.SetState(kTurnRight, nullptr); };

    std::vector<Ref<OKE>> mine;  // the window's own handles keep them valid
    for (int i = 0; i < 60; ++i) {
        Ref<OKE> unit = MakeRef<OKE>(i % 2, spec);
        unit->x = -6000 + 200 * i;
        unit->y = (i % 2) ? 5000 : -5000;
        unit->direction = (i % 2) ? 180 : 0;
        {
            auto programLock = unit->LockProgram();
            unit->InstallProgram(Program({fire, walk}, true));
        }
        mine.push_back(unit);
        {
            std::lock_guard lock(t.field.lock);
            t.field.Deploy(std::move(unit));
        }
        for (Ref<OKE>& u : mine) {
            auto programLock = u->LockProgram();
            u->InstallProgram(Program({walk, fire}, true));
        }
        for (Ref<OKE>& u : mine) EXPECT_NE(u->DescribeCommand(), "");
        (void)t.economy.GetMoney();
        (void)t.economy.GetRivalPoints();
        t.economy.AddMoney(1);
        std::this_thread::yield();
    }
    stop.store(true);
    simulation.join();
    EXPECT_GE(t.economy.GetMoney(), 1060u);
}

}  // namespace
}  // namespace kivora
