#include "vouchers/stockinvouchers.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/limits.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>

namespace varnock {

namespace {

[[noreturn]] void refuse(const QString &title, const QString &text)
{
    throw Refusal(title, text);
}

VoucherService::Table familyTable()
{
    return {QStringLiteral("RKD"), QStringLiteral("YSDJH"), {}, {}, {}};
}

VoucherService::Rules familyRules()
{
    const Refusal posted(QStringLiteral("提示"), QStringLiteral("该单据已经记账，不允许修改！"));
    return {posted, posted, {}, false};
}

} // namespace

StockInVouchers::StockInVouchers(Database &db, const StockInKind &kind, int accountingMode,
                                 const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), kind.zl, accountingMode, formats)
    , m_kind(kind)
{}

StockInVouchers::StoredFigures StockInVouchers::storedFigures(const StockInLine &line) const
{
    const Formats &f = formats();
    return {line.storedPrice(f), line.storedQuantity(f), f.roundAmount(line.amount),
            f.roundAmount(line.paid)};
}

QList<Refusal> StockInVouchers::refusals(const StockInVoucher &v) const
{
    QStringList messages = dateProblems(v.czrq, QStringLiteral("操作时间不允许小于月结时间！"));
    // A code that names no supplier is as wrong as none: the voucher would drop out of every
    // list that shows the supplier's name.
    const QString partner = v.gysbh.trimmed();
    if (partner.isEmpty() ||
        database()
                .scalar(QStringLiteral("SELECT COUNT(*) FROM GYS WHERE BH = ?"), {partner})
                .toLongLong() == 0)
        messages.append(m_kind.partnerMessage);
    bool anyLine = false;
    for (int row = 0; row < v.lines.size(); ++row) {
        const StockInLine &line = v.lines.at(row);
        if (!line.hasMaterial())
            continue;
        anyLine = true;
        const StoredFigures f = storedFigures(line);
        if (f.sjsl.isZero() && f.sjdj.isZero() && f.sjje.isZero())
            messages.append(QString::number(row + 1) + QStringLiteral("行请输入数据!"));
        else if (f.sjsl.isZero()) // an amount without a quantity: stock of nothing, valued
            messages.append(QString::number(row + 1) + QStringLiteral("行数量不允许为零!"));
        const std::pair<Limits::Figure, Decimal> figures[] = {
            {Limits::Figure::Quantity, f.sjsl},
            {Limits::Figure::Price, f.sjdj},
            {Limits::Figure::Amount, f.sjje},
            {Limits::Figure::Amount, f.yfje},
        };
        for (const auto &[kind, value] : figures) {
            if (const auto problem = Limits::figureProblem(kind, value))
                messages.append(QString::number(row + 1) + QStringLiteral("行") + *problem);
        }
        if (line.inConversionUnit() && !(line.hsxs > 0))
            messages.append(QString::number(row + 1) + QStringLiteral("行换算系数无效!"));
        if (f.yfje > f.sjje)
            messages.append(QStringLiteral("已付金额不允许大于实际金额"));
    }
    // Saving a voucher without a single material would write nothing and look like success.
    if (!anyLine)
        messages.append(QStringLiteral("请输入材料数据!"));
    return refusalsOf(QStringLiteral("警告"), messages);
}

QList<VoucherService::Row> StockInVouchers::rows(const StockInVoucher &v, qint64) const
{
    QList<Row> rows;
    for (const StockInLine &line : v.lines) {
        if (!line.hasMaterial())
            continue;
        const StoredFigures f = storedFigures(line);
        rows.append(Row(line.id)
                        .set("YSDJH", v.ysdjh)
                        .set("GYSBH", v.gysbh.trimmed())
                        .set("CZRQ", VoucherBook::dateText(v.czrq))
                        .set("FPBH", v.fpbh)
                        .set("ZPH", v.zph)
                        .setOnInsert("ZL", m_kind.zl)
                        .set("CLBH", line.clbh.trimmed())
                        .set("SJDJ", f.sjdj.toVariant())
                        .set("SJSL", f.sjsl.toVariant())
                        .set("SJJE", f.sjje.toVariant())
                        .set("YFJE", f.yfje.toVariant())
                        .set("CZZM", line.czzm));
    }
    return rows;
}

std::optional<StockInVoucher> StockInVouchers::load(qint64 xtbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT R.ID, R.CLBH, C.CLMC, C.CLGG, C.JZDW, C.HSDW, C.HSXS, C.JHDJ, "
                       "R.SJDJ, R.SJSL, R.SJJE, R.YFJE, R.CZZM, R.JZBZ, R.YSDJH, R.GYSBH, G.MC, "
                       "R.CZRQ, R.FPBH, R.ZPH FROM RKD R "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                       "LEFT JOIN GYS G ON G.BH = R.GYSBH "
                       "WHERE R.XTBH = ? AND R.CZBZ = 0 ORDER BY R.ID"),
        {xtbh});
    StockInVoucher v;
    v.xtbh = xtbh;
    while (q.next()) {
        if (v.lines.isEmpty())
            readRowAt(q, 14, v.ysdjh, v.gysbh, v.gysmc, v.czrq, v.fpbh, v.zph);
        StockInLine line;
        bool posted = false;
        readRow(q, line.id, line.clbh, line.clmc, line.clgg, line.jzdw, line.materialHsdw,
                line.hsxs, line.jhdj, line.price, line.quantity, line.amount, line.paid, line.czzm,
                posted);
        line.materialHsdw = line.materialHsdw.trimmed();
        v.posted = v.posted || posted;
        v.lines.append(line);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

QList<StockInListRow> StockInVouchers::find(const FinderConditions &conditions) const
{
    FinderConditions c = conditions;
    if (m_kind.excludesDirectDeliveries())
        c.require(QStringLiteral("(R.CKID IS NULL OR R.CKID = 0)"));
    // One row per voucher even when its lines disagree on a header field.
    using R = StockInListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT R.XTBH, MAX(R.JZBZ), MIN(R.CZRQ), MIN(R.YSDJH), "
                                    "MIN(R.GYSBH), MIN(G.MC), MIN(R.FPBH), MIN(R.ZPH), MIN(R.ZL) "
                                    "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH WHERE R.ZL = ?"),
                     c, QStringLiteral("GROUP BY R.XTBH ORDER BY R.XTBH")),
        &R::xtbh, &R::posted, &R::czrq, &R::ysdjh, &R::gysbh, &R::gysmc, &R::fpbh, &R::zph, &R::zl);
}

QList<StockInListRow> StockInVouchers::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("R.CZRQ"));
    return find(c);
}

QList<StockInListRow> StockInVouchers::find(const StockInConditions &c) const
{
    return find(FinderConditions({{"R.GYSBH", c.gysbh},
                                  {"R.FPBH", c.fpbh},
                                  {"R.YSDJH", c.ysdjh},
                                  {"R.ZPH", c.zph},
                                  {"R.CLBH", c.clbh}},
                                 "R.CZRQ", c.from, c.to));
}

void StockInVouchers::checkAppend(qint64 lineId) const
{
    const QString title = QStringLiteral("提示");
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT ZJBZ, JZBZ, ZL, COALESCE(CKID, 0) FROM RKD WHERE ID = ?"), {lineId});
    // Only a line of this kind can be chosen on its screen; a direct delivery's stock-in half
    // never entered the stock that appending corrects.
    if (lineId == 0 || !q.next() || q.value(2).toString().trimmed() != m_kind.zl ||
        q.value(3).toLongLong() != 0)
        refuse(title, QStringLiteral("请选择追加记录！"));
    if (q.value(0).toInt() != 0)
        refuse(title, QStringLiteral("该记录已经追加！"));
    // Only stock that was booked can be taken back out of it.
    if (q.value(1).toInt() == 0)
        refuse(title, QStringLiteral("该记录未记账，不能追加！"));
    q.finish();
    // Returns point at the provisional line; replacing it would leave them pointing nowhere.
    if (database()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM THD WHERE RKID = ?"), {lineId})
            .toLongLong() > 0)
        refuse(title, QStringLiteral("该记录已做退货，不能追加！"));
}

qint64 StockInVouchers::append(const StockInVoucher &header, const StockInLine &line)
{
    Database &db = database();
    Transaction tx(db);
    checkAppend(line.id);
    StockInVoucher single = header;
    single.lines = {line};
    refuseIfAny(refusals(single));

    const qint64 m = db.scalar(QStringLiteral("SELECT MAX(XTBH) FROM RKD")).toLongLong();
    const QString mText = QString::number(m);

    const StoredFigures f = storedFigures(line);
    db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                           "SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, ZJBZ) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 1)"),
            {m + 2, mText + QStringLiteral("追加"), header.gysbh.trimmed(),
             VoucherBook::dateText(header.czrq), header.fpbh, header.zph,
             StockInKind::of(StockInKind::Provisional).zl, line.clbh.trimmed(), f.sjdj.toVariant(),
             f.sjsl.toVariant(), f.sjje.toVariant(), f.yfje.toVariant(), line.czzm});
    const qint64 actualId = db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();

    // The reversing line keeps the provisional line's date unless that month is sealed: a
    // posted line dated there would change a closed period behind the closing's back.
    const std::optional<QDate> closing = latestClosing();
    const QString sealedUntil = closing ? VoucherBook::dateText(*closing) : QString();
    db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                           "SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, ZJBZ, CZBZ) "
                           "SELECT ?, ?, GYSBH, CASE WHEN CZRQ <= ? THEN ? ELSE CZRQ END, "
                           "FPBH, ZPH, ZL, CLBH, SJDJ, -SJSL, -SJJE, -YFJE, CZZM, 1, 1, 1 "
                           "FROM RKD WHERE ID = ?"),
            {m + 1, mText + QStringLiteral("冲帐"), sealedUntil, VoucherBook::dateText(header.czrq),
             line.id});
    const qint64 reversalId = db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();

    db.exec(QStringLiteral("UPDATE RKD SET ZJBZ = 1, CZBZ = 1 WHERE ID = ?"), {line.id});
    // Pieces already drawn from the provisional layer now come from the actual line, which
    // takes the provisional line's place among the layers.
    db.exec(QStringLiteral("UPDATE XJXCSJB SET RKID = ? WHERE RKID = ?"), {actualId, line.id});

    CostEngine engine(db, accountingMode(), formats());
    engine.addReceiptLineToStock(reversalId);
    engine.addReceiptLineToStock(actualId);
    tx.commit();
    return m + 2;
}

} // namespace varnock
