#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "economy/BuyData.h"
#include "economy/Economy.h"
#include "ui/GameDialog.h"
#include "ui/PoboQuestion.h"

class QListWidget;
class QPushButton;

namespace kivora {

// The warehouse, "ＯＫＥ倉庫": the rows of buylist.txt (read afresh at every
// opening) with their prices. The player picks a row and 購入 asks before
// paying; the dialog ends accepted only once the money has been taken.
class BuyListDlg : public GameDialog {
  Q_OBJECT
public:
  // Tells whether a unit can be built from a model file (loads the model).
  using ModelCheck = std::function<bool(const std::string& specFile)>;

  // `dataDir` holds buylist.txt and the models. The model of the chosen row
  // is checked before the player is asked to pay, so money is never taken
  // for a unit that cannot be built.
  BuyListDlg(Economy& economy, std::filesystem::path dataDir, ModelCheck modelCheck, QWidget* owner = nullptr);

  // Replaces the question box (for tests).
  void SetAsker(QuestionAsker asker) { ask_ = std::move(asker); }

  // After the dialog ended accepted: the bought row.
  const BuyData& ChosenRow() const { return buyList_.at(static_cast<std::size_t>(selection_)); }

  const std::vector<BuyData>& Rows() const { return buyList_; }
  int Selection() const { return selection_; }
  QListWidget* List() const { return list_; }
  QPushButton* BuyButton() const { return buyButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

public slots:
  // 購入.
  void Buy();

private:
  Economy& economy_;
  ModelCheck modelCheck_;
  QuestionAsker ask_ = AskPobo;
  std::vector<BuyData> buyList_;
  int selection_ = 0;
  QListWidget* list_;
  QPushButton* buyButton_;
  QPushButton* cancelButton_;
};

}  // namespace kivora
