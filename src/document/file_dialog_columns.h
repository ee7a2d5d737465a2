#pragma once

class QFileDialog;

// Qt's own file dialog sizes the columns of its detail view from English samples ("128.88 GB",
// "mp3Folder"), so that Japanese sizes, types and dates are cut off ("2026/1…"). These make
// every column as wide as what it shows.
namespace mossleaf::FileDialogColumns {

// From now on, each time the dialog has read a folder, the size, type and date columns take
// the width of their widest entry, and the name column what is left of the view, as much as
// its names need and never less than it starts with.
void fitWhenRead(QFileDialog& dialog);

// Before the dialog is shown: wide enough for the columns of a folder of notebooks, as far
// as the screen allows. The folder itself is read only once the dialog is on the screen.
void sizeForColumns(QFileDialog& dialog);

}  // namespace mossleaf::FileDialogColumns
