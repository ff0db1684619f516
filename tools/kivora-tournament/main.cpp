// kivora-tournament: round robins and melees of many battles, on every core.
#include "common/ToolKit.h"
#include "kivora-tournament/TournamentOptions.h"
#include "kivora-tournament/TournamentRun.h"

int main(int argc, char** argv) {
  // SIGINT and SIGTERM stop the tournament.
  return kivora::ToolMain<kivora::TournamentOptions>("kivora-tournament", kivora::kTournamentUsage, argc, argv,
                                                     kivora::ParseTournamentOptions, kivora::RunTournament);
}
