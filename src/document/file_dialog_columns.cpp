#include "document/file_dialog_columns.h"

#include <QAbstractFileIconProvider>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLayout>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QWindow>
#include <algorithm>

namespace mossleaf::FileDialogColumns {
namespace {

// Qt's names for the parts of its dialog; a dialog of the platform's own has neither.
QTreeView* detailView(const QFileDialog& dialog) {
    return dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
}

// What Qt's dialog gives the name column at first.
int leastNameWidth(const QTreeView& view) {
    return view.fontMetrics().horizontalAdvance(QString(26, u'w'));
}

void fit(QTreeView& view) {
    QHeaderView& header = *view.header();
    int others = 0;
    for (int column = 1; column < header.count(); ++column) {
        if (!header.isSectionHidden(column)) {
            view.resizeColumnToContents(column);
            others += header.sectionSize(column);
        }
    }
    const int names = std::max(static_cast<const QAbstractItemView&>(view).sizeHintForColumn(0),
                               header.sectionSizeHint(0));
    const int room = view.viewport()->width() - others;
    header.resizeSection(0, std::max(leastNameWidth(view), std::min(names, room)));
}

// How wide a column must be for the text: the view adds a margin on either side.
int columnWidth(const QTreeView& view, const QStringList& texts) {
    const QFontMetrics metrics = view.fontMetrics();
    const int margins =
        2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1) +
        metrics.averageCharWidth();
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return widest + margins;
}

// The widest a notebook folder's entries read in the size, type and date columns: the model
// writes them in the system's language, as it does here.
int othersWidth(const QFileDialog& dialog, const QTreeView& view) {
    const QLocale locale = QLocale::system();
    const QAbstractFileIconProvider* icons = dialog.iconProvider();
    const QDir folder = dialog.directory();
    QStringList types;
    if (icons != nullptr) {
        types << icons->type(QFileInfo(folder.filePath(QStringLiteral("a.txt"))))
              << icons->type(QFileInfo(folder.absolutePath()));
    }
    const QDateTime late(QDate(QDate::currentDate().year(), 12, 28), QTime(23, 59));
    const QStringList samples[] = {{locale.formattedDataSize(1024 * 1024 - 1)},
                                   types,
                                   {locale.toString(late, QLocale::ShortFormat)}};
    const QHeaderView& header = *view.header();
    int width = 0;
    for (int column = 1; column < header.count() && column <= 3; ++column) {
        width += std::max(columnWidth(view, samples[column - 1]), header.sectionSizeHint(column));
    }
    return width;
}

}  // namespace

void fitWhenRead(QFileDialog& dialog) {
    QTreeView* view = detailView(dialog);
    auto* files = dialog.findChild<QFileSystemModel*>();
    if (view == nullptr || files == nullptr) {
        return;
    }
    // Once the rows are in; a folder is read in batches.
    const auto fitSoon = [view] { QTimer::singleShot(0, view, [view] { fit(*view); }); };
    QObject::connect(files, &QFileSystemModel::directoryLoaded, view, fitSoon);
    QObject::connect(files, &QAbstractItemModel::rowsInserted, view, fitSoon);
}

void sizeForColumns(QFileDialog& dialog) {
    const QTreeView* view = detailView(dialog);
    if (view == nullptr || dialog.layout() == nullptr) {
        return;
    }
    dialog.layout()->activate();
    const int needed = leastNameWidth(*view) + othersWidth(dialog, *view) + 2 * view->frameWidth() +
                       view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    const int extra = needed - view->width();
    const QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : &dialog;
    const QScreen* screen = owner->screen();
    if (extra <= 0 || screen == nullptr) {
        return;
    }
    // The dialog's frame is not known before it is shown; the owner's is of the same kind.
    const QMargins frame =
        owner->windowHandle() ? owner->windowHandle()->frameMargins() : QMargins();
    const int most = screen->availableGeometry().width() - frame.left() - frame.right();
    dialog.resize(std::max(dialog.width(), std::min(dialog.width() + extra, most)),
                  dialog.height());
}

}  // namespace mossleaf::FileDialogColumns
