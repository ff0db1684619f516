#include "ui/NewSoftDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ui/ListText.h"

namespace kivora {

NewSoftDlg::NewSoftDlg(std::filesystem::path dataDir, QWidget* owner)
    : GameDialog(QStringLiteral("ソフトウェア選択"), 339, 239, owner) {
  const DialogUnits& du = Units();

  AddText(QStringLiteral("搭載するソフトウェアを選択してください"), 31, 9, 149, 8);

  list_ = new QListWidget(this);
  list_->setGeometry(du.Rect(9, 23, 317, 193));
  SetUpTabbedList(*list_, du);

  installButton_ = AddButton(QStringLiteral("搭載"), 68, 222, 40, 14);
  installButton_->setDefault(true);
  cancelButton_ = AddButton(QStringLiteral("非搭載"), 193, 222, 40, 14);
  connect(installButton_, &QPushButton::clicked, this, &NewSoftDlg::Install);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  // Already in file-name order. The entries keep the names as bytes: the
  // shown text is converted for the screen and cannot be opened.
  entries_ = ListSoftware(dataDir);
  for (const SoftwareEntry& entry : entries_) list_->addItem(QString::fromStdString(entry.EntryText()));
  // Nothing is chosen until the player picks a program. Without a current
  // row of its own the list would take row 0 as current when it gets the
  // focus and draw it as if chosen, though 搭載 would do nothing; so the
  // first Down now chooses the first row.
  ClearCurrentRow(*list_);
}

void NewSoftDlg::Install() {
  const int row = SelectedRow(*list_);
  if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return;
  const std::string& name = entries_[static_cast<std::size_t>(row)].fileName;
  if (name.empty()) return;
  if (!ask_(QString::fromStdString(SoftwareQuestion(name)), this)) return;
  softwareName_ = name;
  accept();
}

}  // namespace kivora
