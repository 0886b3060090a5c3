#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreens.h"
#include "ledger/screens/postingscreen.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/screens/stockinscreen.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString Confirm = QStringLiteral("一旦记帐，将不可修改数据只可查看，您确定要记帐吗？");
const QString A = QStringLiteral("0101");

// The posting screens opened through their commands over a seeded account set.
class PostingScreens : public ::testing::Test
{
protected:
    PostingScreens()
        : seed(m_set.db())
    {
        Clock::setToday(QDate(2026, 5, 20));
        m_set.addMaterial(A, QStringLiteral("水泥"));
        m_set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        m_set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), 2);
        registerLedgerScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
    }
    ~PostingScreens() override { Clock::setToday(std::nullopt); }

    PostingScreen *open(const char *command)
    {
        m_main.action(QString::fromLatin1(command))->trigger();
        const QList<PostingScreen *> screens = m_main.findChildren<PostingScreen *>();
        return screens.isEmpty() ? nullptr : screens.last();
    }
    void click(PostingScreen *screen, PostingScreen::Button button)
    {
        screen->buttons()->button(button)->click();
    }

    test::TestAccountSet m_set;
    test::LedgerSeed seed;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

TEST_F(PostingScreens, StockInVoucherPostsThroughTheButtonsAfterYes)
{
    seed.receipt(1, A, dec("5"), dec("60.00"));
    seed.receipt(2, A, dec("3"), dec("33.00"));
    PostingScreen *screen = open("RKDZ");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("入库登账"));
    EXPECT_EQ(screen->kindSelector()->currentText(), QStringLiteral("采购入库"));
    EXPECT_EQ(screen->buttons()->button(PostingScreen::Single)->text(),
              QStringLiteral("单笔登账(&B)"));
    ASSERT_EQ(screen->voucherModel()->rowCount(), 2);
    // Nothing below until a voucher is chosen.
    EXPECT_EQ(screen->lineModel()->rowCount(), 0);

    RecordingSink sink;
    screen->selectVoucher(0);
    EXPECT_EQ(screen->lineModel()->rowCount(), 1);
    // Figures line up on the right, texts on the left.
    const auto alignment = [&](int column) {
        return screen->lineModel()->index(0, column).data(Qt::TextAlignmentRole).toInt();
    };
    EXPECT_EQ(alignment(6), int(Qt::AlignRight | Qt::AlignVCenter)); // "  数  量"
    EXPECT_EQ(alignment(1), 0);                                       // " 材料名称"
    sink.answer({false});
    click(screen, PostingScreen::Single);
    EXPECT_EQ(sink.questionTexts(), QStringList{Confirm});
    EXPECT_FALSE(seed.kc(A).exists);

    click(screen, PostingScreen::Single);
    EXPECT_EQ(seed.kc(A).quantity, dec("5"));
    EXPECT_EQ(screen->voucherModel()->grid().keys, QList<qint64>{2});
    EXPECT_EQ(screen->lineModel()->rowCount(), 0);

    // Another kind shows its own (empty) list.
    screen->kindSelector()->setCurrentIndex(1);
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);
    screen->kindSelector()->setCurrentIndex(0);
    click(screen, PostingScreen::All);
    EXPECT_EQ(seed.kc(A).amount, dec("93.00"));
    EXPECT_EQ(screen->voucherModel()->rowCount(), 0);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(PostingScreens, IssueAllPostsTheGoodVouchersAndShowsTheRefusal)
{
    seed.opening(A, dec("10"), dec("100.00"));
    seed.issue(1, A, dec("4"), dec("10"), dec("40.00"));
    seed.issue(2, A, dec("50"), dec("10"), dec("500.00"));
    seed.issue(3, A, dec("2"), dec("10"), dec("20.00"));
    PostingScreen *screen = open("LLDDZ");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->kind(), QStringLiteral("1"));
    EXPECT_EQ(screen->kindSelector(), nullptr);
    EXPECT_EQ(screen->buttons()->button(PostingScreen::All)->text(), QStringLiteral("全 部(&Q)"));
    ASSERT_EQ(screen->voucherModel()->rowCount(), 3);

    RecordingSink sink;
    click(screen, PostingScreen::All);
    EXPECT_EQ(sink.shownTexts(),
              QStringList{QStringLiteral("警告！\n出库数量已经超过库存数量,请做出入库！")});
    EXPECT_EQ(seed.kc(A).quantity, dec("4"));
    EXPECT_EQ(screen->voucherModel()->grid().keys, QList<qint64>{2});
}

TEST_F(PostingScreens, DeleteRemovesTheSelectedLineAfterYes)
{
    seed.receipt(1, A, dec("5"), dec("60.00"));
    seed.receipt(1, A, dec("1"), dec("12.00"));
    PostingScreen *screen = open("RKDZ");
    ASSERT_NE(screen, nullptr);
    screen->selectVoucher(0);
    ASSERT_EQ(screen->lineModel()->rowCount(), 2);

    RecordingSink sink;
    screen->lineView()->setCurrentIndex(screen->lineModel()->index(1, 0));
    sink.answer({false});
    click(screen, PostingScreen::Delete);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("您确定要删除2记录吗？")});
    EXPECT_EQ(screen->lineModel()->rowCount(), 2);

    click(screen, PostingScreen::Delete);
    // The voucher stays chosen with its remaining line.
    EXPECT_EQ(screen->lineModel()->rowCount(), 1);
    EXPECT_EQ(m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toLongLong(), 1);
}

TEST_F(PostingScreens, StockInScreenPostButtonOpensPostingOnItsKind)
{
    seed.receipt(1, A, dec("5"), dec("60.00"));
    m_dispatcher->registry().add(QStringLiteral("FrmDbrkd"), ScreenRegistry::Opening::InMainWindow,
                                 [this](const ScreenRequest &r) -> QWidget * {
                                     return new StockInScreen(*r.database, StockInKind::TransferIn,
                                                              r.mode, r.formats);
                                 });
    m_dispatcher->installCommands();
    m_main.action(QStringLiteral("DBRKD"))->trigger();
    auto *entry = m_main.findChild<StockInScreen *>();
    ASSERT_NE(entry, nullptr);

    entry->buttons()->button(StockInScreen::Post)->click();
    auto *posting = m_main.findChild<PostingScreen *>();
    ASSERT_NE(posting, nullptr);
    EXPECT_EQ(posting->kind(), QStringLiteral("调拨入库"));
    EXPECT_EQ(posting->voucherModel()->rowCount(), 0);

    // Pressed again: the open posting screen is reused and follows the kind.
    posting->kindSelector()->setCurrentIndex(0);
    entry->buttons()->button(StockInScreen::Post)->click();
    EXPECT_EQ(m_main.findChildren<PostingScreen *>().size(), 1);
    EXPECT_EQ(posting->kind(), QStringLiteral("调拨入库"));

    QPointer<PostingScreen> closing(posting);
    posting->buttons()->button(PostingScreen::Exit)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return closing.isNull(); }, 2000));
    EXPECT_TRUE(m_main.mdiArea()->subWindowList().size() == 1);
    Permissions rights = Permissions::all();
    rights[Permissions::DZCL] = false;
    m_main.applyPermissions(rights, true);
    // Without the posting right the button opens nothing.
    RecordingSink sink;
    entry->buttons()->button(StockInScreen::Post)->click();
    EXPECT_EQ(m_main.findChild<PostingScreen *>(), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("对不起,您没有被授予该项权限!"));
}
