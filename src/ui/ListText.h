#pragma once

class QListWidget;

namespace kivora {

// The look shared by the dialogs' lists of "column\tcolumn" entries: single
// selection, both scroll bars, room to scroll sideways for long lines.
void SetUpTabbedList(QListWidget& list);

// The row the player selected, or -1 when none is.
int SelectedRow(const QListWidget& list);

}  // namespace kivora
