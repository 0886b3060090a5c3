#pragma once

#include "store/formats.h"

#include <QDialog>

#include <memory>

class QLabel;

namespace varnock {

class Database;
class EditableGrid;
class IndexedButtonGroup;
class OpeningBalanceModel;
class OpeningBalances;

// Opening balances ("帐务初始化"): the grid of opening rows with in-cell entry, the material
// lookup on the code cell and the running total.
class FrmZwcsh : public QDialog
{
    Q_OBJECT

public:
    enum Button { Add, Change, Save, Delete, Restore, Print, Exit };

    // `mode` 1 = first in first out, 2 = moving average.
    FrmZwcsh(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);
    ~FrmZwcsh() override;

    static QString helpTopic() { return QStringLiteral("帐务初始化"); }

    EditableGrid *grid() const { return m_grid; }
    OpeningBalanceModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    QLabel *totalLabel() const { return m_total; }

    // Opens the material lookup for a row's code cell and puts the choice into the row.
    void lookUpMaterial(int row);

private:
    void reload();
    int selectedRow() const;
    void editCell(int row, int column);

    void add();
    void change();
    void save();
    void remove();

    Database &m_db;
    Formats m_formats;
    std::unique_ptr<OpeningBalances> m_balances;
    OpeningBalanceModel *m_model = nullptr;
    EditableGrid *m_grid = nullptr;
    QLabel *m_total = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
