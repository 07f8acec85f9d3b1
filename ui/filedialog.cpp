#include "ui/filedialog.h"

#include <QApplication>
#include <QFileDialog>

namespace dl {

QString QtFileChooser::saveFileName(const QString& caption, const QString& proposedPath,
                                    const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, proposedPath, filter);
}

} // namespace dl
