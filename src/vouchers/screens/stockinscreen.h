#pragma once

#include "store/formats.h"
#include "vouchers/screens/familyscreen.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/stockinvouchers.h"

class QComboBox;

namespace varnock {

// The entry screen of all four stock-in kinds (FrmCgrkd, FrmDbrkd, FrmZgrkd, FrmJgrkd): one
// design, configured by the kind. The provisional kind adds "追 加(&Z)".
class StockInScreen : public FamilyScreen<StockInVouchers, StockInLineModel>
{
    Q_OBJECT

public:
    enum Button { Search, Add, Save, Change, Delete, Restore, Print, Exit, Post, Append };

    StockInScreen(Database &db, StockInKind::Kind kind, int accountingMode, const Formats &formats,
                  QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("入库单填制"); }

    const StockInKind &kind() const;

    // Opens the material lookup for a grid row.
    void lookUpMaterial(int row) { pickMaterial(row); }

    QComboBox *documentNumber() const { return m_ysdjh; }
    QLineEdit *invoiceNumber() const { return m_fpbh; }
    QLineEdit *chequeNumber() const { return m_zph; }
    QLineEdit *partnerCode() const { return m_gysbh; }
    QLineEdit *partnerName() const { return m_gysmc; }

    // The provisional append of the current line.
    void append();

    // The stock-in line grid, which a direct delivery shares: its column widths, and its
    // columns set up once the grid shows the lines.
    static QList<int> widths();
    static void formatLines(EditableGrid *grid, const Formats &formats);

private:
    void propose() override;
    std::optional<qint64> find() override { return pickVoucher(VoucherFinder::stockIns(family())); }
    void pickMaterial(int row) override { lookUpMaterialFor(row, m_formats); }
    void own(int) override { append(); }
    void stateChanged(State state) override;

    Formats m_formats;
    QComboBox *m_ysdjh;
    QLineEdit *m_fpbh;
    QLineEdit *m_zph;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
};

} // namespace varnock
