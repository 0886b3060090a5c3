#include "ledger/adjustmentlinemodel.h"
#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/postinggridmodel.h"
#include "ledger/screens/bookscreens.h"
#include "ledger/screens/fdz.h"
#include "ledger/screens/fkvmtcx.h"
#include "ledger/screens/formkcpd.h"
#include "ledger/screens/frmbbkcqd.h"
#include "ledger/screens/frmgysqk.h"
#include "ledger/screens/frmgysqkcx.h"
#include "ledger/screens/frmgysqkcxjg.h"
#include "ledger/screens/reportdatedialog.h"
#include "ledger/stockcountmodel.h"
#include "master/materiallookup.h"
#include "print/screens/reportwindow.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmma.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString A = QStringLiteral("0101");

// Opened with 10 of A at 100 and closed on 2026-01-31; 5 more for 60 bought from G1 in
// February and posted. Today 2026-02-10, logged in as operator 1 with every right.
class BookScreens : public ::testing::Test
{
protected:
    BookScreens()
        : seed(m_set.db())
    {
        Clock::setToday(QDate(2026, 2, 10));
        m_set.setMode(CostEngine::MovingAverage);
        m_set.addMaterial(A, QStringLiteral("水泥"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        seed.opening(A, dec("10"), dec("100"));
        MonthEnd(m_set.db(), CostEngine::MovingAverage, {}).close(QDate(2026, 1, 31));
        seed.receipt(1, A, dec("5"), dec("60"));
        m_set.db().exec(QStringLiteral("UPDATE RKD SET GYSBH = 'G1', CZRQ = '2026-02-05' "
                                       "WHERE XTBH = 1"));
        seed.post(QStringLiteral("RKD"), 1);
        m_set.db().exec(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                        {dec("15").toVariant(), dec("160").toVariant(), A});

        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), CostEngine::MovingAverage);
        registerBookScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
    }
    ~BookScreens() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(m_set.db(), CostEngine::MovingAverage, {});
    }

    template <typename T> T *open(const char *command)
    {
        m_main.action(QString::fromLatin1(command))->trigger();
        return m_main.findChild<T *>();
    }
    QStringList log()
    {
        QStringList texts;
        QSqlQuery q = m_set.db().exec(QStringLiteral("SELECT CZXX FROM CZRZ ORDER BY ID"));
        while (q.next())
            texts << q.value(0).toString();
        return texts;
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

TEST_F(BookScreens, CountBooksTheTypedQuantities)
{
    auto *screen = open<FormKCPD>("KCPD");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(log(), QStringList{QStringLiteral("库存盘点")});
    ASSERT_EQ(screen->model()->rowCount(), 1);
    EXPECT_EQ(screen->model()->index(0, StockCountModel::BookQuantity).data().toString(),
              QStringLiteral("15.00"));

    // A comparison without a value compares with 0, after saying so.
    RecordingSink sink;
    screen->quantityOperator()->setCurrentText(QStringLiteral(">"));
    QTest::mouseClick(screen->findButton(), Qt::LeftButton);
    EXPECT_EQ(sink.shownTexts(), QStringList{StockCount::NoQuantityText});
    EXPECT_EQ(screen->model()->rowCount(), 1);

    screen->model()->setData(screen->model()->index(0, StockCountModel::Counted),
                             QStringLiteral("12"));
    test::keepPicture(screen, QStringLiteral("FormKCPD"));
    test::click(screen->buttons(), FormKCPD::Save);
    EXPECT_EQ(seed.kc(A).quantity, dec("12"));
    EXPECT_EQ(seed.kc(A).amount, dec("128"));
    // The grid shows the books as they are now, nothing counted.
    EXPECT_EQ(screen->model()->index(0, StockCountModel::BookQuantity).data().toString(),
              QStringLiteral("12.00"));
    EXPECT_TRUE(screen->model()->counted().isEmpty());
}

TEST_F(BookScreens, PaymentAndItsList)
{
    auto *screen = open<FrmGYSQK>("GYSFK");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(log(), QStringList{QStringLiteral("供应商付款")});
    screen->supplier()->setCurrentIndex(0);
    EXPECT_EQ(screen->owed()->text(), QStringLiteral("60.00"));
    EXPECT_EQ(screen->remaining()->text(), QStringLiteral("60.00"));
    EXPECT_TRUE(screen->settled()->text().isEmpty());

    RecordingSink sink;
    screen->amount()->setText(QStringLiteral("60.01"));
    test::click(screen->buttons(), FrmGYSQK::Pay);
    EXPECT_EQ(sink.shownTexts(), QStringList{SupplierPayments::WrongAmountText});
    screen->amount()->setText(QStringLiteral("60"));
    test::keepPicture(screen, QStringLiteral("FrmGYSQK"));
    test::click(screen->buttons(), FrmGYSQK::Pay);
    EXPECT_EQ(screen->paid()->text(), QStringLiteral("60.00"));
    EXPECT_EQ(screen->settled()->text(), SupplierPayments::SettledText);

    test::click(screen->buttons(), FrmGYSQK::Find);
    auto *list = m_main.findChild<FrmGysqkcxjg *>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->model()->rowCount(), 1);
    test::keepPicture(list, QStringLiteral("FrmGysqkcxjg"));
    // The conditions' two dates stand in their frame.
    test::whenModal<FrmGysqkcx>([](FrmGysqkcx *conditions) {
        const auto *frame = conditions->findChild<QGroupBox *>(QStringLiteral("Frame1"));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->title(), QStringLiteral("查询日期"));
        EXPECT_EQ(conditions->startDate()->parentWidget(), frame);
        EXPECT_EQ(conditions->endDate()->parentWidget(), frame);
        test::keepPicture(conditions, QStringLiteral("FrmGysqkcx"));
        conditions->reject();
    });
    list->buttons()->button(FrmGysqkcxjg::Find)->click();
    ASSERT_EQ(list->model()->rowCount(), 1);
    list->view()->setCurrentIndex(list->model()->index(0, 0));
    test::whenModal<FrmMa>([](FrmMa *prompt) {
        prompt->passwordField()->insert(QStringLiteral("admin"));
        QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
    });
    test::click(list->buttons(), FrmGysqkcxjg::Delete);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("您确定要删除该笔还款吗？")});
    EXPECT_EQ(list->model()->rowCount(), 0);
}

TEST_F(BookScreens, AdjustmentEnteredAndDeleted)
{
    auto *screen = open<FDZ>("CLKVMT");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->stateLabel()->text(), QStringLiteral("凭证浏览"));
    test::click(screen->buttons(), FDZ::Add);
    EXPECT_EQ(screen->stateLabel()->text(), QStringLiteral("凭证增加"));
    ASSERT_EQ(screen->model()->rowCount(), 1);
    const auto material = MaterialLookup(m_set.db()).find(A);
    ASSERT_TRUE(material);
    ASSERT_TRUE(screen->model()->setMaterial(0, *material));
    screen->model()->setData(screen->model()->index(0, AdjustmentLineModel::Amount),
                             QStringLiteral("-50"));
    screen->project()->setText(QStringLiteral("一号楼"));
    test::keepPicture(screen, QStringLiteral("FDZ"));
    test::click(screen->buttons(), FDZ::Save);
    EXPECT_EQ(screen->stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(seed.kc(A).amount, dec("110"));
    ASSERT_EQ(screen->model()->rowCount(), 1);
    EXPECT_EQ(screen->model()->index(0, AdjustmentLineModel::Stock).data().toString(),
              QStringLiteral("110.00"));

    RecordingSink sink;
    screen->grid()->setCurrentIndex(screen->model()->index(0, AdjustmentLineModel::Code));
    test::click(screen->buttons(), FDZ::Delete);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("您确定要删除该记录吗？")});
    EXPECT_EQ(seed.kc(A).amount, dec("160"));
    EXPECT_EQ(screen->model()->rowCount(), 0);
}

TEST_F(BookScreens, ArrearsReportOpensInAReportWindow)
{
    test::whenModal<ReportDateDialog>([](ReportDateDialog *dialog) {
        test::keepPicture(dialog, QStringLiteral("FrmRq"));
        test::click(dialog->buttons(), ReportDateDialog::Ok);
    });
    m_main.action(QStringLiteral("GYSQK"))->trigger();
    auto *window = m_main.findChild<ReportWindow *>();
    ASSERT_NE(window, nullptr);
    // The total row first, then the supplier.
    ASSERT_EQ(window->table().rowCount(), 2);
    EXPECT_EQ(window->table().figureAt(1, window->table().columnOf(QStringLiteral("BYQK"))),
              dec("60"));
    test::keepPicture(window, QStringLiteral("GYSQK"));
}

TEST_F(BookScreens, StockListAndAdjustmentQuery)
{
    test::whenModal<FrmBBkcqd>([](FrmBBkcqd *dialog) {
        dialog->option(0)->setChecked(true);
        test::keepPicture(dialog, QStringLiteral("FrmBBkcqd"));
        test::click(dialog->buttons(), FrmBBkcqd::Ok);
    });
    m_main.action(QStringLiteral("LDZCQDB"))->trigger();
    auto *window = m_main.findChild<ReportWindow *>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->table().name(), QStringLiteral("流动资产清点表"));

    AmountAdjustments(m_set.db())
        .add(QDate(2026, 2, 3), {}, {{A, dec("5"), QStringLiteral("差价")}});
    auto *screen = open<FDZ>("CLKVMT");
    ASSERT_NE(screen, nullptr);
    test::click(screen->buttons(), FDZ::Find);
    auto *query = m_main.findChild<Fkvmtcx *>();
    ASSERT_NE(query, nullptr);
    RecordingSink sink;
    query->startDate()->setDate(QDate(2026, 2, 11));
    test::click(query->buttons(), Fkvmtcx::Find);
    EXPECT_EQ(sink.shownTexts(), QStringList{QStringLiteral("起始日期不可大以终始日期")});
    query->startDate()->setDate(QDate(2026, 2, 1));
    query->remark()->setText(QStringLiteral("差价"));
    test::click(query->buttons(), Fkvmtcx::Find);
    ASSERT_EQ(query->model()->rowCount(), 1);
    test::keepPicture(query, QStringLiteral("Fkvmtcx"));
    // Back to the books as they were.
    AmountAdjustments(m_set.db()).remove(query->model()->keyAt(0));
}
