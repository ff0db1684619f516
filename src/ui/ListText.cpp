#include "ui/ListText.h"

#include <QItemSelectionModel>
#include <QListWidget>

namespace kivora {

void SetUpTabbedList(QListWidget& list) {
  list.setSelectionMode(QAbstractItemView::SingleSelection);
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list.setWordWrap(false);
  list.setTextElideMode(Qt::ElideNone);
}

int SelectedRow(const QListWidget& list) {
  const QModelIndexList rows = list.selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace kivora
