#pragma once

#include "store/errors.h"
#include "store/formats.h"
#include "vouchers/issuevoucher.h"
#include "vouchers/voucherservice.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace varnock {

// Issue vouchers of one kind ("1" requisition, "2" transfer out): pricing at entry,
// validation, the rows they store, the checks of lines that goods were returned against,
// loading and the finder's lists. Numbering, saving and deleting run through VoucherFamily.
class IssueVouchers : public VoucherFamily<IssueVoucher>
{
public:
    static const QString Requisition; // "1"
    static const QString TransferOut; // "2"

    // What a line stores in LLD: accounting-unit figures rounded through the display formats.
    struct StoredFigures
    {
        Decimal sjdj;
        Decimal sjsl;
        Decimal sjje;
    };

    IssueVouchers(Database &db, const QString &zl, int accountingMode, const Formats &formats);

    bool isFirstInFirstOut() const { return m_fifo; }

    // The construction locations and building numbers used before, for the combos.
    QStringList sites() const;
    QStringList buildings() const;
    // The name of a consuming unit; nullopt when there is no such unit.
    std::optional<QString> unitName(const QString &lldwbh) const;

    StoredFigures storedFigures(const IssueLine &line) const;

    // Moving average: the line's price becomes the material's stock price (in the conversion
    // unit when the line is typed in it) and its amount quantity × price. First in first out:
    // price and amount are cleared, posting costs the line.
    void priceLine(IssueLine &line) const;
    void price(IssueVoucher &voucher) const;

    // All lines of a voucher of this kind that were not reversed, with the stock now beside
    // each; nullopt when there are none.
    std::optional<IssueVoucher> load(qint64 xtbh) const;

    // The finder: this kind's vouchers of the current month (any year), or by conditions.
    // Direct deliveries are never listed.
    QList<IssueListRow> currentMonth() const;
    QList<IssueListRow> find(const IssueConditions &conditions) const;

private:
    // The save's checks in order, each a refusal of its own; the rows' messages are one.
    QList<Refusal> refusals(const IssueVoucher &voucher) const override;
    QList<Row> rows(const IssueVoucher &voucher, qint64 xtbh) const override;
    QString *documentNumber(IssueVoucher &voucher) const override { return &voucher.ysdjh; }
    // A direct delivery is changed only together with its stock-in half.
    void checkChange(qint64 xtbh) const override;
    // Return lines point at issue lines by ID: such a line keeps its ID and its material and
    // never issues less than was returned; a voucher returned against is not deleted.
    void checkEdit(const IssueVoucher &voucher) const override;
    void checkRemove(qint64 xtbh) const override;
    QList<IssueListRow> list(const FinderConditions &conditions) const;

    // What pricing a line reads of its material.
    struct Held
    {
        bool planned = false; // JJFS
        Decimal plannedPrice; // JHDJ
        Decimal quantity;     // KCSL, zero without a stock row
        Decimal amount;       // KCJE
    };
    // The materials of `codes`, read together, by code; a code without a catalogue row reads
    // as not planned, one without a stock row as no stock.
    QHash<QString, Held> held(const QStringList &codes) const;
    void priceWith(IssueLine &line, const Held &held) const;

    bool m_fifo;
};

} // namespace varnock
