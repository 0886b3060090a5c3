#include "ledger/monthend.h"

#include "ledger/closingsums.h"
#include "ledger/costengine.h"
#include "ledger/issuetotals.h"
#include "ledger/layersnapshot.h"
#include "store/clock.h"
#include "store/database.h"

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString Title = QStringLiteral("提示窗口！！！");

MonthEnd::Step refusal(const QString &title, const QString &text,
                       Refusal::Icon icon = Refusal::Icon::Exclamation)
{
    return {MonthEnd::Step::Kind::Refusal, title, text, icon};
}

MonthEnd::Step question(const QString &text)
{
    return {MonthEnd::Step::Kind::Question, Title, text, Refusal::Icon::Question};
}

} // namespace

MonthEnd::MonthEnd(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

MonthEnd::Step MonthEnd::finished()
{
    return {Step::Kind::Refusal, Title, QStringLiteral("月结结束！！！"),
            Refusal::Icon::Information};
}

QList<MonthEnd::Step> MonthEnd::checks() const
{
    return checks(Clock::today());
}

QList<MonthEnd::Step> MonthEnd::checks(const QDate &today) const
{
    return steps(today);
}

QList<MonthEnd::Step> MonthEnd::steps(const QDate &today) const
{
    QList<Step> steps;
    const QDate latest =
        QDate::fromString(m_db.scalar(QStringLiteral("SELECT YJSJ FROM YJSJB "
                                                     "WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)"))
                              .toString(),
                          DateFormat);

    // A second closing on one day gets its own message; the activity check below would
    // otherwise refuse it first, since the earlier closing counts as activity.
    if (latest.isValid() && latest.daysTo(today) == 0) {
        steps.append(refusal(Title, QStringLiteral("今天已经做过月结，不能再做！")));
        return steps;
    }

    // Every movement counts: one dated on or after the closing day is in the stock the
    // closing freezes and would be counted again by whatever reads on from the closing.
    const QString activity =
        m_db.scalar(QStringLiteral("SELECT MAX(D) FROM ("
                                   "SELECT MAX(CZRQ) AS D FROM RKD "
                                   "UNION ALL SELECT MAX(CZRQ) FROM THD "
                                   "UNION ALL SELECT MAX(CZRQ) FROM LLD "
                                   "UNION ALL SELECT MAX(CZRQ) FROM TKD "
                                   "UNION ALL SELECT MAX(RQ) FROM PYK "
                                   "UNION ALL SELECT MAX(CZRQ) FROM CLKVMT "
                                   "UNION ALL SELECT MAX(YJSJ) FROM YJSJB) AS A"))
            .toString();
    if (!activity.isEmpty() && activity >= today.toString(DateFormat)) {
        steps.append(refusal(QStringLiteral("警告"), QStringLiteral("月结时间应大于做出入库时间"),
                             Refusal::Icon::Critical));
        return steps;
    }

    steps.append(
        question(QStringLiteral("月结代表封存本月账目，对本月的账目只得查看不得进行修改。\n"
                                "月结时间是根据系统时间来确定的。\n"
                                "您确认要进行月结吗？")));
    if (latest.isValid() && latest.daysTo(today) <= 28)
        steps.append(question(QStringLiteral("两次月结时间间隔没有超过28天，你确实要做月结吗？")));

    struct Unposted
    {
        const char *table;
        QString text;
    };
    const Unposted unposted[] = {
        {"RKD", QStringLiteral("入库数据还有未登帐数据，不能月结！")},
        {"THD", QStringLiteral("入库退货数据还有未登帐数据，不能月结！")},
        {"LLD", QStringLiteral("出库数据还有未登帐数据，不能月结！")},
        {"TKD", QStringLiteral("出库退货数据还有未登帐数据，不能月结！")},
    };
    for (const Unposted &u : unposted) {
        const QVariant any = m_db.scalar(
            QStringLiteral("SELECT 1 FROM %1 WHERE JZBZ = 0 LIMIT 1").arg(QLatin1String(u.table)));
        if (any.isValid() && !any.isNull()) {
            steps.append(refusal(Title, u.text));
            break;
        }
    }
    return steps;
}

int MonthEnd::close(const Progress &progress)
{
    return close(Clock::today(), progress);
}

int MonthEnd::close(const QDate &today, const Progress &progress)
{
    const bool fifo = m_mode == CostEngine::FirstInFirstOut;
    const int total = fifo ? 5 : 4;
    const auto report = [&progress, total](int done, const QString &step) {
        if (progress)
            progress(done, total, step);
    };

    Transaction tx(m_db);
    report(0, QStringLiteral("月结检查"));
    for (const Step &step : steps(today)) {
        if (step.kind == Step::Kind::Refusal)
            throw Refusal(step.title, step.text, step.icon);
    }
    const int yjid =
        m_db.scalar(QStringLiteral("SELECT COALESCE(MAX(YJID), 0) FROM YJSJB")).toInt() + 1;
    const QString day = today.toString(DateFormat);

    int done = 1;
    if (fifo) {
        report(done, QStringLiteral("先进先出结存"));
        LayerSnapshot(m_db).write(yjid, today);
        ++done;
    }
    report(done, QStringLiteral("月结记录"));
    m_db.query(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (?, ?)"), {yjid, day});
    ++done;
    report(done, QStringLiteral("本月发生"));
    ClosingSums(m_db, m_mode).write(yjid);
    IssueTotals(m_db, m_mode).write(yjid);
    ++done;
    report(done, QStringLiteral("月末库存"));
    m_db.query(QStringLiteral("INSERT INTO YJKCB (CLBH, JCSL, JCJE, YJID) "
                              "SELECT CLBH, SUM(KCSL), SUM(KCJE), ? FROM KC GROUP BY CLBH"),
               {yjid});
    tx.commit();
    report(total, QString());
    return yjid;
}

} // namespace varnock
