#include "vouchers/issuereturns.h"

#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示窗口");

[[noreturn]] void refuse(const QString &text)
{
    throw Refusal(Title, text);
}

QString overReturnMessage()
{
    return QStringLiteral("已经超过数量，请仔细输入");
}

QString nothingSavedMessage()
{
    return QStringLiteral("所有数据输入有误，没有保存！");
}

QString rowText(int row)
{
    return QStringLiteral("第") + QString::number(row + 1);
}

} // namespace

struct IssueReturns::IssueLine
{
    qint64 id = 0;
    qint64 xtbh = 0;
    QString ysdjh;
    QString lldwbh;
    QString lldwmc;
    QString zl;
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    Decimal sjdj;
    Decimal sjsl;
    Decimal sjje;
    bool posted = false;
    bool reversed = false;
    bool direct = false;
};

IssueReturns::IssueReturns(Database &db, const QString &zl, int accountingMode,
                           const Formats &formats)
    : m_db(db)
    , m_zl(zl)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

void IssueReturns::checkCanOpen() const
{
    VoucherBook(m_db).checkCanOpen();
}

std::optional<QDate> IssueReturns::latestClosing() const
{
    return VoucherBook(m_db).latestClosing();
}

qint64 IssueReturns::nextSystemNumber() const
{
    return VoucherBook(m_db).nextSystemNumber(QStringLiteral("TKD"));
}

QString IssueReturns::proposeDocumentNumber() const
{
    const QString today = VoucherBook::dateText(Clock::today());
    const std::optional<qint64> last =
        VoucherBook(m_db).greatestRunningNumber(QStringLiteral("TKD"), QStringLiteral("THDJH"));
    if (!last)
        return today + QStringLiteral("  1001");
    return today + QLatin1Char(' ') + QString::number(*last + 1);
}

// ---- issue lines --------------------------------------------------------------------------

namespace {

const QString IssueLineSelect =
    QStringLiteral("SELECT L.ID, L.XTBH, L.YSDJH, L.LLDWBH, W.MC, L.ZL, L.CLBH, C.CLMC, C.CLGG, "
                   "C.JZDW, L.SJDJ, L.SJSL, L.SJJE, L.JZBZ, L.CZBZ, L.ZJZC FROM LLD L "
                   "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                   "LEFT JOIN LLDW W ON W.BH = L.LLDWBH ");

} // namespace

QList<IssueReturns::IssueLine> IssueReturns::readIssueLines(const QString &where,
                                                            const QVariant &key) const
{
    QSqlQuery q = m_db.exec(IssueLineSelect + QStringLiteral("WHERE ") + where +
                                QStringLiteral(" ORDER BY L.ID"),
                            {key});
    QList<IssueLine> lines;
    while (q.next()) {
        IssueLine l;
        l.id = q.value(0).toLongLong();
        l.xtbh = q.value(1).toLongLong();
        l.ysdjh = q.value(2).toString();
        l.lldwbh = q.value(3).toString();
        l.lldwmc = q.value(4).toString();
        l.zl = q.value(5).toString().trimmed();
        l.clbh = q.value(6).toString().trimmed();
        l.clmc = q.value(7).toString();
        l.clgg = q.value(8).toString();
        l.jzdw = q.value(9).toString();
        l.sjdj = Decimal::fromVariant(q.value(10));
        l.sjsl = Decimal::fromVariant(q.value(11));
        l.sjje = Decimal::fromVariant(q.value(12));
        l.posted = q.value(13).toInt() != 0;
        l.reversed = q.value(14).toInt() != 0;
        l.direct = q.value(15).toInt() != 0;
        lines.append(l);
    }
    return lines;
}

QList<IssueReturns::IssueLine> IssueReturns::issueLines(qint64 issueXtbh) const
{
    return readIssueLines(QStringLiteral("L.XTBH = ?"), issueXtbh);
}

std::optional<IssueReturns::IssueLine> IssueReturns::issueLine(qint64 llid) const
{
    const QList<IssueLine> lines = readIssueLines(QStringLiteral("L.ID = ?"), llid);
    return lines.isEmpty() ? std::nullopt : std::optional<IssueLine>(lines.first());
}

// Under first in first out the issue line carries no entry price: what it cost is the
// amount its posting allocated.
Decimal IssueReturns::priceOf(const IssueLine &issue) const
{
    if (m_mode != CostEngine::FirstInFirstOut)
        return issue.sjdj;
    if (issue.sjsl.isZero())
        return Decimal();
    return m_formats.roundAmount(issue.sjje / issue.sjsl);
}

IssueReturnLine IssueReturns::lineFrom(const IssueLine &issue, qint64 exceptXtbh) const
{
    IssueReturnLine line;
    line.llid = issue.id;
    line.clbh = issue.clbh;
    line.clmc = issue.clmc;
    line.clgg = issue.clgg;
    line.jzdw = issue.jzdw;
    line.price = priceOf(issue);
    line.issuedQuantity = issue.sjsl;
    line.issuedAmount = issue.sjje;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT SUM(THSL), SUM(THJE) FROM TKD "
                                           "WHERE LLID = ? AND XTBH <> ?"),
                            {issue.id, exceptXtbh});
    if (q.next()) {
        line.returnedBefore = Decimal::fromVariant(q.value(0));
        line.returnedAmountBefore = Decimal::fromVariant(q.value(1));
    }
    return line;
}

bool IssueReturns::exceeds(const IssueReturnLine &line, Decimal quantity)
{
    return line.returnedBefore + quantity > line.issuedQuantity;
}

void IssueReturns::setQuantity(IssueReturnLine &line, Decimal quantity) const
{
    line.quantity = m_formats.roundQuantity(quantity);
    line.amount = Decimal();
    if (!line.isReturned())
        return;
    if (m_mode == CostEngine::FirstInFirstOut && !line.issuedQuantity.isZero())
        line.amount = m_formats.roundAmount(
            Decimal::mulDiv(line.quantity, line.issuedAmount, line.issuedQuantity));
    else
        line.amount = m_formats.roundAmount(line.quantity * line.price);
    // The last of the line brings back what is left of its amount, so that a line returned in
    // full, at once or piece by piece, returns exactly what it took out of stock.
    if (line.returnedBefore + line.quantity == line.issuedQuantity) {
        const Decimal rest = line.issuedAmount - line.returnedAmountBefore;
        if (!rest.isNegative())
            line.amount = m_formats.roundAmount(rest);
    }
}

bool IssueReturns::setQuantityOf(IssueReturnVoucher &voucher, const QString &clbh,
                                 Decimal quantity) const
{
    for (IssueReturnLine &line : voucher.lines) {
        if (line.clbh.trimmed() == clbh.trimmed() && !line.isReturned()) {
            setQuantity(line, quantity);
            return true;
        }
    }
    return false;
}

// ---- the chooser --------------------------------------------------------------------------

QList<ReturnableIssueRow> IssueReturns::issueList(const QString &where,
                                                  const QVariantList &values) const
{
    // Reversed lines and their mirror lines came back through the reversal already; a
    // voucher with nothing else left is not offered.
    QString sql = QStringLiteral("SELECT L.XTBH, MIN(L.YSDJH), MIN(W.MC), MIN(L.LLDWBH), "
                                 "MIN(L.CZRQ), MIN(L.SGBW), MIN(L.DH) FROM LLD L "
                                 "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                 "WHERE L.ZL = ? AND L.JZBZ <> 0 AND L.ZJZC = 0 AND L.CZBZ = 0 "
                                 "AND L.SJSL > 0");
    if (!where.isEmpty())
        sql += QStringLiteral(" AND ") + where;
    sql += QStringLiteral(" GROUP BY L.XTBH ORDER BY L.XTBH");
    QVariantList all{m_zl};
    all.append(values);
    QSqlQuery q = m_db.exec(sql, all);
    QList<ReturnableIssueRow> rows;
    while (q.next()) {
        ReturnableIssueRow row;
        row.xtbh = q.value(0).toLongLong();
        row.ysdjh = q.value(1).toString();
        row.lldwmc = q.value(2).toString();
        row.lldwbh = q.value(3).toString();
        row.czrq = VoucherBook::dateOf(q.value(4));
        row.sgbw = q.value(5).toString();
        row.dh = q.value(6).toString();
        rows.append(row);
    }
    return rows;
}

QList<ReturnableIssueRow> IssueReturns::returnableIssues() const
{
    return issueList(QString(), {});
}

QList<ReturnableIssueRow>
IssueReturns::findReturnableIssues(const ReturnableIssueConditions &c) const
{
    FinderConditions f;
    f.equal(QStringLiteral("L.LLDWBH"), c.lldwbh);
    f.equal(QStringLiteral("L.SGBW"), c.sgbw);
    f.equal(QStringLiteral("L.YSDJH"), c.ysdjh);
    f.equal(QStringLiteral("L.DH"), c.dh);
    f.equal(QStringLiteral("L.CLBH"), c.clbh);
    f.between(QStringLiteral("L.CZRQ"), c.from, c.to);
    return issueList(f.where(), f.values());
}

IssueReturnVoucher IssueReturns::draft(qint64 issueXtbh, const QDate &date) const
{
    IssueReturnVoucher v;
    v.issueXtbh = issueXtbh;
    v.czrq = date;
    v.zl = m_zl;
    v.thdjh = proposeDocumentNumber();
    for (const IssueLine &issue : issueLines(issueXtbh)) {
        if (issue.zl != m_zl || !issue.posted || issue.direct || issue.reversed ||
            !(issue.sjsl > Decimal()))
            continue;
        if (v.lines.isEmpty()) {
            v.ysbh = issue.ysdjh;
            v.lldwbh = issue.lldwbh;
            v.lldwmc = issue.lldwmc;
        }
        v.lines.append(lineFrom(issue, 0));
    }
    // Only posted goods went out of stock; nothing else can come back.
    if (v.lines.isEmpty())
        refuse(QStringLiteral("该出库单未记账或已冲帐，不能退货！"));
    return v;
}

// ---- validation and saving ----------------------------------------------------------------

QStringList IssueReturns::validate(const IssueReturnVoucher &v) const
{
    QStringList messages;
    const bool editing = v.xtbh != 0;
    if (const auto problem = VoucherBook::dateProblem(v.czrq))
        messages.append(*problem);
    const std::optional<QDate> closing = latestClosing();
    if (!v.czrq.isValid() || (closing && v.czrq <= *closing))
        messages.append(editing ? QStringLiteral("操作时间不允许小于月结时间！")
                                : QStringLiteral("操作日期应大于月结时间，请选择其他日期！"));
    bool any = false;
    bool over = false;
    QHash<qint64, Decimal> taken; // two lines of one issue line count together
    for (int row = 0; row < v.lines.size(); ++row) {
        const IssueReturnLine &line = v.lines.at(row);
        const Decimal quantity = m_formats.roundQuantity(line.quantity);
        if (quantity.isNegative()) {
            messages.append(rowText(row) + QStringLiteral("行请输入数据!"));
            continue;
        }
        if (quantity.isZero())
            continue;
        const std::optional<IssueLine> issue = issueLine(line.llid);
        if (!issue || issue->zl != m_zl || !issue->posted || issue->reversed || issue->direct ||
            (v.issueXtbh != 0 && issue->xtbh != v.issueXtbh)) {
            messages.append(rowText(row) + QStringLiteral("行的出库记录不能退货！"));
            continue;
        }
        any = true;
        const IssueReturnLine stored = lineFrom(*issue, v.xtbh);
        taken[line.llid] += quantity;
        if (exceeds(stored, taken.value(line.llid)))
            over = true;
    }
    if (over)
        messages.append(overReturnMessage());
    if (!any && messages.isEmpty())
        messages.append(nothingSavedMessage());
    return messages;
}

void IssueReturns::refuseIfInvalid(const IssueReturnVoucher &voucher) const
{
    const QStringList messages = validate(voucher);
    if (!messages.isEmpty())
        refuse(messages.join(QLatin1Char('\n')));
}

void IssueReturns::insertLine(qint64 xtbh, const IssueReturnVoucher &v,
                              const IssueReturnLine &shown)
{
    // Figures come from the stored issue line, whatever the caller computed.
    const std::optional<IssueLine> issue = issueLine(shown.llid);
    if (!issue)
        throw StoreError(QStringLiteral("LLD line %1 is gone").arg(shown.llid));
    IssueReturnLine line = lineFrom(*issue, xtbh);
    setQuantity(line, shown.quantity);
    m_db.exec(QStringLiteral("INSERT INTO TKD (XTBH, YSBH, THDJH, LLDWBH, CZRQ, CLBH, THDJ, THSL, "
                             "THJE, LLID, ZL, JZBZ, CZBZ) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0)"),
              {xtbh, issue->ysdjh, v.thdjh, issue->lldwbh, VoucherBook::dateText(v.czrq),
               issue->clbh, line.price.toVariant(), line.quantity.toVariant(),
               line.amount.toVariant(), issue->id, m_zl});
    m_db.exec(QStringLiteral("UPDATE LLD SET THBZ = 1 WHERE ID = ?"), {issue->id});
}

qint64 IssueReturns::saveNew(const IssueReturnVoucher &voucher)
{
    Transaction tx(m_db);
    IssueReturnVoucher v = voucher;
    v.xtbh = 0;
    refuseIfInvalid(v);
    // Drawn now, not when the return was begun, so two returns never share a number.
    const qint64 xtbh = nextSystemNumber();
    for (const IssueReturnLine &line : std::as_const(v.lines)) {
        if (line.isReturned())
            insertLine(xtbh, v, line);
    }
    tx.commit();
    return xtbh;
}

bool IssueReturns::isPosted(qint64 xtbh) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM TKD WHERE XTBH = ? AND JZBZ <> 0"),
                       {xtbh})
               .toLongLong() > 0;
}

void IssueReturns::unmarkIfUnreferenced(qint64 llid)
{
    m_db.exec(QStringLiteral("UPDATE LLD SET THBZ = 0 WHERE ID = ? AND THBZ <> 0 "
                             "AND NOT EXISTS (SELECT 1 FROM TKD WHERE LLID = ?)"),
              {llid, llid});
}

void IssueReturns::saveEdit(const IssueReturnVoucher &voucher)
{
    Transaction tx(m_db);
    if (voucher.xtbh == 0)
        throw StoreError(QStringLiteral("an issue return without a system number"));
    if (isPosted(voucher.xtbh))
        refuse(QStringLiteral("已记账，本单据不允许修改！"));
    refuseIfInvalid(voucher);

    QHash<qint64, qint64> stored; // TKD.ID -> LLID
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT ID, LLID FROM TKD WHERE XTBH = ?"), {voucher.xtbh});
    while (q.next())
        stored.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
    q.finish();

    QSet<qint64> kept;
    for (const IssueReturnLine &shown : voucher.lines) {
        if (shown.id != 0 && !stored.contains(shown.id))
            throw StoreError(QStringLiteral("TKD line %1 is not part of voucher %2")
                                 .arg(shown.id)
                                 .arg(voucher.xtbh));
        if (!shown.isReturned())
            continue; // an emptied line goes below with the others not kept
        if (shown.id == 0) {
            insertLine(voucher.xtbh, voucher, shown);
            continue;
        }
        kept.insert(shown.id);
        const std::optional<IssueLine> issue = issueLine(stored.value(shown.id));
        if (!issue)
            throw StoreError(QStringLiteral("LLD line %1 is gone").arg(stored.value(shown.id)));
        IssueReturnLine line = lineFrom(*issue, voucher.xtbh);
        setQuantity(line, shown.quantity);
        m_db.exec(QStringLiteral("UPDATE TKD SET THDJH = ?, CZRQ = ?, THDJ = ?, THSL = ?, "
                                 "THJE = ? WHERE ID = ?"),
                  {voucher.thdjh, VoucherBook::dateText(voucher.czrq), line.price.toVariant(),
                   line.quantity.toVariant(), line.amount.toVariant(), shown.id});
    }
    // The voucher is what the grid shows: lines no longer returned go, and so do the marks
    // of issue lines nothing else refers to.
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (kept.contains(it.key()))
            continue;
        m_db.exec(QStringLiteral("DELETE FROM TKD WHERE ID = ?"), {it.key()});
        unmarkIfUnreferenced(it.value());
    }
    // Lines inserted above carry the new header already; keep the kept ones in step too.
    m_db.exec(QStringLiteral("UPDATE TKD SET THDJH = ?, CZRQ = ? WHERE XTBH = ?"),
              {voucher.thdjh, VoucherBook::dateText(voucher.czrq), voucher.xtbh});
    tx.commit();
}

void IssueReturns::remove(qint64 xtbh)
{
    Transaction tx(m_db);
    if (isPosted(xtbh))
        refuse(QStringLiteral("已记账，本单据不允许删除！"));
    QList<qint64> llids;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT DISTINCT LLID FROM TKD WHERE XTBH = ?"), {xtbh});
    while (q.next())
        llids.append(q.value(0).toLongLong());
    q.finish();
    m_db.exec(QStringLiteral("DELETE FROM TKD WHERE XTBH = ?"), {xtbh});
    for (qint64 llid : std::as_const(llids))
        unmarkIfUnreferenced(llid);
    tx.commit();
}

void IssueReturns::postNow(qint64 xtbh)
{
    Posting(m_db, m_mode, m_formats).post(Posting::Family::IssueReturn, m_zl, xtbh);
}

// ---- loading and finding ------------------------------------------------------------------

std::optional<IssueReturnVoucher> IssueReturns::load(qint64 xtbh) const
{
    struct Stored
    {
        qint64 id;
        qint64 llid;
        QString clbh;
        Decimal price;
        Decimal quantity;
        Decimal amount;
    };
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT K.ID, K.LLID, K.THDJH, K.YSBH, K.LLDWBH, W.MC, K.CZRQ, K.ZL, "
                       "K.JZBZ, K.CLBH, K.THDJ, K.THSL, K.THJE FROM TKD K "
                       "LEFT JOIN LLDW W ON W.BH = K.LLDWBH WHERE K.XTBH = ? ORDER BY K.ID"),
        {xtbh});
    IssueReturnVoucher v;
    v.xtbh = xtbh;
    QList<Stored> stored;
    while (q.next()) {
        if (stored.isEmpty()) {
            v.thdjh = q.value(2).toString();
            v.ysbh = q.value(3).toString();
            v.lldwbh = q.value(4).toString();
            v.lldwmc = q.value(5).toString();
            v.czrq = VoucherBook::dateOf(q.value(6));
            v.zl = q.value(7).toString().trimmed();
        }
        if (q.value(8).toInt() != 0)
            v.posted = true;
        stored.append({q.value(0).toLongLong(), q.value(1).toLongLong(),
                       q.value(9).toString().trimmed(), Decimal::fromVariant(q.value(10)),
                       Decimal::fromVariant(q.value(11)), Decimal::fromVariant(q.value(12))});
    }
    q.finish();
    if (stored.isEmpty())
        return std::nullopt;

    const std::optional<IssueLine> first = issueLine(stored.first().llid);
    if (first)
        v.issueXtbh = first->xtbh;
    QList<IssueLine> issues = first ? issueLines(first->xtbh) : QList<IssueLine>();
    // A stored line shows its own figures; the other lines of the issue voucher are offered
    // with nothing returned.
    QSet<qint64> shown;
    for (const IssueLine &issue : std::as_const(issues)) {
        IssueReturnLine line = lineFrom(issue, xtbh);
        bool returned = false;
        for (const Stored &s : std::as_const(stored)) {
            if (s.llid != issue.id || shown.contains(s.id))
                continue;
            line.id = s.id;
            line.price = s.price;
            line.quantity = s.quantity;
            line.amount = s.amount;
            shown.insert(s.id);
            returned = true;
            break;
        }
        if (!returned &&
            (issue.reversed || issue.direct || !issue.posted || !(issue.sjsl > Decimal())))
            continue;
        v.lines.append(line);
    }
    for (const Stored &s : std::as_const(stored)) {
        if (shown.contains(s.id))
            continue;
        IssueReturnLine line;
        if (const std::optional<IssueLine> issue = issueLine(s.llid))
            line = lineFrom(*issue, xtbh);
        line.id = s.id;
        line.llid = s.llid;
        line.clbh = s.clbh;
        line.price = s.price;
        line.quantity = s.quantity;
        line.amount = s.amount;
        v.lines.append(line);
    }
    return v;
}

QList<IssueReturnListRow> IssueReturns::list(const QString &where, const QVariantList &values) const
{
    QString sql = QStringLiteral("SELECT K.XTBH, MIN(K.THDJH), MIN(K.LLDWBH), MIN(W.MC), "
                                 "MIN(K.CZRQ), MAX(K.JZBZ), MIN(K.ZL), MIN(K.YSBH) FROM TKD K "
                                 "LEFT JOIN LLDW W ON W.BH = K.LLDWBH WHERE K.ZL = ?");
    if (!where.isEmpty())
        sql += QStringLiteral(" AND ") + where;
    sql += QStringLiteral(" GROUP BY K.XTBH ORDER BY K.XTBH");
    QVariantList all{m_zl};
    all.append(values);
    QSqlQuery q = m_db.exec(sql, all);
    QList<IssueReturnListRow> rows;
    while (q.next()) {
        IssueReturnListRow row;
        row.xtbh = q.value(0).toLongLong();
        row.thdjh = q.value(1).toString();
        row.lldwbh = q.value(2).toString();
        row.lldwmc = q.value(3).toString();
        row.czrq = VoucherBook::dateOf(q.value(4));
        row.posted = q.value(5).toInt() != 0;
        row.zl = q.value(6).toString();
        row.ysbh = q.value(7).toString();
        rows.append(row);
    }
    return rows;
}

QList<IssueReturnListRow> IssueReturns::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("K.CZRQ"));
    return list(c.where(), c.values());
}

QList<IssueReturnListRow> IssueReturns::find(const IssueReturnConditions &c) const
{
    FinderConditions f;
    f.equal(QStringLiteral("K.LLDWBH"), c.lldwbh);
    f.equal(QStringLiteral("K.THDJH"), c.thdjh);
    f.equal(QStringLiteral("K.YSBH"), c.ysbh);
    f.equal(QStringLiteral("K.CLBH"), c.clbh);
    f.between(QStringLiteral("K.CZRQ"), c.from, c.to);
    return list(f.where(), f.values());
}

QDate IssueReturns::finderStart() const
{
    return VoucherBook(m_db).finderStart();
}

} // namespace varnock
