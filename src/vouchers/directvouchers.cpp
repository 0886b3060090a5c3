#include "vouchers/directvouchers.h"

#include "master/suppliers.h"
#include "store/database.h"
#include "store/documentnumbers.h"
#include "store/rowreader.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSqlQuery>

namespace varnock {

namespace {

VoucherService::Table familyTable()
{
    return {QStringLiteral("RKD"), QStringLiteral("YSDJH"), {}, {}, {}};
}

VoucherService::Rules familyRules()
{
    return {Refusal(QStringLiteral("提示"), QStringLiteral("该单据已经记账，不允许修改！")),
            Refusal(QStringLiteral("提示"), QStringLiteral("该票据已经记账，请做冲帐处理！")),
            QStringLiteral("该单据不存在！"), true};
}

} // namespace

DirectVouchers::DirectVouchers(Database &db, int accountingMode, const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), StockInKind::of(StockInKind::Purchase).zl,
                    accountingMode, formats)
    , m_receipts(db, StockInKind::of(StockInKind::Purchase), accountingMode, formats)
{}

QString DirectVouchers::proposeIssueDocumentNumber() const
{
    return VoucherBook(database()).monthlyDocumentNumber(QStringLiteral("LLD"));
}

QStringList DirectVouchers::issueDocumentNumbers() const
{
    return VoucherBook(database())
        .texts(QStringLiteral("SELECT YSDJH FROM LLD WHERE ZL = ? GROUP BY YSDJH ORDER BY YSDJH"),
               {IssueVouchers::Requisition});
}

std::optional<QString> DirectVouchers::supplierName(const QString &gysbh) const
{
    if (const std::optional<Suppliers::Supplier> s = Suppliers(database()).find(gysbh.trimmed()))
        return s->mc;
    return std::nullopt;
}

std::optional<QString> DirectVouchers::unitName(const QString &lldwbh) const
{
    return IssueVouchers(database(), IssueVouchers::Requisition, accountingMode(), formats())
        .unitName(lldwbh);
}

QStringList DirectVouchers::sites() const
{
    return IssueVouchers(database(), IssueVouchers::Requisition, accountingMode(), formats())
        .sites();
}

QStringList DirectVouchers::buildings() const
{
    return IssueVouchers(database(), IssueVouchers::Requisition, accountingMode(), formats())
        .buildings();
}

std::optional<QString> DirectVouchers::initialisationQuestion() const
{
    if (!database().scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM RKD)")).toBool())
        return std::nullopt;
    return QStringLiteral("做过出入库，账务初始化不允许再做！是否继续？");
}

QList<Refusal> DirectVouchers::refusals(const DirectVoucher &v) const
{
    // The lines are purchase receipts: their checks, with the consuming unit's after the
    // supplier's.
    StockInVoucher receipt;
    receipt.czrq = v.czrq;
    receipt.gysbh = v.gysbh;
    receipt.lines = v.lines;
    QStringList messages = m_receipts.validate(receipt);
    if (!unitName(v.lldwbh)) {
        qsizetype at = dateProblems(v.czrq, QStringLiteral("操作时间不允许小于月结时间！")).size();
        if (messages.value(at) == StockInKind::of(StockInKind::Purchase).partnerMessage)
            ++at;
        messages.insert(at, QStringLiteral("请选择正确耗料单位！"));
    }
    return refusalsOf(QStringLiteral("警告"), messages);
}

// The issue side is written here, inside the save's transaction and before the receipt rows,
// which name their partners.
void DirectVouchers::complete(DirectVoucher &v) const
{
    Database &db = database();
    QHash<qint64, qint64> partners; // stored RKD.ID → its LLD.ID
    // The issue side's number is the stored one, or a fresh one for a new voucher: never one
    // the voucher brought along, which may be another voucher's.
    v.issueXtbh = 0;
    if (v.xtbh != 0) {
        QSqlQuery q =
            db.exec(QStringLiteral("SELECT ID, CKID, CKBH FROM RKD WHERE XTBH = ?"), {v.xtbh});
        while (q.next()) {
            partners.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
            v.issueXtbh = q.value(2).toLongLong();
        }
    }
    if (v.issueXtbh == 0)
        v.issueXtbh = VoucherBook(db).nextSystemNumber(QStringLiteral("LLD"));

    v.issueIds.clear();
    const QVariant issueRunning =
        DocumentNumbers::runningCopyOf(QStringLiteral("LLD"))->of(v.issueYsdjh);
    for (const StockInLine &line : std::as_const(v.lines)) {
        if (!line.hasMaterial()) {
            v.issueIds.append(0);
            continue;
        }
        const StockInVouchers::StoredFigures f = m_receipts.storedFigures(line);
        const QVariantList values{v.issueYsdjh,
                                  issueRunning,
                                  v.lldwbh.trimmed(),
                                  VoucherBook::dateText(v.czrq),
                                  v.sgbw,
                                  v.dh,
                                  line.clbh.trimmed(),
                                  f.sjdj.toVariant(),
                                  f.sjsl.toVariant(),
                                  f.sjje.toVariant()};
        if (const qint64 issueId = partners.take(line.id); line.id != 0 && issueId != 0) {
            QVariantList update = values;
            update.append(issueId);
            db.exec(QStringLiteral("UPDATE LLD SET YSDJH = ?, YSXH = ?, LLDWBH = ?, CZRQ = ?, "
                                   "SGBW = ?, DH = ?, CLBH = ?, SJDJ = ?, SJSL = ?, SJJE = ? "
                                   "WHERE ID = ?"),
                    update);
            v.issueIds.append(issueId);
            continue;
        }
        QVariantList insert{v.issueXtbh};
        insert.append(values);
        insert.append(IssueVouchers::Requisition);
        const QSqlQuery inserted =
            db.exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, YSXH, LLDWBH, CZRQ, SGBW, DH, "
                                   "CLBH, SJDJ, SJSL, SJJE, ZL, ZJZC) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                    insert);
        v.issueIds.append(inserted.lastInsertId().toLongLong());
    }
    // Lines taken off the grid take their issue side with them.
    for (const qint64 issueId : std::as_const(partners))
        db.exec(QStringLiteral("DELETE FROM LLD WHERE ID = ? AND ZJZC <> 0"), {issueId});
}

QList<VoucherService::Row> DirectVouchers::rows(const DirectVoucher &v, qint64) const
{
    QList<Row> rows;
    for (qsizetype i = 0; i < v.lines.size(); ++i) {
        const StockInLine &line = v.lines.at(i);
        if (!line.hasMaterial())
            continue;
        const StockInVouchers::StoredFigures f = m_receipts.storedFigures(line);
        rows.append(Row(line.id)
                        .set("YSDJH", v.ysdjh)
                        .set("GYSBH", v.gysbh.trimmed())
                        .set("CZRQ", VoucherBook::dateText(v.czrq))
                        .set("FPBH", v.fpbh)
                        .set("ZPH", v.zph)
                        .setOnInsert("ZL", zl())
                        .set("CLBH", line.clbh.trimmed())
                        .set("SJDJ", f.sjdj.toVariant())
                        .set("SJSL", f.sjsl.toVariant())
                        .set("SJJE", f.sjje.toVariant())
                        .set("YFJE", f.yfje.toVariant())
                        .set("CZZM", line.czzm)
                        .setOnInsert("CKBH", v.issueXtbh)
                        .setOnInsert("CKID", v.issueIds.value(i)));
    }
    return rows;
}

void DirectVouchers::remove(qint64 xtbh)
{
    Database &db = database();
    Transaction tx(db);
    refuseIfUnchangeable(xtbh, m_rules.postedDelete);
    db.exec(QStringLiteral("DELETE FROM LLD WHERE ZJZC <> 0 AND ID IN "
                           "(SELECT CKID FROM RKD WHERE XTBH = ?)"),
            {xtbh});
    VoucherService::remove(xtbh);
    tx.commit();
}

std::optional<DirectVoucher> DirectVouchers::load(qint64 xtbh, bool withReversed) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT R.ID, R.CLBH, C.CLMC, C.CLGG, C.JZDW, C.HSDW, C.HSXS, C.JHDJ, "
                       "R.SJDJ, R.SJSL, R.SJJE, R.YFJE, R.CZZM, R.JZBZ, L.ID, R.CZBZ, "
                       "R.YSDJH, R.GYSBH, G.MC, R.CZRQ, R.FPBH, R.ZPH, R.CKBH, L.YSDJH, "
                       "L.LLDWBH, W.MC, L.SGBW, L.DH FROM RKD R "
                       "JOIN LLD L ON L.ID = R.CKID "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                       "LEFT JOIN GYS G ON G.BH = R.GYSBH "
                       "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                       "WHERE R.XTBH = ? AND (R.CZBZ = 0 OR ? <> 0) ORDER BY R.ID"),
        {xtbh, withReversed ? 1 : 0});
    DirectVoucher v;
    v.xtbh = xtbh;
    while (q.next()) {
        if (v.lines.isEmpty())
            readRowAt(q, 16, v.ysdjh, v.gysbh, v.gysmc, v.czrq, v.fpbh, v.zph, v.issueXtbh,
                      v.issueYsdjh, v.lldwbh, v.lldwmc, v.sgbw, v.dh);
        StockInLine line;
        bool posted = false;
        qint64 issueId = 0;
        bool reversed = false;
        readRow(q, line.id, line.clbh, line.clmc, line.clgg, line.jzdw, line.materialHsdw,
                line.hsxs, line.jhdj, line.price, line.quantity, line.amount, line.paid, line.czzm,
                posted, issueId, reversed);
        line.materialHsdw = line.materialHsdw.trimmed();
        v.posted = v.posted || posted;
        v.lines.append(line);
        v.issueIds.append(issueId);
        v.reversed.append(reversed);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

QList<DirectListRow> DirectVouchers::list(const FinderConditions &conditions) const
{
    // One row per voucher even when its lines disagree on a header field.
    using R = DirectListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT R.XTBH, MAX(R.JZBZ), MIN(R.CZRQ), MIN(R.YSDJH), "
                                    "MIN(R.GYSBH), MIN(G.MC), MIN(R.FPBH), MIN(R.ZPH), "
                                    "MIN(L.LLDWBH), MIN(W.MC), MIN(L.YSDJH), MIN(L.SGBW), "
                                    "MIN(L.DH) FROM RKD R JOIN LLD L ON L.ID = R.CKID "
                                    "LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                    "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                    "WHERE L.ZJZC <> 0 AND R.ZL = ?"),
                     conditions, QStringLiteral("GROUP BY R.XTBH ORDER BY R.XTBH")),
        &R::xtbh, &R::posted, &R::czrq, &R::ysdjh, &R::gysbh, &R::gysmc, &R::fpbh, &R::zph,
        &R::lldwbh, &R::lldwmc, &R::issueYsdjh, &R::sgbw, &R::dh);
}

QList<DirectListRow> DirectVouchers::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("R.CZRQ"));
    return list(c);
}

QList<DirectListRow> DirectVouchers::find(const DirectConditions &c) const
{
    return list(FinderConditions({{"R.GYSBH", c.gysbh}, {"L.LLDWBH", c.lldwbh}, {"R.CLBH", c.clbh}},
                                 "R.CZRQ", c.from, c.to));
}

} // namespace varnock
