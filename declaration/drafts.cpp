#include "declaration/drafts.h"

#include "declaration/reportrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUrl>

#include <cstdio>

namespace dl {

namespace {

const QString kFormat = QStringLiteral("declaraties-concept/1");
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void complain(const QString& line)
{
    std::fprintf(stderr, "declaraties: %s\n", line.toLocal8Bit().constData());
}

bool makeFolder(const QString& folder)
{
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        // Owner-only from the start: no draft is ever readable by others.
        QDir().mkdir(folder, kOwnerOnly);
    }
    return QFileInfo(folder).isDir() && QFile::setPermissions(folder, kOwnerOnly);
}

} // namespace

QByteArray encodeDraft(const Draft& d)
{
    QJsonObject columns;
    for (auto it = d.columns.begin(); it != d.columns.end(); ++it)
        columns.insert(it.key(), it.value());
    const QJsonObject o{{QStringLiteral("format"), kFormat},
                        {QStringLiteral("key"), d.key},
                        {QStringLiteral("consultant"), d.consultant},
                        {QStringLiteral("stored"), d.stored},
                        {QStringLiteral("modified"), d.modified},
                        {QStringLiteral("written"), d.written.toString(Qt::ISODate)},
                        {QStringLiteral("columns"), columns}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<Draft> decodeDraft(const QByteArray& bytes, QString* why)
{
    const auto fail = [why](const char* reason) -> std::optional<Draft> {
        if (why)
            *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return fail("beschadigd");
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != kFormat)
        return fail("onbekend formaat");
    const QJsonValue stored = o.value(QStringLiteral("stored"));
    const QJsonValue columns = o.value(QStringLiteral("columns"));
    Draft d;
    d.key = o.value(QStringLiteral("key")).toString();
    d.consultant = o.value(QStringLiteral("consultant")).toString();
    d.modified = o.value(QStringLiteral("modified")).toString();
    d.written = QDateTime::fromString(o.value(QStringLiteral("written")).toString(), Qt::ISODate);
    if (d.key.isEmpty() || !stored.isBool() || !columns.isObject() || !d.written.isValid())
        return fail("onvolledig");
    d.stored = stored.toBool();
    // Every column or none: half a month put back would read as the whole.
    const QJsonObject c = columns.toObject();
    for (const report::Binding& b : report::controlBindings()) {
        const QJsonValue v = c.value(b.column);
        if (!v.isString())
            return fail("onvolledig");
        d.columns.insert(b.column, v.toString());
    }
    return d;
}

DraftStore::DraftStore(QString folder) : m_folder(std::move(folder))
{
    // One thread keeps the writes and removals in the order they were asked.
    m_pool.setMaxThreadCount(1);
}

DraftStore::~DraftStore()
{
    m_pool.waitForDone();
}

QString DraftStore::fileFor(const QString& key) const
{
    return m_folder + u'/' + QString::fromLatin1(QUrl::toPercentEncoding(key)) + QStringLiteral(".concept");
}

void DraftStore::write(const Draft& d)
{
    m_pool.start([this, path = fileFor(d.key), d] {
        QSaveFile file(path);
        const bool written = makeFolder(m_folder) && file.open(QIODevice::WriteOnly) &&
                             file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) &&
                             file.write(encodeDraft(d)) >= 0 && file.commit();
        // Said once, not after every keystroke, until a write works again.
        if (!written && !m_failing)
            complain(QStringLiteral("niet opgeslagen versie %1 niet geschreven: %2")
                         .arg(path, file.errorString()));
        m_failing = !written;
    });
}

void DraftStore::remove(const QString& key)
{
    m_pool.start([path = fileFor(key)] { QFile::remove(path); });
}

void DraftStore::waitForWrites()
{
    m_pool.waitForDone();
}

std::optional<Draft> DraftStore::read(const QString& key, const QString& consultant)
{
    waitForWrites();
    const QString path = fileFor(key);
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    // A draft is some kilobytes, at most a few megabytes of long texts; a
    // file far larger is not one of ours and is not read into memory.
    constexpr qint64 kMaxSize = qint64(64) << 20;
    QString why;
    std::optional<Draft> d;
    if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else if (file.size() > kMaxSize)
        why = QStringLiteral("te groot");
    else
        d = decodeDraft(file.readAll(), &why);
    if (d && (d->key != key || d->consultant != consultant)) {
        why = QStringLiteral("van een ander raport of een andere consultant");
        d.reset();
    }
    if (!d)
        complain(QStringLiteral("niet opgeslagen versie %1 genegeerd (%2)").arg(path, why));
    return d;
}

} // namespace dl
