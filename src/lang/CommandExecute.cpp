// Placeholder: what each command does to its unit comes with the simulation.
#include "lang/Command.h"

namespace kivora {

Command* CommandNop::Execute(EE*, EElist&) { return next; }
Command* CommandMove::Execute(EE*, EElist&) { return next; }
Command* CommandJump::Execute(EE*, EElist&) { return next; }
Command* CommandTurn::Execute(EE*, EElist&) { return next; }
Command* CommandFire::Execute(EE*, EElist&) { return next; }
Command* CommandFight::Execute(EE*, EElist&) { return next; }
Command* CommandProne::Execute(EE*, EElist&) { return next; }
Command* CommandGetParts::Execute(EE*, EElist&) { return next; }
Command* CommandSearchEnemy::Execute(EE*, EElist&) { return next; }
Command* CommandSearchFriend::Execute(EE*, EElist&) { return next; }
Command* CommandSearchObject::Execute(EE*, EElist&) { return next; }
Command* CommandSearchBullette::Execute(EE*, EElist&) { return next; }
Command* CommandSearchParts::Execute(EE*, EElist&) { return next; }
Command* CommandRandom::Execute(EE*, EElist&) { return next; }
Command* CommandRemain::Execute(EE*, EElist&) { return next; }
Command* CommandVar::Execute(EE*, EElist&) { return next; }
Command* CommandVarCond::Execute(EE*, EElist&) { return next; }
Command* CommandGetInfo::Execute(EE*, EElist&) { return next; }

}  // namespace kivora
