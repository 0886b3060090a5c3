#include "shell/systemparameters.h"

#include "print/reporttemplate.h"
#include "shell/backups.h"
#include "shell/displaysettings.h"
#include "store/database.h"
#include "store/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <algorithm>

namespace varnock {

SystemParameters::SystemParameters(Database &accountSet, const DataFolder &folder)
    : m_db(accountSet)
    , m_folder(folder)
{}

QStringList SystemParameters::formatChoices()
{
    QStringList choices;
    for (int decimals = 0; decimals <= 4; ++decimals)
        choices << Formats::formatFor(decimals);
    return choices;
}

QString SystemParameters::defaultBackupFolder() const
{
    return m_folder.backupFolder();
}

SystemParameters::Values SystemParameters::load() const
{
    Values values;
    Query row = m_db.query(QStringLiteral("SELECT GSMC, DZ, FR, DH, YB, DRIVER, DIR FROM YHZL"));
    QString drive;
    QString folder;
    if (row.next()) {
        values.firmName = row.value(0).toString();
        values.address = row.value(1).toString();
        values.contact = row.value(2).toString();
        values.phone = row.value(3).toString();
        values.postcode = row.value(4).toString();
        drive = row.value(5).toString().trimmed();
        folder = row.value(6).toString().trimmed();
    }
    values.defaultBackupFolder =
        drive.isEmpty() || folder.isEmpty() || QDir::cleanPath(folder) == defaultBackupFolder();
    values.backupFolder =
        values.defaultBackupFolder ? defaultBackupFolder() : QDir::cleanPath(folder);
    const Formats formats = DisplaySettings(m_folder).readFormats();
    values.quantityFormat = formats.quantityFormat();
    values.amountFormat = formats.amountFormat();
    const SlipCaptions captions = SlipCaptions::read(m_folder);
    values.receiptCaptions = captions.receipt();
    values.issueCaptions = captions.issue();
    return values;
}

bool SystemParameters::save(const Values &values, const Formats &inUse)
{
    const QString title = QStringLiteral("提示");
    const QString folder =
        values.defaultBackupFolder ? defaultBackupFolder() : QDir::cleanPath(values.backupFolder);
    if (!values.defaultBackupFolder &&
        (values.backupFolder.trimmed().isEmpty() || !QFileInfo(folder).isDir())) {
        throw Refusal(title, Backups::InvalidFolderText);
    }
    const QStringList choices = formatChoices();
    if (!choices.contains(values.quantityFormat) || !choices.contains(values.amountFormat)) {
        throw Refusal(
            title,
            QStringLiteral("保留位数只能是 %1 之一。").arg(choices.join(QStringLiteral("、"))));
    }

    Transaction tx(m_db);
    const QVariantList fields = {values.firmName, values.address, values.contact, values.phone,
                                 values.postcode, folder.left(2), folder};
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM YHZL")).toInt() == 0) {
        m_db.exec(QStringLiteral("INSERT INTO YHZL (GSMC, DZ, FR, DH, YB, DRIVER, DIR) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  fields);
    } else {
        m_db.exec(QStringLiteral("UPDATE YHZL SET GSMC = ?, DZ = ?, FR = ?, DH = ?, YB = ?, "
                                 "DRIVER = ?, DIR = ?"),
                  fields);
    }
    tx.commit();

    const Formats chosen(values.quantityFormat, values.amountFormat);
    DisplaySettings(m_folder).writeFormats(chosen);
    SlipCaptions(values.receiptCaptions, values.issueCaptions).write(m_folder);
    return chosen.quantityFormat() != inUse.quantityFormat() ||
           chosen.amountFormat() != inUse.amountFormat();
}

OperationStep SystemParameters::restartQuestion()
{
    return OperationStep::question(QStringLiteral("提示"),
                                   QStringLiteral("重新启动新的设置才能生效,您现在重新启动吗?"),
                                   Refusal::Icon::Exclamation);
}

QList<SystemParameters::Report> SystemParameters::reports() const
{
    QMap<QString, QString> titles;
    for (const QString &name : ReportTemplates::deliveredNames())
        titles.insert(name, name);
    Query row = m_db.query(QStringLiteral("SELECT BM, BT FROM BBXX"));
    while (row.next()) {
        const QString title = row.value(1).toString().trimmed();
        const QString name = row.value(0).toString();
        titles.insert(name, title.isEmpty() ? name : title);
    }
    QList<Report> reports;
    for (auto it = titles.cbegin(); it != titles.cend(); ++it)
        reports << Report{it.key(), it.value()};
    std::sort(reports.begin(), reports.end(),
              [](const Report &a, const Report &b) { return a.title < b.title; });
    return reports;
}

OperationStep SystemParameters::restoreQuestion()
{
    return OperationStep::question(
        QStringLiteral("提示"),
        QStringLiteral("你真的要还原你选择的报表吗?,一旦还原将恢复初始报表!"));
}

QString SystemParameters::restoreReports(const QStringList &names) const
{
    const ReportTemplates templates(m_folder.reportsFolder());
    const QStringList delivered = ReportTemplates::deliveredNames();
    QStringList without;
    for (const QString &name : names) {
        // A report without a delivered copy keeps its working template: deleting it would
        // leave the report with none at all.
        if (!delivered.contains(name)) {
            without << name;
            continue;
        }
        templates.restore(name);
    }
    if (without.isEmpty())
        return QStringLiteral("你所有选的报表,已成功还原");
    return QStringLiteral("以下报表没有初始报表，未还原：%1")
        .arg(without.join(QStringLiteral("、")));
}

} // namespace varnock
