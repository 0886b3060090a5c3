#include "shell/systemparameters.h"

#include "print/reporttemplate.h"
#include "print/slipcaptions.h"
#include "shell/displaysettings.h"
#include "store/errors.h"
#include "support/testaccountset.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

class ParametersTest : public ::testing::Test
{
protected:
    SystemParameters parameters() { return SystemParameters(set.db(), folder); }
    QVariantList yhzl()
    {
        Query row = set.db().query(QStringLiteral("SELECT GSMC, DRIVER, DIR FROM YHZL"));
        QVariantList values;
        while (row.next())
            values << row.value(0) << row.value(1) << row.value(2);
        return values;
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    test::TestAccountSet set;
    DataFolder folder{set.folder()};
};

TEST_F(ParametersTest, AFreshSetShowsTheDefaults)
{
    const SystemParameters::Values values = parameters().load();
    EXPECT_TRUE(values.defaultBackupFolder);
    EXPECT_EQ(values.backupFolder, QDir(set.folder()).filePath(QStringLiteral("BackUp")));
    EXPECT_EQ(values.quantityFormat, QStringLiteral("0.00"));
    EXPECT_EQ(values.amountFormat, QStringLiteral("0.00"));
    EXPECT_EQ(values.receiptCaptions, SlipCaptions::DefaultReceipt);
    EXPECT_EQ(values.issueCaptions, SlipCaptions::DefaultIssue);
    EXPECT_EQ(SystemParameters::formatChoices(),
              (QStringList{"0", "0.0", "0.00", "0.000", "0.0000"}));
}

TEST_F(ParametersTest, TheBackupFolderIsStoredWithItsDriveAndAMissingOneIsRefused)
{
    SystemParameters::Values values = parameters().load();
    values.firmName = QStringLiteral("第一建筑公司 O'Brien");
    EXPECT_FALSE(parameters().save(values, Formats()));
    const QString backUp = QDir(set.folder()).filePath(QStringLiteral("BackUp"));
    EXPECT_EQ(yhzl(), (QVariantList{values.firmName, backUp.left(2), backUp}));

    // A chosen folder is kept as chosen; saving again changes the one row.
    const QString chosen = QDir(set.folder()).filePath(QStringLiteral("u盘"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    values.defaultBackupFolder = false;
    values.backupFolder = chosen;
    parameters().save(values, Formats());
    EXPECT_EQ(yhzl(), (QVariantList{values.firmName, chosen.left(2), chosen}));
    EXPECT_FALSE(parameters().load().defaultBackupFolder);
    EXPECT_EQ(parameters().load().backupFolder, chosen);

    values.backupFolder = QDir(set.folder()).filePath(QStringLiteral("gone"));
    values.firmName = QStringLiteral("改了");
    values.amountFormat = QStringLiteral("0.0");
    try {
        parameters().save(values, Formats());
        FAIL() << "a missing folder was taken";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.text, QStringLiteral("请选择有效的备份目录"));
    }
    EXPECT_EQ(yhzl(),
              (QVariantList{QStringLiteral("第一建筑公司 O'Brien"), chosen.left(2), chosen}));
    EXPECT_EQ(DisplaySettings(folder).readFormats().amountFormat(), QStringLiteral("0.00"));
}

TEST_F(ParametersTest, OnlyAChangedFormatAsksForARestartAndCaptionsApplyAtOnce)
{
    SystemParameters::Values values = parameters().load();
    values.receiptCaptions[2] = QStringLiteral("收 料 人");
    values.issueCaptions[4] = QStringLiteral("仓库\n主管");
    const Formats inUse;
    EXPECT_FALSE(parameters().save(values, inUse));
    const SlipCaptions captions = SlipCaptions::read(folder);
    EXPECT_EQ(captions.receipt().at(2), QStringLiteral("收 料 人"));
    EXPECT_EQ(captions.issue().at(4), QStringLiteral("仓库 主管"));
    EXPECT_EQ(captions.issue().at(0), SlipCaptions::DefaultIssue.at(0));

    values.quantityFormat = QStringLiteral("0.000");
    EXPECT_TRUE(parameters().save(values, inUse));
    EXPECT_EQ(read(folder.quantityFormatFile()), QByteArray("0.000\n"));
    EXPECT_EQ(DisplaySettings(folder).readFormats().quantityDecimals(), 3);
    // Saved again as the program now runs: nothing to restart for.
    EXPECT_FALSE(parameters().save(values, DisplaySettings(folder).readFormats()));
    // Each file was renamed into place: no half-written file is left beside it.
    QStringList files = QDir(set.folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    files.removeIf([](const QString &name) { return name.startsWith(QStringLiteral("kvmt.db")); });
    EXPECT_EQ(files, (QStringList{"JEXSW", "LSWS", "xiaopiao"}));

    values.amountFormat = QStringLiteral("0.00000");
    EXPECT_THROW(parameters().save(values, inUse), Refusal);
}

TEST_F(ParametersTest, RestoringTwoTemplatesLeavesTheOthersAsTheyAre)
{
    const QStringList delivered = ReportTemplates::deliveredNames();
    ASSERT_GE(delivered.size(), 3);
    const ReportTemplates templates(folder.reportsFolder());
    ASSERT_TRUE(QDir().mkpath(folder.reportsFolder()));
    for (const QString &name : delivered.mid(0, 3)) {
        QFile changed(templates.path(name));
        ASSERT_TRUE(changed.open(QIODevice::WriteOnly));
        changed.write("changed by the user");
    }
    set.db().exec(QStringLiteral("INSERT INTO BBXX (BM, BT) VALUES ('自制报表', '我的报表')"));
    const QList<SystemParameters::Report> reports = parameters().reports();
    EXPECT_EQ(reports.size(), delivered.size() + 1);
    EXPECT_TRUE(std::any_of(reports.cbegin(), reports.cend(), [](const auto &r) {
        return r.name == QStringLiteral("自制报表") && r.title == QStringLiteral("我的报表");
    }));

    EXPECT_EQ(parameters().restoreReports(delivered.mid(0, 2)),
              QStringLiteral("你所有选的报表,已成功还原"));
    for (const QString &name : delivered.mid(0, 2))
        EXPECT_EQ(read(templates.path(name)), ReportTemplates::deliveredCopy(name))
            << name.toStdString();
    EXPECT_EQ(read(templates.path(delivered.at(2))), QByteArray("changed by the user"));

    // Without a delivered copy the working template stays.
    QFile own(templates.path(QStringLiteral("自制报表")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("mine");
    own.close();
    EXPECT_TRUE(parameters()
                    .restoreReports({QStringLiteral("自制报表")})
                    .contains(QStringLiteral("自制报表")));
    EXPECT_EQ(read(templates.path(QStringLiteral("自制报表"))), QByteArray("mine"));
}

} // namespace
