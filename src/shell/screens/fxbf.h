#pragma once

#include "shell/accountsetrestore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace varnock {

class Database;
class IndexedButtonGroup;

// "数据备份": backs the open account set up into a folder, whole or cut into pieces, and
// puts a backup back: one of the set's copies, another backup file, or pieces joined from a
// folder.
class FXBF : public QDialog
{
    Q_OBJECT

public:
    enum BackupButton { BackUp, BackupCancel };
    enum RestoreButton { Restore, RestoreCancel };

    FXBF(Database &db, int operatorNumber, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("数据备份"); }
    static const QStringList MediumTypes; // "1.44M软盘", "1.2M软盘!"

    QLineEdit *sourceField() const { return m_source; }
    QRadioButton *backupWhole() const { return m_backupWhole; }
    QRadioButton *backupPieces() const { return m_backupPieces; }
    QComboBox *backupMedium() const { return m_backupMedium; }
    QLineEdit *backupFolder() const { return m_backupFolder; }
    QLabel *workingLabel() const { return m_working; }
    IndexedButtonGroup *backupButtons() const { return m_backupButtons; }

    QRadioButton *restoreWhole() const { return m_restoreWhole; }
    QRadioButton *restorePieces() const { return m_restorePieces; }
    QComboBox *restoreMedium() const { return m_restoreMedium; }
    QTreeWidget *copies() const { return m_copies; }
    QLineEdit *restorePath() const { return m_restorePath; }
    IndexedButtonGroup *restoreButtons() const { return m_restoreButtons; }

signals:
    // A checked backup waits beside the set's file to replace it. Whoever holds the open set
    // replaces it at once; the screen closes then, as its database is no longer the set's.
    void restoreRequested(AccountSetRestore *restore);

private:
    QWidget *backupSide();
    QWidget *restoreSide();
    void listCopies();
    void chooseBackupFolder();
    void chooseRestoreSource();
    void backUp();
    void backUpWhole();
    void backUpInPieces();
    void restore();

    Database &m_db;
    int m_operator;

    QLineEdit *m_source = nullptr;
    QRadioButton *m_backupWhole = nullptr;
    QRadioButton *m_backupPieces = nullptr;
    QComboBox *m_backupMedium = nullptr;
    QLineEdit *m_backupFolder = nullptr;
    QLabel *m_working = nullptr;
    IndexedButtonGroup *m_backupButtons = nullptr;

    QRadioButton *m_restoreWhole = nullptr;
    QRadioButton *m_restorePieces = nullptr;
    QComboBox *m_restoreMedium = nullptr;
    QTreeWidget *m_copies = nullptr;
    QLineEdit *m_restorePath = nullptr;
    IndexedButtonGroup *m_restoreButtons = nullptr;
};

} // namespace varnock
