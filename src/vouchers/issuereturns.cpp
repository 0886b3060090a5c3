#include "vouchers/issuereturns.h"

#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/rowreader.h"
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

namespace {

VoucherService::Table familyTable()
{
    return {QStringLiteral("TKD"),
            QStringLiteral("THDJH"),
            {VoucherService::Numbering::Rule::Running, QStringLiteral("  "), QStringLiteral(" ")},
            QStringLiteral("LLD"),
            QStringLiteral("LLID")};
}

VoucherService::Rules familyRules()
{
    return {Refusal(Title, QStringLiteral("已记账，本单据不允许修改！")),
            Refusal(Title, QStringLiteral("已记账，本单据不允许删除！")),
            {},
            false};
}

} // namespace

IssueReturns::IssueReturns(Database &db, const QString &zl, int accountingMode,
                           const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), zl, accountingMode, formats)
{}

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
    QSqlQuery q = database().exec(IssueLineSelect + QStringLiteral("WHERE ") + where +
                                      QStringLiteral(" ORDER BY L.ID"),
                                  {key});
    QList<IssueLine> lines;
    while (q.next()) {
        IssueLine l;
        readRow(q, l.id, l.xtbh, l.ysdjh, l.lldwbh, l.lldwmc, l.zl, l.clbh, l.clmc, l.clgg, l.jzdw,
                l.sjdj, l.sjsl, l.sjje, l.posted, l.reversed, l.direct);
        l.zl = l.zl.trimmed();
        l.clbh = l.clbh.trimmed();
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
    if (accountingMode() != CostEngine::FirstInFirstOut)
        return issue.sjdj;
    if (issue.sjsl.isZero())
        return Decimal();
    return formats().roundAmount(issue.sjje / issue.sjsl);
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
    QSqlQuery q = database().exec(QStringLiteral("SELECT SUM(THSL), SUM(THJE) FROM TKD "
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
    line.quantity = formats().roundQuantity(quantity);
    line.amount = Decimal();
    if (!line.isReturned())
        return;
    if (accountingMode() == CostEngine::FirstInFirstOut && !line.issuedQuantity.isZero())
        line.amount = formats().roundAmount(
            Decimal::mulDiv(line.quantity, line.issuedAmount, line.issuedQuantity));
    else
        line.amount = formats().roundAmount(line.quantity * line.price);
    // The last of the line brings back what is left of its amount, so that a line returned in
    // full, at once or piece by piece, returns exactly what it took out of stock.
    if (line.returnedBefore + line.quantity == line.issuedQuantity) {
        const Decimal rest = line.issuedAmount - line.returnedAmountBefore;
        if (!rest.isNegative())
            line.amount = formats().roundAmount(rest);
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

QList<ReturnableIssueRow> IssueReturns::issueList(const FinderConditions &conditions) const
{
    // Reversed lines and their mirror lines came back through the reversal already; a
    // voucher with nothing else left is not offered.
    using R = ReturnableIssueRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT L.XTBH, MIN(L.YSDJH), MIN(W.MC), MIN(L.LLDWBH), "
                                    "MIN(L.CZRQ), MIN(L.SGBW), MIN(L.DH) FROM LLD L "
                                    "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                    "WHERE L.JZBZ <> 0 AND L.ZJZC = 0 AND L.CZBZ = 0 "
                                    "AND L.SJSL > 0 AND L.ZL = ?"),
                     conditions, QStringLiteral("GROUP BY L.XTBH ORDER BY L.XTBH")),
        &R::xtbh, &R::ysdjh, &R::lldwmc, &R::lldwbh, &R::czrq, &R::sgbw, &R::dh);
}

QList<ReturnableIssueRow> IssueReturns::returnableIssues(const QString &clbh) const
{
    FinderConditions conditions;
    conditions.equal(QStringLiteral("L.CLBH"), clbh);
    return issueList(conditions);
}

QList<ReturnableIssueRow>
IssueReturns::findReturnableIssues(const ReturnableIssueConditions &c) const
{
    return issueList(FinderConditions({{"L.LLDWBH", c.lldwbh},
                                       {"L.SGBW", c.sgbw},
                                       {"L.YSDJH", c.ysdjh},
                                       {"L.DH", c.dh},
                                       {"L.CLBH", c.clbh}},
                                      "L.CZRQ", c.from, c.to));
}

IssueReturnVoucher IssueReturns::draft(qint64 issueXtbh, const QDate &date) const
{
    IssueReturnVoucher v;
    v.issueXtbh = issueXtbh;
    v.czrq = date;
    v.zl = zl();
    v.thdjh = proposeDocumentNumber();
    for (const IssueLine &issue : issueLines(issueXtbh)) {
        if (issue.zl != zl() || !issue.posted || issue.direct || issue.reversed ||
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

QList<Refusal> IssueReturns::refusals(const IssueReturnVoucher &v) const
{
    QStringList messages = dateProblems(
        v.czrq, v.xtbh != 0 ? QStringLiteral("操作时间不允许小于月结时间！")
                            : QStringLiteral("操作日期应大于月结时间，请选择其他日期！"));
    bool any = false;
    bool over = false;
    QHash<qint64, Decimal> taken; // two lines of one issue line count together
    for (int row = 0; row < v.lines.size(); ++row) {
        const IssueReturnLine &line = v.lines.at(row);
        const Decimal quantity = formats().roundQuantity(line.quantity);
        if (quantity.isNegative()) {
            messages.append(rowText(row) + QStringLiteral("行请输入数据!"));
            continue;
        }
        if (quantity.isZero())
            continue;
        const std::optional<IssueLine> issue = issueLine(line.llid);
        if (!issue || issue->zl != zl() || !issue->posted || issue->reversed || issue->direct ||
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
    return refusalsOf(Title, messages);
}

QList<VoucherService::Row> IssueReturns::rows(const IssueReturnVoucher &v, qint64 xtbh) const
{
    QList<Row> rows;
    for (const IssueReturnLine &shown : v.lines) {
        if (!shown.isReturned())
            continue;
        const std::optional<IssueLine> issue = issueLine(shown.llid);
        if (!issue)
            throw StoreError(QStringLiteral("LLD line %1 is gone").arg(shown.llid));
        IssueReturnLine line = lineFrom(*issue, xtbh);
        setQuantity(line, shown.quantity);
        rows.append(Row(shown.id, issue->id)
                        .setOnInsert("YSBH", issue->ysdjh)
                        .set("THDJH", v.thdjh)
                        .setOnInsert("LLDWBH", issue->lldwbh)
                        .set("CZRQ", VoucherBook::dateText(v.czrq))
                        .setOnInsert("CLBH", issue->clbh)
                        .set("THDJ", line.price.toVariant())
                        .set("THSL", line.quantity.toVariant())
                        .set("THJE", line.amount.toVariant())
                        .setOnInsert("LLID", issue->id)
                        .setOnInsert("ZL", zl())
                        .setOnInsert("JZBZ", 0)
                        .setOnInsert("CZBZ", 0));
    }
    return rows;
}

void IssueReturns::postNow(qint64 xtbh)
{
    Posting(database(), accountingMode(), formats()).post(Posting::Family::IssueReturn, zl(), xtbh);
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
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT K.ID, K.LLID, K.THDJH, K.YSBH, K.LLDWBH, W.MC, K.CZRQ, K.ZL, "
                       "K.JZBZ, K.CLBH, K.THDJ, K.THSL, K.THJE FROM TKD K "
                       "LEFT JOIN LLDW W ON W.BH = K.LLDWBH WHERE K.XTBH = ? ORDER BY K.ID"),
        {xtbh});
    IssueReturnVoucher v;
    v.xtbh = xtbh;
    QList<Stored> stored;
    while (q.next()) {
        if (stored.isEmpty())
            readRowAt(q, 2, v.thdjh, v.ysbh, v.lldwbh, v.lldwmc, v.czrq, v.zl);
        Stored s{};
        bool posted = false;
        readRow(q, s.id, s.llid, Skip(), Skip(), Skip(), Skip(), Skip(), Skip(), posted, s.clbh,
                s.price, s.quantity, s.amount);
        s.clbh = s.clbh.trimmed();
        v.posted = v.posted || posted;
        stored.append(s);
    }
    q.finish();
    if (stored.isEmpty())
        return std::nullopt;
    v.zl = v.zl.trimmed();

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

QList<IssueReturnListRow> IssueReturns::list(const FinderConditions &conditions) const
{
    using R = IssueReturnListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT K.XTBH, MIN(K.THDJH), MIN(K.LLDWBH), MIN(W.MC), "
                                    "MIN(K.CZRQ), MAX(K.JZBZ), MIN(K.ZL), MIN(K.YSBH) FROM TKD K "
                                    "LEFT JOIN LLDW W ON W.BH = K.LLDWBH WHERE K.ZL = ?"),
                     conditions, QStringLiteral("GROUP BY K.XTBH ORDER BY K.XTBH")),
        &R::xtbh, &R::thdjh, &R::lldwbh, &R::lldwmc, &R::czrq, &R::posted, &R::zl, &R::ysbh);
}

QList<IssueReturnListRow> IssueReturns::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("K.CZRQ"));
    return list(c);
}

QList<IssueReturnListRow> IssueReturns::find(const IssueReturnConditions &c) const
{
    return list(FinderConditions(
        {{"K.LLDWBH", c.lldwbh}, {"K.THDJH", c.thdjh}, {"K.YSBH", c.ysbh}, {"K.CLBH", c.clbh}},
        "K.CZRQ", c.from, c.to));
}

} // namespace varnock
