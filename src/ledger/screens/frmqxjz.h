#pragma once

#include "ledger/cancelposting.h"

#include <QWidget>

class QTableView;

namespace varnock {

class Database;
class IndexedButtonGroup;
class PostingGridModel;

// Cancel posting and wiping the books ("取消记账"): the closings made so far, the two actions
// and what they are for.
class FrmQxjz : public QWidget
{
    Q_OBJECT

public:
    enum Button { Cancel, Wipe, Exit };

    FrmQxjz(Database &db, int accountingMode, int loggedInOperator, QWidget *parent = nullptr);

    QTableView *closingView() const { return m_view; }
    PostingGridModel *closingModel() const { return m_closings; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

signals:
    // The closings were removed by a wipe.
    void closingsRemoved();

private:
    void cancelPosting();
    void wipe();
    void refresh();

    Database &m_db;
    CancelPosting m_cancel;
    int m_operator;
    QTableView *m_view = nullptr;
    PostingGridModel *m_closings = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
