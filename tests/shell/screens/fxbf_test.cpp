#include "shell/screens/fxbf.h"
#include "shell/screens/fxxz.h"

#include "shell/accountsetrestore.h"
#include "shell/backuppieces.h"
#include "shell/backups.h"
#include "shell/datafolder.h"
#include "store/database.h"
#include "store/schema.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;
using test::click;

namespace {

// An account set laid out as in a data folder: its numbered folder beside BackUp.
class FxbfTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("7")));
        db = std::make_unique<Database>(folder.accountSetDatabasePath(7), Database::Access::Create);
        Schema::createAccountSet(*db);
    }

    QTemporaryDir dir;
    DataFolder folder{dir.path()};
    std::unique_ptr<Database> db;
    test::RecordingSink sink;
};

TEST_F(FxbfTest, BacksUpWholeAndInPiecesAndHandsOverACheckedBackup)
{
    FXBF screen(*db, 1);
    screen.show();
    EXPECT_EQ(screen.backupFolder()->text(), QDir::toNativeSeparators(folder.backupFolder()));
    EXPECT_EQ(screen.copies()->topLevelItemCount(), 0);

    click(screen.backupButtons(), FXBF::BackUp);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("您确定要数据备份吗？")});
    EXPECT_TRUE(sink.lastText().startsWith(QStringLiteral("数据备份完毕！")));
    ASSERT_EQ(screen.copies()->topLevelItemCount(), 1);
    EXPECT_FALSE(screen.workingLabel()->isVisible());
    test::keepPicture(&screen, QStringLiteral("FXBF"));

    // Pieces need a medium type, then go into the chosen folder.
    sink.clear();
    screen.backupPieces()->setChecked(true);
    click(screen.backupButtons(), FXBF::BackUp);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择备份软盘类型"));
    const QString medium = dir.filePath(QStringLiteral("u盘"));
    ASSERT_TRUE(QDir().mkpath(medium));
    screen.backupFolder()->setText(medium);
    screen.backupMedium()->setCurrentIndex(0);
    click(screen.backupButtons(), FXBF::BackUp);
    EXPECT_TRUE(sink.shownTexts().contains(
        QStringLiteral("请准备好 1 张 1.44M软盘 ,请先插入第一张 1.44M软盘")));
    EXPECT_EQ(sink.lastText(), QStringLiteral("kvmt.db 分割完成!\n你可以选择备份还原,还原数据库"));
    EXPECT_TRUE(QFileInfo::exists(QDir(medium).filePath(BackupPieces::pieceName(1, 1))));

    // The pieces are joined back once the first disk is asked for.
    sink.clear();
    bool joined = false;
    {
        const QMetaObject::Connection handedOver = QObject::connect(
            &screen, &FXBF::restoreRequested, [&](AccountSetRestore *) { joined = true; });
        screen.restorePieces()->setChecked(true);
        screen.restoreMedium()->setCurrentIndex(0);
        screen.restorePath()->setText(medium);
        sink.answer({false});
        click(screen.restoreButtons(), FXBF::Restore);
        QObject::disconnect(handedOver);
    }
    EXPECT_EQ(sink.shownTexts().value(0), QStringLiteral("请插入第一张软盘"));
    EXPECT_TRUE(sink.shownTexts().contains(QStringLiteral("合并完成!")));
    EXPECT_FALSE(joined) << "the restore was declined";

    // Choosing a copy from the list and confirming hands it over, checked and staged.
    sink.clear();
    QString staged;
    QObject::connect(&screen, &FXBF::restoreRequested, [&](AccountSetRestore *restore) {
        staged = restore->stagingPath();
        EXPECT_TRUE(QFileInfo::exists(staged));
    });
    screen.copies()->setCurrentItem(screen.copies()->topLevelItem(0));
    click(screen.restoreButtons(), FXBF::Restore);
    EXPECT_EQ(sink.questionTexts().size(), 1);
    EXPECT_EQ(staged, folder.accountSetDatabasePath(7) + QStringLiteral(".restore"));
    EXPECT_FALSE(QFileInfo::exists(staged)) << "an unused candidate is not left behind";
    EXPECT_EQ(screen.result(), QDialog::Accepted);
}

TEST_F(FxbfTest, AFileThatIsNoBackupIsRefusedOnTheSpot)
{
    FXBF screen(*db, 1);
    bool handedOver = false;
    QObject::connect(&screen, &FXBF::restoreRequested, [&] { handedOver = true; });
    click(screen.restoreButtons(), FXBF::Restore);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择要还原的备份文件"));

    screen.restorePath()->setText(folder.masterDatabasePath());
    click(screen.restoreButtons(), FXBF::Restore);
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("不能用于还原")))
        << sink.lastText().toStdString();
    EXPECT_TRUE(sink.questions.empty());
    EXPECT_FALSE(handedOver);
}

TEST_F(FxbfTest, TheFolderChooserHandsBackAnExistingFolderOnly)
{
    const QString medium = dir.filePath(QStringLiteral("u盘"));
    ASSERT_TRUE(QDir().mkpath(medium));
    Fxxz chooser(medium);
    chooser.show();
    test::keepPicture(&chooser, QStringLiteral("Fxxz"));
    EXPECT_EQ(chooser.pathField()->text(), QDir::toNativeSeparators(medium));
    EXPECT_GE(chooser.drives()->count(), 1);

    chooser.pathField()->setText(dir.filePath(QStringLiteral("gone")));
    click(chooser.buttons(), 0);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择有效的备份目录"));
    EXPECT_FALSE(chooser.chosen());

    chooser.pathField()->setText(QDir::toNativeSeparators(medium));
    click(chooser.buttons(), 0);
    EXPECT_EQ(chooser.chosen(), std::optional<QString>(QDir::cleanPath(medium)));
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

} // namespace
