#include "ui/BuyListDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ui/ListText.h"

namespace kivora {

BuyListDlg::BuyListDlg(Economy& economy, std::filesystem::path dataDir, ModelCheck modelCheck, QWidget* owner)
    : GameDialog(QStringLiteral("ＯＫＥ倉庫"), 249, 201, owner), economy_(economy), modelCheck_(std::move(modelCheck)) {
  const DialogUnits& du = Units();

  list_ = new QListWidget(this);
  list_->setGeometry(du.Rect(9, 31, 230, 145));
  SetUpTabbedList(*list_, du);

  AddText(QStringLiteral("価格はすべてペコグスタです。"), 22, 12, 105, 8);

  buyButton_ = AddButton(QStringLiteral("購入"), 41, 181, 40, 14);
  buyButton_->setDefault(true);
  cancelButton_ = AddButton(QStringLiteral("中止"), 148, 181, 40, 14);
  connect(buyButton_, &QPushButton::clicked, this, &BuyListDlg::Buy);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  // Row i of the list is always buyList_[i]: both come from the same read.
  selection_ = 0;
  buyList_ = ReadBuyList(dataDir / "buylist.txt");
  for (const BuyData& row : buyList_) list_->addItem(QString::fromStdString(row.RowText()));
  // The warehouse opens on its first row, and it is really chosen: 購入
  // buys what the list shows, and Down goes on to the second row.
  if (!buyList_.empty()) list_->setCurrentRow(0);
}

void BuyListDlg::Buy() {
  selection_ = SelectedRow(*list_);
  if (selection_ < 0 || static_cast<std::size_t>(selection_) >= buyList_.size()) return;
  const BuyData& row = buyList_[static_cast<std::size_t>(selection_)];

  // As unsigned money, a negative price is more than anyone has.
  if (economy_.GetMoney() < static_cast<std::uint32_t>(row.price)) {
    ask_(QStringLiteral("ペコグスタが足りねーぜ"), this);
    return;
  }
  if (modelCheck_ && !modelCheck_(row.specFile)) {
    ask_(QStringLiteral("そのＯＫＥは組み立てられねーぜ"), this);
    return;
  }
  if (!ask_(QStringLiteral("購入してもいいのかい？"), this)) return;
  // The money may have fallen while the question was open (a visit of the
  // party leader); the purchase is paid in full or not at all.
  if (economy_.GetMoney() < static_cast<std::uint32_t>(row.price)) {
    ask_(QStringLiteral("ペコグスタが足りねーぜ"), this);
    return;
  }
  economy_.SubMoney(static_cast<std::uint32_t>(row.price));
  accept();
}

}  // namespace kivora
