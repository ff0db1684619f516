#pragma once
#include <QWidget>

#include <optional>

#include "field/ProgramListing.h"

class QLabel;
class QListView;

namespace kivora {

class ListingModel;
class SharedField;
class StatusViewWnd;

// A tool window beside the main window with the whole program of the unit
// the status view shows, the command it runs next highlighted and kept in
// view. It follows the status view's selection and refreshes when the view
// does; Escape closes it.
class ProgramListWnd : public QWidget {
  Q_OBJECT
 public:
  ProgramListWnd(SharedField& field, StatusViewWnd& status, QWidget* parent);
  ~ProgramListWnd() override;

  // Shows the window (beside its parent the first time) and brings it up to date.
  void Open();
  // Takes the status view's selection and gathers its program anew; does
  // nothing while the window is hidden.
  void Refresh();

  // What the window shows (UTF-8 in, Qt text out), for tests.
  QString HeadText() const;
  int LineCount() const;
  QString Line(int row) const;
  // The highlighted line, -1 when none is.
  int CurrentRow() const;
  QListView* List() const { return list_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  SharedField& field_;
  StatusViewWnd& status_;
  ProgramListing listing_;
  ListingModel* model_ = nullptr;
  QLabel* head_ = nullptr;
  QListView* list_ = nullptr;
  bool placed_ = false;
};

}  // namespace kivora
