#include "shell/datafolder.h"
#include "shell/displaysettings.h"
#include "store/errors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace varnock;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

TEST(DataFolder, PathsHaveExactlyOneSeparatorAlsoInARoot)
{
    const DataFolder root(QStringLiteral("/"));
    EXPECT_EQ(root.masterDatabasePath(), QStringLiteral("/kvmt.db"));
    EXPECT_EQ(root.accountSetDatabasePath(2026001), QStringLiteral("/2026001/kvmt.db"));
    EXPECT_EQ(root.quantityFormatFile(), QStringLiteral("/LSWS"));

    const DataFolder trailing(QStringLiteral("/srv/varnock//"));
    EXPECT_EQ(trailing.path(), QStringLiteral("/srv/varnock"));
    EXPECT_EQ(trailing.accountSetFolder(7), QStringLiteral("/srv/varnock/7"));
    EXPECT_EQ(trailing.accountSetLockPath(7), QStringLiteral("/srv/varnock/7/kvmt.lock"));
    EXPECT_EQ(trailing.amountFormatFile(), QStringLiteral("/srv/varnock/JEXSW"));
    EXPECT_EQ(trailing.modeFile(), QStringLiteral("/srv/varnock/YZMS"));
    EXPECT_EQ(trailing.slipCaptionsFile(), QStringLiteral("/srv/varnock/xiaopiao"));
    EXPECT_EQ(trailing.reportsFolder(), QStringLiteral("/srv/varnock/Reports"));
    EXPECT_EQ(trailing.backupFolder(), QStringLiteral("/srv/varnock/BackUp"));
}

TEST(DataFolder, CommandLineWinsOverEnvironmentWhichWinsOverDefault)
{
    {
        ScopedEnv env("VARNOCK_DATA_DIR", "/tmp/from-env");
        EXPECT_EQ(DataFolder::resolve(QStringLiteral("/tmp/from-args")).path(),
                  QStringLiteral("/tmp/from-args"));
        EXPECT_EQ(DataFolder::resolve().path(), QStringLiteral("/tmp/from-env"));
    }
    ScopedEnv env("VARNOCK_DATA_DIR", "");
    const QString fallback = DataFolder::resolve().path();
    EXPECT_FALSE(fallback.isEmpty());
    EXPECT_NE(fallback, QStringLiteral("/tmp/from-env"));
    EXPECT_TRUE(QDir::isAbsolutePath(fallback));
}

TEST(DisplaySettings, MissingFilesGiveTheDefaultFormats)
{
    QTemporaryDir dir;
    const Formats formats = DisplaySettings(DataFolder(dir.path())).readFormats();
    EXPECT_EQ(formats.quantityFormat(), QStringLiteral("0.00"));
    EXPECT_EQ(formats.amountFormat(), QStringLiteral("0.00"));
}

TEST(DisplaySettings, ReadsTheFirstLineOfEachFile)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    writeFile(folder.quantityFormatFile(), "0.000\r\nignored\r\n");
    writeFile(folder.amountFormatFile(), "0\n");
    Formats formats = DisplaySettings(folder).readFormats();
    EXPECT_EQ(formats.quantityDecimals(), 3);
    EXPECT_EQ(formats.amountDecimals(), 0);

    // Without JEXSW the amount falls back alone; the quantity read before it stays.
    QFile::remove(folder.amountFormatFile());
    formats = DisplaySettings(folder).readFormats();
    EXPECT_EQ(formats.quantityDecimals(), 3);
    EXPECT_EQ(formats.amountDecimals(), 2);

    writeFile(folder.quantityFormatFile(), "garbage\n");
    EXPECT_EQ(DisplaySettings(folder).readFormats().quantityDecimals(), 2);
}

TEST(DisplaySettings, WritesFormatsAndModeNameAsOneLine)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    const DisplaySettings settings(folder);
    settings.writeFormats(Formats(QStringLiteral("0.0"), QStringLiteral("0.0000")));
    EXPECT_EQ(readFile(folder.quantityFormatFile()).trimmed(), QByteArray("0.0"));
    EXPECT_EQ(readFile(folder.amountFormatFile()).trimmed(), QByteArray("0.0000"));
    const Formats back = settings.readFormats();
    EXPECT_EQ(back.quantityDecimals(), 1);
    EXPECT_EQ(back.amountDecimals(), 4);

    settings.writeModeName(1);
    EXPECT_EQ(QString::fromUtf8(readFile(folder.modeFile()).trimmed()), QStringLiteral("先进先出"));
    settings.writeModeName(2);
    EXPECT_EQ(QString::fromUtf8(readFile(folder.modeFile()).trimmed()), QStringLiteral("移动加权"));
    EXPECT_EQ(DisplaySettings::modeName(0), QStringLiteral("移动加权"));

    // A setting that cannot be written is reported, not lost silently.
    const DisplaySettings nowhere(DataFolder(dir.filePath(QStringLiteral("missing/folder"))));
    EXPECT_THROW(nowhere.writeModeName(1), StoreError);
}
