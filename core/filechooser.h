#pragma once
// Asking where a file goes: the desktop's own dialog for real, a scripted
// answer in tests.

#include <QString>

namespace dl {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The path to save to, starting from proposedPath; empty when cancelled.
    virtual QString saveFileName(const QString& caption, const QString& proposedPath,
                                 const QString& filter) = 0;
};

} // namespace dl
