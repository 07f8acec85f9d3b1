#include "login/loginaudit.h"

#include "core/dates.h"
#include "data/tables.h"

namespace dl {

QString loginStamp(const QDateTime& now, const QLocale& locale)
{
    return formatDatePattern(now.date(), QStringLiteral("yyyy/mm/dd"), locale) + QStringLiteral("   ") +
           localeTimeText(now.time(), locale);
}

namespace {

// Every column as text: a field nobody set is an empty text, not NULL.
QVariant asText(const QString& s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

} // namespace

Values loginRecordValues(const Session& s)
{
    return {
        {QStringLiteral("DATUMTIJD"), asText(s.loginStamp)},
        {QStringLiteral("PCnaam"), asText(s.windowsUserName)},
        {QStringLiteral("LOGINnaam"), asText(s.consultantName)},
        {QStringLiteral("NETWERKkaart"), asText(s.networkAdapterName)},
        {QStringLiteral("NETWERKadres"), asText(s.macAddress)},
        {QStringLiteral("MBmerk"), asText(s.boardManufacturer)},
        {QStringLiteral("MBtype"), asText(s.boardProduct)},
        {QStringLiteral("Afdrukapparaat"), asText(s.printerName)},
    };
}

LoginAudit::LoginAudit(AppContext& context, WorkstationReader reader, QLocale locale)
    : m_ctx(context), m_reader(std::move(reader)), m_locale(std::move(locale))
{
}

void LoginAudit::write()
{
    m_ctx.db().run([this](Connection& c) { write(c); });
}

Values LoginAudit::recordValues()
{
    const WorkstationFacts facts = m_reader.read();
    Session record = m_ctx.session;
    record.windowsUserName = facts.userName;
    record.networkAdapterName = facts.adapterName;
    record.macAddress = facts.macAddress;
    record.boardManufacturer = facts.boardManufacturer;
    record.boardProduct = facts.boardProduct;
    record.loginStamp = loginStamp(m_ctx.clock.now(), m_locale);
    return loginRecordValues(record);
}

void LoginAudit::keep(const Values& recorded)
{
    const auto value = [&](QStringView column) {
        for (const auto& [name, v] : recorded) {
            if (name == column)
                return v.toString();
        }
        return QString();
    };
    Session& s = m_ctx.session;
    s.windowsUserName = value(u"PCnaam");
    s.networkAdapterName = value(u"NETWERKkaart");
    s.macAddress = value(u"NETWERKadres");
    s.boardManufacturer = value(u"MBmerk");
    s.boardProduct = value(u"MBtype");
    s.loginStamp = value(u"DATUMTIJD");
}

void LoginAudit::write(Connection& c)
{
    const Values record = recordValues();
    Records(c).insert(tables::loginRecords(), record);
    // The Session takes the values once they are on record.
    keep(record);
}

} // namespace dl
