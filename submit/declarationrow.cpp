#include "submit/declarationrow.h"

#include "core/dates.h"
#include "data/decimal.h"
#include "declaration/invoicenumber.h"
#include "declaration/reportrecord.h"

namespace dl::submit {

QString declarationStamp(const QDateTime& now, const QLocale& locale)
{
    return formatDatePattern(now.date(), QStringLiteral("dd/mmmm/yyyy"), locale) + QStringLiteral("  ") +
           fixedTimeText(now.time());
}

namespace {

// A rate read as a double goes back as the decimal the server wrote: the
// binary 1.00999999... of a FLOAT 1.01 would not fit DECIMAL(10,2) unchanged.
QVariant rateForServer(const QVariant& rate)
{
    const int type = rate.metaType().id();
    if (rate.isNull() || (type != QMetaType::Double && type != QMetaType::Float))
        return rate;
    const std::optional<Decimal> exact = Decimal::fromDouble(rate.toDouble());
    return exact ? QVariant(QString::fromStdString(exact->text())) : rate;
}

} // namespace

Values declarationRow(const std::function<QString(const QString& control)>& controlText,
                      const DeclarationSource& source)
{
    const auto text = [&](const char16_t* control) {
        return QVariant(controlText(QString::fromUtf16(control)));
    };
    const auto value = [](const char16_t* column, const QVariant& v) {
        return QPair<QString, QVariant>(QString::fromUtf16(column), v);
    };
    const QVariant no(QStringLiteral("nee"));
    return {
        value(u"factuurnummer",
              report::invoiceNumber(source.year, source.monthEntry, controlText(QStringLiteral("Text1")),
                                    controlText(QStringLiteral("Text5")),
                                    controlText(QStringLiteral("Text38")))),
        value(u"consultant", text(u"Text1")),
        value(u"Consultantnaam", source.consultantName),
        value(u"Opdrachtgever", text(u"Text5")),
        value(u"Opdrachtgevernaam", text(u"Text6")),
        value(u"Jaar", source.year),
        value(u"maand", report::monthNumber(source.monthEntry)),
        value(u"DECdatum", source.stamp),
        value(u"Projectnaam", text(u"Text2")),
        value(u"uren", text(u"Text19")),
        value(u"peruurIN", rateForServer(source.hourlyRateIn)),
        value(u"peruurUIT", rateForServer(source.hourlyRateOut)),
        value(u"urentotaal", text(u"Text21")),
        value(u"kilometers", text(u"Text14")),
        value(u"perKM", QStringLiteral("0,35")),
        value(u"totaalkostenKM", text(u"Text16")),
        value(u"onkosten", text(u"Text13")),
        value(u"kostenomschrijving", text(u"Text12")),
        value(u"subtotaal", text(u"Text17")),
        value(u"BTW", text(u"Text28")),
        value(u"totaal", text(u"Text29")),
        value(u"opmerking", text(u"Text18")),
        value(u"urentotaaluit", text(u"Text39")),
        value(u"subtotaaluit", text(u"Text40")),
        value(u"BTWuit", text(u"Text41")),
        value(u"totaaluit", text(u"Text42")),
        value(u"IsbetaaldConsultant", no),
        value(u"IsbetaaldOpdrachtgever", no),
    };
}

} // namespace dl::submit
