#pragma once
#include <string>

namespace kivora::test {

// A unit's model file that loads: `head` holds its first six lines (level,
// hit points, armour, bullet, ammunition, fight power) and every one of the
// 21 state durations is 3 ticks.
inline std::string ModelText(const std::string& head) {
  std::string text = head;
  for (int i = 0; i < 21; ++i) text += "3\n";
  return text;
}

// The plain model most tests deploy: only its level and hit points vary.
inline std::string ModelText(int level, int hp) {
  return ModelText(std::to_string(level) + "\n" + std::to_string(hp) + ",0,0,0,10\n100,20\n10,500,40,0\n20,0,0\n5\n");
}

}  // namespace kivora::test
