#pragma once
#include <gtest/gtest.h>

#include "economy/Economy.h"
#include "sim/Field.h"
#include "sim/OKEspec.h"
#include "support/TempDir.h"

namespace kivora::test {

// A field and its model table, with a fresh working directory for the data
// files they read.
class FieldInDirTest : public ::testing::Test {
protected:
  TempDir dir;
  ScopedWorkingDir inside{dir.Path()};
  Economy economy;
  Field field{economy};
  SpecTable specs;
};

}  // namespace kivora::test
