#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "print/screens/printing.h"
#include "reports/ledgerquery.h"
#include "reports/screens/formpmcxct.h"
#include "reports/screens/formpmcxjg.h"
#include "reports/screens/formtjcxct.h"
#include "reports/screens/reportscreens.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "support/workbookreader.h"
#include "vouchers/screens/stockinscreens.h"
#include "vouchers/screens/voucherentryscreen.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/lookupedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;
using varnock::test::WorkbookReader;

namespace {

const QString A = QStringLiteral("1001001");

// Opened with 10 of A for 50 and closed on 2026-01-31; 5 more for 30 bought from G1 in
// February and posted. Today 2026-02-10, in the main window with every right.
class QueryScreens : public ::testing::Test
{
protected:
    QueryScreens()
        : seed(m_set.db())
    {
        Clock::setToday(QDate(2026, 2, 10));
        Printing::setup().dataFolder = DataFolder(m_set.folder());
        Printing::setup().exportFolder = QDir(m_set.folder()).filePath(QStringLiteral("exports"));
        Printing::setup().openFile = [this](const QString &file) {
            opened << file;
            return true;
        };
        m_set.setMode(CostEngine::MovingAverage);
        m_set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        m_set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        m_set.addMaterial(A, QStringLiteral("螺纹钢"), QStringLiteral("1001"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        seed.opening(A, dec("10"), dec("50"));
        MonthEnd(m_set.db(), CostEngine::MovingAverage, {}).close(QDate(2026, 1, 31));
        seed.receipt(1, A, dec("5"), dec("30"));
        m_set.db().exec(QStringLiteral("UPDATE RKD SET CZRQ = '2026-02-05' WHERE XTBH = 1"));
        seed.post(QStringLiteral("RKD"), 1);

        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), CostEngine::MovingAverage);
        registerReportScreens(m_dispatcher->registry());
        registerStockInScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
        // Opened vouchers are found as the active sub-window.
        m_main.show();
    }
    ~QueryScreens() override
    {
        Printing::setup() = Printing::Setup{};
        Clock::setToday(std::nullopt);
    }

    template <typename T> T *open(const char *command)
    {
        m_main.action(QString::fromLatin1(command))->trigger();
        return m_main.findChild<T *>();
    }
    QWidget *activeScreen() { return MDIFrmMain::screenOf(m_main.mdiArea()->activeSubWindow()); }

    static void doubleClick(QTableView *view, int row)
    {
        const QRect cell = view->visualRect(view->model()->index(row, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
    QStringList opened;
};

} // namespace

TEST_F(QueryScreens, TheConditionQueryChecksThenShowsOpensExportsAndPrints)
{
    RecordingSink sink;
    auto *screen = open<FormTJCXCT>("TJCX");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->kinds()->count(), 17);
    EXPECT_EQ(screen->kinds()->currentIndex(), -1);
    EXPECT_EQ(screen->startDate()->date(), QDate(2026, 2, 1));
    screen->parentWidget()->resize(700, 420);
    test::keepPicture(screen, QStringLiteral("FormTJCXCT"));

    test::click(screen->buttons(), FormTJCXCT::Query);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择选择帐类"));
    screen->kinds()->setCurrentIndex(LedgerQuery::Purchase);
    EXPECT_EQ(screen->numberLabel()->text(), QStringLiteral("入库编号"));
    screen->startDate()->setDate(QDate(2026, 2, 11));
    test::click(screen->buttons(), FormTJCXCT::Query);
    EXPECT_EQ(sink.shown.back().title, QStringLiteral("提示窗口"));
    EXPECT_EQ(sink.lastText(), QStringLiteral("起始日期应小于终止日期"));
    EXPECT_EQ(m_main.findChildren<FormPMCXJG *>().size(), 0);

    screen->startDate()->setDate(QDate(2026, 2, 1));
    screen->supplier()->setText(QStringLiteral("G1"));
    test::click(screen->buttons(), FormTJCXCT::Query);
    auto *result = m_main.findChild<FormPMCXJG *>();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->windowTitle(), QStringLiteral("账务信息-[按F2打印]"));
    const QAbstractItemModel *model = result->view()->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("已记帐"));
    EXPECT_EQ(model->index(0, 6).data().toString(), QStringLiteral("采购入库"));
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("合计："));
    EXPECT_TRUE(result->view()->isColumnHidden(18));
    result->parentWidget()->resize(1260, 400);
    test::keepPicture(result, QStringLiteral("FormPMCXJG"));

    // The workbook "信息查询结果" with the day it was made; CX_TEMP holds the row.
    test::click(result->buttons(), ReportWindow::Export);
    ASSERT_EQ(opened.size(), 1);
    const auto book = WorkbookReader::read(opened.first());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("A2")), QStringLiteral("信息查询结果"));
    EXPECT_EQ(book->text(QStringLiteral("A5")), QStringLiteral("打印日期"));
    EXPECT_EQ(book->text(QStringLiteral("B5")), QStringLiteral("2026-02-10"));
    EXPECT_EQ(book->text(QStringLiteral("A7")), QStringLiteral("螺纹钢"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("J7"))->number, 30.0);
    EXPECT_EQ(book->text(QStringLiteral("A8")), QStringLiteral("合计："));
    EXPECT_EQ(m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CX_TEMP")).toInt(), 1);

    // F2 prints: the preview of the printed result.
    bool previewed = false;
    test::whenModal<QPrintPreviewDialog>([&previewed](QPrintPreviewDialog *d) {
        previewed = true;
        d->reject();
    });
    result->view()->setFocus();
    QTest::keyClick(result->view(), Qt::Key_F2);
    EXPECT_TRUE(previewed);

    // A double click opens the voucher in its entry screen.
    doubleClick(result->view(), 0);
    auto *entry = qobject_cast<VoucherEntryScreen *>(activeScreen());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->objectName(), QStringLiteral("FrmCgrkd"));
    EXPECT_EQ(entry->stateLabel()->text(), QStringLiteral("已记帐"));

    // Nothing found: the window shows the total only and exports nothing.
    screen->kinds()->setCurrentIndex(LedgerQuery::Provisional);
    test::click(screen->buttons(), FormTJCXCT::Query);
    FormPMCXJG *empty = nullptr;
    for (FormPMCXJG *w : m_main.findChildren<FormPMCXJG *>())
        empty = w != result ? w : empty;
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->view()->model()->rowCount(), 1);
    test::click(empty->buttons(), ReportWindow::Export);
    EXPECT_EQ(sink.lastText(), QStringLiteral("没有记录!"));
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(QueryScreens, TheItemQueryTakesACategoryOrAMaterial)
{
    RecordingSink sink;
    auto *screen = open<FormPMCXCT>("PMCX");
    ASSERT_NE(screen, nullptr);
    QTreeWidget *tree = screen->categories();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("全部材料"));
    EXPECT_EQ(screen->materials()->count(), 1);
    screen->parentWidget()->resize(700, 440);
    test::keepPicture(screen, QStringLiteral("FormPMCXCT"));

    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(screen->materials()->count(), 1);
    EXPECT_EQ(screen->materials()->currentIndex(), -1);
    test::click(screen->buttons(), FormPMCXCT::Query);
    auto *result = m_main.findChild<FormPMCXJG *>();
    ASSERT_NE(result, nullptr);
    const QAbstractItemModel *model = result->view()->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 6).data().toString(), QStringLiteral("上期结转"));
    EXPECT_EQ(model->index(0, 9).data().toString(), QStringLiteral("10.00"));
    EXPECT_EQ(model->index(1, 6).data().toString(), QStringLiteral("采购入库"));
    EXPECT_EQ(model->index(2, 9).data().toString(), QStringLiteral("15.00"));

    // The carried-over stock opens nothing.
    const int before = int(m_main.mdiArea()->subWindowList().size());
    doubleClick(result->view(), 0);
    EXPECT_EQ(m_main.mdiArea()->subWindowList().size(), before);
    EXPECT_TRUE(sink.shown.empty());
}
