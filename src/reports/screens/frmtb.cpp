#include "reports/screens/frmtb.h"

#include "print/paper/pdfoutput.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "reports/screens/stockreportparts.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "store/errors.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>

namespace varnock {

namespace {

const QString ClosingsTitle = QStringLiteral("月末库存金额");
const QString ConsumptionTitle = QStringLiteral("本期各领料单位消耗金额");
const QString MaterialsTitle = QStringLiteral("库存金额最高的十种材料");

QChartView *chartView(QWidget *parent, const QString &objectName)
{
    auto *view = new QChartView(new QChart, parent);
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->legend()->hide();
    view->setMinimumHeight(220);
    return view;
}

// Starts the chart afresh; an empty one says so in its title.
QChart *cleared(QChartView *view, const QString &title, bool empty)
{
    QChart *chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(empty ? title + QStringLiteral("（无记录）") : title);
    return chart;
}

// A value axis that starts at zero and ends a little above the highest value.
QValueAxis *amountAxis(double highest)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, highest > 0 ? highest * 1.1 : 1);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->applyNiceNumbers();
    return axis;
}

void drawBars(QChartView *view, const QString &title, const QList<StorePicture::Bar> &bars,
              bool horizontal)
{
    QChart *chart = cleared(view, title, bars.isEmpty());
    if (bars.isEmpty())
        return;
    auto *set = new QBarSet(title);
    QStringList labels;
    double highest = 0;
    // Horizontal bars are drawn from the bottom: the highest goes last to stand on top.
    QList<StorePicture::Bar> order = bars;
    if (horizontal)
        std::reverse(order.begin(), order.end());
    for (const StorePicture::Bar &b : std::as_const(order)) {
        // Drawn only: the figures themselves stay exact in the reports.
        const double value = b.value.toDouble();
        set->append(value);
        labels << b.label;
        highest = std::max(highest, value);
    }
    QAbstractBarSeries *series =
        horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries) : new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(labels);
    QValueAxis *values = amountAxis(highest);
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
}

} // namespace

FrmTb::FrmTb(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_board(new QWidget(this))
    , m_closings(chartView(m_board, QStringLiteral("Chart1")))
    , m_consumption(chartView(m_board, QStringLiteral("Chart2")))
    , m_materials(chartView(m_board, QStringLiteral("Chart3")))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("图 片(&G)"),
                                        QStringLiteral("PDF(&D)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmTb"));
    setWindowTitle(QStringLiteral("图表"));
    m_from->setObjectName(QStringLiteral("DTPicker1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_to->setDate(Clock::today());

    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("起始日期："), this));
    period->addWidget(m_from);
    period->addSpacing(12);
    period->addWidget(new QLabel(QStringLiteral("终止日期："), this));
    period->addWidget(m_to);
    period->addStretch();
    period->addWidget(m_buttons);

    // The white board the picture and the PDF are taken from.
    m_board->setAutoFillBackground(true);
    QPalette white = m_board->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_board->setPalette(white);
    auto *charts = new QGridLayout(m_board);
    charts->addWidget(m_closings, 0, 0, 1, 2);
    charts->addWidget(m_consumption, 1, 0);
    charts->addWidget(m_materials, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(m_board, 1);
    Help::install(this, QStringLiteral("统计报表"));
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Refresh:
            refresh();
            break;
        case Picture:
            Printing::savePicture(this, windowTitle(), image());
            break;
        case Pdf:
            Printing::savePdf(this, windowTitle(), page(),
                              [this](QPagedPaintDevice *device) { paint(device); });
            break;
        default:
            ScreenParts::close(this);
        }
    });
    resize(1100, 720);
    refresh();
}

QChart *FrmTb::closingsChart() const
{
    return m_closings->chart();
}

QChart *FrmTb::consumptionChart() const
{
    return m_consumption->chart();
}

QChart *FrmTb::materialsChart() const
{
    return m_materials->chart();
}

bool FrmTb::refresh()
{
    const ReportPeriod period{m_from->date(), m_to->date()};
    if (!runOperation(this, [&] {
            m_figures = StorePicture(m_db, m_mode).build(period);
            m_firm = VoucherSlips::firmName(m_db);
        }))
        return false;
    m_period = period;
    draw();
    return true;
}

void FrmTb::draw()
{
    QChart *chart = cleared(m_closings, ClosingsTitle, m_figures.closings.isEmpty());
    if (!m_figures.closings.isEmpty()) {
        auto *line = new QLineSeries;
        line->setPointsVisible(true);
        double highest = 0;
        for (const StorePicture::Point &p : std::as_const(m_figures.closings)) {
            const double value = p.value.toDouble();
            line->append(double(p.day.startOfDay().toMSecsSinceEpoch()), value);
            highest = std::max(highest, value);
        }
        chart->addSeries(line);
        auto *days = new QDateTimeAxis;
        days->setFormat(QStringLiteral("yyyy-MM-dd"));
        const QDate first = m_figures.closings.first().day;
        const QDate last = m_figures.closings.last().day;
        // One closing alone still gets a span to stand in.
        days->setRange(first.addDays(-15).startOfDay(), last.addDays(15).startOfDay());
        days->setTickCount(std::clamp(int(m_figures.closings.size()), 2, 12));
        QValueAxis *values = amountAxis(highest);
        chart->addAxis(days, Qt::AlignBottom);
        chart->addAxis(values, Qt::AlignLeft);
        line->attachAxis(days);
        line->attachAxis(values);
    }
    drawBars(m_consumption, ConsumptionTitle, m_figures.consumption, false);
    drawBars(m_materials, MaterialsTitle, m_figures.topMaterials, true);
}

QImage FrmTb::image() const
{
    return m_board->grab().toImage();
}

void FrmTb::writePng(const QString &file) const
{
    if (!image().save(file, "PNG"))
        throw StoreError(QStringLiteral("无法写入文件 %1").arg(file));
}

void FrmTb::writePdf(const QString &file) const
{
    PdfOutput::write(file, page(), windowTitle(),
                     [this](QPagedPaintDevice *device) { paint(device); });
}

QPageLayout FrmTb::page()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

void FrmTb::paint(QPagedPaintDevice *device) const
{
    QPainter painter(device);
    const QRect page = painter.viewport();
    // The firm and the period above the charts, as the printed reports carry them.
    QFont font = painter.font();
    font.setPixelSize(page.height() / 40);
    painter.setFont(font);
    const int line = painter.fontMetrics().height();
    const QRect heading(page.left(), page.top(), page.width(), line);
    painter.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter, m_firm);
    painter.drawText(heading, Qt::AlignRight | Qt::AlignVCenter, m_period.line().trimmed());
    const QRect area = page.adjusted(0, line * 3 / 2, 0, 0);
    const QImage picture = image();
    painter.drawImage(
        QRect(area.topLeft(), picture.size().scaled(area.size(), Qt::KeepAspectRatio)), picture);
}

} // namespace varnock
