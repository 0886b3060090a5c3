#include "ledger/posting.h"
#include "ledger/screens/ledgerscreens.h"
#include "ledger/screens/postingscreen.h"
#include "shell/permissions.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/screens/formlldtx.h"
#include "vouchers/screens/formllthdtx.h"
#include "vouchers/screens/issuescreens.h"
#include "vouchers/screens/stockinreturnscreen.h"
#include "vouchers/screens/stockinscreen.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/stockinreturnlinemodel.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace varnock;
using test::dec;
using Action = VoucherEntryScreen::Action;
using State = VoucherEntryScreen::State;

namespace {

class VoucherEntryScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("甲钢材公司"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        test::LedgerSeed(db()).opening(QStringLiteral("1001"), dec("20"), dec("40"));
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }

    qint64 purchase(bool posted)
    {
        StockInVoucher v;
        v.ysdjh = QStringLiteral("RK-1");
        v.gysbh = QStringLiteral("1");
        v.czrq = QDate(2026, 3, 2);
        StockInLine line;
        line.clbh = QStringLiteral("1001");
        line.price = dec("2");
        line.quantity = dec("10");
        line.amount = dec("20");
        v.lines = {line};
        const qint64 xtbh =
            StockInVouchers(db(), StockInKind::of(StockInKind::Purchase), 2, Formats()).saveNew(v);
        if (posted)
            post(Posting::Family::StockIn, QStringLiteral("采购入库"), xtbh);
        return xtbh;
    }
    qint64 requisition(bool posted)
    {
        IssueVoucher v;
        v.ysdjh = QStringLiteral("LL-1");
        v.lldwbh = QStringLiteral("U1");
        v.czrq = QDate(2026, 3, 3);
        IssueLine line;
        line.clbh = QStringLiteral("1001");
        line.quantity = dec("4");
        v.lines = {line};
        IssueVouchers vouchers(db(), IssueVouchers::Requisition, 2, Formats());
        vouchers.price(v);
        const qint64 xtbh = vouchers.saveNew(v);
        if (posted)
            post(Posting::Family::Issue, IssueVouchers::Requisition, xtbh);
        return xtbh;
    }
    void post(Posting::Family family, const QString &kind, qint64 xtbh)
    {
        Posting(db(), 2, Formats()).post(family, kind, xtbh);
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

bool enabled(const VoucherEntryScreen &screen, Action action)
{
    const int index = screen.buttonOf(action);
    return index >= 0 && screen.buttons()->button(index)->isEnabled();
}

void press(VoucherEntryScreen &screen, Action action)
{
    test::click(screen.buttons(), screen.buttonOf(action));
}

// What each state allows, the same in every family: only an entry saves, only a stored voucher
// is changed, deleted or printed, and lines are deleted only while entering.
void expectButtons(const VoucherEntryScreen &screen, State state, bool stored)
{
    SCOPED_TRACE(screen.objectName().toStdString());
    ASSERT_EQ(screen.state(), state);
    const bool entering = state == State::New || state == State::Edit;
    EXPECT_EQ(enabled(screen, Action::Save), entering);
    EXPECT_EQ(enabled(screen, Action::Change), stored && !entering);
    if (screen.buttonOf(Action::Delete) >= 0) {
        EXPECT_EQ(enabled(screen, Action::Delete), stored);
    }
    if (screen.buttonOf(Action::DeleteLine) >= 0) {
        EXPECT_EQ(enabled(screen, Action::DeleteLine), entering);
    }
    EXPECT_EQ(enabled(screen, Action::Print), stored && !entering);
    EXPECT_EQ(screen.dateField()->isReadOnly(), !entering);
}

TEST_F(VoucherEntryScreenTest, EveryFamilyRunsOneStateMachineOfItsButtons)
{
    const qint64 in = purchase(false);
    const qint64 postedIn = purchase(true);
    const qint64 out = requisition(false);
    const qint64 postedOut = requisition(true);
    StockInReturns stockInReturns(db(), StockInKind::of(StockInKind::Purchase), 2, Formats());
    StockInReturnVoucher returned = stockInReturns.draft(postedIn, QDate(2026, 3, 4));
    returned.lines[0].quantity = dec("1");
    const qint64 back = stockInReturns.saveNew(returned);
    IssueReturns issueReturns(db(), IssueVouchers::Requisition, 2, Formats());
    IssueReturnVoucher brought = issueReturns.draft(postedOut, QDate(2026, 3, 5));
    issueReturns.setQuantity(brought.lines[0], dec("1"));
    const qint64 broughtBack = issueReturns.saveNew(brought);

    struct Family
    {
        std::unique_ptr<VoucherEntryScreen> screen;
        qint64 stored;
        Posting::Family family;
        QString kind;
    };
    Family families[] = {
        {std::make_unique<StockInScreen>(db(), StockInKind::Purchase, 2, Formats()), in,
         Posting::Family::StockIn, QStringLiteral("采购入库")},
        {std::make_unique<StockInReturnScreen>(db(), StockInKind::Purchase, 2, Formats()), back,
         Posting::Family::StockInReturn, QStringLiteral("采购退货")},
        {std::make_unique<FormLLDTX>(db(), IssueVouchers::Requisition, 2, Formats()), out,
         Posting::Family::Issue, IssueVouchers::Requisition},
        {std::make_unique<FormLLTHDTX>(db(), IssueVouchers::Requisition, 2, Formats()), broughtBack,
         Posting::Family::IssueReturn, IssueVouchers::Requisition},
    };
    for (Family &f : families) {
        VoucherEntryScreen &screen = *f.screen;
        expectButtons(screen, State::Browse, false);

        screen.showVoucher(f.stored);
        expectButtons(screen, State::Browse, true);
        // A printer set from outside is offered the stored voucher shown.
        qint64 printed = 0;
        screen.setPrinter([&](const VoucherEntryScreen &, qint64 xtbh) { printed = xtbh; });
        ASSERT_TRUE(enabled(screen, Action::Print));
        press(screen, Action::Print);
        EXPECT_EQ(printed, f.stored);

        // 修改 opens the voucher; 恢复 brings it back as stored.
        press(screen, Action::Change);
        expectButtons(screen, State::Edit, true);
        screen.dateField()->setDate(QDate(2026, 3, 9));
        press(screen, Action::Restore);
        expectButtons(screen, State::Browse, true);
        EXPECT_EQ(screen.systemNumber(), f.stored);
        EXPECT_NE(screen.dateField()->date(), QDate(2026, 3, 9));

        // An edit saved is shown as stored.
        press(screen, Action::Change);
        screen.dateField()->setDate(QDate(2026, 3, 9));
        sink.clear();
        press(screen, Action::Save);
        EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();
        expectButtons(screen, State::Browse, true);
        EXPECT_EQ(screen.dateField()->date(), QDate(2026, 3, 9));

        // Posted: shown as such, 修改 and 删除 answer with the family's refusal.
        post(f.family, f.kind, f.stored);
        screen.showVoucher(f.stored);
        expectButtons(screen, State::Posted, true);
        sink.clear();
        press(screen, Action::Change);
        EXPECT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(screen.state(), State::Posted);
    }
}

TEST_F(VoucherEntryScreenTest, AVoucherPostedInThePostingWindowIsShownPostedWhenItCloses)
{
    const qint64 out = requisition(false);
    MDIFrmMain main;
    auto *dispatcher = new CommandDispatcher(&main);
    dispatcher->setAccountSet(&db(), 2);
    registerLedgerScreens(dispatcher->registry());
    registerIssueScreens(dispatcher->registry());
    dispatcher->installCommands();
    main.applyPermissions(Permissions::all(), true);
    dispatcher->loggedIn(Permissions::all(), true);

    main.action(QStringLiteral("LLDTX"))->trigger();
    auto *entry = main.findChild<FormLLDTX *>();
    ASSERT_NE(entry, nullptr);
    entry->showVoucher(out);
    ASSERT_EQ(entry->stateLabel()->text(), QStringLiteral("凭证浏览"));

    test::click(entry->buttons(), FormLLDTX::Post);
    auto *posting = main.findChild<PostingScreen *>();
    ASSERT_NE(posting, nullptr);
    posting->selectVoucher(0);
    posting->postSelected();
    ASSERT_EQ(
        db().scalar(QStringLiteral("SELECT MIN(JZBZ) FROM LLD WHERE XTBH = ?"), {out}).toInt(), 1);
    // Still open: the entry screen has not been told yet.
    EXPECT_EQ(entry->stateLabel()->text(), QStringLiteral("凭证浏览"));
    posting->close();
    QTRY_COMPARE(entry->stateLabel()->text(), QStringLiteral("已记帐"));
    sink.clear();
    test::click(entry->buttons(), FormLLDTX::Change);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(entry->state(), State::Posted);
}

TEST_F(VoucherEntryScreenTest, EnterAndTabGoThroughTheHeaderInItsOrder)
{
    StockInScreen in(db(), StockInKind::Purchase, 2, Formats());
    in.show();
    QApplication::setActiveWindow(&in);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&in));
    test::click(in.buttons(), StockInScreen::Add);
    QTRY_VERIFY(in.documentNumber()->hasFocus());
    // Enter in 原始单号 moves on; what is typed next lands in the invoice number.
    QTest::keyClick(in.documentNumber()->lineEdit(), Qt::Key_Return);
    QTRY_VERIFY(in.invoiceNumber()->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("FP1"));
    EXPECT_EQ(in.invoiceNumber()->text(), QStringLiteral("FP1"));
    EXPECT_NE(in.documentNumber()->currentText(), QStringLiteral("FP1"));
    // The supplier's picker button is passed over: Enter goes from the code into the lines.
    in.partnerCode()->setFocus();
    QTest::keyClick(in.partnerCode(), Qt::Key_Return);
    QTRY_VERIFY(in.grid()->hasFocus());

    FormLLDTX out(db(), IssueVouchers::Requisition, 2, Formats());
    out.show();
    QApplication::setActiveWindow(&out);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&out));
    test::click(out.buttons(), FormLLDTX::Add);
    QTRY_VERIFY(out.documentNumber()->hasFocus());
    // Tab from 单据编号 goes to the consuming unit, Enter from there to the site.
    QTest::keyClick(out.documentNumber()->lineEdit(), Qt::Key_Tab);
    QTRY_VERIFY(out.unitCode()->hasFocus());
    QTest::keyClick(out.unitCode(), Qt::Key_Return);
    QTRY_VERIFY(out.site()->hasFocus());
}

} // namespace
