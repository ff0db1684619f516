#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "economy/SoftwareList.h"
#include "ui/GameDialog.h"
#include "ui/PoboQuestion.h"

class QListWidget;
class QPushButton;

namespace kivora {

// "ソフトウェア選択": every program of the data directory with its first
// line, sorted by file name. 搭載 asks, then ends accepted with the chosen
// file in SoftwareName(); 非搭載 leaves the unit without software.
class NewSoftDlg : public GameDialog {
  Q_OBJECT
public:
  explicit NewSoftDlg(std::filesystem::path dataDir, QWidget* owner = nullptr);

  void SetAsker(QuestionAsker asker) { ask_ = std::move(asker); }

  // The chosen program's file name as the directory gives it (bytes, to be
  // opened in the data directory); empty unless the dialog was accepted.
  const std::string& SoftwareName() const { return softwareName_; }

  const std::vector<SoftwareEntry>& Entries() const { return entries_; }
  QListWidget* List() const { return list_; }
  QPushButton* InstallButton() const { return installButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

public slots:
  // 搭載.
  void Install();

private:
  QuestionAsker ask_ = AskPobo;
  std::vector<SoftwareEntry> entries_;
  std::string softwareName_;
  QListWidget* list_;
  QPushButton* installButton_;
  QPushButton* cancelButton_;
};

}  // namespace kivora
