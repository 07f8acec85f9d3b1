#pragma once
// Drafts: the report columns of an open month with changes, kept on disk
// until they are saved, so that a crash or a power cut loses at most the
// last second of typing. One file per report key in an owner-only folder;
// the files are written on a thread of their own, in the order asked.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QThreadPool>

#include <optional>

namespace dl {

struct Draft {
    QString key;                     // the report key
    QString consultant;              // Text1 of the consultant who typed it
    bool stored = false;             // the month had a row when it was opened
    QString modified;                // that row's laatstgewijzigd
    QDateTime written;               // the last change
    QHash<QString, QString> columns; // every column that mirrors a control
};

QByteArray encodeDraft(const Draft& d);
// Nothing for bytes that are damaged or not a draft of ours; why says which.
std::optional<Draft> decodeDraft(const QByteArray& bytes, QString* why = nullptr);

class DraftStore {
public:
    explicit DraftStore(QString folder);
    // Waits for the writes still queued.
    ~DraftStore();
    DraftStore(const DraftStore&) = delete;
    DraftStore& operator=(const DraftStore&) = delete;

    QString folder() const { return m_folder; }
    // The key percent-encoded, so that any project code makes one plain
    // file name inside the folder.
    QString fileFor(const QString& key) const;

    // Queued: done after everything asked before, never on the caller's thread.
    void write(const Draft& d);
    void remove(const QString& key);
    void waitForWrites();

    // The key's draft once the queued writes are done. Nothing when there is
    // none; a damaged or foreign file (another consultant's, another key's)
    // is left alone with one line on standard error.
    std::optional<Draft> read(const QString& key, const QString& consultant);

private:
    QString m_folder;
    bool m_failing = false; // the last write failed; touched on the pool's thread only
    QThreadPool m_pool;
};

} // namespace dl
