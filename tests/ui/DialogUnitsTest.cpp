#include "ui/DialogUnits.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "ui/LoanTousyuDlg.h"
#include "ui/PoboQuestion.h"

namespace kivora {
namespace {

TEST(DialogUnitsTest, DialogFontIsTheInstalledMincho) {
  // Without the IPA fonts every Japanese text would fall back to another
  // face (or empty boxes) and every dialog would change size.
  EXPECT_EQ(QFontInfo(DialogUnits::DialogFont()).family(), QStringLiteral("IPAMincho"));
  const DialogUnits du;
  EXPECT_GT(du.BaseX(), 5.0);
  EXPECT_LT(du.BaseX(), 8.0);
  EXPECT_GT(du.BaseY(), 11.0);
  EXPECT_LT(du.BaseY(), 17.0);
}

TEST(DialogUnitsTest, NeighbouringRectanglesMeetAndSizesFollowTheFont) {
  const DialogUnits du;
  struct Case { int x, w; };
  for (const Case& c : {Case{0, 4}, Case{13, 128}, Case{141, 17}, Case{158, 196}, Case{199, 40}}) {
    const QRect a = du.Rect(c.x, 3, c.w, 8);
    const QRect b = du.Rect(c.x + c.w, 11, 10, 8);
    EXPECT_EQ(a.right() + 1, b.left()) << c.x;
    EXPECT_EQ(a.bottom() + 1, b.top()) << c.x;
  }
  EXPECT_EQ(du.Rect(0, 0, 4, 8), QRect(0, 0, du.X(4), du.Y(8)));

  PoboQuestion box(QStringLiteral("x"));
  EXPECT_EQ(box.size(), du.Size(364, 151));
  Economy economy;
  LoanTousyuDlg loan(economy);
  EXPECT_EQ(loan.size(), du.Size(215, 110));
}

}  // namespace
}  // namespace kivora
