#pragma once

#include "ledger/posting.h"
#include "print/slipcaptions.h"
#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// A voucher as its slip prints it: the header values and pages of exactly five rows. Each
// parent group of materials starts on a page of its own; a group's last page is filled up
// with empty rows.
struct Slip
{
    static constexpr int RowsPerPage = 5;

    struct Row
    {
        QString clbh; // empty on a filler row
        QString clmc;
        QString clgg;
        QString jzdw;
        QString clzm;
        std::optional<Decimal> price; // none on an issue line not yet costed
        Decimal quantity;
        std::optional<Decimal> amount;

        bool isFiller() const { return clbh.isEmpty(); }
    };

    struct Page
    {
        int number = 0;  // ys
        QString group;   // kvmtmc: the parent group's name
        QList<Row> rows; // always RowsPerPage
        Decimal amount() const;
    };

    Posting::Family family = Posting::Family::StockIn;
    QString table; // the print table filled: DY_TEMP, or DY1_TEMP for costed issue pieces
    qint64 xtbh = 0;
    QString title;          // BT: the firm's name
    QString kind;           // zl: "采购入库", "领料出库", "甲方退货", …
    QString partnerCaption; // "供应商：", "调拨单位：", "耗料单位："
    QString partner;        // llmc
    QString site;           // SGBW: construction site and building of an issue, "/"-joined
    QString document;       // ysdjh
    QDate date;             // jzrq
    QStringList signatures; // zg: the five captions under the slip
    Decimal total;          // clhj
    QList<Page> pages;

    // Stock-in slips carry the material certificate column.
    bool showsCertificates() const { return family == Posting::Family::StockIn; }
};

// Fills the print tables for a voucher's slip and hands back what was filled.
class VoucherSlips
{
public:
    VoucherSlips(Database &db, int accountingMode, const Formats &formats,
                 const SlipCaptions &captions = {});

    // Empties DY_TEMP and DY1_TEMP and fills the one the slip reads, in one transaction.
    // Planned-price materials print at their planned price (JHDJ) and quantity × JHDJ;
    // under first in first out an issue's costed lines print their allocation pieces, each
    // at the price of the receipt or opening balance it came from. Refuses ("没有记录！")
    // when the voucher has no lines. A set opened only to read gets its slip without the
    // print tables.
    Slip fill(Posting::Family family, qint64 xtbh);

    // The family whose voucher lines are kept in `table` (RKD, THD, LLD, TKD); none for a
    // table without slips.
    static std::optional<Posting::Family> familyOfTable(const QString &table);

    // The firm's name the slips and workbooks carry; the program's default while none is set.
    static QString firmName(Database &db);

private:
    struct Line;
    QList<Line> readLines(Posting::Family family, qint64 xtbh) const;
    QList<Slip::Row> rowsOf(Posting::Family family, const Line &line) const;
    void fillHeader(Slip &slip, const Line &first) const;
    void write(const Slip &slip, const Line &line, const Slip::Row &row, int page) const;

    Database &m_db;
    bool m_fifo;
    Formats m_formats;
    SlipCaptions m_captions;
};

} // namespace varnock
