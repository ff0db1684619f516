#pragma once
#include <QFont>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QMenu;

namespace kivora {

class Economy;

// The sheet to the right of the field: the player's money, the rival's
// points and the details of one selected unit. It repaints on its own at an
// interval the player picks with a right click.
class StatusViewWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDefaultIntervalMs = 1000;

  StatusViewWnd(Economy& economy, std::function<std::uint32_t()> clock, QWidget* parent);
  ~StatusViewWnd() override;

  void SelectAt(std::int32_t fx, std::int32_t fy);
  void ClearSelection();

  // Called every 100 ms by the main window; returns true when it repainted.
  bool Refresh();

  int RefreshInterval() const { return refreshInterval_; }
  // The popup's commands 1001..1010: (id - 1000) * 100 ms.
  void OnIntervalCommand(int id);
  // The right-click menu, built afresh each time; the caller owns it.
  QMenu* BuildIntervalMenu();

  // The text as the next paint will draw it (UTF-8).
  std::string SheetText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Economy& economy_;
  std::function<std::uint32_t()> clock_;
  QFont font_;
  std::uint32_t lastRefresh_ = 0;
  int refreshInterval_ = kDefaultIntervalMs;
};

}  // namespace kivora
