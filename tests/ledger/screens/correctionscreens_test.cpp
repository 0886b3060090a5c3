#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/postinggridmodel.h"
#include "ledger/screens/formlldcz.h"
#include "ledger/screens/frmqxjz.h"
#include "ledger/screens/frmrkcz.h"
#include "ledger/screens/ledgerscreens.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmma.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString A = QStringLiteral("0101");

// The correction screens opened through their commands: January's business posted and closed
// on 2026-01-31, today 2026-02-10, logged in as operator 1 with every right.
class CorrectionScreens : public ::testing::Test
{
protected:
    CorrectionScreens()
        : seed(m_set.db())
    {
        Clock::setToday(QDate(2026, 2, 10));
        m_set.setMode(CostEngine::MovingAverage);
        m_set.addMaterial(A, QStringLiteral("水泥"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        m_set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        seed.opening(A, dec("10"), dec("100"));
        m_receipt = seed.receipt(1, A, dec("5"), dec("60"));
        seed.post(QStringLiteral("RKD"), 1);
        m_issue = seed.issue(2, A, dec("3"), dec("10.67"), dec("32"));
        seed.post(QStringLiteral("LLD"), 2);
        m_set.db().exec(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                        {dec("12").toVariant(), dec("128").toVariant(), A});
        MonthEnd(m_set.db(), CostEngine::MovingAverage, {}).close(QDate(2026, 1, 31));

        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), CostEngine::MovingAverage);
        registerLedgerScreens(m_dispatcher->registry());
        // Stand-ins for the voucher screens a replacement opens.
        for (const char *screen : {"FrmCgrkd", "FormLLDTX"}) {
            const QString name = QString::fromLatin1(screen);
            m_dispatcher->registry().add(name, ScreenRegistry::Opening::InMainWindow,
                                         [name](const ScreenRequest &) {
                                             auto *w = new QWidget;
                                             w->setObjectName(name);
                                             return w;
                                         });
        }
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
    }
    ~CorrectionScreens() override
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
    bool opened(const char *screen)
    {
        return m_main.findChild<QWidget *>(QString::fromLatin1(screen)) != nullptr;
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed;
    qint64 m_receipt = 0;
    qint64 m_issue = 0;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

TEST_F(CorrectionScreens, StockInReversalThroughTheButtons)
{
    auto *screen = open<FrmRkcz>("RKCZ1");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(log(), QStringList{QStringLiteral("入库单冲帐")});
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("入库冲帐处理"));
    ASSERT_EQ(screen->voucherModel()->grid().keys, QList<qint64>{1});
    screen->selectVoucher(0);
    ASSERT_EQ(screen->lineModel()->rowCount(), 1);
    screen->selectLine(0);
    test::keepPicture(screen, QStringLiteral("FrmRkcz"));

    RecordingSink sink;
    // On the closing day: refused, nothing asked.
    screen->datePicker()->setDate(QDate(2026, 1, 31));
    test::click(screen->buttons(), FrmRkcz::Reverse);
    EXPECT_EQ(sink.shownTexts(), QStringList{QStringLiteral("冲帐时间应大于月结时间")});
    EXPECT_TRUE(sink.questions.empty());

    screen->datePicker()->setDate(QDate(2026, 2, 1));
    sink.answer({false});
    test::click(screen->buttons(), FrmRkcz::Reverse);
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("该帐目将被冲掉！您确定要进行吗？")});
    EXPECT_EQ(seed.kc(A).quantity, dec("12"));

    test::click(screen->buttons(), FrmRkcz::Reverse);
    EXPECT_EQ(seed.kc(A).quantity, dec("7"));
    EXPECT_EQ(seed.kc(A).amount, dec("68"));
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);

    // A date range narrows the list; a start after the end is refused.
    screen->fromPicker()->setDate(QDate(2026, 2, 5));
    screen->toPicker()->setDate(QDate(2026, 2, 1));
    test::click(screen->buttons(), FrmRkcz::Query);
    EXPECT_EQ(sink.lastText(), QStringLiteral("起始日期不允许大于终止日期"));

    test::click(screen->buttons(), FrmRkcz::Replace);
    EXPECT_TRUE(opened("FrmCgrkd"));
    EXPECT_EQ(log().last(), QStringLiteral("采购入库单填写"));
}

TEST_F(CorrectionScreens, IssueReversalOffersAReplacement)
{
    auto *screen = open<FormLLDCZ>("LLDCZ");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("领料出库单冲帐窗体"));
    EXPECT_EQ(screen->kind(), QStringLiteral("1"));
    // The list starts at the latest closing: January's voucher shows from an earlier start.
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);
    screen->fromPicker()->setDate(QDate(2026, 1, 1));
    test::click(screen->buttons(), FormLLDCZ::Query);
    ASSERT_EQ(screen->voucherModel()->grid().keys, QList<qint64>{2});
    screen->selectVoucher(0);
    screen->selectLine(0);
    test::keepPicture(screen, QStringLiteral("FormLLDCZ"));

    RecordingSink sink;
    sink.answer({true, true});
    test::click(screen->buttons(), FormLLDCZ::Reverse);
    EXPECT_EQ(sink.questionTexts(), (QStringList{QStringLiteral("你确实要冲掉第 1 笔单据吗？"),
                                                 QStringLiteral("冲帐结束，你要补帐吗？")}));
    EXPECT_EQ(seed.kc(A).quantity, dec("15"));
    EXPECT_EQ(seed.kc(A).amount, dec("160"));
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);
    EXPECT_TRUE(opened("FormLLDTX"));

    // The transfer-out command opens the same screen for its own kind.
    m_main.action(QStringLiteral("DBLLCZ1"))->trigger();
    const QList<FormLLDCZ *> screens = m_main.findChildren<FormLLDCZ *>();
    ASSERT_EQ(screens.size(), 2);
    EXPECT_EQ(screens.last()->kind(), QStringLiteral("2"));
    EXPECT_EQ(screens.last()->windowTitle(), QStringLiteral("调拨出库单冲帐窗体"));
}

TEST_F(CorrectionScreens, CancelPostingAndWipe)
{
    // February: another receipt, posted.
    seed.receipt(3, A, dec("1"), dec("11"));
    m_set.db().exec(QStringLiteral("UPDATE RKD SET CZRQ = '2026-02-03', JZBZ = 1 WHERE XTBH = 3"));
    m_set.db().exec(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                    {dec("13").toVariant(), dec("139").toVariant(), A});

    // Copies go to the folder the firm's details name.
    const QString backups = QDir(m_set.folder()).filePath(QStringLiteral("备份"));
    m_set.db().exec(QStringLiteral("INSERT INTO YHZL (GSMC, DIR) VALUES ('公司', ?)"), {backups});

    auto *screen = open<FrmQxjz>("QXJZ");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->closingModel()->rowCount(), 1);
    test::keepPicture(screen, QStringLiteral("FrmQxjz"));

    RecordingSink sink;
    test::click(screen->buttons(), FrmQxjz::Cancel);
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("账务将恢复到月初状态！您确定要进行吗？")});
    EXPECT_EQ(seed.kc(A).quantity, dec("12"));
    EXPECT_EQ(m_set.db().scalar(QStringLiteral("SELECT JZBZ FROM RKD WHERE XTBH = 3")).toInt(), 0);

    // A wrong password wipes nothing; the right one after Yes wipes, with a copy kept.
    sink.clear();
    test::whenModal<FrmMa>([](FrmMa *prompt) {
        prompt->passwordField()->insert(QStringLiteral("nope"));
        QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
    });
    test::click(screen->buttons(), FrmQxjz::Wipe);
    EXPECT_EQ(sink.shownTexts(), QStringList{QStringLiteral("密码错误！，不允许销账！！！")});
    EXPECT_EQ(m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 2);

    sink.clear();
    test::whenModal<FrmMa>([](FrmMa *prompt) {
        prompt->passwordField()->insert(QStringLiteral("admin"));
        QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
    });
    test::click(screen->buttons(), FrmQxjz::Wipe);
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("账务一旦被清除，以前所有数据信息将丢失！")});
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_TRUE(sink.lastText().startsWith(
        QStringLiteral("所有账务已经销掉，请您重新启动系统开始新的业务！！！")));
    EXPECT_EQ(m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 0);
    EXPECT_EQ(screen->closingModel()->rowCount(), 0);
    EXPECT_FALSE(m_main.hasClosing());
    const QStringList copies = QDir(backups).entryList({QStringLiteral("KVMT*.db")});
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(sink.lastText().contains(QDir::toNativeSeparators(backups)));
}
