#pragma once

#include <QString>
#include <vector>

class frmMain;
class QToolBar;
class QWidget;
class ImageList;

// tbToolBar: eight items left to right. A button's Key is also its tooltip; its picture is
// the image of imlToolbarIcons under imageKey. A click runs the menu command of its Key.
namespace MainToolbar {

using Handler = void (frmMain::*)();

struct Item {
    QString key;       // empty for a separator
    QString imageKey;  // empty for a separator
    Handler handler = nullptr;
};

const std::vector<Item>& items();

QToolBar* create(frmMain& form, const ImageList& icons, QWidget* parent);

// Compares `key` with each button's Key in order and runs the first match; an unknown key
// does nothing. Returns whether a command ran.
bool dispatch(frmMain& form, const QString& key);

}  // namespace MainToolbar
