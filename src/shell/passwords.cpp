#include "shell/passwords.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

namespace varnock::Passwords {

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;

QByteArray derive(const QString &plain, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, plain.trimmed().toUtf8(),
                                              salt, iterations, KeyBytes);
}

// Compares without stopping at the first difference, so the time taken does not tell how
// much of a guess was right.
bool equalConstantTime(const QByteArray &a, const QByteArray &b)
{
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &stored, Parsed &out)
{
    const QStringList parts = stored.trimmed().split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != Scheme)
        return false;
    bool ok = false;
    out.iterations = parts[1].toInt(&ok);
    if (!ok || out.iterations <= 0)
        return false;
    const auto salt = QByteArray::fromBase64Encoding(parts[2].toLatin1(),
                                                     QByteArray::AbortOnBase64DecodingErrors);
    const auto key = QByteArray::fromBase64Encoding(parts[3].toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !key || salt.decoded.isEmpty() || key.decoded.isEmpty())
        return false;
    out.salt = salt.decoded;
    out.key = key.decoded;
    return true;
}

} // namespace

QString hash(const QString &plain, int iterations)
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          SaltBytes / int(sizeof(quint32)));
    const QByteArray key = derive(plain, salt, iterations);
    return Scheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$') +
           QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') +
           QString::fromLatin1(key.toBase64());
}

bool isHash(const QString &stored)
{
    Parsed p;
    return parse(stored, p);
}

bool matches(const QString &stored, const QString &typed)
{
    Parsed p;
    if (parse(stored, p))
        return equalConstantTime(derive(typed, p.salt, p.iterations), p.key);
    // An older plain-text value: compare digests so that the length does not leak either.
    const auto digest = [](const QString &s) {
        return QCryptographicHash::hash(s.trimmed().toUtf8(), QCryptographicHash::Sha256);
    };
    return equalConstantTime(digest(stored), digest(typed));
}

} // namespace varnock::Passwords
