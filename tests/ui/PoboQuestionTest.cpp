#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/Pictures.h"
#include "ui/PoboQuestion.h"

namespace kivora {
namespace {

// Presses `key` in whatever modal dialog is open once the event loop runs.
void PressInModalSoon(Qt::Key key) {
  QTimer::singleShot(0, [key] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QTest::keyClick(modal, key);
  });
}

TEST(PoboQuestionTest, OpensWithPortraitTextAndButtons) {
  PoboQuestion box(QStringLiteral("購入してもいいのかい？"));
  EXPECT_EQ(box.windowTitle(), QStringLiteral("ポボゴム"));
  EXPECT_EQ(box.TextLabel()->text(), QStringLiteral("購入してもいいのかい？"));
  EXPECT_TRUE(box.TextLabel()->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(box.PictureLabel()->pixmap().size(), QSize(128, 128));
  EXPECT_EQ(box.OkButton()->text(), QStringLiteral("了解"));
  EXPECT_EQ(box.CancelButton()->text(), QStringLiteral("中断"));
  EXPECT_TRUE(box.OkButton()->isDefault());
  EXPECT_TRUE(box.isModal());
  EXPECT_EQ(box.font().family(), QStringLiteral("IPAMincho"));
}

TEST(PoboQuestionTest, LineBreaksGiveSeveralLinesInsideTheTextControl) {
  PoboQuestion box(QStringLiteral("はずれだぜ。\n300 ペコグスタは俺がもらっておくぜ。"));
  const QLabel* label = box.TextLabel();
  const int lineHeight = QFontMetrics(label->font()).lineSpacing();
  const int needed = label->heightForWidth(label->width());
  EXPECT_GE(needed, 2 * lineHeight);
  EXPECT_LE(needed, label->height());  // fits inside the control
}

TEST(PoboQuestionTest, AnswersByKeyAndButton) {
  struct Case {
    Qt::Key key;
    int result;
  };
  for (const Case& c : {Case{Qt::Key_Return, QDialog::Accepted}, Case{Qt::Key_Enter, QDialog::Accepted},
                        Case{Qt::Key_Escape, QDialog::Rejected}}) {
    PoboQuestion box(QStringLiteral("終了してもいいのかい？"));
    PressInModalSoon(c.key);
    EXPECT_EQ(box.exec(), c.result) << c.key;
  }
  PoboQuestion cancelled(QStringLiteral("?"));
  QTimer::singleShot(0, [&] { cancelled.CancelButton()->click(); });
  EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
  PoboQuestion confirmed(QStringLiteral("?"));
  QTimer::singleShot(0, [&] { confirmed.OkButton()->click(); });
  EXPECT_EQ(confirmed.exec(), QDialog::Accepted);
}

TEST(PoboQuestionTest, AskPoboIsCentredOverItsOwnerAndModal) {
  QWidget owner;
  owner.setGeometry(100, 80, 900, 700);
  owner.show();
  QRect seen;
  bool ownerBlocked = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    seen = modal->frameGeometry();
    ownerBlocked = QApplication::activeModalWidget() != &owner && modal->isModal();
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  EXPECT_FALSE(AskPobo(QStringLiteral("ペコグスタが足りねーぜ"), &owner));
  EXPECT_TRUE(ownerBlocked);
  EXPECT_LE((seen.center() - owner.frameGeometry().center()).manhattanLength(), 4);
}

TEST(PoboQuestionTest, WithoutAnOwnerTheMainWindowOwnsTheBox) {
  QMainWindow main;
  main.setGeometry(100, 80, 900, 700);
  main.show();
  // Another window has the focus, or none has: the box still belongs to the game's window.
  QWidget other;
  other.setGeometry(1200, 600, 200, 100);
  other.show();
  other.activateWindow();
  QWidget* parent = nullptr;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    parent = modal->parentWidget();
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  EXPECT_FALSE(AskPobo(QStringLiteral("終了してもいいのかい？"), nullptr));
  EXPECT_EQ(parent, &main);
}

TEST(PoboQuestionTest, PicturesOfResAreBuiltIn) {
  // Whatever res/ holds is in the program, found by name in any case.
  const QDir res(QStringLiteral(KIVORA_SOURCE_DIR "/res"));
  for (const QString& file : res.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
    const QString name = QFileInfo(file).completeBaseName();
    EXPECT_TRUE(HasGamePicture(name)) << name.toStdString();
    EXPECT_TRUE(HasGamePicture(name.toLower())) << name.toStdString();
  }
  EXPECT_FALSE(HasGamePicture(QStringLiteral("NoSuchPicture")));
}

TEST(PoboQuestionTest, PicturesAlwaysComeAt128Pixels) {
  for (const char* name : {"GOMMU", "Slot1", "Slot6", "slot3"}) {
    EXPECT_EQ(GamePicture(QString::fromLatin1(name)).size(), QSize(128, 128)) << name;
  }
}

}  // namespace
}  // namespace kivora
