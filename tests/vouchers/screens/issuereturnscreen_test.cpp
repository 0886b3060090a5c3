#include "ledger/posting.h"
#include "shell/screens/screenregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/screens/formclxz.h"
#include "vouchers/screens/formllthdtx.h"
#include "vouchers/screens/issuereturnscreens.h"
#include "vouchers/screens/voucherfinder.h"
#include "widgets/conditiondialog.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace varnock;
using test::click;
using test::dec;
using test::keepPicture;
using test::whenModal;

namespace {

class IssueReturnScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        test::LedgerSeed seed(db());
        seed.opening(QStringLiteral("1001"), dec("20"), dec("40"));
        seed.opening(QStringLiteral("1002"), dec("10"), dec("30"));
        m_llid = seed.issue(1, QStringLiteral("1001"), dec("10"), dec("2"), dec("20"));
        seed.issue(1, QStringLiteral("1002"), dec("4"), dec("3"), dec("12"));
        Posting(db(), 2, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), 1);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    void close()
    {
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }

    // Types into the quantity cell of a row through its editor and commits with Enter.
    void typeQuantity(FormLLTHDTX &screen, int row, const QString &text)
    {
        const QModelIndex cell = screen.model()->index(row, IssueReturnLineModel::Quantity);
        screen.grid()->setCurrentIndex(cell);
        screen.grid()->edit(cell);
        auto *edit = qobject_cast<NumericEdit *>(screen.grid()->indexWidget(cell));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!screen.grid()->isEditing() || screen.grid()->currentIndex() != cell);
        if (screen.grid()->isEditing())
            screen.grid()->closePersistentEditor(screen.grid()->currentIndex());
    }

    // Opens the chooser and takes its first voucher.
    void chooseFirstIssue(FormLLTHDTX &screen)
    {
        whenModal<VoucherFinder>([](VoucherFinder *chooser) {
            EXPECT_EQ(chooser->windowTitle(), QStringLiteral("领料出库单据"));
            EXPECT_EQ(chooser->rowCount(), 1);
            keepPicture(chooser, QStringLiteral("frmckdcx"));
            click(chooser->buttons(), 0);
        });
        click(screen.buttons(), FormLLTHDTX::Choose);
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
    qint64 m_llid = 0;
};

TEST_F(IssueReturnScreenTest, AReturnTypedInTheGridIsSavedAndPostedAtOnce)
{
    close();
    FormLLTHDTX screen(db(), QStringLiteral("1"), 2, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("领料退货单填写"));
    EXPECT_EQ(screen.heading()->text(), QStringLiteral("材料领料退库凭单填制"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_TRUE(screen.grid()->isColumnHidden(IssueReturnLineModel::Id));
    EXPECT_FALSE(screen.buttons()->button(FormLLTHDTX::Print)->isEnabled());

    chooseFirstIssue(screen);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.issueNumber()->text(), QStringLiteral("L1"));
    EXPECT_EQ(screen.returnNumber()->text(), QStringLiteral("2026-03-10  1001"));
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("1"));
    ASSERT_EQ(screen.model()->rowCount(), 2);
    EXPECT_EQ(screen.model()->index(0, IssueReturnLineModel::IssuedQuantity).data().toString(),
              QStringLiteral("10.00"));

    // Nothing typed: refused and said so.
    click(screen.buttons(), FormLLTHDTX::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("所有数据输入有误，没有保存！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TKD")), 0);

    // More than was issued: the message, and the cell is empty again.
    typeQuantity(screen, 0, QStringLiteral("11"));
    EXPECT_EQ(sink.lastText(), QStringLiteral("已经超过数量，请仔细输入"));
    EXPECT_EQ(screen.model()->index(0, IssueReturnLineModel::Quantity).data().toString(),
              QString());
    // Letters never reach the cell.
    typeQuantity(screen, 0, QStringLiteral("4a"));
    EXPECT_EQ(screen.model()->line(0).quantity, dec("4"));
    EXPECT_EQ(screen.model()->index(0, IssueReturnLineModel::Amount).data().toString(),
              QStringLiteral("8.00"));
    keepPicture(&screen, QStringLiteral("formllthdtx_new"));

    sink.clear();
    click(screen.buttons(), FormLLTHDTX::Save);
    EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.systemNumber(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TKD WHERE XTBH = 1 AND THSL = 40000")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT THBZ FROM LLD WHERE ID = %1").arg(m_llid)), 1);

    // Post at once: the question first, then the stock comes back.
    sink.answer({true});
    click(screen.buttons(), FormLLTHDTX::Post);
    ASSERT_EQ(sink.questions.size(), 1u);
    EXPECT_EQ(sink.questions.at(0).text, Posting::confirmation().text);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记账"));
    EXPECT_EQ(count(QStringLiteral("SELECT JZBZ FROM TKD WHERE XTBH = 1")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT KCSL FROM KC WHERE CLBH = '1001'")), 140000);
    EXPECT_FALSE(screen.buttons()->button(FormLLTHDTX::Post)->isEnabled());
    keepPicture(&screen, QStringLiteral("formllthdtx_posted"));

    // A posted return stays as it is.
    click(screen.buttons(), FormLLTHDTX::Change);
    EXPECT_EQ(sink.lastText(), QStringLiteral("已记账，本单据不允许修改！"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记账"));
}

TEST_F(IssueReturnScreenTest, ASavedReturnIsFoundEditedRestoredAndDeleted)
{
    close();
    FormLLTHDTX screen(db(), QStringLiteral("1"), 2, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    chooseFirstIssue(screen);
    typeQuantity(screen, 1, QStringLiteral("2"));
    click(screen.buttons(), FormLLTHDTX::Save);
    ASSERT_EQ(screen.systemNumber(), 1);
    screen.restore();
    EXPECT_EQ(screen.model()->line(1).quantity, dec("2"));

    // The finder lists the return and its condition dialog narrows the list.
    FormLLTHDTX other(db(), QStringLiteral("1"), 2, Formats());
    whenModal<VoucherFinder>([](VoucherFinder *finder) {
        EXPECT_EQ(finder->rowCount(), 1);
        keepPicture(finder, QStringLiteral("frmcktkcx"));
        whenModal<ConditionDialog>([](ConditionDialog *dialog) {
            keepPicture(dialog, QStringLiteral("fllthcx"));
            test::fieldBeside<QLineEdit>(dialog, QStringLiteral("出库单号："))
                ->setText(QStringLiteral("L9"));
            click(dialog->buttons(), 0);
        });
        QTest::mouseClick(finder->searchButton(), Qt::LeftButton);
        EXPECT_EQ(finder->rowCount(), 0);
        whenModal<ConditionDialog>([](ConditionDialog *dialog) {
            test::fieldBeside<QLineEdit>(dialog, QStringLiteral("出库单号："))
                ->setText(QStringLiteral("L1"));
            click(dialog->buttons(), 0);
        });
        QTest::mouseClick(finder->searchButton(), Qt::LeftButton);
        EXPECT_EQ(finder->rowCount(), 1);
        click(finder->buttons(), 0);
    });
    click(other.buttons(), FormLLTHDTX::Search);
    EXPECT_EQ(other.systemNumber(), 1);
    EXPECT_EQ(other.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(other.model()->line(1).quantity, dec("2"));
    EXPECT_FALSE(other.model()->flags(other.model()->index(1, IssueReturnLineModel::Quantity)) &
                 Qt::ItemIsEditable);

    // Edit: the first line returned instead of the second; 恢复 first throws an edit away.
    click(screen.buttons(), FormLLTHDTX::Change);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证修改"));
    typeQuantity(screen, 1, QString());
    click(screen.buttons(), FormLLTHDTX::Restore);
    EXPECT_EQ(screen.model()->line(1).quantity, dec("2"));
    click(screen.buttons(), FormLLTHDTX::Change);
    typeQuantity(screen, 0, QStringLiteral("3"));
    typeQuantity(screen, 1, QString());
    sink.clear();
    click(screen.buttons(), FormLLTHDTX::Save);
    EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TKD")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT LLID FROM TKD")), m_llid);

    // Delete asks first; No keeps it, Yes removes it and its mark.
    sink.answer({false, true});
    click(screen.buttons(), FormLLTHDTX::Delete);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TKD")), 1);
    click(screen.buttons(), FormLLTHDTX::Delete);
    ASSERT_EQ(sink.questions.size(), 2u);
    EXPECT_EQ(sink.questions.at(1).text, QStringLiteral("您确定要删除该票据吗？"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TKD")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE THBZ <> 0")), 0);
    EXPECT_EQ(screen.systemNumber(), 0);
}

TEST_F(IssueReturnScreenTest, BothKindsAreRegisteredAndNeedAClosing)
{
    ScreenRegistry registry;
    registerIssueReturnScreens(registry);
    ScreenRequest request;
    request.database = &db();
    request.issueKind = 1;
    EXPECT_EQ(registry.open(QStringLiteral("FormLLTHDTX"), request), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选做月结处理！！！"));

    close();
    request.issueKind = 2;
    auto *screen =
        qobject_cast<FormLLTHDTX *>(registry.open(QStringLiteral("FormLLTHDTX"), request));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->zl(), QStringLiteral("2"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("调拨退货单填写"));
    EXPECT_EQ(screen->heading()->text(), QStringLiteral("材料调拨退库凭单填制"));
    EXPECT_EQ(screen->buttons()->button(FormLLTHDTX::Choose)->text(),
              QStringLiteral("出库查询(&C)"));
    // No transfer out was posted: the chooser is empty and taking nothing changes nothing.
    whenModal<VoucherFinder>([](VoucherFinder *chooser) {
        EXPECT_EQ(chooser->windowTitle(), QStringLiteral("调拨出库单据"));
        EXPECT_EQ(chooser->rowCount(), 0);
        whenModal<ConditionDialog>([](ConditionDialog *dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("单据查询"));
            keepPicture(dialog, QStringLiteral("fllckcx"));
            dialog->endDate()->setDate(QDate(2026, 1, 1));
            click(dialog->buttons(), 0); // the dates are wrong way round: refused
            EXPECT_TRUE(dialog->isVisible());
            click(dialog->buttons(), 1);
        });
        QTest::mouseClick(chooser->searchButton(), Qt::LeftButton);
        click(chooser->buttons(), 1);
    });
    screen->choose();
    EXPECT_EQ(sink.lastText(), QStringLiteral("终止日期不能大于起始日期！"));
    EXPECT_EQ(screen->stateLabel()->text(), QStringLiteral("凭证浏览"));
    keepPicture(screen, QStringLiteral("formllthdtx_transfer"));
    screen->close();
}

TEST_F(IssueReturnScreenTest, AMaterialPickedOutOfTheVouchersLeadsToTheIssuesThatHoldIt)
{
    close();
    test::LedgerSeed seed(db());
    seed.issue(2, QStringLiteral("1002"), dec("1"), dec("3"), dec("3"));
    Posting(db(), 2, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), 2);
    FormLLTHDTX screen(db(), QStringLiteral("1"), 2, Formats());
    screen.show();
    EXPECT_EQ(screen.headerFrame()->title(), QStringLiteral("领料退货凭单填制"));

    whenModal<FormCLXZ>([](FormCLXZ *picker) {
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("材料查询------选择材料"));
        // It opens on the issues not reversed; a state or family chosen lists again.
        EXPECT_EQ(picker->rowCount(), 2);
        const auto states = picker->stateFrame()->findChildren<QRadioButton *>();
        ASSERT_EQ(states.size(), 2);
        EXPECT_EQ(states[1]->text(), QStringLiteral("已冲帐材料"));
        states[1]->click();
        EXPECT_EQ(picker->rowCount(), 0);
        states[0]->click();
        const auto families = picker->familyFrame()->findChildren<QRadioButton *>();
        ASSERT_EQ(families.size(), 4);
        EXPECT_TRUE(families[3]->isChecked());
        families[0]->click();
        EXPECT_EQ(picker->rowCount(), 2);
        picker->textField()->setText(QStringLiteral("1002"));
        picker->search();
        ASSERT_EQ(picker->rowCount(), 1);
        keepPicture(picker, QStringLiteral("formclxz"));
        // Only the vouchers that issued it are offered to return against.
        whenModal<VoucherFinder>([](VoucherFinder *chooser) {
            EXPECT_EQ(chooser->rowCount(), 2);
            EXPECT_EQ(chooser->buttons()->button(1)->text(), QStringLiteral("关 闭(&X)"));
            chooser->view()->selectRow(1);
            click(chooser->buttons(), 0);
        });
        click(picker->buttons(), 0);
    });
    click(screen.buttons(), FormLLTHDTX::Materials);

    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    ASSERT_EQ(screen.model()->rowCount(), 1);
    EXPECT_EQ(screen.model()->line(0).clbh, QStringLiteral("1002"));
    EXPECT_EQ(screen.grid()->currentIndex().column(), int(IssueReturnLineModel::Quantity));
}

} // namespace
