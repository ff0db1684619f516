#include "economy/Economy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <thread>

namespace kivora {
namespace {

constexpr std::uint32_t kMax = 0xFFFFFFFFu;

enum class Which { Money, RivalPoints, LeaderWallet, Debt };

const char* NameOf(Which w) {
    switch (w) {
        case Which::Money: return "money";
        case Which::RivalPoints: return "rivalPoints";
        case Which::LeaderWallet: return "leaderWallet";
        case Which::Debt: return "debt";
    }
    return "?";
}

// An economy with the chosen counter at `value` and every other counter at
// a marker value, so an operation that touches the wrong counter shows up.
constexpr std::uint32_t kMarker = 777;

std::unique_ptr<Economy> With(Which w, std::uint32_t value) {
    return std::make_unique<Economy>(w == Which::Money ? value : kMarker,
                                     w == Which::RivalPoints ? value : kMarker,
                                     w == Which::LeaderWallet ? value : kMarker,
                                     w == Which::Debt ? value : kMarker);
}

std::uint32_t Get(const Economy& e, Which w) {
    switch (w) {
        case Which::Money: return e.GetMoney();
        case Which::RivalPoints: return e.GetRivalPoints();
        case Which::LeaderWallet: return e.GetLeaderWallet();
        case Which::Debt: return e.GetDebt();
    }
    return 0;
}

void Add(Economy& e, Which w, std::uint32_t n) {
    switch (w) {
        case Which::Money: e.AddMoney(n); break;
        case Which::RivalPoints: e.AddRivalPoints(n); break;
        case Which::LeaderWallet: e.AddLeaderWallet(n); break;
        case Which::Debt: e.AddDebt(n); break;
    }
}

void Sub(Economy& e, Which w, std::uint32_t n) {
    switch (w) {
        case Which::Money: e.SubMoney(n); break;
        case Which::RivalPoints: e.SubRivalPoints(n); break;
        case Which::LeaderWallet: e.SubLeaderWallet(n); break;
        case Which::Debt: e.SubDebt(n); break;
    }
}

void ExpectOthersUntouched(const Economy& e, Which changed) {
    for (Which w : {Which::Money, Which::RivalPoints, Which::LeaderWallet, Which::Debt}) {
        if (w != changed) {
            EXPECT_EQ(Get(e, w), kMarker) << NameOf(w) << " changed by " << NameOf(changed);
        }
    }
}

TEST(EconomyTest, StartsWithTheGamesOpeningValues) {
    Economy e;
    EXPECT_EQ(e.GetMoney(), 1000u);
    EXPECT_EQ(e.GetRivalPoints(), 0u);
    EXPECT_EQ(e.GetLeaderWallet(), 1000u);
    EXPECT_EQ(e.GetDebt(), 0u);
}

struct Row {
    Which which;
    bool add;
    std::uint32_t before;
    std::uint32_t n;
    std::uint32_t after;
};

TEST(EconomyTest, AddAndSubSaturateAtZeroAndAtEachLimit) {
    const Row rows[] = {
        // Subtraction stops at zero.
        {Which::Money, false, 1000, 1500, 0},
        {Which::Money, false, 1000, 1000, 0},
        {Which::Money, false, 1000, 999, 1},
        {Which::Money, false, 0, kMax, 0},
        {Which::RivalPoints, false, 0, 1, 0},
        {Which::RivalPoints, false, 5, 2, 3},
        {Which::LeaderWallet, false, 300, 301, 0},
        {Which::Debt, false, 2'000'000'000, kMax, 0},
        {Which::Debt, false, 2'000'000'000, 1, 1'999'999'999},
        // Addition stops at the limit: 2,000,000,000 for money, purse and
        // debt, 10,000 for the rival's points.
        {Which::Money, true, 2'000'000'000, 1, 2'000'000'000},
        {Which::Money, true, 1'999'999'800, 500, 2'000'000'000},
        {Which::Money, true, 1'999'999'800, 200, 2'000'000'000},
        {Which::Money, true, 1'999'999'800, 199, 1'999'999'999},
        {Which::Money, true, 1000, 0, 1000},
        // A sum that would wrap 32 bits must not come out small.
        {Which::Money, true, 2'000'000'000, kMax, 2'000'000'000},
        {Which::LeaderWallet, true, 1'500'000'000, 3'000'000'000u, 2'000'000'000},
        {Which::Debt, true, 0, kMax, 2'000'000'000},
        {Which::Debt, true, 10, 20, 30},
        {Which::RivalPoints, true, 10'000, 1, 10'000},
        {Which::RivalPoints, true, 9'999, 1, 10'000},
        {Which::RivalPoints, true, 9'998, 1, 9'999},
        {Which::RivalPoints, true, 0, kMax, 10'000},
    };
    for (const Row& r : rows) {
        auto e = With(r.which, r.before);
        if (r.add) Add(*e, r.which, r.n); else Sub(*e, r.which, r.n);
        EXPECT_EQ(Get(*e, r.which), r.after)
            << NameOf(r.which) << (r.add ? " + " : " - ") << r.n << " from " << r.before;
        ExpectOthersUntouched(*e, r.which);
    }
}

TEST(EconomyTest, ValuesAboveALimitAreCappedWhenSet) {
    Economy e(kMax, kMax, kMax, kMax);
    EXPECT_EQ(e.GetMoney(), 2'000'000'000u);
    EXPECT_EQ(e.GetRivalPoints(), 10'000u);
    EXPECT_EQ(e.GetLeaderWallet(), 2'000'000'000u);
    EXPECT_EQ(e.GetDebt(), 2'000'000'000u);
}

// The simulation thread pays rewards while the window thread spends: no
// change may be lost between a read and a write of the same counter.
TEST(EconomyThreadTest, ConcurrentChangesAreNeverLost) {
    Economy e(1'000'000, 0, 1000, 0);
    constexpr int kRounds = 20000;
    std::thread rewards([&] {
        for (int i = 0; i < kRounds; ++i) {
            e.AddMoney(3);
            e.AddRivalPoints(1);
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        e.SubMoney(1);
        e.SubRivalPoints(0);
        (void)e.GetMoney();
    }
    rewards.join();
    EXPECT_EQ(e.GetMoney(), 1'000'000u + 2u * kRounds);
    EXPECT_EQ(e.GetRivalPoints(), 10'000u);
}

}  // namespace
}  // namespace kivora
