#include "cli/arguments.h"

#include "store/errors.h"

#include <QRegularExpression>

namespace varnock::cli {
namespace {

const QList<OptionSpec> &globalSpec()
{
    static const QList<OptionSpec> spec = {
        {QStringLiteral("data-dir")},    {QStringLiteral("set")},
        {QStringLiteral("user")},        {QStringLiteral("password")},
        {QStringLiteral("json"), false}, {QStringLiteral("help"), false},
    };
    return spec;
}

const OptionSpec *findSpec(const QList<OptionSpec> &spec, const QString &name)
{
    for (const OptionSpec &o : spec) {
        if (o.name == name)
            return &o;
    }
    return nullptr;
}

void setGlobal(Globals &g, const QString &name, const QString &value)
{
    if (name == QLatin1String("data-dir"))
        g.dataDir = value;
    else if (name == QLatin1String("set"))
        g.set = value;
    else if (name == QLatin1String("user"))
        g.user = value;
    else if (name == QLatin1String("password"))
        g.password = value;
    else if (name == QLatin1String("json"))
        g.json = true;
    else if (name == QLatin1String("help"))
        g.help = true;
}

// Splits "--name=value" and "--name"; false for a word that is no option.
bool optionName(const QString &token, QString &name, std::optional<QString> &inlineValue)
{
    if (!token.startsWith(QLatin1String("--")) || token.size() == 2)
        return false;
    const qsizetype eq = token.indexOf(QLatin1Char('='));
    if (eq < 0) {
        name = token.mid(2);
        inlineValue.reset();
    } else {
        name = token.mid(2, eq - 2);
        inlineValue = token.mid(eq + 1);
    }
    return true;
}

// Reads the option at tokens[i] (advancing i past its value).
QString takeValue(const QStringList &tokens, qsizetype &i, const OptionSpec &spec,
                  const std::optional<QString> &inlineValue)
{
    if (!spec.takesValue) {
        if (inlineValue)
            throw UsageError{QStringLiteral("--%1 takes no value").arg(spec.name)};
        return QString();
    }
    if (inlineValue)
        return *inlineValue;
    if (i + 1 >= tokens.size())
        throw UsageError{QStringLiteral("--%1 needs a value").arg(spec.name)};
    return tokens.at(++i);
}

} // namespace

void Globals::overrideWith(const Globals &line)
{
    if (line.dataDir)
        dataDir = line.dataDir;
    if (line.set)
        set = line.set;
    if (line.user)
        user = line.user;
    if (line.password)
        password = line.password;
    json = json || line.json;
    help = line.help;
}

QStringList Arguments::parseLeadingGlobals(const QStringList &tokens, Globals &globals)
{
    qsizetype i = 0;
    for (; i < tokens.size(); ++i) {
        QString name;
        std::optional<QString> inlineValue;
        if (!optionName(tokens.at(i), name, inlineValue))
            break;
        const OptionSpec *spec = findSpec(globalSpec(), name);
        if (!spec)
            throw UsageError{QStringLiteral("unknown option %1").arg(tokens.at(i))};
        setGlobal(globals, name, takeValue(tokens, i, *spec, inlineValue));
    }
    return tokens.mid(i);
}

Arguments Arguments::parse(const QStringList &tokens, const QList<OptionSpec> &spec,
                           Globals &globals)
{
    Arguments args;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &token = tokens.at(i);
        QString name;
        std::optional<QString> inlineValue;
        if (token == QLatin1String("-") || !optionName(token, name, inlineValue)) {
            if (token.startsWith(QLatin1Char('-')) && token != QLatin1String("-"))
                throw UsageError{QStringLiteral("unknown option %1").arg(token)};
            args.m_positional << token;
            continue;
        }
        if (const OptionSpec *own = findSpec(spec, name)) {
            if (args.m_values.contains(name) && !own->repeatable)
                throw UsageError{QStringLiteral("--%1 given twice").arg(name)};
            args.m_values[name] << takeValue(tokens, i, *own, inlineValue);
        } else if (const OptionSpec *global = findSpec(globalSpec(), name)) {
            setGlobal(globals, name, takeValue(tokens, i, *global, inlineValue));
        } else {
            throw UsageError{QStringLiteral("unknown option %1").arg(token)};
        }
    }
    return args;
}

std::optional<QString> Arguments::value(const QString &name) const
{
    const auto it = m_values.constFind(name);
    if (it == m_values.cend() || it->isEmpty())
        return std::nullopt;
    return it->first();
}

QString Arguments::required(const QString &name) const
{
    const auto v = value(name);
    if (!v)
        throw UsageError{QStringLiteral("missing --%1").arg(name)};
    return *v;
}

Decimal Arguments::readFigure(const QString &text, Limits::Figure kind, const QString &where)
{
    const auto d = Decimal::parse(text);
    if (!d)
        throw UsageError{where + QStringLiteral(": not a number: ") + text};
    if (const auto problem = Limits::figureProblem(kind, *d))
        throw Refusal(QStringLiteral("警告"), *problem);
    return *d;
}

std::optional<Decimal> Arguments::figure(const QString &name, Limits::Figure kind) const
{
    const auto v = value(name);
    if (!v)
        return std::nullopt;
    return readFigure(*v, kind, QStringLiteral("--") + name);
}

Decimal Arguments::requiredFigure(const QString &name, Limits::Figure kind) const
{
    return readFigure(required(name), kind, QStringLiteral("--") + name);
}

std::optional<QDate> Arguments::date(const QString &name) const
{
    const auto v = value(name);
    if (!v)
        return std::nullopt;
    const QString text = v->trimmed();
    // Four digits for the year: a sign or a fifth digit would read as some other date.
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!shape.match(text).hasMatch() || !d.isValid())
        throw UsageError{QStringLiteral("--%1: not a date (YYYY-MM-DD): %2").arg(name, *v)};
    if (!Limits::dateInRange(d))
        throw Refusal(QStringLiteral("提示"), Limits::dateRangeText());
    return d;
}

std::optional<qint64> Arguments::integer(const QString &name) const
{
    const auto v = value(name);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const qint64 n = v->trimmed().toLongLong(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("--%1: not a whole number: %2").arg(name, *v)};
    return n;
}

qint64 Arguments::requiredInteger(const QString &name) const
{
    const auto n = integer(name);
    if (!n)
        throw UsageError{QStringLiteral("missing --%1").arg(name)};
    return *n;
}

int Arguments::mode(const QString &name, int fallback) const
{
    const auto v = value(name);
    if (!v)
        return fallback;
    if (*v == QLatin1String("average"))
        return 2;
    if (*v == QLatin1String("fifo"))
        return 1;
    throw UsageError{QStringLiteral("--%1: expected average or fifo, not %2").arg(name, *v)};
}

void Arguments::expectPositional(int allowed) const
{
    if (m_positional.size() > allowed)
        throw UsageError{QStringLiteral("unexpected argument %1").arg(m_positional.at(allowed))};
}

} // namespace varnock::cli
