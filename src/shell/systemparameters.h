#pragma once

#include "ledger/operationstep.h"
#include "print/slipcaptions.h"
#include "shell/datafolder.h"
#include "store/formats.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// The system's settings kept on the parameters screen: the firm's details and the backup
// folder (YHZL of the open set), the display formats (LSWS, JEXSW) and the slip signature
// captions (xiaopiao) shared by every set, and the report templates put back to their
// delivered state. Every file is written whole.
class SystemParameters
{
public:
    struct Values
    {
        QString firmName; // GSMC
        QString address;  // DZ
        QString contact;  // FR
        QString phone;    // DH
        QString postcode; // YB
        // The BackUp folder of the data folder, or the folder in backupFolder.
        bool defaultBackupFolder = true;
        QString backupFolder; // the full path shown
        QString quantityFormat;
        QString amountFormat;
        QStringList receiptCaptions; // five
        QStringList issueCaptions;   // five
    };

    struct Report
    {
        QString name;  // BM, the template's name
        QString title; // BT
    };

    SystemParameters(Database &accountSet, const DataFolder &folder);

    Values load() const;
    // The formats offered: "0" … "0.0000".
    static QStringList formatChoices();
    // The BackUp folder of the data folder.
    QString defaultBackupFolder() const;

    // Refuses ("请选择有效的备份目录") a chosen backup folder that does not exist and a format
    // that is not offered. Writes YHZL (the firm's details, DRIVER and DIR) in one
    // transaction, then LSWS, JEXSW and xiaopiao. Returns whether a format differs from
    // `inUse`, the formats the program runs with.
    bool save(const Values &values, const Formats &inUse);
    // Asked after saving when a format changed: on Yes the program ends.
    static OperationStep restartQuestion();

    // The reports of BBXX and every report with a delivered template, by title.
    QList<Report> reports() const;
    static OperationStep restoreQuestion();
    // Puts the named reports' templates back to their delivered copies; the others stay as
    // they are. Returns the message to show: "你所有选的报表,已成功还原", or which reports have
    // no delivered copy and were left alone. Throws StoreError.
    QString restoreReports(const QStringList &names) const;

private:
    Database &m_db;
    DataFolder m_folder;
};

} // namespace varnock
