#pragma once

#include "store/formats.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinvoucher.h"
#include "vouchers/voucherbook.h"

#include <QDate>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// Stock-in vouchers of one kind: numbering, the closing checks, validation, saving, loading,
// the finder's lists and the provisional append. Every operation that writes is one
// transaction; a refusal writes nothing.
class StockInVouchers
{
public:
    // What a line stores in RKD: accounting-unit figures rounded through the display formats.
    struct StoredFigures
    {
        Decimal sjdj;
        Decimal sjsl;
        Decimal sjje;
        Decimal yfje;
    };

    struct Conversion
    {
        QString hsdw;
        double hsxs = 0;
    };

    StockInVouchers(Database &db, const StockInKind &kind, int accountingMode,
                    const Formats &formats);

    const StockInKind &kind() const { return m_kind; }
    const Formats &formats() const { return m_formats; }
    Database &database() const { return m_db; }

    // Refuses ("请选做月结处理！！！") while no month has been closed.
    void checkCanOpen() const;
    // The latest closing date, if any.
    std::optional<QDate> latestClosing() const;

    // MAX(XTBH) + 1 over every kind; 1 for an empty table.
    qint64 nextSystemNumber() const;
    // Today's date, " - " and one more than the running number of this month's greatest
    // document number (year ignored), or " - 1001" when there is none.
    QString proposeDocumentNumber() const;
    // The document numbers already used by this kind, for the combo.
    QStringList documentNumbers() const;

    // The material's conversion unit and factor.
    Conversion conversionOf(const QString &clbh) const;
    StoredFigures storedFigures(const StockInLine &line) const;

    // Every message the save would refuse with, in order; empty when the voucher may be saved.
    QStringList validate(const StockInVoucher &voucher) const;

    // Inserts the lines that name a material under a fresh system number, which it returns.
    qint64 saveNew(const StockInVoucher &voucher);
    // Stores exactly the lines given: changed lines updated, new lines inserted, stored lines
    // no longer given deleted. Refused for a posted voucher.
    void saveEdit(const StockInVoucher &voucher);
    // Deletes an unposted voucher.
    void remove(qint64 xtbh);
    // All lines of a voucher that were not reversed; nullopt when there are none.
    std::optional<StockInVoucher> load(qint64 xtbh) const;
    bool isPosted(qint64 xtbh) const;

    // The finder: this kind's vouchers of the current month (any year), or by conditions.
    QList<StockInListRow> currentMonth() const;
    QList<StockInListRow> find(const StockInConditions &conditions) const;
    // This kind's vouchers, one row each, that have lines meeting `conditions` (fields of RKD
    // as R).
    QList<StockInListRow> find(const FinderConditions &conditions) const;
    // The condition dialog's start date: the latest closing, or the first of this month.
    QDate finderStart() const;

    // The provisional append. checkAppend refuses before the screen asks its questions;
    // append checks again, writes the reversing line (M + 1, "冲帐") and the actual line
    // (M + 2, "追加") posted, marks the provisional line and corrects the stock, in one
    // transaction. Returns the actual line's system number.
    void checkAppend(qint64 lineId) const;
    qint64 append(const StockInVoucher &header, const StockInLine &line);

private:
    void refuseIfPosted(qint64 xtbh) const;
    void insertLine(qint64 xtbh, const StockInVoucher &v, const StockInLine &line);

    Database &m_db;
    StockInKind m_kind;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
