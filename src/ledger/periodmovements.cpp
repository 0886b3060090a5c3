#include "ledger/periodmovements.h"

#include "store/database.h"

namespace varnock {

const QString PeriodMovements::Earliest = QStringLiteral("0000-01-01");

namespace {

using Kind = PeriodMovements::Kind;

// One statement of rows (CLBH, P, LX, ZL, U, Q, A). %1 is the place of the conditions (the
// posted test and the material), %2 that of the unit an issue row is told apart by. `prefix`
// names the table the conditions apply to; `posted` says whether it has a posted flag.
struct Source
{
    Kind kind;
    const char *sql;
    const char *prefix = "";
    bool posted = true;
};

const Source AverageMovements[] = {
    {Kind::Receipt, "SELECT CLBH, NULL AS P, 1 AS LX, NULL AS ZL, NULL AS U, SUM(SJSL) AS Q, "
                    "SUM(SJJE) AS A FROM RKD WHERE CZRQ BETWEEN ? AND ?%1 AND XTBH <> 0 "
                    "AND COALESCE(CKID, 0) = 0 GROUP BY CLBH"},
    {Kind::Return, "SELECT CLBH, NULL AS P, 2 AS LX, NULL AS ZL, NULL AS U, SUM(THSL) AS Q, "
                   "SUM(THJE) AS A FROM THD WHERE CZRQ BETWEEN ? AND ?%1 GROUP BY CLBH"},
    {Kind::Issue, "SELECT CLBH, NULL AS P, 3 AS LX, ZL, U, SUM(Q) AS Q, SUM(A) AS A FROM ("
                  "SELECT CLBH, ZL, %2 AS U, SJSL AS Q, SJJE AS A FROM LLD "
                  "WHERE CZRQ BETWEEN ? AND ?%1 AND XTBH <> 0 AND ZJZC = 0) M "
                  "GROUP BY CLBH, ZL, U"},
    {Kind::IssueReturn, "SELECT CLBH, NULL AS P, 4 AS LX, ZL, U, SUM(Q) AS Q, SUM(A) AS A FROM ("
                        "SELECT CLBH, ZL, %2 AS U, THSL AS Q, THJE AS A FROM TKD "
                        "WHERE CZRQ BETWEEN ? AND ?%1) M GROUP BY CLBH, ZL, U"},
    {Kind::Count,
     "SELECT CLBH, NULL AS P, 5 AS LX, NULL AS ZL, NULL AS U, SUM(PDSL) AS Q, SUM(PDJE) AS A "
     "FROM PYK WHERE RQ BETWEEN ? AND ?%1 GROUP BY CLBH",
     "", false},
};

// Issues are valued piece by piece at the price of the layer each piece was drawn from, exactly
// as the closing's stock by unit price values them.
const Source LayerMovements[] = {
    {Kind::Receipt, "SELECT CLBH, SJDJ AS P, 1 AS LX, NULL AS ZL, NULL AS U, SUM(SJSL) AS Q, "
                    "SUM(SJJE) AS A FROM RKD WHERE CZRQ BETWEEN ? AND ?%1 AND XTBH <> 0 "
                    "AND COALESCE(CKID, 0) = 0 GROUP BY CLBH, SJDJ"},
    {Kind::Return, "SELECT CLBH, THDJ AS P, 2 AS LX, NULL AS ZL, NULL AS U, SUM(THSL) AS Q, "
                   "SUM(THJE) AS A FROM THD WHERE CZRQ BETWEEN ? AND ?%1 GROUP BY CLBH, THDJ"},
    {Kind::Issue,
     "SELECT CLBH, P, 3 AS LX, ZL, U, SUM(Q) AS Q, SUM(SMUL(P, Q, 4)) AS A FROM (SELECT X.CLBH, "
     "COALESCE(R.SJDJ, Z.KCDJ) AS P, L.ZL, %2 AS U, X.CKSL AS Q FROM LLD L "
     "JOIN XJXCSJB X ON X.CKID = L.ID LEFT JOIN RKD R ON R.ID = X.RKID "
     "LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID WHERE L.CZRQ BETWEEN ? AND ?%1 "
     "AND L.XTBH <> 0 AND L.ZJZC = 0) M GROUP BY CLBH, P, ZL, U",
     "L."},
    {Kind::IssueReturn, "SELECT CLBH, P, 4 AS LX, ZL, U, SUM(Q) AS Q, SUM(A) AS A FROM ("
                        "SELECT CLBH, THDJ AS P, ZL, %2 AS U, THSL AS Q, THJE AS A FROM TKD "
                        "WHERE CZRQ BETWEEN ? AND ?%1) M GROUP BY CLBH, P, ZL, U"},
    {Kind::Count,
     "SELECT CLBH, PDDJ AS P, 5 AS LX, NULL AS ZL, NULL AS U, SUM(PDSL) AS Q, SUM(PDJE) AS A "
     "FROM PYK WHERE RQ BETWEEN ? AND ?%1 GROUP BY CLBH, PDDJ",
     "", false},
};

const Source Adjustments[] = {
    {Kind::Raised,
     "SELECT CLBH, NULL AS P, 6 AS LX, NULL AS ZL, NULL AS U, 0 AS Q, SUM(JE) AS A FROM CLKVMT "
     "WHERE CZRQ BETWEEN ? AND ?%1 AND JE > 0 GROUP BY CLBH",
     "", false},
    {Kind::Lowered,
     "SELECT CLBH, NULL AS P, 7 AS LX, NULL AS ZL, NULL AS U, 0 AS Q, SUM(JE) AS A FROM CLKVMT "
     "WHERE CZRQ BETWEEN ? AND ?%1 AND JE < 0 GROUP BY CLBH",
     "", false},
};

bool hasUnit(const char *sql)
{
    return QLatin1String(sql).contains(QLatin1String("%2"));
}

// The unit an issue row is told apart by, with its bound values.
QString unitOf(const QString &column, const PeriodMovements::Options &options, QVariantList &values)
{
    if (!options.units)
        return column;
    QStringList places;
    for (const QString &code : *options.units) {
        values << code;
        places << QStringLiteral("?");
    }
    if (places.isEmpty())
        return QStringLiteral("NULL");
    return QStringLiteral("CASE WHEN TRIM(%1) IN (%2) THEN %1 END")
        .arg(column, places.join(QLatin1Char(',')));
}

PeriodMovements::Statement statementOf(const Source &source, const QString &first,
                                       const QString &last, const PeriodMovements::Options &options)
{
    const QString prefix = QLatin1String(source.prefix);
    QString conditions;
    if (source.posted && options.postedOnly)
        conditions += QStringLiteral(" AND %1JZBZ <> 0").arg(prefix);
    if (!options.clbh.isEmpty())
        conditions += QStringLiteral(" AND %1CLBH = ?").arg(prefix);
    PeriodMovements::Statement s;
    if (hasUnit(source.sql)) {
        const QString unit = unitOf(prefix + QStringLiteral("LLDWBH"), options, s.values);
        s.sql = QLatin1String(source.sql).arg(conditions, unit);
    } else {
        s.sql = QLatin1String(source.sql).arg(conditions);
    }
    s.values << first << last;
    if (!options.clbh.isEmpty())
        s.values << options.clbh;
    return s;
}

} // namespace

PeriodMovements::PeriodMovements(bool byPrice)
    : m_byPrice(byPrice)
{}

QList<PeriodMovements::Statement> PeriodMovements::dated(const QString &first, const QString &last,
                                                         const Options &options) const
{
    QList<Statement> statements;
    if (first > last)
        return statements;
    if (options.movements) {
        for (const Source &s : m_byPrice ? LayerMovements : AverageMovements)
            statements.append(statementOf(s, first, last, options));
    }
    if (options.adjustments) {
        for (const Source &s : Adjustments)
            statements.append(statementOf(s, first, last, options));
    }
    return statements;
}

PeriodMovements::Statement PeriodMovements::closed(int yjid, const Options &options) const
{
    Statement s;
    const QString unit = unitOf(QStringLiteral("LLDWBH"), options, s.values);
    QString conditions;
    if (!options.clbh.isEmpty())
        conditions += QStringLiteral(" AND CLBH = ?");
    if (!options.movements)
        conditions += QStringLiteral(" AND LX >= %1").arg(int(Kind::Raised));
    if (!options.adjustments)
        conditions += QStringLiteral(" AND LX < %1").arg(int(Kind::Raised));
    s.sql = QStringLiteral("SELECT CLBH, FSDJ, LX, ZL, %1, FSSL, FSJE FROM YJFSB "
                           "WHERE YJID = ?%2")
                .arg(unit, conditions);
    s.values << yjid;
    if (!options.clbh.isEmpty())
        s.values << options.clbh;
    return s;
}

void PeriodMovements::store(Database &db, int yjid, const QString &first, const QString &last) const
{
    // One statement, written in the order of the table's key: each material's rows numbered by
    // kind, price, issue kind and unit.
    QStringList movements;
    QVariantList values{yjid};
    for (const Statement &s : dated(first, last, Options{})) {
        movements << s.sql;
        values += s.values;
    }
    if (movements.isEmpty())
        return;
    db.query(QStringLiteral("INSERT INTO YJFSB (YJID, CLBH, FSDJ, LX, ZL, LLDWBH, FSSL, FSJE, XH) "
                            "SELECT ?, S.CLBH, S.P, S.LX, S.ZL, S.U, S.Q, S.A, ROW_NUMBER() OVER ("
                            "PARTITION BY S.CLBH ORDER BY S.LX, S.P, S.ZL, S.U) AS XH "
                            "FROM (%1) AS S WHERE S.Q <> 0 OR S.A <> 0 ORDER BY S.CLBH, XH")
                 .arg(movements.join(QStringLiteral(" UNION ALL "))),
             values);
}

PeriodMovements::Row PeriodMovements::row(const Query &q)
{
    const RowView v = view(q);
    return {QString::fromUtf8(v.clbh).trimmed(), v.price,    v.kind,  QString::fromUtf8(v.zl),
            QString::fromUtf8(v.lldwbh),         v.quantity, v.amount};
}

PeriodMovements::RowView PeriodMovements::view(const Query &q)
{
    return {q.utf8(0),
            q.isNull(1) ? std::optional<qint64>() : std::optional<qint64>(q.integer(1)),
            Kind(q.integer(2)),
            q.utf8(3),
            q.utf8(4),
            q.decimal(5),
            q.decimal(6)};
}

} // namespace varnock
