#pragma once

#include "store/errors.h"
#include "store/formats.h"
#include "vouchers/issuevoucher.h"

#include <QDate>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// Issue vouchers of one kind ("1" requisition, "2" transfer out): numbering, the closing
// checks, pricing at entry, validation, saving, loading and the finder's lists. Every
// operation that writes is one transaction; a refusal writes nothing.
class IssueVouchers
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

    struct Conversion
    {
        QString hsdw;
        double hsxs = 0;
    };

    IssueVouchers(Database &db, const QString &zl, int accountingMode, const Formats &formats);

    const QString &zl() const { return m_zl; }
    bool isFirstInFirstOut() const { return m_fifo; }
    const Formats &formats() const { return m_formats; }
    Database &database() const { return m_db; }

    // Refuses ("请选做月结处理！！！") while no month has been closed.
    void checkCanOpen() const;
    std::optional<QDate> latestClosing() const;

    // MAX(XTBH) + 1 over both kinds; 1 for an empty table.
    qint64 nextSystemNumber() const;
    // Today's date, " - " and one more than the running number of this month's greatest
    // document number (year and kind ignored), or " - 1001" when there is none.
    QString proposeDocumentNumber() const;
    // The document numbers already used by this kind, for the combo.
    QStringList documentNumbers() const;
    // The construction locations and building numbers used before, for the combos.
    QStringList sites() const;
    QStringList buildings() const;
    // The name of a consuming unit; nullopt when there is no such unit.
    std::optional<QString> unitName(const QString &lldwbh) const;

    Conversion conversionOf(const QString &clbh) const;
    StoredFigures storedFigures(const IssueLine &line) const;

    // Moving average: the line's price becomes the material's stock price (in the conversion
    // unit when the line is typed in it) and its amount quantity × price. First in first out:
    // price and amount are cleared, posting costs the line.
    void priceLine(IssueLine &line) const;
    void price(IssueVoucher &voucher) const;

    // Every message the save would refuse with, in order; empty when the voucher may be saved.
    QStringList validate(const IssueVoucher &voucher) const;

    // Inserts the lines that name a material under a fresh system number, which it returns.
    qint64 saveNew(const IssueVoucher &voucher);
    // Stores exactly the lines given: changed lines updated in place (their IDs stay), new
    // lines inserted, stored lines no longer given deleted. Refused for a posted voucher and
    // for a line that goods were returned against when it would vanish or change material.
    void saveEdit(const IssueVoucher &voucher);
    // Deletes an unposted voucher that nothing was returned against.
    void remove(qint64 xtbh);
    // All lines of a voucher of this kind that were not reversed, with the stock now beside
    // each; nullopt when there are none.
    std::optional<IssueVoucher> load(qint64 xtbh) const;
    bool isPosted(qint64 xtbh) const;

    // The finder: this kind's vouchers of the current month (any year), or by conditions.
    // Direct deliveries are never listed.
    QList<IssueListRow> currentMonth() const;
    QList<IssueListRow> find(const IssueConditions &conditions) const;
    // The condition dialog's start date: the latest closing, or the first of this month.
    QDate finderStart() const;

private:
    // The save's checks in order, each a refusal of its own; the rows' messages are one.
    QList<Refusal> refusals(const IssueVoucher &voucher, bool firstOnly) const;
    void refuseIfInvalid(const IssueVoucher &voucher) const;
    void refuseIfNotEditable(qint64 xtbh) const;
    QList<IssueListRow> list(const QString &where, const QVariantList &values) const;
    void insertLine(qint64 xtbh, const IssueVoucher &v, const IssueLine &line);
    Decimal returnedQuantity(qint64 lineId) const;

    Database &m_db;
    QString m_zl;
    int m_mode;
    bool m_fifo;
    Formats m_formats;
};

} // namespace varnock
