#include "ui/ProgramListWnd.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "sim/Field.h"
#include "ui/ListingModel.h"
#include "ui/StatusViewWnd.h"

namespace kivora {

ProgramListWnd::ProgramListWnd(SharedField& field, StatusViewWnd& status, QWidget* parent)
    : QWidget(parent, Qt::Tool), field_(field), status_(status) {
  setObjectName("ProgramList");
  setWindowTitle(QString::fromUtf8("プログラム表示"));
  const QFont font = StatusViewWnd::SheetFont();

  head_ = new QLabel(this);
  head_->setObjectName("ProgramHead");
  head_->setFont(font);
  // Model names come from data files: never read as rich text.
  head_->setTextFormat(Qt::PlainText);
  head_->setWordWrap(true);

  model_ = new ListingModel(this);
  list_ = new QListView(this);
  list_->setObjectName("ProgramLines");
  list_->setFont(font);
  list_->setModel(model_);
  // The highlight is the unit's, not the player's choice: no selection, and
  // no focus, which would frame a current row of the list's own.
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setUniformItemSizes(true);  // a long program lays out in no time
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(head_);
  layout->addWidget(list_, 1);
  resize(360, 400);

  connect(&status_, &StatusViewWnd::selectionChanged, this, &ProgramListWnd::Refresh);
  connect(&status_, &StatusViewWnd::refreshed, this, &ProgramListWnd::Refresh);
}

ProgramListWnd::~ProgramListWnd() = default;

void ProgramListWnd::Open() {
  if (!placed_ && parentWidget() != nullptr) {
    // Beside the main window, where it hides nothing of the field: to its
    // right, else to its left, else at the right edge of the screen.
    const QWidget* main = parentWidget()->window();
    const QRect frame = main->frameGeometry();
    const QRect screen = main->screen()->availableGeometry();
    int x = frame.right() + 1;
    if (x + width() > screen.right() + 1) x = frame.left() - width() >= screen.left() ? frame.left() - width()
                                                                                   : screen.right() + 1 - width();
    move(std::max(x, screen.left()), frame.top());
    placed_ = true;
  }
  if (isVisible()) Refresh();
  else show();
  raise();
  activateWindow();
}

void ProgramListWnd::Refresh() {
  if (!isVisible()) return;
  const bool otherUnit = status_.Selected() != listing_.Followed();
  listing_.Follow(status_.Selected());
  bool gathered = false;
  {
    const auto field = field_.Lock();
    gathered = listing_.Update();
  }
  if (gathered || otherUnit) model_->Reset(listing_.Lines());
  head_->setText(QString::fromStdString(listing_.Head()));

  const std::optional<std::size_t> current = listing_.Current();
  const int row = current && *current < ListingModel::kMaxRows ? static_cast<int>(*current) : -1;
  if (model_->SetCurrent(row) && row >= 0) {
    // Into the middle, with what comes before and after it, once it is out
    // of sight; a line in sight stays where it is.
    const QModelIndex index = model_->index(row);
    if (!list_->viewport()->rect().contains(list_->visualRect(index)))
      list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  }
}

QString ProgramListWnd::HeadText() const { return head_->text(); }

int ProgramListWnd::LineCount() const { return model_->rowCount({}); }

QString ProgramListWnd::Line(int row) const { return model_->Line(row); }

int ProgramListWnd::CurrentRow() const { return model_->Current(); }

void ProgramListWnd::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ProgramListWnd::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();  // also when the main window comes back from the task bar
}

void ProgramListWnd::hideEvent(QHideEvent* event) {
  // A closed window holds on to no unit.
  listing_.Follow(nullptr);
  model_->Reset({});
  QWidget::hideEvent(event);
}

}  // namespace kivora
