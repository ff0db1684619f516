#pragma once
#include <atomic>
#include <cstdint>

namespace kivora {

// The four counters of the game's economy: the player's money in ペコグスタ,
// the rival's points, the party leader's purse and the player's debt.
//
// Nothing ever goes below zero and nothing passes its limit; both are
// silent. The simulation thread pays pick-up rewards while the window
// thread buys, gambles and borrows, so every operation is one atomic
// read-modify-write: a reward that lands while the player spends is never
// lost.
class Economy {
public:
    static constexpr std::uint32_t kMoneyLimit = 2'000'000'000u;
    static constexpr std::uint32_t kRivalPointsLimit = 10'000u;

    static constexpr std::uint32_t kStartMoney = 1000u;
    static constexpr std::uint32_t kStartRivalPoints = 0u;
    static constexpr std::uint32_t kStartLeaderWallet = 1000u;
    static constexpr std::uint32_t kStartDebt = 0u;

    // A new economy holds the values the game starts with.
    Economy();
    // For tests and the arena: any values; those above a limit are capped.
    Economy(std::uint32_t money, std::uint32_t rivalPoints, std::uint32_t leaderWallet,
            std::uint32_t debt);

    Economy(const Economy&) = delete;
    Economy& operator=(const Economy&) = delete;

    std::uint32_t GetMoney() const;
    std::uint32_t GetRivalPoints() const;
    std::uint32_t GetLeaderWallet() const;
    std::uint32_t GetDebt() const;

    void SubMoney(std::uint32_t n);
    void SubRivalPoints(std::uint32_t n);
    void SubLeaderWallet(std::uint32_t n);
    void SubDebt(std::uint32_t n);

    void AddMoney(std::uint32_t n);
    void AddRivalPoints(std::uint32_t n);
    void AddLeaderWallet(std::uint32_t n);
    void AddDebt(std::uint32_t n);

    // The saturating arithmetic itself, exposed so that rules elsewhere can
    // reason about what an operation would leave.
    static constexpr std::uint32_t SaturatingSub(std::uint32_t value, std::uint32_t n) {
        return n > value ? 0u : value - n;
    }
    static constexpr std::uint32_t SaturatingAdd(std::uint32_t value, std::uint32_t n,
                                                 std::uint32_t limit) {
        // 64 bits: value + n cannot wrap before it is compared with the limit.
        const std::uint64_t sum = std::uint64_t{value} + n;
        return sum < limit ? static_cast<std::uint32_t>(sum) : limit;
    }

private:
    std::atomic<std::uint32_t> money_;
    std::atomic<std::uint32_t> rivalPoints_;
    std::atomic<std::uint32_t> leaderWallet_;
    std::atomic<std::uint32_t> debt_;
};

}  // namespace kivora
