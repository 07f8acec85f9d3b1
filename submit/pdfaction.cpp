#include "submit/pdfaction.h"

#include "core/actionguard.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "print/formtexts.h"
#include "print/savedpdf.h"
#include "submit/printaction.h"
#include "submit/submitmessages.h"
#include "ui/imagebutton.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace dl {

namespace print {

QString pdfFileName(const QString& projectCode, const QString& monthEntry, const QString& year)
{
    QString name = QStringLiteral("Declaratie ") + projectCode + u' ' +
                   submit::monthName(monthEntry).trimmed() + u' ' + year;
    // Forbidden on one desktop or another, or unreadable in a dialog.
    for (QChar& ch : name) {
        if (ch.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(ch))
            ch = u'-';
    }
    return name + QStringLiteral(".pdf");
}

QString pdfSaveCaption()
{
    return QStringLiteral("Raport en declaratie als PDF opslaan");
}

} // namespace print

PdfAction::PdfAction(Form1& form, AppContext& ctx, FileChooser& files, QString documents)
    : QObject(&form), m_form(form), m_ctx(ctx), m_files(files), m_documents(std::move(documents))
{
    auto* button = form.controls().get<ImageButton>(QStringLiteral("ImagePdf"));
    connect(button, &ImageButton::doubleClicked, this, &PdfAction::run);
}

QString PdfAction::documentsFolder()
{
    // A desktop without a documents folder would open the dialog wherever
    // the program was started from.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void PdfAction::run()
{
    runGuarded(m_ctx.messages, [this] {
        Session& session = m_ctx.session;
        if (!session.hasOpenReport()) {
            m_ctx.messages.inform(print::noOpenMonthMessage(), Icon::Warning);
            return;
        }
        const QStringList texts = openmonth::snapshot(m_form.controls());
        if (print::keepAsPdf(m_ctx.messages, m_files, print::pdfSaveCaption(),
                             QDir(m_documents)
                                 .filePath(print::pdfFileName(session.projectCode, session.reportMonthEntry,
                                                              session.reportYear)),
                             print::buildPrintDocument(print::readPrintTexts(m_form.controls(), session)),
                             m_form.logo()))
            session.onPaper(texts);
    });
}

} // namespace dl
