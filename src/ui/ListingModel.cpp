#include "ui/ListingModel.h"

#include <QColor>

#include <algorithm>
#include <utility>

namespace kivora {

int ListingModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(lines_.size(), kMaxRows));
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount({})) return {};
  const bool current = index.row() == row_;
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(lines_[static_cast<std::size_t>(index.row())]);
    case Qt::BackgroundRole: return current ? QVariant(QColor(0, 0, 128)) : QVariant();
    case Qt::ForegroundRole: return current ? QVariant(QColor(Qt::white)) : QVariant();
    default: return {};
  }
}

void ListingModel::Reset(const std::vector<std::string>& lines) {
  beginResetModel();
  lines_ = lines;
  row_ = -1;
  endResetModel();
}

bool ListingModel::SetCurrent(int row) {
  if (row == row_) return false;
  const int old = std::exchange(row_, row);
  for (int r : {old, row})
    if (r >= 0) emit dataChanged(index(r), index(r), {Qt::BackgroundRole, Qt::ForegroundRole});
  return true;
}

}  // namespace kivora
