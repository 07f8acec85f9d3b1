#pragma once
// The desktop's file dialog, modal on the active window.

#include "core/filechooser.h"

namespace dl {

class QtFileChooser final : public FileChooser {
public:
    QString saveFileName(const QString& caption, const QString& proposedPath, const QString& filter) override;
};

} // namespace dl
