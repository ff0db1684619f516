#pragma once
#include <QFont>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "sim/OKE.h"
#include "sim/Ref.h"

class QMenu;

namespace kivora {

class Economy;
class SharedField;

// The sheet to the right of the field: the player's money, the rival's
// points and the details of one selected unit. It repaints on its own at an
// interval the player picks with a right click.
class StatusViewWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDefaultIntervalMs = 1000;

  StatusViewWnd(SharedField& field, Economy& economy, std::function<std::uint32_t()> clock, QWidget* parent);
  ~StatusViewWnd() override;

  // Selects the first unit under a field point; a click on empty ground
  // keeps the selection. Selecting is done without the field lock held: the
  // program window takes it when told of the new selection.
  void SelectAt(std::int32_t fx, std::int32_t fy);
  void Select(OKE* unit);
  void ClearSelection();
  // The unit shown. The view holds a reference, so a unit that falls stays
  // readable (with its last values) until another is selected.
  OKE* Selected() const { return selected_.get(); }

  // Called every 100 ms by the main window; returns true when it repainted.
  bool Refresh();

  int RefreshInterval() const { return refreshInterval_; }
  // The popup's commands 1001..1010: (id - 1000) * 100 ms.
  void OnIntervalCommand(int id);
  // The right-click menu, built afresh each time; the caller owns it: the
  // intervals, then the item that asks for the program window.
  QMenu* BuildIntervalMenu();

  // The sheet's font; the program window writes in it too.
  static QFont SheetFont();

  // The text as the next paint will draw it (UTF-8).
  std::string SheetText() const;

 signals:
  // Another unit is shown, or none.
  void selectionChanged();
  // A timed repaint is under way (Refresh returned true).
  void refreshed();
  // The player asked for the program window: from the menu, or with a
  // double click on the sheet.
  void listingRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  SharedField& field_;
  Economy& economy_;
  Ref<OKE> selected_;
  std::function<std::uint32_t()> clock_;
  QFont font_;
  std::uint32_t lastRefresh_ = 0;
  int refreshInterval_ = kDefaultIntervalMs;
};

}  // namespace kivora
