#pragma once

#include "vouchers/screens/voucherlist.h"
#include "vouchers/stockinvoucher.h"

#include <QSize>

#include <functional>
#include <optional>

namespace varnock {

class DirectVouchers;
class IssueReturns;
class IssueVouchers;
class StockInReturns;
class StockInVouchers;

// The finders of the voucher families: one list screen, declared per family below with its
// columns, the vouchers it opens with and its condition dialog ("查 询(&F)"). Returns the chosen
// voucher's system number:
//     VoucherFinder finder(VoucherFinder::issues(family()), this);
class VoucherFinder : public VoucherList
{
    Q_OBJECT

public:
    // What a finder lists: the texts of a row, and the row's voucher at the same place.
    struct Lines
    {
        QList<QStringList> texts;
        QList<qint64> numbers;
    };

    struct Declaration
    {
        QString name;
        QString title;
        QStringList headers;
        // Columns wider than their contents, and the list's size.
        QList<std::pair<int, int>> widths;
        QSize size;
        std::function<Lines()> opening;
        // Asks the conditions in a dialog over the list; nullopt when it was cancelled.
        std::function<std::optional<Lines>(QWidget *list)> search;
        // The captions of the button that takes the chosen voucher and of the one that leaves.
        QString ok = QStringLiteral("确 定(&Q)");
        QString exit = QStringLiteral("退 出(&X)");
    };

    explicit VoucherFinder(const Declaration &declaration, QWidget *parent = nullptr);

    // "FrmDjcxjg": this kind's stock-in vouchers of the current month.
    static Declaration stockIns(const StockInVouchers &vouchers);
    // The same list of `offered` only (what a return may be made against); the condition
    // search narrows within them.
    static Declaration stockIns(const StockInVouchers &vouchers,
                                const QList<StockInListRow> &offered);
    // "FrmDjcxth": this kind's returns to the supplier of the current month.
    static Declaration stockInReturns(const StockInReturns &returns);
    // "FormPDCX": this kind's issues of the current month.
    static Declaration issues(const IssueVouchers &vouchers);
    // "FrmCkdcx": the posted issues a return from the site may be made against; with a
    // material, those that issued it.
    static Declaration returnableIssues(const IssueReturns &returns,
                                        const QString &clbh = QString());
    // "FrmCktkcx": this kind's returns from the site of the current month.
    static Declaration issueReturns(const IssueReturns &returns);
    // "FrmZjzcjg": the direct deliveries of the current month.
    static Declaration directs(const DirectVouchers &vouchers);

protected:
    void search() override;

private:
    void show(const std::function<std::optional<Lines>()> &fetch);

    Declaration m_declaration;
};

} // namespace varnock
