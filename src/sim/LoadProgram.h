#pragma once
#include <filesystem>
#include <string>

namespace kivora {

class OKE;

// Gives `unit` the program in the file `file` and starts it at its first
// command; the unit's variables keep their values. A file that cannot be
// opened or read leaves the unit without a program, which the game does in
// silence; the return value tells tools about it (false), and `why` (when
// given) says what went wrong, as FileException::Reason does.
//
// The unit is either not on a field yet (a purchase, a deployment) or the
// caller holds the lock of the field it is on.
bool LoadProgram(OKE& unit, const std::filesystem::path& file, std::string* why = nullptr);

}  // namespace kivora
