#pragma once
#include <string>

namespace kivora {

// Why CreateCommand refuses `line`, in a few English words for the program's
// author ("unknown keyword CANCEL", "width must be 1..360"). Words copied
// from the line stay in their bytes. Only meaningful for a refused line.
std::string DropReason(const char* line);

}  // namespace kivora
