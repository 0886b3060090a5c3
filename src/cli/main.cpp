#include "cli/cli.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The same names as the desktop program, so both find the same default data folder.
    QCoreApplication::setApplicationName(QStringLiteral("Varnock"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varnock"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNOCK_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return varnock::cli::run(QCoreApplication::arguments().mid(1), out, err);
}
