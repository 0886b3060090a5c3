#include "cli/cli.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

// The graphical application wants a private runtime folder; where the session gives none
// (a service, a container), it gets one of its own instead of a warning on every run.
void ensureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder =
        QDir::temp().filePath(QStringLiteral("varnock-runtime-") + qEnvironmentVariable("USER"));
    if (QDir().mkpath(folder) &&
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

} // namespace

int main(int argc, char *argv[])
{
    // A graphical application without a display: PDF pages are drawn with its fonts, and
    // nothing ever shows on a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureRuntimeFolder();
    QGuiApplication app(argc, argv);
    // The same names as the desktop program, so both find the same default data folder.
    QCoreApplication::setApplicationName(QStringLiteral("Varnock"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varnock"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNOCK_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return varnock::cli::run(QCoreApplication::arguments().mid(1), out, err);
}
