#include "print/paper/pagecanvas.h"
#include "print/paper/pdfoutput.h"
#include "print/paper/sliplayout.h"
#include "print/paper/tablelayout.h"
#include "support/ledgerseed.h"
#include "textrecorder.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::TextRecorder;

namespace {

// A purchase slip of two pages: five lines of one group, two of another.
Slip twoPageSlip()
{
    Slip slip;
    slip.family = Posting::Family::StockIn;
    slip.xtbh = 12;
    slip.title = QStringLiteral("第三建筑公司");
    slip.kind = QStringLiteral("采购入库");
    slip.partnerCaption = QStringLiteral("供应商：");
    slip.partner = QStringLiteral("钢材公司");
    slip.document = QStringLiteral("2026-03-10 - 1001");
    slip.date = QDate(2026, 3, 10);
    slip.signatures = SlipCaptions::DefaultReceipt;
    const auto page = [&](int number, const QString &group, int lines) {
        Slip::Page p;
        p.number = number;
        p.group = group;
        for (int i = 1; i <= Slip::RowsPerPage; ++i) {
            Slip::Row row;
            if (i <= lines) {
                row.clbh = QStringLiteral("%1%2").arg(number).arg(i, 3, 10, QLatin1Char('0'));
                row.clmc = QStringLiteral("材料") + row.clbh;
                row.jzdw = QStringLiteral("吨");
                row.quantity = Decimal::fromInt(i);
                row.price = dec("100.5");
                row.amount = dec("100.5") * Decimal::fromInt(i);
                slip.total += *row.amount;
            }
            p.rows << row;
        }
        slip.pages << p;
    };
    page(1, QStringLiteral("钢材"), 5);
    page(2, QStringLiteral("水泥"), 2);
    return slip;
}

int pdfPages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF"))
        return -1;
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

bool pdfEmbedsTheFont(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readAll().contains("/FontFile2");
}

TEST(SlipPaper, APageShowsItsFiveRowsItsTotalsAndTheHeader)
{
    Slip slip = twoPageSlip();
    slip.pages[1].rows[0].jzdw = QStringLiteral("立方米");
    slip.pages[1].rows[0].clgg = QStringLiteral("50×100×4000 松木");
    const Formats formats;
    const SlipLayout layout(slip, formats);
    ASSERT_EQ(layout.pageCount(), 2);

    TextRecorder page(QSizeF(550, 360));
    {
        PageCanvas canvas(&page);
        layout.paintPage(canvas.painter(), canvas.size(), 0);
    }
    for (const QString &text :
         {QStringLiteral("第三建筑公司"), QStringLiteral("采购入库单"),
          QStringLiteral("第 1 页 共 2 页"), QStringLiteral("供应商：钢材公司"),
          QStringLiteral("类别：钢材"), QStringLiteral("系统编号：12"), QStringLiteral("本页小计"),
          QStringLiteral("1507.50"), QStringLiteral("合    计"), QStringLiteral("1809.00"),
          QStringLiteral("验 收 员："), QStringLiteral("材质证明")}) {
        EXPECT_TRUE(page.has(text))
            << text.toStdString()
            << " not drawn; drawn: " << page.strings().join('|').toStdString();
    }
    // The five rows, top to bottom, above the totals.
    double above = page.yOf(QStringLiteral("金额"));
    for (int i = 1; i <= 5; ++i) {
        const QString code = QStringLiteral("1%1").arg(i, 3, 10, QLatin1Char('0'));
        const double y = page.yOf(code);
        EXPECT_GT(y, above) << code.toStdString();
        above = y;
    }
    EXPECT_GT(page.yOf(QStringLiteral("本页小计")), above);

    // The second page: two rows, the rest empty, its own total and the slip's.
    page.clear();
    {
        PageCanvas canvas(&page);
        layout.paintPage(canvas.painter(), canvas.size(), 1);
    }
    EXPECT_TRUE(page.has(QStringLiteral("2002")));
    EXPECT_FALSE(page.has(QStringLiteral("2003")));
    EXPECT_TRUE(page.has(QStringLiteral("301.50")));
    EXPECT_TRUE(page.has(QStringLiteral("1809.00")));
    EXPECT_TRUE(page.has(QStringLiteral("第 2 页 共 2 页")));
    // A long unit or specification is set smaller, never cut.
    EXPECT_TRUE(page.has(QStringLiteral("立方米")));
    EXPECT_TRUE(page.has(QStringLiteral("50×100×4000 松木")));
}

TEST(SlipPaper, APageRendersToAnImageAndTheSlipToAPdfWithItsPages)
{
    const Slip slip = twoPageSlip();
    const SlipLayout layout(slip, Formats());
    // A5 across at 150 dpi.
    QImage image(1240, 874, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    image.fill(Qt::white);
    {
        PageCanvas canvas(&image);
        layout.paintPage(canvas.painter(), canvas.size(), 0);
    }
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(dark, 2000);
    if (!qEnvironmentVariableIsEmpty("VARNOCK_SCREENSHOTS"))
        image.save(QDir(qEnvironmentVariable("VARNOCK_SCREENSHOTS")).filePath("slip.png"));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("slip.pdf"));
    PdfOutput::writeSlip(pdf, slip, Formats());
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(pdfEmbedsTheFont(pdf));
}

ReportTable longTable(int rows, int textColumns)
{
    QList<ReportTable::Column> columns;
    for (int c = 0; c < textColumns; ++c)
        columns << ReportTable::Column{QStringLiteral("F%1").arg(c),
                                       QStringLiteral("说明%1").arg(c), ReportTable::Column::Text};
    columns << ReportTable::Column{QStringLiteral("JE"), QStringLiteral("金额"),
                                   ReportTable::Column::Amount};
    ReportTable table(QStringLiteral("测试表"), QStringLiteral("测试一览表"), columns);
    table.setPeriod({QDate(2026, 3, 1), QDate(2026, 3, 31)});
    for (int r = 0; r < rows; ++r) {
        QVariantList cells;
        for (int c = 0; c < textColumns; ++c)
            cells << QStringLiteral("第%1行的较长的说明文字").arg(r + 1);
        cells << ReportTable::figure(Decimal::fromInt(r));
        table.addRow(cells,
                     r == rows - 1 ? ReportTable::RowStyle::Total : ReportTable::RowStyle::Detail);
    }
    return table;
}

TEST(TablePaper, HeadingsTitleAndPageNumbersRepeatOnEveryPage)
{
    const ReportTable table = longTable(120, 2);
    const TableLayout layout(table, Formats(), QStringLiteral("第三建筑公司"),
                             QSizeF(PageCanvas::pt(523), PageCanvas::pt(770)));
    ASSERT_GT(layout.pageCount(), 2);
    EXPECT_EQ(layout.pageCount(), (120 + layout.rowsPerPage() - 1) / layout.rowsPerPage());

    for (int p = 0; p < layout.pageCount(); ++p) {
        TextRecorder page(QSizeF(523, 770));
        {
            PageCanvas canvas(&page);
            layout.paintPage(canvas.painter(), p);
        }
        const QString numbering =
            QStringLiteral("第 %1 页 共 %2 页").arg(p + 1).arg(layout.pageCount());
        EXPECT_TRUE(page.has(numbering)) << numbering.toStdString();
        EXPECT_TRUE(page.has(QStringLiteral("测试一览表")));
        EXPECT_TRUE(page.has(QStringLiteral("2026-03-01   至   2026-03-31")));
        EXPECT_TRUE(page.has(QStringLiteral("说明1")));
        EXPECT_TRUE(page.has(QStringLiteral("金额")));
        const QString first = QStringLiteral("%1.00").arg(p * layout.rowsPerPage());
        EXPECT_TRUE(page.has(first)) << first.toStdString();
        EXPECT_LT(page.yOf(QStringLiteral("金额")), page.yOf(first));
    }
}

TEST(TablePaper, WideTablesGoAcrossTheSheetAndStillFit)
{
    EXPECT_EQ(TableLayout::pageLayout(longTable(3, 2), Formats()).orientation(),
              QPageLayout::Portrait);
    const ReportTable wide = longTable(3, 12);
    const QPageLayout across = TableLayout::pageLayout(wide, Formats());
    EXPECT_EQ(across.orientation(), QPageLayout::Landscape);

    // Too wide even across: smaller type, text cut short, the figures whole.
    const double width = PageCanvas::pt(across.paintRect(QPageLayout::Point).width());
    const TableLayout layout(wide, Formats(), QString(), QSizeF(width, PageCanvas::pt(520)));
    EXPECT_LT(layout.fontSize(), 9);
    TextRecorder page(QSizeF(width / 10, 520));
    {
        PageCanvas canvas(&page);
        layout.paintPage(canvas.painter(), 0);
    }
    EXPECT_TRUE(page.has(QStringLiteral("2.00")));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
    PdfOutput::writeTable(pdf, longTable(120, 2), Formats(), QStringLiteral("第三建筑公司"));
    EXPECT_GT(pdfPages(pdf), 2);
}

} // namespace
