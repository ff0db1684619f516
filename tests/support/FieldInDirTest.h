#pragma once
#include <gtest/gtest.h>

#include "game/Battle.h"
#include "support/TempDir.h"

namespace kivora::test {

// A battle on a fresh data folder that the test fills with files.
class FieldInDirTest : public ::testing::Test {
protected:
  TempDir dir;
  Battle battle{dir.Path()};
  Economy& economy = battle.GetEconomy();
  SpecTable& specs = battle.Specs();
};

}  // namespace kivora::test
