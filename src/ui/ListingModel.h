#pragma once
#include <QAbstractListModel>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace kivora {

// A program listing's lines as a list model, for the game's program window
// and the viewer's program panel; the current line (the command the unit
// runs next) is drawn in the classic highlight colours, whatever the list
// has selected or focused.
class ListingModel : public QAbstractListModel {
public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Another program, or another unit: new lines, no highlight yet.
  void Reset(const std::vector<std::string>& lines);
  // Moves the highlight; true when it moved.
  bool SetCurrent(int row);
  int Current() const { return row_; }
  QString Line(int row) const { return data(index(row), Qt::DisplayRole).toString(); }

  // A list view counts its rows in int.
  static constexpr std::size_t kMaxRows = 0x7FFFFFFF;

private:
  std::vector<std::string> lines_;
  int row_ = -1;
};

}  // namespace kivora
