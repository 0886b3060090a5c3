#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/postinggridmodel.h"
#include "ledger/screens/frmzjzcdz.h"
#include "ledger/screens/fzjzccz.h"
#include "ledger/screens/ledgerscreens.h"
#include "master/materiallookup.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/screens/frmzjzc.h"
#include "vouchers/stockinlinemodel.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString A = QStringLiteral("0101");

// The direct-delivery screens opened through their commands: the books opened with 10 of A
// and closed on 2026-01-31, today 2026-02-10, logged in as operator 1 with every right.
class DirectScreens : public ::testing::Test
{
protected:
    DirectScreens()
    {
        Clock::setToday(QDate(2026, 2, 10));
        m_set.setMode(CostEngine::MovingAverage);
        m_set.addMaterial(A, QStringLiteral("水泥"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        m_set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        test::LedgerSeed(m_set.db()).opening(A, dec("10"), dec("100"));
        MonthEnd(m_set.db(), CostEngine::MovingAverage, {}).close(QDate(2026, 1, 31));

        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), CostEngine::MovingAverage);
        registerLedgerScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
    }
    ~DirectScreens() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(m_set.db(), CostEngine::MovingAverage, {});
    }

    template <typename T> T *open(const char *command)
    {
        m_main.action(QString::fromLatin1(command))->trigger();
        return m_main.findChild<T *>();
    }
    qint64 count(const char *sql) { return m_set.db().scalar(QString::fromUtf8(sql)).toLongLong(); }

    // A voucher entered on the screen: 4 of A at 12.50 from G1 to U1.
    void enter(FrmZjzc *screen)
    {
        test::click(screen->buttons(), FrmZjzc::Add);
        screen->supplierCode()->setText(QStringLiteral("G1"));
        screen->unitCode()->setText(QStringLiteral("U1"));
        screen->site()->setEditText(QStringLiteral("基础"));
        StockInLineModel *model = screen->model();
        const auto material = MaterialLookup(m_set.db()).find(A);
        ASSERT_TRUE(material);
        model->setMaterial(0, *material);
        model->setData(model->index(0, StockInLineModel::Price), QStringLiteral("12.50"));
        model->setData(model->index(0, StockInLineModel::Quantity), QStringLiteral("4"));
    }

    test::TestAccountSet m_set;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

TEST_F(DirectScreens, EnteredSavedAndPostedThroughTheButtons)
{
    auto *screen = open<FrmZjzc>("ZJZC");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("材料直进直出凭单填制"));
    RecordingSink sink;

    enter(screen);
    EXPECT_EQ(screen->stockInNumber()->currentText(), QStringLiteral("2026-02-10 - 1001"));
    EXPECT_EQ(screen->issueNumber()->currentText(), QStringLiteral("2026-02-10 - 1001"));
    // The unit must be one of the list; nothing is written until it is.
    screen->unitCode()->setText(QStringLiteral("U9"));
    test::click(screen->buttons(), FrmZjzc::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择正确耗料单位！"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 0);
    screen->unitCode()->setText(QStringLiteral("U1"));
    test::click(screen->buttons(), FrmZjzc::Save);
    ASSERT_EQ(screen->systemNumber(), 1);
    EXPECT_EQ(screen->state(), VoucherEntryScreen::State::Browse);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD R JOIN LLD L ON L.ID = R.CKID "
                    "WHERE L.ZJZC <> 0 AND L.SJJE = R.SJJE AND L.SGBW = '基础'"),
              1);
    test::keepPicture(screen, QStringLiteral("FrmZjzc"));

    // 记账 opens the posting window with the voucher chosen; once it closes the entry screen
    // shows the voucher posted.
    test::click(screen->buttons(), FrmZjzc::Post);
    auto *window = m_main.findChild<FrmZjzcdz *>();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->voucherModel()->grid().keys, QList<qint64>{1});
    EXPECT_EQ(window->lineModel()->rowCount(), 1);
    test::keepPicture(window, QStringLiteral("FrmZjzcdz"));
    test::click(window->buttons(), FrmZjzcdz::PostOne);
    EXPECT_EQ(sink.questionTexts().last(),
              QStringLiteral("一旦记帐，将不可修改数据只可查看，您确定要记帐吗？"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD WHERE JZBZ = 0") +
                  count("SELECT COUNT(*) FROM LLD WHERE JZBZ = 0"),
              0);
    EXPECT_EQ(window->voucherModel()->rowCount(), 0);
    test::click(window->buttons(), FrmZjzcdz::Exit);
    QTRY_COMPARE(screen->state(), VoucherEntryScreen::State::Posted);
    EXPECT_EQ(test::LedgerSeed(m_set.db()).kc(A).quantity, dec("10"));

    // A posted voucher is reversed, not deleted.
    test::click(screen->buttons(), FrmZjzc::Delete);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该票据已经记账，请做冲帐处理！"));

    // 增加 while it is shown starts from nothing of it: the new voucher's issue side is its own.
    enter(screen);
    test::click(screen->buttons(), FrmZjzc::Save);
    ASSERT_EQ(screen->systemNumber(), 2);
    EXPECT_EQ(count("SELECT COUNT(DISTINCT XTBH) FROM LLD"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD R JOIN LLD L ON L.ID = R.CKID "
                    "WHERE R.CKBH = L.XTBH"),
              2);
}

TEST_F(DirectScreens, ReversedThroughTheButtonsWithAReplacementOffered)
{
    auto *entry = open<FrmZjzc>("ZJZC");
    ASSERT_NE(entry, nullptr);
    RecordingSink sink;
    enter(entry);
    test::click(entry->buttons(), FrmZjzc::Save);
    test::click(entry->buttons(), FrmZjzc::Post);
    auto *window = m_main.findChild<FrmZjzcdz *>();
    ASSERT_NE(window, nullptr);
    test::click(window->buttons(), FrmZjzcdz::PostAll);
    ASSERT_EQ(count("SELECT COUNT(*) FROM RKD WHERE JZBZ <> 0"), 1);

    auto *screen = open<Fzjzccz>("ZJZCC1");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("直进直出冲帐"));
    ASSERT_EQ(screen->voucherModel()->grid().keys, QList<qint64>{1});
    screen->selectVoucher(0);
    EXPECT_EQ(screen->lineModel()->rowCount(), 1);
    test::keepPicture(screen, QStringLiteral("Fzjzccz"));

    screen->datePicker()->setDate(QDate(2026, 1, 31));
    test::click(screen->buttons(), Fzjzccz::Reverse);
    EXPECT_EQ(sink.lastText(), QStringLiteral("冲帐时间应大于月结时间"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 1);

    sink.clear();
    screen->datePicker()->setDate(QDate(2026, 2, 10));
    sink.answer({true, false});
    test::click(screen->buttons(), Fzjzccz::Reverse);
    EXPECT_EQ(sink.questionTexts(),
              (QStringList{QStringLiteral("该帐目将被冲掉！您确定要进行吗？"),
                           QStringLiteral("该帐目已经冲掉!您是否要进行补账处理?")}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD WHERE CZBZ <> 0"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD WHERE CZBZ <> 0"), 2);
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);
}

TEST_F(DirectScreens, OnceStockHasMovedTheScreenAsksOnceBeforeItsNewVouchers)
{
    auto *screen = open<FrmZjzc>("ZJZC");
    ASSERT_NE(screen, nullptr);
    RecordingSink sink;
    const QString question = QStringLiteral("做过出入库，账务初始化不允许再做！是否继续？");

    // The books' first stock-in line is saved without the question.
    enter(screen);
    test::click(screen->buttons(), FrmZjzc::Save);
    ASSERT_EQ(count("SELECT COUNT(*) FROM RKD"), 1);
    EXPECT_FALSE(sink.questionTexts().contains(question));

    // No leaves the voucher unsaved and still being entered; Yes saves it.
    enter(screen);
    sink.answer({false});
    test::click(screen->buttons(), FrmZjzc::Save);
    EXPECT_EQ(sink.questionTexts(), QStringList{question});
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 1);
    EXPECT_EQ(screen->state(), VoucherEntryScreen::State::New);
    test::click(screen->buttons(), FrmZjzc::Save);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 2);

    // Answered once, it is not put again while the screen stays open, nor for an edit.
    sink.clear();
    enter(screen);
    test::click(screen->buttons(), FrmZjzc::Save);
    test::click(screen->buttons(), FrmZjzc::Change);
    test::click(screen->buttons(), FrmZjzc::Save);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 3);
    EXPECT_FALSE(sink.questionTexts().contains(question));
}
