#include "reports/screens/fxjdcl.h"

#include "reports/screens/statisticparts.h"
#include "reports/screens/stockreportparts.h"
#include "reports/statistics.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QLabel>

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QDate dateOf(const QComboBox *combo)
{
    return combo->currentData().toDate();
}

} // namespace

FxJDCL::FxJDCL(Database &db, int mode, const Formats &formats, Report report, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_report(report)
    , m_start(new QComboBox(this))
    , m_end(new QComboBox(this))
    , m_period(new QLabel(this))
    , m_buttons(StatisticParts::buttons(this))
{
    const QString title =
        report == Report::Quarterly ? Statistics::QuarterlyTitle : Statistics::BalanceTitle;
    setObjectName(QStringLiteral("FxJDCL"));
    setWindowTitle(title);
    m_start->setObjectName(QStringLiteral("Combo1"));
    m_end->setObjectName(QStringLiteral("Combo2"));
    QList<QDate> closings;
    runOperation(this, [&] { closings = Statistics::closings(db); });
    for (const QDate &d : std::as_const(closings)) {
        m_start->addItem(d.toString(DateFormat), d);
        m_end->addItem(d.toString(DateFormat), d);
    }
    // A quarter up to the latest month-end where the books go back so far.
    m_end->setCurrentIndex(int(closings.size()) - 1);
    m_start->setCurrentIndex(std::max(0, int(closings.size()) - 4));
    connect(m_start, &QComboBox::currentIndexChanged, this, &FxJDCL::showPeriod);
    connect(m_end, &QComboBox::currentIndexChanged, this, &FxJDCL::showPeriod);
    showPeriod();
    StockReportParts::layOut(this, title,
                             {StockReportParts::form(QStringLiteral("选择月结日期"),
                                                     {{QStringLiteral("起始月结日期："), m_start},
                                                      {QStringLiteral("终止月结日期："), m_end}},
                                                     this)},
                             m_period, m_buttons, [this] { confirm(); });
    resize(520, 220);
}

void FxJDCL::showPeriod()
{
    const QDate start = dateOf(m_start);
    const QDate end = dateOf(m_end);
    if (!start.isValid() || !end.isValid() || start >= end) {
        m_period->setText(QStringLiteral("统计期间：—"));
        return;
    }
    m_period->setText(QStringLiteral("统计期间：\n%1 至 %2")
                          .arg(start.addDays(1).toString(DateFormat), end.toString(DateFormat)));
}

ReportWindow *FxJDCL::confirm()
{
    return StatisticParts::open(this, m_db, m_formats, [this] {
        Statistics statistics(m_db, m_mode);
        return m_report == Report::Quarterly
                   ? statistics.quarterly(dateOf(m_start), dateOf(m_end))
                   : statistics.fundsBalance(dateOf(m_start), dateOf(m_end));
    });
}

} // namespace varnock
