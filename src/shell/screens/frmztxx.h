#pragma once

#include "shell/accountsets.h"

#include <QDialog>

#include <optional>

class QTableWidget;

namespace varnock {

class Database;
class IndexedButtonGroup;

// The account-set chooser ("选择账套"): lists the sets of the master database, creates and
// deletes them, and hands the chosen set's number to the start-up flow, which opens it.
class FrmZtxx : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome { Pending, Chosen, Quit };

    FrmZtxx(Database &master, const DataFolder &folder, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("账套选择"); }

    Outcome outcome() const { return m_outcome; }
    // The chosen set, once 确定 (or a double click) closed the chooser.
    std::optional<qint64> chosen() const { return m_chosen; }
    // True once the user confirmed leaving the program.
    bool quitRequested() const { return m_outcome == Outcome::Quit; }

    // Re-reads the list; keeps the set of the given number current when it is still there.
    void reload(std::optional<qint64> current = std::nullopt);
    // The number of the current row, nothing when no set row is current.
    std::optional<qint64> currentNumber() const;

    QTableWidget *grid() const { return m_grid; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Esc and the window's close button ask like 退出系统 does.
    void reject() override;

private:
    void createSet();
    void deleteSet();
    void choose();
    void quit();

    AccountSets m_sets;
    DataFolder m_folder;
    QTableWidget *m_grid = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    Outcome m_outcome = Outcome::Pending;
    std::optional<qint64> m_chosen;
};

} // namespace varnock
