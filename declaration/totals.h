#pragma once
// The recomputation a tab click carries to tab "Declaratie": hours amount,
// kilometre amount and expense, then subtotal, VAT and total, the hours
// amount and the sums once at the consultant's and once at the client-side
// rate. compute() is the arithmetic on the form's texts; TotalsController
// puts its outcome on Form1.

#include "core/context.h"
#include "data/decimal.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace dl {

class Form1;

namespace totals {

inline constexpr double kKilometreAllowance = 0.35;
inline constexpr double kVatPercent = 20;

// The texts the chain starts from.
struct Inputs {
    QString hoursTotal;         // Text26(32)
    QString kilometreTotal;     // Text27(32)
    QString euros;              // Text33
    QString cents;              // Text34
    QString expenseDescription; // Text36
    QVariant rateIn;            // Session hourlyRateIn
    QVariant rateOut;           // Session hourlyRateOut
};

struct Sums {
    QString subtotal; // Text17 / Text40
    QString vat;      // Text28 / Text41
    QString total;    // Text29 / Text42
};

struct Result {
    QString hours;              // Text19
    QString hoursAmountIn;      // Text21
    QString hoursAmountOut;     // Text39
    QString kilometres;         // Text14
    QString kilometreAmount;    // Text16
    QString expense;            // Text11
    QString expenseInSums;      // Text13
    QString expenseDescription; // Text12
    // Something to declare: the sums are new and the declare, print and
    // printer controls are shown. Nothing: those are hidden and the sums keep
    // their texts. A negative count changes neither.
    enum class Declare { Something, Nothing, Unchanged } declare = Declare::Unchanged;
    std::optional<Sums> in;  // at the consultant's rate
    std::optional<Sums> out; // at the client-side rate
    // One message per text that is not a number; it counted as 0.
    QStringList problems;

    // Control name and text, in the order the form is filled; the sums
    // follow the visibility change of a positive count.
    QList<QPair<QString, QString>> amounts() const;
    QList<QPair<QString, QString>> sums() const;
};

Result compute(const Inputs& in);

// "Euros,cents" for Text11: empty euros count as 0, empty cents as 00, and
// a single cent digit means tenths ("5" -> "50"; "05" is five cents).
// Anything but digits (or more than two cents) is reported and counts as 0.
QString expenseText(const QString& euros, const QString& cents, QStringList& problems);

// A number exactly as a decimal where it fits (every real amount), and as a
// double for the absurd one that does not; money is computed on the first.
struct Amount {
    std::optional<Decimal> exact;
    double approx = 0;

    static Amount of(double v) { return {Decimal::fromDouble(v), v}; }
    int sign() const;
};
Amount operator+(const Amount& a, const Amount& b);
Amount operator*(const Amount& a, const Amount& b);
Amount abs(const Amount& a);
// Rounded to cents, halves away from zero: "1.234,50".
QString moneyText(const Amount& a);

// A rate as the project's row holds it, to the cent (halves away from
// zero): an office column with more decimals (65.125) is shown, multiplied
// and stored as the one rate the declaration row can hold (65,13), so that
// rate times hours is the amount on screen, in the row and on paper. Whole
// numbers and texts stay as they are.
QVariant centRate(const QVariant& rate);

// A rate as the server returned it: a number stays that number (a double
// counts as the decimal the server sent), a text is read as a Dutch number,
// empty counts as 0.
Amount rateValue(const QVariant& rate, const QString& what, QStringList& problems);

// A Dutch number text, or 0 with a message naming the field.
Amount amountValue(const QString& field, const QString& text, QStringList& problems);

QString notANumberMessage(const QString& field, const QString& text);

} // namespace totals

// Runs the chain on every change of tab by the user; without an open month
// it goes back to tab "Declaratie" instead.
class TotalsController : public QObject {
    Q_OBJECT
public:
    TotalsController(Form1& form, AppContext& ctx);

    void tabClicked();

private:
    Form1& m_form;
    AppContext& m_ctx;
    bool m_running = false;
};

} // namespace dl
