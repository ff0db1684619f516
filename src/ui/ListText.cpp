#include "ui/ListText.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

#include "ui/DialogUnits.h"

namespace kivora {
namespace {

// Draws an entry's text with fixed tab stops (Qt's item views put them 80
// pixels apart, which scatters the second column) and gives every row the
// list's full scrolling width.
class TabbedItemDelegate : public QStyledItemDelegate {
public:
  TabbedItemDelegate(qreal tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // background and selection
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabStopDistance(tabStop_);
    painter->save();
    painter->setFont(opt.font);
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(textRect), text, layout);
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(kListExtent, QStyledItemDelegate::sizeHint(option, index).height());
  }

private:
  qreal tabStop_;
};

// Plain rows of a fixed width, so the list scrolls sideways over that width
// whatever its lines hold.
class WideRowDelegate : public QStyledItemDelegate {
public:
  WideRowDelegate(int width, QObject* parent) : QStyledItemDelegate(parent), width_(width) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(width_, QStyledItemDelegate::sizeHint(option, index).height());
  }

private:
  int width_;
};

}  // namespace

void SetHorizontalExtent(QListWidget& list, int width) {
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list.setWordWrap(false);
  list.setTextElideMode(Qt::ElideNone);
  list.setItemDelegate(new WideRowDelegate(width, &list));
}

void SetUpTabbedList(QListWidget& list, const DialogUnits& du) {
  list.setSelectionMode(QAbstractItemView::SingleSelection);
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list.setWordWrap(false);
  list.setTextElideMode(Qt::ElideNone);
  list.setItemDelegate(new TabbedItemDelegate(du.X(32), &list));
}

void ClearCurrentRow(QListWidget& list) {
  // Setting the current index, even to none, tells the view it has one, so
  // gaining the focus leaves it alone.
  list.setCurrentIndex(QModelIndex());
  list.clearSelection();
}

int SelectedRow(const QListWidget& list) {
  const QModelIndexList rows = list.selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace kivora
