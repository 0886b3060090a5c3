#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "print/screens/printing.h"
#include "print/screens/reportwindow.h"
#include "reports/materialledger.h"
#include "reports/screens/frmbbdbb.h"
#include "reports/screens/frmrkcxbb.h"
#include "reports/screens/frmrkgysbb.h"
#include "reports/screens/frmxhtj.h"
#include "reports/screens/fxjdcl.h"
#include "reports/screens/statisticparts.h"
#include "reports/statistics.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "support/workbookreader.h"
#include "widgets/datepicker.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;
using varnock::test::WorkbookReader;

namespace {

const QString A = QStringLiteral("1001001");

// January's books under moving average: an opening closing at the end of December, a
// receipt, a requisition and a transfer out, January closed.
class StatisticScreens : public ::testing::Test
{
protected:
    StatisticScreens()
    {
        Clock::setToday(QDate(2026, 2, 5));
        Printing::setup().dataFolder = DataFolder(m_set.folder());
        Printing::setup().exportFolder = QDir(m_set.folder()).filePath(QStringLiteral("exports"));
        Printing::setup().openFile = [this](const QString &file) {
            opened << file;
            return true;
        };
        m_set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        m_set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        m_set.addMaterial(A, QStringLiteral("螺纹钢"), QStringLiteral("1001"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("钢材公司"));
        for (int i = 1; i <= 5; ++i)
            m_set.addUnit(QStringLiteral("U%1").arg(i), QStringLiteral("%1工区").arg(i));
        const int mode = CostEngine::MovingAverage;
        seed.opening(A, dec("10"), dec("50"));
        MonthEnd(m_set.db(), mode, formats).close(QDate(2025, 12, 31));
        Posting posting(m_set.db(), mode, formats);
        seed.receipt(1, A, dec("5"), dec("30"));
        posting.post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
        seed.issue(1, A, dec("3"), dec("5.3333"), dec("16"));
        posting.post(Posting::Family::Issue, QStringLiteral("1"), 1);
        seed.issue(2, A, dec("1"), dec("5.3333"), dec("5.33"));
        m_set.db().exec(QStringLiteral("UPDATE LLD SET ZL = '2', LLDWBH = 'U2' WHERE XTBH = 2"));
        posting.post(Posting::Family::Issue, QStringLiteral("2"), 2);
        MonthEnd(m_set.db(), mode, formats).close(QDate(2026, 1, 31));
    }
    ~StatisticScreens() override
    {
        Printing::setup() = Printing::Setup{};
        Clock::setToday(std::nullopt);
    }

    QList<ReportWindow *> windows() const { return m_parent.findChildren<ReportWindow *>(); }
    // Sets the period to January.
    static void january(DatePicker *from, DatePicker *to)
    {
        from->setDate(QDate(2026, 1, 1));
        to->setDate(QDate(2026, 1, 31));
    }
    static void doubleClick(ReportWindow *window, int row)
    {
        QTableView *view = window->view();
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        // A double click acts on the row the press chose.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString lastRowName() const
    {
        const ReportTable &t = windows().last()->table();
        return t.displayText(t.rowCount() - 1, 1, formats);
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed{m_set.db()};
    Formats formats;
    QWidget m_parent;
    QStringList opened;
};

TEST_F(StatisticScreens, TheReceiptsOpenAtTheChosenLevelAndGoToAWorkbook)
{
    RecordingSink sink;
    FrmRKCXBB screen(m_set.db(), CostEngine::MovingAverage, formats, Movement::Receipts, &m_parent);
    EXPECT_EQ(screen.startDate()->date(), QDate(2026, 2, 1));
    test::keepPicture(&screen, QStringLiteral("FrmRKCXBB"));
    screen.startDate()->setDate(QDate(2026, 3, 1));
    test::click(screen.buttons(), FrmRKCXBB::Confirm);
    EXPECT_EQ(sink.lastText(), Statistics::DatesText);
    EXPECT_TRUE(windows().isEmpty());

    january(screen.startDate(), screen.endDate());
    StatisticParts::choose(screen.levels(), 1);
    test::click(screen.buttons(), FrmRKCXBB::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.name(), Statistics::ReceiptsName);
    EXPECT_EQ(t.displayText(0, 1, formats), QStringLiteral("钢筋"));
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("SJJE")), formats),
              QStringLiteral("30.00"));
    windows().first()->resize(900, 300);
    test::keepPicture(windows().first(), QStringLiteral("CLrKCXBB"));

    test::click(windows().first()->buttons(), ReportWindow::Export);
    ASSERT_EQ(opened.size(), 1);
    const auto book = WorkbookReader::read(opened.first());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("A2")), Statistics::ReceiptsTitle);
    EXPECT_EQ(book->text(QStringLiteral("F4")), QStringLiteral("入库数量"));
    EXPECT_EQ(book->text(QStringLiteral("B5")), QStringLiteral("钢筋"));

    // Category rows lead nowhere; at the materials' level a material opens its ledger.
    doubleClick(windows().first(), 0);
    ASSERT_EQ(windows().size(), 1);
    StatisticParts::choose(screen.levels(), 0);
    test::click(screen.buttons(), FrmRKCXBB::Confirm);
    ASSERT_EQ(windows().size(), 2);
    ReportWindow *materials = windows().last();
    doubleClick(materials, materials->table().rowCount() - 1);
    EXPECT_EQ(windows().size(), 2);
    doubleClick(materials, 0);
    ASSERT_EQ(windows().size(), 3);
    EXPECT_EQ(windows().last()->table().name(), MaterialLedger::Name);
    EXPECT_EQ(windows().last()->table().period()->from, QDate(2026, 1, 1));

    // The issues' screen builds the issues.
    FrmRKCXBB issues(m_set.db(), CostEngine::MovingAverage, formats, Movement::Issues, &m_parent);
    january(issues.startDate(), issues.endDate());
    test::click(issues.buttons(), FrmRKCXBB::Confirm);
    ASSERT_EQ(windows().size(), 4);
    EXPECT_EQ(windows().last()->table().name(), Statistics::IssuesName);
    EXPECT_EQ(lastRowName(), QStringLiteral("全部材料  总计"));
}

TEST_F(StatisticScreens, TheTransfersGoInOrOut)
{
    RecordingSink sink;
    FrmBBdbb screen(m_set.db(), CostEngine::MovingAverage, formats, &m_parent);
    test::keepPicture(&screen, QStringLiteral("FrmBBdbb"));
    january(screen.startDate(), screen.endDate());
    // Nothing came in by transfer.
    test::click(screen.buttons(), FrmBBdbb::Confirm);
    EXPECT_EQ(sink.lastText(), QStringLiteral("没有记录！"));
    EXPECT_TRUE(windows().isEmpty());

    StatisticParts::choose(screen.directions(), 1);
    StatisticParts::choose(screen.levels(), 2);
    test::click(screen.buttons(), FrmBBdbb::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.displayText(0, 1, formats), QStringLiteral("钢材"));
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("SJSL")), formats),
              QStringLiteral("1.00"));
    EXPECT_EQ(lastRowName(), QStringLiteral("全部材料"));
}

TEST_F(StatisticScreens, UnitsSideBySideAtMostFive)
{
    RecordingSink sink;
    FrmRkgysbb screen(m_set.db(), CostEngine::MovingAverage, formats, StatisticParty::Units,
                      &m_parent);
    ASSERT_EQ(screen.entries()->count(), 6);
    EXPECT_EQ(screen.entries()->item(0)->text(), Statistics::AllEntries);
    test::keepPicture(&screen, QStringLiteral("FrmRkgysbb"));
    january(screen.startDate(), screen.endDate());
    test::click(screen.buttons(), FrmRkgysbb::Confirm);
    EXPECT_EQ(sink.lastText(), Statistics::NoEntryText);
    for (int i = 0; i < 6; ++i)
        screen.entries()->item(i)->setSelected(true);
    test::click(screen.buttons(), FrmRkgysbb::Confirm);
    EXPECT_EQ(sink.lastText(), Statistics::TooManyText);
    EXPECT_TRUE(windows().isEmpty());

    screen.entries()->clearSelection();
    screen.entries()->item(1)->setSelected(true);
    test::click(screen.buttons(), FrmRkgysbb::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.name(), Statistics::ByUnitName);
    EXPECT_EQ(t.columns().at(t.columnOf(QStringLiteral("SL1"))).heading,
              QStringLiteral("1工区数量"));
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("SL1")), formats), QStringLiteral("3.00"));
    windows().first()->resize(1200, 300);
    test::keepPicture(windows().first(), QStringLiteral("lldwll"));

    FrmRkgysbb suppliers(m_set.db(), CostEngine::MovingAverage, formats, StatisticParty::Suppliers,
                         &m_parent);
    ASSERT_EQ(suppliers.entries()->count(), 2);
    EXPECT_EQ(suppliers.entries()->item(1)->text(), QStringLiteral("G1  钢材公司"));
}

TEST_F(StatisticScreens, TheConsumptionOfAMonth)
{
    FrmXHTJ screen(m_set.db(), CostEngine::MovingAverage, formats, &m_parent);
    test::keepPicture(&screen, QStringLiteral("FrmXHTJ"));
    january(screen.startDate(), screen.endDate());
    test::click(screen.buttons(), FrmXHTJ::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.title(), QStringLiteral("1 月份物资消耗统计表"));
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("BYJE")), formats),
              QStringLiteral("16.00"));
    EXPECT_EQ(lastRowName(), QStringLiteral("全部材料 总计"));
}

TEST_F(StatisticScreens, BetweenMonthEndsFromTheirList)
{
    RecordingSink sink;
    FxJDCL screen(m_set.db(), CostEngine::MovingAverage, formats, FxJDCL::Report::Quarterly,
                  &m_parent);
    ASSERT_EQ(screen.startClosing()->count(), 2);
    EXPECT_EQ(screen.startClosing()->currentText(), QStringLiteral("2025-12-31"));
    EXPECT_EQ(screen.endClosing()->currentText(), QStringLiteral("2026-01-31"));
    EXPECT_TRUE(screen.period()->text().contains(QStringLiteral("2026-01-01 至 2026-01-31")));
    test::keepPicture(&screen, QStringLiteral("FxJDCL"));

    screen.startClosing()->setCurrentIndex(1);
    test::click(screen.buttons(), FxJDCL::Confirm);
    EXPECT_EQ(sink.lastText(), Statistics::InvalidPeriodText);
    EXPECT_EQ(sink.shown.back().title, Statistics::WarningTitle);
    screen.startClosing()->setCurrentIndex(0);
    test::click(screen.buttons(), FxJDCL::Confirm);
    ASSERT_EQ(windows().size(), 1);
    EXPECT_EQ(windows().first()->table().name(), Statistics::QuarterlyName);

    FxJDCL funds(m_set.db(), CostEngine::MovingAverage, formats, FxJDCL::Report::FundsBalance,
                 &m_parent);
    EXPECT_EQ(funds.windowTitle(), Statistics::BalanceTitle);
    test::click(funds.buttons(), FxJDCL::Confirm);
    ASSERT_EQ(windows().size(), 2);
    const ReportTable &t = windows().last()->table();
    EXPECT_EQ(t.name(), Statistics::BalanceName);
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("BYSL")), formats),
              QStringLiteral("11.00"));
    windows().last()->resize(1200, 300);
    test::keepPicture(windows().last(), QStringLiteral("clzcz"));
}

} // namespace
