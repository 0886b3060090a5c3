#include "clirunner.h"

#include "cli/cli.h"

#include <QFile>
#include <QTextStream>

namespace varnock::test {

CliRunner::CliRunner() = default;

CliRunner::Outcome CliRunner::run(const QStringList &args, const QString &input) const
{
    Outcome o;
    QString in = input;
    QTextStream outStream(&o.out);
    QTextStream errStream(&o.err);
    QTextStream inStream(&in);
    o.code = cli::run(QStringList{QStringLiteral("--data-dir"), dataDir()} + args, outStream,
                      errStream, &inStream);
    outStream.flush();
    errStream.flush();
    return o;
}

CliRunner::Outcome CliRunner::batch(const QString &script, const QStringList &globals) const
{
    static int n = 0;
    const QString path = m_dir.filePath(QStringLiteral("script%1.txt").arg(++n));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(script.toUtf8());
    file.close();
    return run(globals + QStringList{QStringLiteral("batch"), path});
}

} // namespace varnock::test
