#include "ledger/issuetotals.h"

#include "reports/statisticmovements.h"
#include "store/bulkinsert.h"
#include "store/database.h"

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString figures(const Figure &f)
{
    return QStringLiteral("%1 / %2").arg(f.quantity.toString(), f.amount.toString());
}

} // namespace

IssueTotals::IssueTotals(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

bool IssueTotals::kept(const Database &db)
{
    return db.tableExists(QStringLiteral("LJXHB"));
}

std::optional<IssueTotals::Closing> IssueTotals::latest(const Database &db, const QString &day)
{
    Query q = db.query(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB WHERE LJBZ <> 0 AND YJSJ <= ? "
                                      "ORDER BY YJID DESC LIMIT 1"),
                       {day});
    if (!q.next())
        return std::nullopt;
    return Closing{q.value(0).toInt(), q.value(1).toString()};
}

IssueTotals::Totals IssueTotals::of(const Database &db, int yjid)
{
    Totals totals;
    Query q = db.query(QStringLiteral("SELECT CLBH, LJSL, LJJE FROM LJXHB WHERE YJID = ?"), {yjid});
    while (q.next())
        totals.emplace_hint(totals.end(), QString::fromUtf8(q.utf8(0)).trimmed(),
                            std::pair{q.decimal(1), q.decimal(2)});
    return totals;
}

void IssueTotals::write(int yjid)
{
    Query closing =
        m_db.query(QStringLiteral("SELECT YJSJ, FSBZ FROM YJSJB WHERE YJID = ?"), {yjid});
    if (!closing.next())
        return;
    const QString day = closing.value(0).toString();
    const bool summed = closing.value(1).toInt() != 0;
    closing.finish();
    Query previous = m_db.query(QStringLiteral("SELECT YJID, YJSJ, LJBZ FROM YJSJB WHERE YJID < ? "
                                               "ORDER BY YJID DESC LIMIT 1"),
                                {yjid});
    const bool onFromPrevious = previous.next() && previous.value(2).toInt() != 0 && summed;
    const int before = onFromPrevious ? previous.value(0).toInt() : 0;
    const QString first = onFromPrevious
                              ? QDate::fromString(previous.value(1).toString(), DateFormat)
                                    .addDays(1)
                                    .toString(DateFormat)
                              : QString();
    previous.finish();

    const StatisticMovements movements(m_db, m_mode);
    std::map<QString, Figure> totals;
    if (onFromPrevious) {
        // The previous closing's totals and what this closing's period issued: never the whole
        // history again.
        for (const auto &[clbh, figure] : of(m_db, before))
            totals[clbh] += Figure{figure.first, figure.second};
        for (const auto &[clbh, figure] : movements.closedIssues(yjid, first, day))
            totals[clbh] += figure;
    } else {
        totals = movements.issuesToDate(QDate::fromString(day, DateFormat));
    }

    m_db.query(QStringLiteral("DELETE FROM LJXHB WHERE YJID = ?"), {yjid});
    QList<QByteArray> codes;
    for (const auto &[clbh, figure] : totals) {
        if (!figure.isZero())
            codes.append(clbh.toUtf8());
    }
    BulkInsert insert(m_db, QStringLiteral("LJXHB"),
                      {QStringLiteral("YJID"), QStringLiteral("CLBH"), QStringLiteral("LJSL"),
                       QStringLiteral("LJJE")});
    qsizetype i = 0;
    for (const auto &[clbh, figure] : totals) {
        if (figure.isZero())
            continue;
        insert.addInteger(yjid);
        insert.addText(codes.at(i++));
        insert.addInteger(figure.quantity.raw());
        insert.addInteger(figure.amount.raw());
    }
    insert.finish();
    m_db.query(QStringLiteral("UPDATE YJSJB SET LJBZ = 1 WHERE YJID = ?"), {yjid});
}

QList<IssueTotals::Difference> IssueTotals::latestDifferences() const
{
    if (!kept(m_db))
        return {};
    Query q = m_db.query(QStringLiteral("SELECT YJID, YJSJ, LJBZ FROM YJSJB "
                                        "WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)"));
    if (!q.next() || q.value(2).toInt() == 0)
        return {};
    const int yjid = q.value(0).toInt();
    const QDate day = QDate::fromString(q.value(1).toString(), DateFormat);
    q.finish();

    std::map<QString, Figure> stored;
    for (const auto &[clbh, figure] : of(m_db, yjid))
        stored.emplace(clbh, Figure{figure.first, figure.second});
    const std::map<QString, Figure> regrouped =
        StatisticMovements(m_db, m_mode).issuesToDate(day, true);

    QList<Difference> differences;
    const auto differ = [&](const QString &clbh, const Figure &kept, const Figure &issued) {
        differences.append({clbh, QStringLiteral("LJXHB in closing %1: totals %2, issues %3")
                                      .arg(yjid)
                                      .arg(figures(kept), figures(issued))});
    };
    for (const auto &[clbh, issued] : regrouped) {
        const auto it = stored.find(clbh);
        const Figure kept = it == stored.end() ? Figure{} : it->second;
        if (kept != issued)
            differ(clbh, kept, issued);
    }
    for (const auto &[clbh, kept] : stored) {
        if (!regrouped.count(clbh))
            differ(clbh, kept, Figure{});
    }
    return differences;
}

} // namespace varnock
