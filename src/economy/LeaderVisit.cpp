#include "economy/LeaderVisit.h"

#include <string>

#include "base/Random.h"

namespace kivora {
namespace {

constexpr std::int32_t kCallsPerVisit = 5;

std::string Taken(std::uint32_t n) { return std::to_string(n) + "ペコグスタを党首に持って行かれました"; }

const char* const kPraise[3] = {
    "党首「よしよし。たくさん稼いだな。」",
    "党首「よしよし。その調子だぞ。」",
    "党首「今月の小遣いが足りないからもらっていくぞ。」",
};

const char* const kScolding[3] = {
    "党首「ばっかもーん！しっかり稼がんかい！」",
    "党首「ばっかもーん！無駄遣いするな！」",
    "党首「今度来るまでに１万ペコグスタ用意するように（－－）」",
};

}  // namespace

bool LeaderVisit(std::int32_t& visitCount, Economy& economy, Random& random, MessageSink& log) {
  // The counter never passes 5 in play; a caller's odd value still cannot overflow.
  visitCount = visitCount >= kCallsPerVisit ? kCallsPerVisit : visitCount + 1;
  if (visitCount != kCallsPerVisit) return false;

  // The visit acts on the figures read as he comes in; a pick-up reward
  // arriving meanwhile is simply added on top.
  const std::uint32_t d = economy.GetDebt();
  std::uint32_t m = economy.GetMoney();

  if (d > 0) {
    if (m < d) {
      log.AddMessage("党首「ちゃんと働いておるか？」");
      const std::uint32_t interest = d / 10;
      economy.AddDebt(interest);
      log.AddMessage("党首への借金が" + std::to_string(interest) + "ペコグスタ増えました");
    } else {
      log.AddMessage("党首「お、返済できるようだな。もらっておくぞ（－－）」");
      economy.SubMoney(d);
      economy.SubDebt(d);
      economy.AddLeaderWallet(d);
      log.AddMessage(Taken(d));
      m = economy.GetMoney();
    }
  }

  if (m >= 10000) {
    log.AddMessage(kPraise[randomRange(random, 0, 2)]);
    const std::uint32_t a = LeaderAllowance(m);
    economy.SubMoney(a);
    economy.AddLeaderWallet(a);
    log.AddMessage(Taken(a));
  } else if (m > 5000) {
    economy.SubMoney(500);
    economy.AddLeaderWallet(500);
    log.AddMessage(Taken(500));
  } else if (m > 100) {
    economy.SubMoney(100);
    economy.AddLeaderWallet(100);
    log.AddMessage(Taken(100));
  } else {
    economy.SubLeaderWallet(100);
    log.AddMessage(kScolding[randomRange(random, 0, 2)]);
  }

  visitCount = 0;
  return true;
}

}  // namespace kivora
