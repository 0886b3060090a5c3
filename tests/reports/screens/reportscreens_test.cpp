#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "print/screens/printing.h"
#include "print/screens/reportwindow.h"
#include "reports/materialledger.h"
#include "reports/multisetreport.h"
#include "reports/screens/frmcllsz.h"
#include "reports/screens/frmjxchz.h"
#include "reports/screens/frmjxcmx.h"
#include "reports/screens/fxjxcz.h"
#include "reports/stockreport.h"
#include "shell/accountsets.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "support/workbookreader.h"
#include "widgets/datepicker.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;
using varnock::test::WorkbookReader;

namespace {

const QString A = QStringLiteral("1001001");

class ReportScreens : public ::testing::Test
{
protected:
    ReportScreens()
    {
        Clock::setToday(QDate(2026, 1, 20));
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
        m_set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        m_set.addUnit(QStringLiteral("U2"), QStringLiteral("二工区"));
        m_set.addUnit(QStringLiteral("U3"), QStringLiteral("三工区"));
        Posting posting(m_set.db(), CostEngine::MovingAverage, formats);
        seed.opening(A, dec("10"), dec("50"));
        seed.receipt(1, A, dec("5"), dec("30"));
        posting.post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
        seed.issue(1, A, dec("3"), dec("5.3333"), dec("16"));
        posting.post(Posting::Family::Issue, QStringLiteral("1"), 1);
    }
    ~ReportScreens() override
    {
        Printing::setup() = Printing::Setup{};
        Clock::setToday(std::nullopt);
    }

    QList<ReportWindow *> windows() const { return m_parent.findChildren<ReportWindow *>(); }

    static void choose(QListWidget *list, const QStringList &texts)
    {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setSelected(texts.contains(list->item(i)->text()));
    }

    static void doubleClick(ReportWindow *window, int row)
    {
        QTableView *view = window->view();
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        // A double click acts on the row the press chose.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed{m_set.db()};
    Formats formats;
    QWidget m_parent;
    QStringList opened;
};

TEST_F(ReportScreens, TheDetailOpensInAWindowExportsAndLeadsToTheLedger)
{
    RecordingSink sink;
    FrmJxcmx screen(m_set.db(), CostEngine::MovingAverage, formats, &m_parent);
    EXPECT_EQ(screen.startDate()->date(), QDate(2026, 1, 1));
    EXPECT_EQ(screen.units()->item(screen.units()->count() - 1)->text(),
              QStringLiteral("调拨合计"));
    screen.level1()->setCurrentIndex(1);
    EXPECT_EQ(screen.level2()->count(), 2); // all, and 钢筋
    test::keepPicture(&screen, QStringLiteral("FrmJxcmx"));

    // A fourth unit and a start after the end are refused; nothing opens.
    choose(screen.units(), {"U1  一工区", "U2  二工区", "U3  三工区", "调拨合计"});
    test::click(screen.buttons(), FrmJxcmx::Confirm);
    EXPECT_EQ(sink.lastText(), StockReport::TooManyUnitsText);
    choose(screen.units(), {"U2  二工区", "U1  一工区"});
    screen.startDate()->setDate(QDate(2026, 2, 1));
    test::click(screen.buttons(), FrmJxcmx::Confirm);
    EXPECT_EQ(sink.lastText(), StockReport::DetailDatesText);
    EXPECT_TRUE(windows().isEmpty());

    screen.startDate()->setDate(QDate(2026, 1, 1));
    test::click(screen.buttons(), FrmJxcmx::Confirm);
    ASSERT_EQ(windows().size(), 1);
    ReportWindow *report = windows().first();
    // The unit columns are headed by the units chosen, in list order; figures right-aligned.
    const QAbstractItemModel *model = report->view()->model();
    const int u1 = report->table().columnOf(QStringLiteral("LLSL1"));
    EXPECT_EQ(model->headerData(u1, Qt::Horizontal).toString(), QStringLiteral("一工区数量"));
    EXPECT_EQ(model->index(0, 0).data().toString(), A);
    EXPECT_EQ(model->index(0, u1).data().toString(), QStringLiteral("3.00"));
    EXPECT_TRUE(model->index(0, u1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    report->resize(1200, 500);
    test::keepPicture(report, QStringLiteral("JXCMX"));

    // The workbook, in the report's own layout, the first of four: the template's heading
    // takes the unit's name.
    QMenu *layouts = report->buttons()->button(ReportWindow::Export)->menu();
    ASSERT_NE(layouts, nullptr);
    ASSERT_EQ(layouts->actions().size(), 4);
    EXPECT_EQ(layouts->actions().at(1)->text(), QStringLiteral("材料进销存移动月报"));
    layouts->actions().first()->trigger();
    ASSERT_EQ(opened.size(), 1);
    const auto book = WorkbookReader::read(opened.first());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("J4")), QStringLiteral("一工区数量"));
    EXPECT_EQ(book->text(QStringLiteral("A5")), A);
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("J5"))->number, 3.0);
    EXPECT_EQ(book->frozenAt(), QStringLiteral("A5"));

    // Print preview draws the pages.
    int pages = 0;
    test::whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
        preview->reject();
    });
    test::click(report->buttons(), ReportWindow::Preview);
    EXPECT_GE(pages, 1);

    // A material row opens its ledger for the same period; a total row opens nothing.
    doubleClick(report, model->rowCount() - 1);
    EXPECT_EQ(windows().size(), 1);
    doubleClick(report, 0);
    ASSERT_EQ(windows().size(), 2);
    const ReportTable &ledger = windows().last()->table();
    EXPECT_EQ(ledger.name(), MaterialLedger::Name);
    EXPECT_EQ(ledger.period()->from, QDate(2026, 1, 1));
    EXPECT_EQ(
        ledger.displayText(ledger.rowCount() - 1, ledger.columnOf(QStringLiteral("JCSL")), formats),
        QStringLiteral("12.00"));
}

TEST_F(ReportScreens, TheSummaryRefusesAnEmptyPeriodAndOpensItsRows)
{
    RecordingSink sink;
    FrmJxchz screen(m_set.db(), CostEngine::MovingAverage, formats, &m_parent);
    test::keepPicture(&screen, QStringLiteral("FrmJxchz"));
    screen.startDate()->setDate(QDate(2026, 2, 1));
    test::click(screen.buttons(), FrmJxchz::Confirm);
    EXPECT_EQ(sink.lastText(), StockReport::SummaryDatesText);
    EXPECT_TRUE(windows().isEmpty());

    screen.startDate()->setDate(QDate(2026, 1, 1));
    choose(screen.units(), {"调拨合计"});
    test::click(screen.buttons(), FrmJxchz::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.name(), StockReport::SummaryName);
    EXPECT_EQ(t.displayText(0, 1, formats), QStringLiteral("钢筋"));
    EXPECT_EQ(t.columns().at(t.columnOf(QStringLiteral("LLJE1"))).heading,
              QStringLiteral("调拨合计金额"));
}

TEST_F(ReportScreens, TheLedgerScreenAsksForAMaterialAndStartsAfterAClosing)
{
    RecordingSink sink;
    FrmCllsz screen(m_set.db(), CostEngine::MovingAverage, formats, &m_parent);
    EXPECT_EQ(screen.categories()->topLevelItem(0)->text(0), QStringLiteral("全部材料"));
    EXPECT_EQ(screen.materials()->count(), 1);
    test::keepPicture(&screen, QStringLiteral("FrmCllsz"));

    test::click(screen.buttons(), FrmCllsz::Query);
    EXPECT_EQ(sink.lastText(), MaterialLedger::NoMaterialText);
    screen.materials()->setCurrentIndex(0);
    screen.endDate()->setDate(QDate(2025, 12, 31));
    test::click(screen.buttons(), FrmCllsz::Query);
    EXPECT_EQ(sink.lastText(), MaterialLedger::DatesText);
    EXPECT_TRUE(windows().isEmpty());

    screen.endDate()->setDate(QDate(2026, 1, 20));
    test::click(screen.buttons(), FrmCllsz::Query);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.displayText(1, t.columnOf(QStringLiteral("ZY")), formats),
              MaterialLedger::CarriedOver);
    EXPECT_EQ(t.displayText(1, t.columnOf(QStringLiteral("JCSL")), formats),
              QStringLiteral("10.00"));
    windows().first()->resize(1000, 400);
    test::keepPicture(windows().first(), QStringLiteral("CLLSZ"));
}

TEST_F(ReportScreens, AcrossSetsTheSetsThatCannotBeReadAreNamed)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    std::unique_ptr<Database> master = MasterDatabase::ensure(folder);
    NewAccountSet r;
    r.number = 3;
    r.name = QStringLiteral("三号工地");
    r.password = QStringLiteral("p");
    r.date = QDate(2026, 1, 1);
    AccountSets(*master, folder).create(r);
    {
        Database three(folder.accountSetDatabasePath(3));
        three.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, JZDW, SFMJ) "
                                  "VALUES ('9001001', '0', '钢管', '根', 1)"));
        test::LedgerSeed(three).opening(QStringLiteral("9001001"), dec("4"), dec("20"));
    }
    master->exec(QStringLiteral("INSERT INTO ZTXX (BH, ZTMC) VALUES (9, '丢失的账套')"));

    RecordingSink sink;
    FXJXCZ screen(m_set.db(), folder, formats, &m_parent);
    ASSERT_EQ(screen.sets()->count(), 2);
    test::keepPicture(&screen, QStringLiteral("FXJXCZ"));
    test::click(screen.buttons(), FXJXCZ::Confirm);
    EXPECT_EQ(sink.lastText(), FXJXCZ::NoSetText);

    choose(screen.sets(), {"3  三号工地", "9  丢失的账套"});
    test::click(screen.buttons(), FXJXCZ::Confirm);
    ASSERT_GE(sink.shown.size(), 2u);
    EXPECT_TRUE(sink.shownTexts().join('\n').contains(QStringLiteral("9 丢失的账套")));
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.name(), MultiSetReport::Name);
    EXPECT_EQ(t.displayText(0, 0, formats), QStringLiteral("三号工地"));
    EXPECT_EQ(t.displayText(0, t.columnOf(QStringLiteral("SYSL")), formats),
              QStringLiteral("4.00"));
}

} // namespace
