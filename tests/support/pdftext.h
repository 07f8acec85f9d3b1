#pragma once
// Reads a printed PDF back: its words with their positions (pdftotext
// -bbox) and its text as laid out on the page (pdftotext -layout).

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace dl::test {

struct PdfWord {
    int page = 0;
    double x = 0; // left edge, in points from the page's left edge
    double y = 0;
    QString text;
};

inline QString pdftotext(const QStringList& options, const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString pdfLayoutText(const QString& pdf)
{
    return pdftotext({QStringLiteral("-layout")}, pdf);
}

inline QList<PdfWord> pdfWords(const QString& pdf)
{
    static const QRegularExpression tag(
        QString::fromUtf8(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QList<PdfWord> words;
    int page = -1;
    const QString html = pdftotext({QStringLiteral("-bbox")}, pdf);
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(3);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), text});
    }
    return words;
}

// The first word with this text, from index from on; -1 when there is none.
inline int findWord(const QList<PdfWord>& words, const QString& text, int from = 0)
{
    for (int i = from; i < words.size(); ++i) {
        if (words.at(i).text == text)
            return i;
    }
    return -1;
}

// The character grid of one font size, found from two words whose columns
// are known.
struct PdfGrid {
    double charWidth = 0;
    double left = 0; // where column 1 starts
    PdfGrid(const PdfWord& a, int columnA, const PdfWord& b, int columnB)
        : charWidth((b.x - a.x) / (columnB - columnA)), left(a.x - (columnA - 1) * charWidth)
    {
    }
    double columnOf(const PdfWord& w) const { return (w.x - left) / charWidth + 1; }
};

} // namespace dl::test
