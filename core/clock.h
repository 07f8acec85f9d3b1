#pragma once
// "Now", replaceable in tests: greetings, stamps, year lists and the
// planned-end marker all depend on it.

#include <QDateTime>

namespace dl {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t) : m_now(std::move(t)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }

private:
    QDateTime m_now;
};

} // namespace dl
