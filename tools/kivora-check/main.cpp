// kivora-check [--list] FILE.prg...
// Loads robot programs as the game does and reports the lines the game
// would silently drop and the labels that lead nowhere.
#include <iostream>
#include <string>
#include <vector>

#include "kivora-check/ProgramCheck.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = kivora::RunProgramCheck(args, std::cout, std::cerr);
  std::cout.flush();
  return std::cout ? status : 2;
}
