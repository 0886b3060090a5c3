#include "reports/materialledger.h"

#include "ledger/costengine.h"
#include "reports/cataloguetree.h"
#include "reports/stockbalances.h"
#include "store/database.h"
#include "store/errors.h"

#include <QSet>

#include <algorithm>

namespace varnock {

const QString MaterialLedger::Name = QStringLiteral("材料流水账");
const QString MaterialLedger::DatesText = QStringLiteral("终止日期要大于起始日期！");
const QString MaterialLedger::NoMaterialText = QStringLiteral("请选择系统设置的材料！");
const QString MaterialLedger::CarriedOver = QStringLiteral("上期结转");

namespace {

using Column = ReportTable::Column;
using Family = Posting::Family;

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// The order of a day's movements: receipts, returns to suppliers, issues, issue returns,
// then count differences and adjustments.
enum class Kind { Receipt = 1, Return, Issue, IssueReturn, Count, Adjustment };

// Each statement gives (date, line ID, voucher number, document number, kind text,
// counterparty, unit price, quantity, amount) of one material between two dates, posted lines
// only, as the stock reports count them.
struct Movements
{
    Kind kind;
    const char *sql;
};

const Movements Receipts = {
    Kind::Receipt,
    "SELECT R.CZRQ, R.ID, R.XTBH, R.YSDJH, R.ZL, G.MC, R.SJDJ, R.SJSL, R.SJJE "
    "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH WHERE R.CLBH = ? AND R.CZRQ BETWEEN ? AND ? "
    "AND R.JZBZ <> 0 AND R.XTBH <> 0 AND COALESCE(R.CKID, 0) = 0"};
const Movements Returns = {
    Kind::Return, "SELECT T.CZRQ, T.ID, T.XTBH, T.THDJH, T.ZL, G.MC, T.THDJ, T.THSL, T.THJE "
                  "FROM THD T LEFT JOIN GYS G ON G.BH = T.GYSBH "
                  "WHERE T.CLBH = ? AND T.CZRQ BETWEEN ? AND ? AND T.JZBZ <> 0"};
const Movements Issues = {
    Kind::Issue, "SELECT L.CZRQ, L.ID, L.XTBH, L.YSDJH, L.ZL, U.MC, L.SJDJ, L.SJSL, L.SJJE "
                 "FROM LLD L LEFT JOIN LLDW U ON U.BH = L.LLDWBH "
                 "WHERE L.CLBH = ? AND L.CZRQ BETWEEN ? AND ? AND L.JZBZ <> 0 AND L.XTBH <> 0 "
                 "AND L.ZJZC = 0"};
// Under first in first out one line per piece, at the price of its layer.
const Movements Pieces = {
    Kind::Issue,
    "SELECT L.CZRQ, L.ID, L.XTBH, L.YSDJH, L.ZL, U.MC, COALESCE(R.SJDJ, Z.KCDJ), X.CKSL, "
    "SMUL(COALESCE(R.SJDJ, Z.KCDJ), X.CKSL, 4) FROM LLD L JOIN XJXCSJB X ON X.CKID = L.ID "
    "LEFT JOIN RKD R ON R.ID = X.RKID LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID "
    "LEFT JOIN LLDW U ON U.BH = L.LLDWBH WHERE L.CLBH = ? AND L.CZRQ BETWEEN ? AND ? "
    "AND L.JZBZ <> 0 AND L.XTBH <> 0 AND L.ZJZC = 0 AND (R.ID IS NOT NULL OR Z.ID IS NOT NULL) "
    "ORDER BY X.ID"};
const Movements IssueReturns = {
    Kind::IssueReturn, "SELECT T.CZRQ, T.ID, T.XTBH, T.THDJH, T.ZL, U.MC, T.THDJ, T.THSL, T.THJE "
                       "FROM TKD T LEFT JOIN LLDW U ON U.BH = T.LLDWBH "
                       "WHERE T.CLBH = ? AND T.CZRQ BETWEEN ? AND ? AND T.JZBZ <> 0"};
const Movements Counts = {Kind::Count, "SELECT RQ, rowid, NULL, NULL, NULL, NULL, PDDJ, PDSL, PDJE "
                                       "FROM PYK WHERE CLBH = ? AND RQ BETWEEN ? AND ?"};
const Movements Adjustments = {Kind::Adjustment,
                               "SELECT CZRQ, ID, NULL, NULL, BZ, NULL, NULL, 0, JE FROM CLKVMT "
                               "WHERE CLBH = ? AND CZRQ BETWEEN ? AND ?"};

struct Entry
{
    QString date;
    Kind kind;
    qint64 id = 0;
    int order = 0; // pieces of one issue line in the order they were drawn
    qint64 xtbh = 0;
    QString zl;
    QString document;
    QString summary;
    QString counterparty;
    QVariant price;
    Figure moved; // into stock: positive; out of stock: negative
};

QString summaryOf(Kind kind, const QString &zl)
{
    const bool transfer = zl.trimmed() == QLatin1String("2");
    switch (kind) {
    case Kind::Issue:
        return transfer ? QStringLiteral("调拨出库") : QStringLiteral("领料出库");
    case Kind::IssueReturn:
        return transfer ? QStringLiteral("调拨退货") : QStringLiteral("领料退货");
    case Kind::Adjustment:
        return zl.trimmed().isEmpty() ? QStringLiteral("金额调整")
                                      : QStringLiteral("金额调整 ") + zl.trimmed();
    default:
        return zl;
    }
}

std::optional<Family> familyOf(Kind kind)
{
    switch (kind) {
    case Kind::Receipt:
        return Family::StockIn;
    case Kind::Return:
        return Family::StockInReturn;
    case Kind::Issue:
        return Family::Issue;
    case Kind::IssueReturn:
        return Family::IssueReturn;
    default:
        return std::nullopt;
    }
}

QList<Column> ledgerColumns()
{
    return {{QStringLiteral("RQ"), QStringLiteral("日期"), Column::Text},
            {QStringLiteral("DJH"), QStringLiteral("单据号"), Column::Text},
            {QStringLiteral("ZY"), QStringLiteral("摘要"), Column::Text},
            {QStringLiteral("DW"), QStringLiteral("往来单位"), Column::Text},
            {QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price},
            {QStringLiteral("SRSL"), QStringLiteral("收入数量"), Column::Quantity},
            {QStringLiteral("SRJE"), QStringLiteral("收入金额"), Column::Amount},
            {QStringLiteral("FCSL"), QStringLiteral("发出数量"), Column::Quantity},
            {QStringLiteral("FCJE"), QStringLiteral("发出金额"), Column::Amount},
            {QStringLiteral("JCSL"), QStringLiteral("结存数量"), Column::Quantity},
            {QStringLiteral("JCJE"), QStringLiteral("结存金额"), Column::Amount},
            {QStringLiteral("JCDJ"), QStringLiteral("结存单价"), Column::Price}};
}

QVariant balancePrice(const Figure &balance)
{
    return balance.quantity.isZero() ? QVariant()
                                     : ReportTable::figure(balance.amount / balance.quantity);
}

} // namespace

MaterialLedger::MaterialLedger(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

QStringList MaterialLedger::materialsBelow(const QString &category, const QDate &from,
                                           const QDate &to) const
{
    const CatalogueTree tree(m_db);
    const StockBalances balances(m_db, m_mode);
    QSet<QString> moved;
    for (const auto &[key, f] : balances.period(from, to, {}))
        moved.insert(key.first);
    QStringList codes;
    for (const CatalogueTree::Node *n : tree.leaves()) {
        if (moved.contains(n->clbh) && tree.isUnder(n->clbh, category))
            codes << n->clbh;
    }
    return codes;
}

QList<QDate> MaterialLedger::closingDays() const
{
    QList<QDate> days;
    Query q = m_db.query(QStringLiteral("SELECT YJSJ FROM YJSJB ORDER BY YJID"));
    while (q.next())
        days << QDate::fromString(q.value(0).toString(), DateFormat);
    return days;
}

MaterialLedger::Ledger MaterialLedger::build(const QStringList &materials, const QDate &from,
                                             const QDate &to) const
{
    if (to < from)
        throw Refusal(QStringLiteral("提示"), DatesText);
    if (materials.isEmpty())
        throw Refusal(QStringLiteral("提示"), NoMaterialText);

    const ReadSnapshot snapshot(m_db);
    const bool fifo = m_mode == CostEngine::FirstInFirstOut;
    const StockBalances balances(m_db, m_mode);
    Ledger ledger{ReportTable(Name, Name, ledgerColumns()), {}};
    ledger.table.setPeriod(ReportPeriod{from, to});
    const QVariantList range{from.toString(DateFormat), to.toString(DateFormat)};

    for (const QString &clbh : materials) {
        Query material = m_db.query(
            QStringLiteral("SELECT CLMC, CLGG, JZDW FROM CLJBXXB WHERE CLBH = ?"), {clbh});
        const bool known = material.next();
        const QString clmc = known ? material.value(0).toString() : clbh;
        const QString clgg = known ? material.value(1).toString() : QString();
        const QString jzdw = known ? material.value(2).toString() : QString();
        material.finish();
        const auto planned = balances.plannedPrices().constFind(clbh);
        const bool atPlan = planned != balances.plannedPrices().cend();

        QList<Entry> entries;
        for (const Movements &m :
             {Receipts, Returns, fifo ? Pieces : Issues, IssueReturns, Counts, Adjustments}) {
            if (m.kind == Kind::Adjustment && atPlan)
                continue; // an adjustment does not change a value kept at plan
            Query q = m_db.query(QLatin1String(m.sql), QVariantList{clbh} + range);
            int order = 0;
            while (q.next()) {
                Entry e;
                e.date = q.value(0).toString();
                e.kind = m.kind;
                e.id = q.value(1).toLongLong();
                e.order = order++;
                e.xtbh = q.value(2).toLongLong();
                e.document = q.value(3).toString();
                e.zl = q.value(4).toString();
                e.summary = summaryOf(m.kind, e.zl);
                if (m.kind == Kind::Count)
                    e.summary = Decimal::fromVariant(q.value(7)).isNegative()
                                    ? QStringLiteral("盘亏")
                                    : QStringLiteral("盘盈");
                e.counterparty = q.value(5).toString();
                e.price = ReportTable::figureOrEmpty(q.value(6));
                e.moved = {Decimal::fromVariant(q.value(7)), Decimal::fromVariant(q.value(8))};
                if (atPlan) {
                    e.price = ReportTable::figure(*planned);
                    e.moved.amount = e.moved.quantity * *planned;
                }
                const bool out = m.kind == Kind::Return || m.kind == Kind::Issue;
                if (out)
                    e.moved = Figure{} - e.moved;
                entries << e;
            }
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            if (a.date != b.date)
                return a.date < b.date;
            if (a.kind != b.kind)
                return a.kind < b.kind;
            return a.id != b.id ? a.id < b.id : a.order < b.order;
        });

        ledger.table.addRow({QVariant(), QStringLiteral("材料名称：") + clmc,
                             QStringLiteral("材料规格：") + clgg, QStringLiteral("单位：") + jzdw},
                            ReportTable::RowStyle::Subtotal);
        ledger.sources << std::nullopt;

        Figure balance;
        for (const auto &[key, f] : balances.before(from, clbh))
            balance += f;
        ledger.table.addRow({from.toString(DateFormat), QVariant(), CarriedOver, QVariant(),
                             QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                             ReportTable::figure(balance.quantity),
                             ReportTable::figure(balance.amount), balancePrice(balance)});
        ledger.sources << std::nullopt;

        for (const Entry &e : std::as_const(entries)) {
            balance += e.moved;
            // Receipts, returns, counts and adjustments in the receipt columns (returns
            // negative), issues and issue returns in the issue columns (returns negative).
            const bool issueSide = e.kind == Kind::Issue || e.kind == Kind::IssueReturn;
            const Figure shown = issueSide ? Figure{} - e.moved : e.moved;
            const QVariant q = ReportTable::figure(shown.quantity);
            const QVariant a = ReportTable::figure(shown.amount);
            ledger.table.addRow({e.date, e.document, e.summary, e.counterparty, e.price,
                                 issueSide ? QVariant() : q, issueSide ? QVariant() : a,
                                 issueSide ? q : QVariant(), issueSide ? a : QVariant(),
                                 ReportTable::figure(balance.quantity),
                                 ReportTable::figure(balance.amount), balancePrice(balance)});
            const std::optional<Family> family = familyOf(e.kind);
            ledger.sources << (family ? std::optional<Source>(Source{*family, e.zl, e.xtbh, e.id})
                                      : std::nullopt);
        }
    }
    return ledger;
}

} // namespace varnock
