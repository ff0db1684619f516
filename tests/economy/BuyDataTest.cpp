#include <gtest/gtest.h>

#include "economy/BuyData.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

TEST(BuyDataTest, ParsesLinesLikeTheScanFormat) {
  struct Case {
    std::string line;
    int ok;
    std::string spec;
    std::int32_t price;
    std::string description;
  };
  const std::string f255(255, 'x');
  const std::string f256(256, 'x');
  const Case cases[] = {
      {"scout.spc,1500,Light scout", 1, "scout.spc", 1500, "Light scout"},
      {"scout.spc, 1500,desc,fourth,fifth", 1, "scout.spc", 1500,
       "desc"},  // white space before the price; rest ignored
      {"my unit.spc,\t-20,  spaced desc  ", 1, "my unit.spc", -20, "  spaced desc  "},
      {"a.spc,+7,d", 1, "a.spc", 7, "d"},
      {"a.spc,2147483647,max", 1, "a.spc", 2147483647, "max"},
      {"a.spc,-2147483648,min", 1, "a.spc", -2147483648, "min"},
      {"a.spc,2147483648,over", 0, "", 0, ""},
      {"a.spc,99999999999999999999,over", 0, "", 0, ""},
      {"a.spc,12abc,d", 0, "", 0, ""},  // the price must end at the comma
      {"a.spc,12 ,d", 0, "", 0, ""},
      {"a.spc,1500", 0, "", 0, ""},   // only two fields
      {"a.spc,1500,", 0, "", 0, ""},  // empty description
      {",1500,d", 0, "", 0, ""},      // empty model
      {"a.spc,,d", 0, "", 0, ""},
      {"a.spc,-,d", 0, "", 0, ""},
      {"a.spc", 0, "", 0, ""},
      {"", 0, "", 0, ""},
      {"\x83\x58\x83\x4c.spc,800,\x8c\x79\x82\xa2", 1, "\x83\x58\x83\x4c.spc", 800,
       "\x8c\x79\x82\xa2"},  // Shift-JIS bytes
      {f255 + ",1," + f255, 1, f255, 1, f255},
      {f256 + ",1,d", 0, "", 0, ""},  // too long: skipped, never cut or overrun
      {"a.spc,1," + f256, 0, "", 0, ""},
      {std::string("a.spc,1,d\0e", 11), 1, "a.spc", 1, "d"},  // a zero byte ends the line
      {std::string("a\0.spc,1,d", 10), 0, "", 0, ""},
  };
  for (const auto& c : cases) {
    BuyData row;
    row.specFile = "stale";
    SCOPED_TRACE(c.line.substr(0, 60));
    EXPECT_EQ(row.Parse(c.line), c.ok);
    EXPECT_EQ(row.specFile, c.spec);
    EXPECT_EQ(row.price, c.price);
    EXPECT_EQ(row.description, c.description);
  }
}

TEST(BuyDataTest, RowTextShowsPriceTabAndDescriptionInUtf8) {
  BuyData row;
  ASSERT_EQ(row.Parse("scout.spc,1500,\x8c\x79\x82\xa2\x83\x58\x83\x4a\x83\x45\x83\x67"), 1);  // 軽いスカウト
  EXPECT_EQ(row.RowText(), "1500ペコG\t軽いスカウト");
  ASSERT_EQ(row.Parse("x.spc,-5,plain"), 1);
  EXPECT_EQ(row.RowText(), "-5ペコG\tplain");
}

TEST(BuyDataTest, ReadsValidRowsInFileOrderSkippingTheRest) {
  test::TempDir dir;
  const auto file =
      dir.Write("buylist.txt", "a.spc,100,first\r\n\r\nbroken line\nb.spc,200\nc.spc,300,third,x\nd.spc,400,last");
  const auto rows = ReadBuyList(file);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].specFile, "a.spc");
  EXPECT_EQ(rows[1].description, "third");
  EXPECT_EQ(rows[2].price, 400);
}

TEST(BuyDataTest, MissingOrUnreadableListIsEmpty) {
  test::TempDir dir;
  EXPECT_TRUE(ReadBuyList(dir.Path() / "buylist.txt").empty());
  EXPECT_TRUE(ReadBuyList(dir.MakeDir("buylist.txt")).empty());
}

}  // namespace
}  // namespace kivora
