#include "declaration/totals.h"

#include "data/dutchnumbers.h"
#include "declaration/form1.h"
#include "ui/controls.h"

#include <QMetaType>
#include <QScopedValueRollback>

#include <cmath>

namespace dl::totals {

namespace {

const QString kZeroAmount = QStringLiteral("0,00");

bool allDigits(const QString& s)
{
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool isNumberType(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

// A text as an amount: the exact decimal and the double of the same text.
std::optional<Amount> amountOf(const QString& text)
{
    const auto approx = tryLocaleNumber(text);
    if (!approx)
        return std::nullopt;
    return Amount{tryLocaleDecimal(text), *approx};
}

// Our own money texts; always numbers.
Amount money(const QString& text)
{
    return amountOf(text).value_or(Amount::of(0));
}

Sums sumsOf(const QString& kilometreAmount, const QString& expense, const QString& hoursAmount)
{
    Sums s;
    const Amount subtotal = abs(money(kilometreAmount)) + abs(money(expense)) + abs(money(hoursAmount));
    s.subtotal = moneyText(subtotal);
    // VAT of the subtotal as shown, as the office checks it.
    s.vat = moneyText(money(s.subtotal) * Amount::of(kVatPercent) * Amount::of(0.01));
    s.total = moneyText(abs(money(s.vat)) + abs(money(s.subtotal)));
    return s;
}

} // namespace

int Amount::sign() const
{
    if (exact)
        return exact->sign();
    return approx > 0 ? 1 : (approx < 0 ? -1 : 0);
}

Amount operator+(const Amount& a, const Amount& b)
{
    return {a.exact && b.exact ? a.exact->plus(*b.exact) : std::nullopt, a.approx + b.approx};
}

Amount operator*(const Amount& a, const Amount& b)
{
    return {a.exact && b.exact ? a.exact->times(*b.exact) : std::nullopt, a.approx * b.approx};
}

Amount abs(const Amount& a)
{
    return {a.exact ? std::optional<Decimal>(a.exact->abs()) : std::nullopt, std::fabs(a.approx)};
}

QString moneyText(const Amount& a)
{
    return a.exact ? dl::moneyText(*a.exact) : dl::moneyText(a.approx);
}

QString notANumberMessage(const QString& field, const QString& text)
{
    return QStringLiteral("Het veld \"%1\" bevat \"%2\"; dat is geen getal.\r\nEr wordt met 0 gerekend.")
        .arg(field, text);
}

Amount amountValue(const QString& field, const QString& text, QStringList& problems)
{
    if (const auto v = amountOf(text))
        return *v;
    problems << notANumberMessage(field, text);
    return Amount::of(0);
}

QVariant centRate(const QVariant& rate)
{
    const int type = rate.metaType().id();
    if (rate.isNull() || (type != QMetaType::Double && type != QMetaType::Float))
        return rate;
    const double v = rate.toDouble();
    const std::optional<Decimal> exact = std::isfinite(v) ? Decimal::fromDouble(v) : std::nullopt;
    const std::optional<Int128> cents = exact ? exact->cents() : std::nullopt;
    return cents ? QVariant(double(*cents) / 100.0) : rate;
}

Amount rateValue(const QVariant& rate, const QString& what, QStringList& problems)
{
    if (!rate.isValid() || rate.isNull())
        return Amount::of(0);
    switch (rate.metaType().id()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long: {
        const qlonglong v = rate.toLongLong();
        return {Decimal::fromInteger(v), double(v)};
    }
    default:
        break;
    }
    if (isNumberType(rate)) {
        const double v = rate.toDouble();
        return Amount::of(std::isfinite(v) ? v : 0.0);
    }
    const QString text = rate.toString();
    if (text.isEmpty())
        return Amount::of(0);
    return amountValue(what, text, problems);
}

QString expenseText(const QString& euros, const QString& cents, QStringList& problems)
{
    const QString e = euros.isEmpty() ? QStringLiteral("0") : euros;
    QString c = cents.isEmpty() ? QStringLiteral("00") : cents;
    bool ok = true;
    if (!allDigits(e)) {
        problems << notANumberMessage(QStringLiteral("Onkosten (euro's)"), euros);
        ok = false;
    }
    if (!allDigits(c) || c.size() > 2) {
        problems << notANumberMessage(QStringLiteral("Onkosten (centen)"), cents);
        ok = false;
    }
    if (!ok)
        return kZeroAmount;
    // One digit after the comma is tenths: "12" and "5" is 12,50, as every
    // stored month and the office's reports read it.
    if (c.size() == 1)
        c.append(u'0');
    const QString text = e + u',' + c;
    return money(text).sign() == 0 ? kZeroAmount : text;
}

Result compute(const Inputs& in)
{
    Result r;

    r.hours = in.hoursTotal;
    const Amount hours = amountValue(QStringLiteral("Aantal werkuren"), r.hours, r.problems);
    r.hoursAmountIn = kZeroAmount;
    r.hoursAmountOut = kZeroAmount;
    if (hours.sign() > 0) {
        r.hoursAmountIn = moneyText(rateValue(in.rateIn, QStringLiteral("Uw uurtarief"), r.problems) * hours);
        r.hoursAmountOut =
            moneyText(rateValue(in.rateOut, QStringLiteral("Uurtarief opdrachtgever"), r.problems) * hours);
    }

    r.kilometres = in.kilometreTotal;
    const Amount km = amountValue(QStringLiteral("Aantal kilometers"), r.kilometres, r.problems);
    r.kilometreAmount = moneyText(km.sign() > 0 ? km * Amount::of(kKilometreAllowance) : Amount::of(0));

    r.expense = expenseText(in.euros, in.cents, r.problems);
    const Amount expense = money(r.expense);
    r.expenseInSums = expense.sign() > 0 ? r.expense : kZeroAmount;
    r.expenseDescription = in.expenseDescription;

    // Whether there is anything to declare reads the texts as the amounts
    // they are: 0,5 hours or 0,75 euros count.
    const int count = (expense + km + hours).sign();
    if (count > 0) {
        r.declare = Result::Declare::Something;
        r.in = sumsOf(r.kilometreAmount, r.expenseInSums, r.hoursAmountIn);
        r.out = sumsOf(r.kilometreAmount, r.expenseInSums, r.hoursAmountOut);
    } else if (count == 0) {
        r.declare = Result::Declare::Nothing;
    }
    return r;
}

QList<QPair<QString, QString>> Result::amounts() const
{
    return {{QStringLiteral("Text19"), hours},           {QStringLiteral("Text21"), hoursAmountIn},
            {QStringLiteral("Text39"), hoursAmountOut},  {QStringLiteral("Text14"), kilometres},
            {QStringLiteral("Text16"), kilometreAmount}, {QStringLiteral("Text11"), expense},
            {QStringLiteral("Text13"), expenseInSums},   {QStringLiteral("Text12"), expenseDescription}};
}

QList<QPair<QString, QString>> Result::sums() const
{
    QList<QPair<QString, QString>> list;
    const auto add = [&list](const std::optional<Sums>& s, const char16_t* sub, const char16_t* vat,
                             const char16_t* total) {
        if (!s)
            return;
        list << qMakePair(QString::fromUtf16(sub), s->subtotal) << qMakePair(QString::fromUtf16(vat), s->vat)
             << qMakePair(QString::fromUtf16(total), s->total);
    };
    add(in, u"Text17", u"Text28", u"Text29");
    add(out, u"Text40", u"Text41", u"Text42");
    return list;
}

} // namespace dl::totals

namespace dl {

TotalsController::TotalsController(Form1& form, AppContext& ctx) : m_form(form), m_ctx(ctx)
{
    connect(&form, &Form1::tabChangedByUser, this, [this](int) { tabClicked(); });
}

void TotalsController::tabClicked()
{
    // A message box of a previous click may still be open.
    if (m_running)
        return;
    QScopedValueRollback guard(m_running, true);

    FormControls& c = m_form.controls();
    const QString month = c.text(QStringLiteral("Combo2"));
    if (month.isEmpty() || month == u"maand" || !m_ctx.session.hasOpenReport()) {
        m_form.switchTab(0);
        return;
    }

    totals::Inputs in;
    in.hoursTotal = c.text(element(QStringLiteral("Text26"), 32));
    in.kilometreTotal = c.text(element(QStringLiteral("Text27"), 32));
    in.euros = c.text(QStringLiteral("Text33"));
    in.cents = c.text(QStringLiteral("Text34"));
    in.expenseDescription = c.text(QStringLiteral("Text36"));
    in.rateIn = m_ctx.session.hourlyRateIn;
    in.rateOut = m_ctx.session.hourlyRateOut;
    const totals::Result r = totals::compute(in);

    for (const auto& [name, text] : r.amounts())
        c.setText(name, text);
    using Declare = totals::Result::Declare;
    if (r.declare == Declare::Something) {
        for (const char16_t* name : {u"Image4", u"Image5", u"Image6", u"Combo4"})
            c.setShown(QString::fromUtf16(name), true);
    }
    for (const auto& [name, text] : r.sums())
        c.setText(name, text);
    if (r.declare == Declare::Nothing) {
        for (const char16_t* name : {u"Image4", u"Image6", u"Combo4"})
            c.setShown(QString::fromUtf16(name), false);
    }
    for (const QString& text : r.problems)
        m_ctx.messages.inform(text, Icon::Warning);
}

} // namespace dl
