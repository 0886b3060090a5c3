#include "print/screens/printing.h"
#include "shell/datafolder.h"
#include "shell/screens/startupflow.h"
#include "widgets/screenparts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnock"));
    QApplication::setOrganizationName(QStringLiteral("Varnock"));
    QApplication::setApplicationVersion(QStringLiteral(VARNOCK_VERSION));
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
    QApplication::setWindowIcon(varnock::ScreenParts::programIcon());
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("varnock"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Varnock 工地材料核算系统"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("数据文件夹（默认：用户数据文件夹）"),
                                     QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.process(app);

    const varnock::DataFolder folder = varnock::DataFolder::resolve(parser.value(dataDir));
    varnock::Printing::setup().dataFolder = folder;
    varnock::StartupFlow flow(folder);
    QObject::connect(&flow, &varnock::StartupFlow::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (!flow.start())
        return 1;
    return app.exec();
}
