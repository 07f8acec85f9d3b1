#include "login/passwordhash.h"

#include <QStringList>

#include <sodium.h>

#include <cstdio>
#include <limits>

namespace dl {

namespace {

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// Decimal digits only; saturates instead of wrapping.
std::optional<unsigned long> number(QStringView text)
{
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    unsigned long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const unsigned long digit = c.unicode() - u'0';
        if (value > (std::numeric_limits<unsigned long>::max() - digit) / 10)
            value = std::numeric_limits<unsigned long>::max();
        else
            value = value * 10 + digit;
    }
    return value;
}

std::optional<unsigned long> field(QStringView part, QStringView name)
{
    if (!part.startsWith(name))
        return std::nullopt;
    return number(part.mid(name.size()));
}

} // namespace

bool isArgon2idHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

std::optional<HashCost> argon2idCost(const QString& stored)
{
    if (!isArgon2idHash(stored))
        return std::nullopt;
    // "", "argon2id", ["v=19",] "m=..,t=..,p=..", salt, hash
    const QStringList parts = stored.split(u'$');
    qsizetype costAt = 2;
    if (parts.size() == 6) {
        if (!field(parts.at(2), u"v="))
            return std::nullopt;
        costAt = 3;
    } else if (parts.size() != 5) {
        return std::nullopt;
    }
    const QStringList cost = parts.at(costAt).split(u',');
    if (cost.size() != 3 || parts.at(costAt + 1).isEmpty() || parts.at(costAt + 2).isEmpty())
        return std::nullopt;
    const auto m = field(cost.at(0), u"m=");
    const auto t = field(cost.at(1), u"t=");
    const auto p = field(cost.at(2), u"p=");
    if (!m || !t || !p)
        return std::nullopt;
    return HashCost{*m, *t, *p};
}

PasswordCheck checkPassword(const QString& stored, const QString& typed)
{
    if (!isArgon2idHash(stored))
        return stored == typed ? PasswordCheck::Match : PasswordCheck::NoMatch;
    const std::optional<HashCost> cost = argon2idCost(stored);
    if (!cost)
        return PasswordCheck::Malformed;
    if (cost->memoryKiB > kMaxHashMemoryKiB || cost->passes > kMaxHashPasses || cost->lanes > kMaxHashLanes)
        return PasswordCheck::TooCostly;
    // The encoded form is ASCII; anything else cannot be a hash.
    for (const QChar c : stored)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return PasswordCheck::Malformed;
    if (!sodiumReady())
        return PasswordCheck::Malformed;
    const QByteArray hash = stored.toLatin1();
    const QByteArray password = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                    static_cast<unsigned long long>(password.size())) == 0
               ? PasswordCheck::Match
               : PasswordCheck::NoMatch;
}

bool passwordMatches(const QString& stored, const QString& typed, const QString& loginName)
{
    switch (checkPassword(stored, typed)) {
    case PasswordCheck::Match:
        return true;
    case PasswordCheck::NoMatch:
    case PasswordCheck::Malformed:
        return false;
    case PasswordCheck::TooCostly:
        std::fprintf(stderr,
                     "declaraties: het opgeslagen paswoord van '%s' vraagt meer dan %lu MiB, %lu passes "
                     "of %lu lanes en telt als fout paswoord.\n",
                     loginName.toLocal8Bit().constData(), kMaxHashMemoryKiB / 1024, kMaxHashPasses,
                     kMaxHashLanes);
        std::fflush(stderr);
        return false;
    }
    return false;
}

QString hashPassword(const QString& password)
{
    if (!sodiumReady())
        return {};
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return QString::fromLatin1(out);
}

} // namespace dl
