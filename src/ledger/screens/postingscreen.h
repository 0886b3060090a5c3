#pragma once

#include "ledger/posting.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QTableView;

namespace varnock {

class IndexedButtonGroup;
class PostingGridModel;

// The four posting screens (FrmRkdz, FrmThdz, FormLLDDZ, FormLLTHDDZ): unposted vouchers of
// the chosen kind above, the lines of the selected voucher below.
class PostingScreen : public QWidget
{
    Q_OBJECT

public:
    enum Button { Single, All, Delete, Print, Exit };

    // `issueKind` (1 requisition, 2 transfer out) fixes the kind of the issue families; the
    // stock-in families choose theirs in the combo. An empty `title` keeps the family's own.
    PostingScreen(Database &db, Posting::Family family, int issueKind, int accountingMode,
                  const Formats &formats, const QString &title = {}, QWidget *parent = nullptr);

    static QString screenName(Posting::Family family);
    static QString caption(Posting::Family family);
    // Runs posting menu command `command` of the main window around `from` (its right, its
    // log record) and, for the stock-in families, sets the kind (selector index). nullptr when
    // the command is not at hand (no main window, no right).
    static PostingScreen *open(QWidget *from, const QString &command, int kindIndex = -1);

    Posting::Family family() const { return m_family; }
    QString kind() const;

    QComboBox *kindSelector() const { return m_kinds; } // nullptr for the issue families
    QTableView *voucherView() const { return m_voucherView; }
    QTableView *lineView() const { return m_lineView; }
    PostingGridModel *voucherModel() const { return m_vouchers; }
    PostingGridModel *lineModel() const { return m_lines; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Selects the voucher row and shows its lines.
    void selectVoucher(int row);
    void postSelected();
    void postAll();
    void deleteSelectedLine();
    // The slip of the selected voucher in the print preview.
    void printSelected();

private:
    void refreshVouchers();
    void refreshLines();
    qint64 selectedVoucher() const;
    bool confirmed();

    Database &m_db;
    int m_mode;
    Formats m_formats;
    Posting m_posting;
    Posting::Family m_family;
    QString m_fixedKind;
    QComboBox *m_kinds = nullptr;
    QTableView *m_voucherView = nullptr;
    QTableView *m_lineView = nullptr;
    PostingGridModel *m_vouchers = nullptr;
    PostingGridModel *m_lines = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
