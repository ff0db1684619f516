#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "support/TempDir.h"
#include "ui/ListText.h"
#include "ui/NewSoftDlg.h"
#include "ui/ScriptedAsker.h"

namespace kivora {
namespace {

struct SoftwareShelf {
  SoftwareShelf() = default;
  void Open() {
    dlg = std::make_unique<NewSoftDlg>(dir.Path());
    dlg->SetAsker(asker.Asker());
    dlg->show();
  }
  test::TempDir dir;
  test::ScriptedAsker asker;
  std::unique_ptr<NewSoftDlg> dlg;
};

TEST(NewSoftDlgTest, ListsProgramsWithFirstLinesSortedByName) {
  SoftwareShelf s;
  s.dir.Write("sniper.prg", "# \x83\x58\x83\x69\x83\x43\x83\x70\x81\x5b\r\nWAIT\r\n");  // # スナイパー
  s.dir.Write("Brawler.PRG", "MOVE,100\n");
  s.dir.Write("empty.prg", "");
  s.dir.Write("map.txt", "0,0,10,10\n");
  s.Open();
  EXPECT_EQ(s.dlg->windowTitle(), QStringLiteral("ソフトウェア選択"));
  EXPECT_EQ(s.dlg->InstallButton()->text(), QStringLiteral("搭載"));
  EXPECT_EQ(s.dlg->CancelButton()->text(), QStringLiteral("非搭載"));
  ASSERT_EQ(s.dlg->List()->count(), 3);
  EXPECT_EQ(s.dlg->List()->item(0)->text(), QStringLiteral("Brawler.PRG\tMOVE,100"));
  EXPECT_EQ(s.dlg->List()->item(1)->text(), QStringLiteral("empty.prg\t"));
  EXPECT_EQ(s.dlg->List()->item(2)->text(), QStringLiteral("sniper.prg\t# スナイパー"));
}

// Nothing is chosen at opening, and nothing looks chosen, also once the
// list has the keyboard focus; the first Down chooses the first program,
// the next one the second.
TEST(NewSoftDlgTest, NothingLooksChosenUntilThePlayerChooses) {
  SoftwareShelf s;
  s.dir.Write("a.prg", "A\n");
  s.dir.Write("b.prg", "B\n");
  s.Open();
  QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(s.dlg->List(), &focus);
  EXPECT_EQ(s.dlg->List()->currentRow(), -1);
  EXPECT_EQ(SelectedRow(*s.dlg->List()), -1);
  s.dlg->InstallButton()->click();
  EXPECT_TRUE(s.asker.texts.isEmpty());
  QTest::keyClick(s.dlg->List(), Qt::Key_Down);
  EXPECT_EQ(SelectedRow(*s.dlg->List()), 0);
  QTest::keyClick(s.dlg->List(), Qt::Key_Down);
  EXPECT_EQ(SelectedRow(*s.dlg->List()), 1);
  EXPECT_EQ(s.dlg->List()->currentRow(), 1);
  s.dlg->InstallButton()->click();
  EXPECT_EQ(s.dlg->SoftwareName(), "b.prg");
}

TEST(NewSoftDlgTest, NoProgramsOnlyLetsThePlayerDecline) {
  SoftwareShelf s;
  s.Open();
  EXPECT_EQ(s.dlg->List()->count(), 0);
  s.dlg->InstallButton()->click();
  EXPECT_TRUE(s.asker.texts.isEmpty());
  EXPECT_TRUE(s.dlg->isVisible());
  s.dlg->CancelButton()->click();
  EXPECT_EQ(s.dlg->result(), QDialog::Rejected);
  EXPECT_TRUE(s.dlg->SoftwareName().empty());
}

TEST(NewSoftDlgTest, InstallAsksAndOnlyYesChooses) {
  SoftwareShelf s;
  s.dir.Write("a.prg", "A\n");
  s.dir.Write("b.prg", "B\n");
  s.Open();
  s.dlg->InstallButton()->click();  // nothing selected
  EXPECT_TRUE(s.asker.texts.isEmpty());

  s.asker.answers = {false, true};
  s.dlg->List()->setCurrentRow(1);
  s.dlg->InstallButton()->click();
  EXPECT_TRUE(s.dlg->isVisible());
  EXPECT_EQ(s.dlg->List()->currentRow(), 1);  // same selection after 中断
  EXPECT_TRUE(s.dlg->SoftwareName().empty());
  s.dlg->InstallButton()->click();
  EXPECT_EQ(s.asker.texts, (QStringList{QStringLiteral("ソフトウェアは[b.prg]でいいのかい？"),
                                        QStringLiteral("ソフトウェアは[b.prg]でいいのかい？")}));
  EXPECT_EQ(s.dlg->result(), QDialog::Accepted);
  EXPECT_EQ(s.dlg->SoftwareName(), "b.prg");
}

TEST(NewSoftDlgTest, ChosenNameIsTheFileNotItsScreenText) {
  SoftwareShelf s;
  const std::string sjisName = "\x83\x6e\x83\x93\x83\x5e.prg";  // ハンタ.prg in Shift-JIS
  const std::string tabbed = "tab\there.prg";
  s.dir.Write(sjisName, "x\n");
  s.dir.Write(tabbed, "y\n");
  s.Open();
  ASSERT_EQ(s.dlg->List()->count(), 2);
  s.dlg->List()->setCurrentRow(0);
  s.dlg->InstallButton()->click();
  EXPECT_EQ(s.dlg->SoftwareName(), tabbed);

  SoftwareShelf t;
  t.dir.Write(sjisName, "x\n");
  t.Open();
  t.dlg->List()->setCurrentRow(0);
  t.dlg->InstallButton()->click();
  EXPECT_EQ(t.asker.texts, (QStringList{QStringLiteral("ソフトウェアは[ハンタ.prg]でいいのかい？")}));
  EXPECT_EQ(t.dlg->SoftwareName(), sjisName);
}

TEST(NewSoftDlgTest, LongFirstLineShowsItsFirstPieceOnly) {
  SoftwareShelf s;
  s.dir.Write("long.prg", std::string(5000, 'Z') + "\n");
  s.Open();
  ASSERT_EQ(s.dlg->List()->count(), 1);
  EXPECT_EQ(s.dlg->List()->item(0)->text(), QStringLiteral("long.prg\t") + QString(2048, QLatin1Char('Z')));
}

TEST(NewSoftDlgTest, RowsScrollSidewaysOverTheFullExtent) {
  SoftwareShelf s;
  s.dir.Write("a.prg", "short\n");
  s.dir.Write("b.prg", std::string(400, 'W') + "\n");
  s.Open();
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(s.dlg->List()->visualItemRect(s.dlg->List()->item(row)).width(), kListExtent) << row;
  }
  EXPECT_EQ(s.dlg->List()->horizontalScrollBar()->maximum(), kListExtent - s.dlg->List()->viewport()->width());
}

TEST(NewSoftDlgTest, DoubleClickOnlySelects) {
  SoftwareShelf s;
  s.dir.Write("a.prg", "A\n");
  s.Open();
  const QRect rect = s.dlg->List()->visualItemRect(s.dlg->List()->item(0));
  QTest::mouseDClick(s.dlg->List()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_TRUE(s.asker.texts.isEmpty());
  EXPECT_TRUE(s.dlg->isVisible());
  EXPECT_EQ(s.dlg->List()->currentRow(), 0);
}

}  // namespace
}  // namespace kivora
