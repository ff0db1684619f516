#include "base/Fnv1a.h"

#include <gtest/gtest.h>

#include <string_view>

namespace kivora {
namespace {

// The published FNV-1a 64 test vectors; the digest of a replay's sections
// and of every battle it holds rests on them.
TEST(Fnv1aTest, KnownVectors) {
  struct Case {
    std::string_view text;
    std::uint64_t digest;
  };
  const Case cases[] = {
      {"", 0xcbf29ce484222325ull},
      {"a", 0xaf63dc4c8601ec8cull},
      {"foobar", 0x85944171f73967e8ull},
      {std::string_view("\0", 1), 0xaf63bd4c8601b7dfull},
  };
  for (const Case& c : cases) EXPECT_EQ(Fnv1a().Add(c.text).Value(), c.digest) << c.text;
  // Fed in pieces, the same as at once.
  EXPECT_EQ(Fnv1a().Add("foo").Add("bar").Value(), 0x85944171f73967e8ull);
}

}  // namespace
}  // namespace kivora
