#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace varnock::test {

// Runs the command line in-process on a temporary data folder and keeps what it printed.
class CliRunner
{
public:
    struct Outcome
    {
        int code = -1;
        QString out;
        QString err;
        QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    };

    CliRunner();

    QString dataDir() const { return m_dir.path(); }
    // --data-dir is put in front of `args`.
    Outcome run(const QStringList &args, const QString &input = QString()) const;
    // Writes `script` to a file and runs "batch FILE" with `globals` in front.
    Outcome batch(const QString &script, const QStringList &globals = {}) const;

private:
    QTemporaryDir m_dir;
};

} // namespace varnock::test
