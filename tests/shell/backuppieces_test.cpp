#include "shell/backuppieces.h"
#include "shell/backups.h"

#include "store/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

class BackupPiecesTest : public ::testing::Test
{
protected:
    QString source(qint64 length)
    {
        QByteArray bytes(length, Qt::Uninitialized);
        for (qint64 i = 0; i < length; ++i)
            bytes[i] = char(QRandomGenerator::global()->bounded(256));
        const QString path = dir.filePath(QStringLiteral("source.db"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        m_bytes = bytes;
        return path;
    }
    QString folder(const QString &name)
    {
        EXPECT_TRUE(QDir(dir.path()).mkpath(name));
        return dir.filePath(name);
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString label(const QString &folder)
    {
        return QString::fromUtf8(read(QDir(folder).filePath(BackupPieces::LabelFileName)));
    }

    QTemporaryDir dir;
    QByteArray m_bytes;
    QStringList asked;
    BackupPieces::Ask yes = [this](const QString &text) {
        asked << text;
        return true;
    };
};

TEST_F(BackupPiecesTest, PieceNamesCarryTheCountAndThreeDigits)
{
    EXPECT_EQ(BackupPieces::pieceName(3, 2), QStringLiteral("kvmt-3$db.002"));
    EXPECT_EQ(BackupPieces::pieceName(100, 9), QStringLiteral("kvmt-100$db.009"));
    EXPECT_EQ(BackupPieces::pieceName(100, 10), QStringLiteral("kvmt-100$db.010"));
    EXPECT_EQ(BackupPieces::pieceName(100, 100), QStringLiteral("kvmt-100$db.100"));
    EXPECT_EQ(BackupPieces::pieceCount(1), 1);
    EXPECT_EQ(BackupPieces::pieceCount(BackupPieces::PieceSize), 1);
    EXPECT_EQ(BackupPieces::pieceCount(BackupPieces::PieceSize + 1), 2);
}

TEST_F(BackupPiecesTest, AnExactMultipleGivesThatManyFullPiecesAndJoinsBack)
{
    const QString file = source(2 * BackupPieces::PieceSize);
    const QString medium = folder(QStringLiteral("u盘"));
    // The user is told how many media to get ready before the first piece is written.
    int announced = 0;
    const auto begin = [&](int count) {
        announced = count;
        return true;
    };
    EXPECT_EQ(BackupPieces::split(file, medium, yes, BackupPieces::PieceSize, begin), 2);
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(asked, QStringList{QStringLiteral("请插入第2 张盘")});
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(QFileInfo(QDir(medium).filePath(BackupPieces::pieceName(2, k))).size(),
                  BackupPieces::PieceSize);
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(medium).filePath(BackupPieces::pieceName(2, 3))));
    EXPECT_EQ(label(medium), QStringLiteral("2\n2\n"));

    asked.clear();
    const QString joined = dir.filePath(QStringLiteral("joined.db"));
    BackupPieces::join(medium, joined, yes);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(read(joined), m_bytes);
}

TEST_F(BackupPiecesTest, OnePieceAndAHundredPiecesWithAShortLastOne)
{
    const QString one = folder(QStringLiteral("one"));
    EXPECT_EQ(BackupPieces::split(source(10), one, yes, 10), 1);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(read(QDir(one).filePath(QStringLiteral("kvmt-1$db.001"))), m_bytes);

    const QString many = folder(QStringLiteral("many"));
    EXPECT_EQ(BackupPieces::split(source(995), many, yes, 10), 100);
    EXPECT_EQ(asked.size(), 99);
    EXPECT_EQ(asked.last(), QStringLiteral("请插入第100 张盘"));
    EXPECT_EQ(read(QDir(many).filePath(QStringLiteral("kvmt-100$db.100"))), m_bytes.right(5));
    EXPECT_EQ(read(QDir(many).filePath(QStringLiteral("kvmt-100$db.010"))), m_bytes.mid(90, 10));
    const QString joined = dir.filePath(QStringLiteral("joined.db"));
    BackupPieces::join(many, joined, yes, 10);
    EXPECT_EQ(read(joined), m_bytes);
}

TEST_F(BackupPiecesTest, TheWrongPieceIsAskedForAgainUntilTheRightOneIsThere)
{
    const QString medium = folder(QStringLiteral("medium"));
    const QString aside = folder(QStringLiteral("aside"));
    BackupPieces::split(source(25), medium, yes, 10);
    // Piece 1 is not in the folder: only pieces 2 and 3 and the label of piece 3.
    const QString first = BackupPieces::pieceName(3, 1);
    ASSERT_TRUE(QFile::rename(QDir(medium).filePath(first), QDir(aside).filePath(first)));

    asked.clear();
    const QString joined = dir.filePath(QStringLiteral("joined.db"));
    BackupPieces::join(
        medium, joined,
        [&](const QString &text) {
            asked << text;
            // The user puts the right piece in on the second request.
            if (asked.size() == 2)
                QFile::rename(QDir(aside).filePath(first), QDir(medium).filePath(first));
            return true;
        },
        10);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("请插入你已备份好的磁盘,第1号磁盘"),
                                  QStringLiteral("磁盘插入错误,请插入1 号磁盘")}));
    EXPECT_EQ(read(joined), m_bytes);
}

TEST_F(BackupPiecesTest, StoppingLeavesNothingAndAShortPieceIsNoPiece)
{
    const QString medium = folder(QStringLiteral("medium"));
    const QString joined = dir.filePath(QStringLiteral("joined.db"));
    const BackupPieces::Ask no = [this](const QString &text) {
        asked << text;
        return false;
    };
    // No label in the folder: no backup medium at all.
    EXPECT_THROW(BackupPieces::join(medium, joined, no), Refusal);
    EXPECT_EQ(asked, QStringList{QStringLiteral("磁盘插入错误,请重新插入备份盘")});

    BackupPieces::split(source(25), medium, yes, 10);
    QFile second(QDir(medium).filePath(BackupPieces::pieceName(3, 2)));
    ASSERT_TRUE(second.resize(7));
    asked.clear();
    EXPECT_THROW(BackupPieces::join(medium, joined, no, 10), Refusal);
    EXPECT_EQ(asked, QStringList{QStringLiteral("请插入你已备份好的磁盘,第2号磁盘")});
    EXPECT_FALSE(QFileInfo::exists(joined));

    // Writing stops when the user does not go on; a missing folder is refused at once.
    asked.clear();
    EXPECT_THROW(BackupPieces::split(source(25), folder(QStringLiteral("other")), no, 10), Refusal);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_THROW(BackupPieces::split(source(25), dir.filePath(QStringLiteral("none")), yes, 10),
                 Refusal);
}

} // namespace

namespace {

TEST_F(BackupPiecesTest, TheMediumIsAskedForWhileGoneAndAPieceAlreadyThereIsReplacedOnlyOnYes)
{
    const QString medium = folder(QStringLiteral("u盘"));
    BackupPieces::split(source(25), medium, yes, 10);
    const QString first = BackupPieces::pieceName(3, 1);

    // The pieces of an earlier backup stay unless the user lets each one go.
    asked.clear();
    int answers = 0;
    const BackupPieces::Ask keep = [&](const QString &text) {
        asked << text;
        return ++answers < 3;
    };
    const QByteArray before = read(QDir(medium).filePath(first));
    source(25);
    EXPECT_THROW(BackupPieces::split(dir.filePath(QStringLiteral("source.db")), medium, keep, 10),
                 Refusal);
    EXPECT_EQ(asked,
              (QStringList{BackupPieces::overwriteQuestion(first), QStringLiteral("请插入第2 张盘"),
                           BackupPieces::overwriteQuestion(BackupPieces::pieceName(3, 2))}));
    EXPECT_EQ(asked.first(), QStringLiteral("文件  kvmt-3$db.001  已存在，是否要覆盖？"));
    EXPECT_NE(read(QDir(medium).filePath(first)), before);
    EXPECT_EQ(label(medium), QStringLiteral("1\n3\n"));

    // Taken out between two pieces, the medium is asked for until it is back.
    const QString removable = folder(QStringLiteral("removable"));
    asked.clear();
    const BackupPieces::Ask swap = [&](const QString &text) {
        asked << text;
        if (text == Backups::MediumMissingText)
            QDir(dir.path()).mkpath(QStringLiteral("removable"));
        else
            QDir(removable).removeRecursively();
        return true;
    };
    EXPECT_EQ(BackupPieces::split(dir.filePath(QStringLiteral("source.db")), removable, swap, 20),
              2);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("请插入第2 张盘"), Backups::MediumMissingText}));
    EXPECT_EQ(label(removable), QStringLiteral("2\n2\n"));
}

TEST_F(BackupPiecesTest, APieceThatCannotBeWrittenThereAsksForAnotherPlace)
{
    const QString medium = folder(QStringLiteral("u盘"));
    // Something the piece cannot replace already holds its name.
    ASSERT_TRUE(QDir(medium).mkpath(BackupPieces::pieceName(1, 1) + QStringLiteral("/x")));
    try {
        BackupPieces::split(source(10), medium, yes, 10);
        FAIL() << "the piece was reported written";
    } catch (const Refusal &refusal) {
        EXPECT_TRUE(refusal.text.startsWith(Backups::CannotWriteText));
        EXPECT_EQ(refusal.icon, Refusal::Icon::Critical);
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(medium).filePath(BackupPieces::LabelFileName)));
}

} // namespace
