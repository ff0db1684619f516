#pragma once

class QListWidget;

namespace kivora {

class DialogUnits;

// The look shared by the dialogs' lists of "column\tcolumn" entries: single
// selection, both scroll bars, a tab stop every 32 dialog units so that the
// second column lines up, and rows 1024 pixels wide to scroll sideways in.
void SetUpTabbedList(QListWidget& list, const DialogUnits& du);

// How wide every row of such a list is, in pixels.
inline constexpr int kListExtent = 1024;

// Makes every row of `list` `width` pixels wide, so lines longer than the
// list can be scrolled into view up to that width.
void SetHorizontalExtent(QListWidget& list, int width);

// The row the player selected, or -1 when none is.
int SelectedRow(const QListWidget& list);

// Leaves `list` with no current row and nothing selected, also once it gets
// the keyboard focus (a list would otherwise make its first row current
// then, drawn as if chosen). The first arrow key then chooses the first row.
void ClearCurrentRow(QListWidget& list);

}  // namespace kivora
