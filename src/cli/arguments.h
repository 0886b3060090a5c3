#pragma once

#include "store/decimal.h"
#include "store/limits.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock::cli {

// A command line that cannot be run as written; the text names the offending argument.
struct UsageError
{
    QString text;
};

// The options every command understands. A command's own option of the same name wins
// (set create --password is the new set's password, not the operator's).
struct Globals
{
    std::optional<QString> dataDir;
    std::optional<QString> set;
    std::optional<QString> user;
    std::optional<QString> password;
    bool json = false;
    bool help = false;

    // Values given on a batch line replace the batch's own.
    void overrideWith(const Globals &line);
};

struct OptionSpec
{
    QString name; // without the leading "--"
    bool takesValue = true;
    bool repeatable = false;
};

// The options and positional words of one command, checked against the command's options.
class Arguments
{
public:
    // Takes the command's own options first, then the global ones (into `globals`). Throws
    // UsageError for an unknown option, a missing value or a repeated option.
    static Arguments parse(const QStringList &tokens, const QList<OptionSpec> &spec,
                           Globals &globals);
    // Reads the global options in front of the command word; returns the rest.
    static QStringList parseLeadingGlobals(const QStringList &tokens, Globals &globals);

    bool has(const QString &name) const { return m_values.contains(name); }
    std::optional<QString> value(const QString &name) const;
    QStringList values(const QString &name) const { return m_values.value(name); }
    QString required(const QString &name) const;
    const QStringList &positional() const { return m_positional; }

    // Typed readers; each throws UsageError naming the option when the text does not fit.
    // A quantity, price or amount: a plain decimal within its bounds (Refusal beyond them).
    std::optional<Decimal> figure(const QString &name, Limits::Figure kind) const;
    Decimal requiredFigure(const QString &name, Limits::Figure kind) const;
    // A date YYYY-MM-DD within the bounds every date keeps (Refusal beyond them).
    std::optional<QDate> date(const QString &name) const;
    std::optional<qint64> integer(const QString &name) const;
    qint64 requiredInteger(const QString &name) const;
    // The accounting mode of --mode average|fifo: 2 or 1; `fallback` when absent.
    int mode(const QString &name, int fallback) const;

    // Fails when positional words were given to a command that takes none beyond `allowed`.
    void expectPositional(int allowed) const;

    // Reads a figure typed in `where` (an option or a part of a --line): a plain decimal, no
    // thousands separators. Throws UsageError for what is no number, Refusal for a figure
    // beyond its bounds.
    static Decimal readFigure(const QString &text, Limits::Figure kind, const QString &where);

private:
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
};

} // namespace varnock::cli
