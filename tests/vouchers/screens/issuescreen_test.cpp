#include "ledger/screens/ledgerscreens.h"
#include "ledger/screens/postingscreen.h"
#include "master/screens/masterpickers.h"
#include "shell/permissions.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/issuelinemodel.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/formlldtx.h"
#include "vouchers/screens/issuematerialpicker.h"
#include "vouchers/screens/issuescreens.h"
#include "vouchers/screens/voucherfinder.h"
#include "widgets/conditiondialog.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/lookupedit.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace varnock;
using test::click;
using test::dec;
using test::keepPicture;
using test::whenModal;

namespace {

class IssueScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一号楼项目部"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        set.addMaterial(QStringLiteral("1003"), QStringLiteral("砂"));
        db().exec(QStringLiteral("UPDATE CLJBXXB SET CLGG = 'Φ12' WHERE CLBH = '1001'"));
        test::LedgerSeed seed(db());
        seed.opening(QStringLiteral("1001"), dec("10"), dec("25"));
        seed.opening(QStringLiteral("1003"), dec("6"), dec("30"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    void close()
    {
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }

    // Types into a numeric cell through its editor and commits with Enter.
    void type(FormLLDTX &screen, int row, int column, const QString &text)
    {
        const QModelIndex cell = screen.model()->index(row, column);
        screen.grid()->setCurrentIndex(cell);
        screen.grid()->edit(cell);
        auto *edit = qobject_cast<NumericEdit *>(screen.grid()->indexWidget(cell));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!screen.grid()->isEditing() || screen.grid()->currentIndex() != cell);
        if (screen.grid()->isEditing())
            screen.grid()->closePersistentEditor(screen.grid()->currentIndex());
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

TEST_F(IssueScreenTest, ARequisitionIsPickedTypedSavedFoundAndEdited)
{
    close();
    FormLLDTX screen(db(), IssueVouchers::Requisition, 2, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.objectName(), QStringLiteral("FormLLDTX"));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("材料领料出库凭单填制"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_TRUE(screen.grid()->isColumnHidden(IssueLineModel::Id));
    EXPECT_FALSE(screen.grid()->isColumnHidden(IssueLineModel::Price));
    EXPECT_FALSE(screen.buttons()->button(FormLLDTX::Print)->isEnabled());

    click(screen.buttons(), FormLLDTX::Add);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证新增"));
    EXPECT_EQ(screen.documentNumber()->currentText(), QStringLiteral("2026-03-10 - 1001"));
    EXPECT_EQ(screen.systemNumberLabel()->text(), QStringLiteral("1"));

    // Nothing chosen yet: the first check speaks, nothing is written.
    click(screen.buttons(), FormLLDTX::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择单位名称！"));
    EXPECT_EQ(sink.shown.back().title, QStringLiteral("提示窗口"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD")), 0);

    whenModal<SearchPicker>([](SearchPicker *picker) { click(picker->buttons(), 0); });
    QTest::mouseClick(screen.unitButton(), Qt::LeftButton);
    EXPECT_EQ(screen.unitCode()->text(), QStringLiteral("U1"));
    EXPECT_EQ(screen.unitName()->text(), QStringLiteral("一号楼项目部"));
    screen.site()->setEditText(QStringLiteral("基础'B"));

    // The picker opens on the stock; a material without stock is refused there.
    whenModal<SearchPicker>([this](SearchPicker *picker) {
        EXPECT_EQ(picker->rowCount(), 2);
        keepPicture(picker, QStringLiteral("formclxzct"));
        picker->conditionBox()->setCurrentIndex(1);
        picker->valueBox()->setEditText(QStringLiteral("1002"));
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        ASSERT_EQ(picker->rowCount(), 1);
        picker->view()->selectRow(0);
        picker->choose();
        EXPECT_EQ(sink.lastText(), QStringLiteral("材料的库存数量小于或等于零！不能出库"));
        EXPECT_EQ(sink.shown.back().title, QStringLiteral("提示窗口"));
        picker->conditionBox()->setCurrentIndex(0);
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        picker->view()->selectRow(0);
        picker->choose();
    });
    QTest::mouseClick(screen.materialButton(), Qt::LeftButton);
    ASSERT_EQ(screen.model()->rowCount(), 2);
    EXPECT_EQ(screen.model()->index(0, IssueLineModel::Name).data().toString(),
              QStringLiteral("螺纹钢"));
    EXPECT_EQ(screen.model()->index(0, IssueLineModel::Price).data().toString(),
              QStringLiteral("2.50"));
    EXPECT_EQ(screen.model()->index(0, IssueLineModel::StockQuantity).data().toString(),
              QStringLiteral("10.00"));

    type(screen, 0, IssueLineModel::Quantity, QStringLiteral("4x"));
    QTRY_COMPARE(screen.model()->index(0, IssueLineModel::Amount).data().toString(),
                 QStringLiteral("10.00"));
    EXPECT_EQ(screen.totalField()->text(), QStringLiteral("10.00"));
    keepPicture(&screen, QStringLiteral("formlldtx-new"));

    sink.clear();
    click(screen.buttons(), FormLLDTX::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE XTBH = 1 AND CLBH = '1001' "
                                   "AND SJSL = 40000 AND SJDJ = 25000 AND SJJE = 100000 "
                                   "AND ZL = '1' AND JZBZ = 0 AND LLDWBH = 'U1' "
                                   "AND SGBW = '基础''B' AND CZRQ = '2026-03-10' "
                                   "AND YSDJH = '2026-03-10 - 1001'")),
              1);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.systemNumber(), 1);
    EXPECT_EQ(screen.model()->rowCount(), 1);

    // Found again, changed: a second material through the code cell, the first line deleted.
    screen.showVoucher(0); // nothing there: the screen stays as it is
    whenModal<VoucherFinder>([](VoucherFinder *finder) {
        EXPECT_EQ(finder->windowTitle(), QStringLiteral("凭单查询"));
        EXPECT_EQ(finder->rowCount(), 1);
        EXPECT_EQ(finder->view()->model()->index(0, 1).data().toString(), QStringLiteral("未记账"));
        click(finder->buttons(), 0);
    });
    click(screen.buttons(), FormLLDTX::Search);
    EXPECT_EQ(screen.systemNumber(), 1);
    click(screen.buttons(), FormLLDTX::Change);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证修改"));
    screen.model()->appendEmpty();
    const QModelIndex codeCell = screen.model()->index(1, IssueLineModel::Code);
    screen.grid()->setCurrentIndex(codeCell);
    screen.grid()->edit(codeCell);
    auto *code = qobject_cast<LookupEdit *>(screen.grid()->indexWidget(codeCell));
    ASSERT_NE(code, nullptr);
    whenModal<SearchPicker>([](SearchPicker *picker) {
        picker->view()->selectRow(1);
        picker->choose();
    });
    QTest::mouseClick(code->button(), Qt::LeftButton);
    if (screen.grid()->isEditing())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!screen.grid()->isEditing());
    EXPECT_EQ(screen.model()->line(1).clbh, QStringLiteral("1003"));
    type(screen, 1, IssueLineModel::Quantity, QStringLiteral("2"));
    EXPECT_EQ(screen.totalField()->text(), QStringLiteral("20.00"));

    screen.grid()->setCurrentIndex(screen.model()->index(0, IssueLineModel::Code));
    sink.answer({false});
    click(screen.buttons(), FormLLDTX::Delete);
    EXPECT_EQ(sink.questionTexts().last(), QStringLiteral("你确实要删除第 1 记录吗？"));
    EXPECT_EQ(sink.questions.back().title, QStringLiteral("删除窗口"));
    EXPECT_EQ(screen.model()->line(0).clbh, QStringLiteral("1001"));
    click(screen.buttons(), FormLLDTX::Delete);
    EXPECT_EQ(screen.model()->line(0).clbh, QStringLiteral("1003"));
    EXPECT_EQ(screen.totalField()->text(), QStringLiteral("10.00"));
    keepPicture(&screen, QStringLiteral("formlldtx-edit"));

    sink.clear();
    click(screen.buttons(), FormLLDTX::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE XTBH = 1 AND CLBH = '1003' "
                                   "AND SJSL = 20000 AND SJJE = 100000")),
              1);

    // Posted: shown as such and never changed here.
    test::LedgerSeed(db()).post(QStringLiteral("LLD"), 1);
    screen.showVoucher(1);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
    EXPECT_FALSE(screen.model()->isEditable());
    click(screen.buttons(), FormLLDTX::Change);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("已记帐"));
}

TEST_F(IssueScreenTest, RestoreDropsUnsavedInput)
{
    close();
    IssueVouchers v(db(), IssueVouchers::Requisition, 2, Formats());
    IssueVoucher in;
    in.ysdjh = QStringLiteral("A-1");
    in.lldwbh = QStringLiteral("U1");
    in.czrq = QDate(2026, 3, 5);
    IssueLine l;
    l.clbh = QStringLiteral("1001");
    l.quantity = dec("3");
    in.lines = {l};
    const qint64 xtbh = v.saveNew(in);

    FormLLDTX screen(db(), IssueVouchers::Requisition, 2, Formats());
    screen.showVoucher(xtbh);
    click(screen.buttons(), FormLLDTX::Change);
    screen.model()->setData(screen.model()->index(0, IssueLineModel::Quantity),
                            QStringLiteral("9"));
    screen.unitCode()->setText(QStringLiteral("U9"));
    click(screen.buttons(), FormLLDTX::Restore);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(screen.model()->line(0).quantity, dec("3"));
    EXPECT_EQ(screen.unitCode()->text(), QStringLiteral("U1"));

    click(screen.buttons(), FormLLDTX::Add);
    click(screen.buttons(), FormLLDTX::Restore);
    EXPECT_EQ(screen.systemNumber(), 0);
    EXPECT_FALSE(screen.model()->line(0).hasMaterial());
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(SJSL) FROM LLD")), 30000);
}

TEST_F(IssueScreenTest, TransfersOutUnderFifoAreRegisteredAndShowNoPrices)
{
    ScreenRegistry registry;
    registerIssueScreens(registry);
    ScreenRequest request;
    request.database = &db();
    request.issueKind = 2;
    request.mode = 1;
    EXPECT_EQ(registry.open(QStringLiteral("FormLLDTX"), request), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选做月结处理！！！"));

    close();
    auto *screen = qobject_cast<FormLLDTX *>(registry.open(QStringLiteral("FormLLDTX"), request));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->zl(), QStringLiteral("2"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("材料出库凭单填制"));
    EXPECT_EQ(screen->buttons()->count(), 9);
    EXPECT_EQ(screen->buttons()->button(FormLLDTX::Post)->text(), QStringLiteral("记   账(&J)"));
    EXPECT_TRUE(screen->grid()->isColumnHidden(IssueLineModel::Price));
    EXPECT_TRUE(screen->grid()->isColumnHidden(IssueLineModel::Amount));
    bool unitLabel = false;
    for (QLabel *label : screen->findChildren<QLabel *>())
        unitLabel = unitLabel || label->text() == QStringLiteral("调拨单位");
    EXPECT_TRUE(unitLabel);

    click(screen->buttons(), FormLLDTX::Add);
    screen->unitCode()->setText(QStringLiteral("U1"));
    screen->model()->setData(screen->model()->index(0, IssueLineModel::Code),
                             QStringLiteral("1001"));
    screen->model()->setData(screen->model()->index(0, IssueLineModel::Quantity),
                             QStringLiteral("2"));
    keepPicture(screen, QStringLiteral("formlldtx-fifo"));
    click(screen->buttons(), FormLLDTX::Save);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE ZL = '2' AND SJSL = 20000 "
                                   "AND SJDJ = 0 AND SJJE = 0")),
              1);
    screen->close();
}

TEST_F(IssueScreenTest, TheFinderNarrowsTheListByConditionsAndSoundDates)
{
    close();
    set.addUnit(QStringLiteral("U2"), QStringLiteral("二号'楼"));
    IssueVouchers v(db(), IssueVouchers::Requisition, 2, Formats());
    IssueVoucher in;
    in.ysdjh = QStringLiteral("A");
    in.lldwbh = QStringLiteral("U1");
    in.czrq = QDate(2026, 3, 2);
    in.sgbw = QStringLiteral("基础");
    IssueLine l;
    l.clbh = QStringLiteral("1001");
    l.quantity = dec("1");
    in.lines = {l};
    v.saveNew(in);
    in.lldwbh = QStringLiteral("U2");
    in.sgbw = QStringLiteral("主体");
    v.saveNew(in);

    VoucherFinder finder(VoucherFinder::issues(v));
    EXPECT_EQ(finder.objectName(), QStringLiteral("FormPDCX"));
    EXPECT_EQ(finder.rowCount(), 2);
    keepPicture(&finder, QStringLiteral("formpdcx"));
    whenModal<ConditionDialog>([this](ConditionDialog *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("FrmLLpdcx"));
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("条件查询"));
        EXPECT_EQ(dialog->startDate()->date(), QDate(2026, 2, 28));
        EXPECT_EQ(dialog->endDate()->date(), QDate(2026, 3, 10));
        auto *site = test::fieldBeside<QComboBox>(dialog, QStringLiteral("施工部位："));
        ASSERT_NE(site, nullptr);
        EXPECT_EQ(site->count(), 2);
        keepPicture(dialog, QStringLiteral("frmllpdcx"));
        dialog->endDate()->setDate(QDate(2026, 2, 1));
        click(dialog->buttons(), 0);
        EXPECT_EQ(sink.lastText(), QStringLiteral("终止日期不能大于起始日期！"));
        EXPECT_TRUE(dialog->isVisible());

        dialog->endDate()->setDate(QDate(2026, 3, 10));
        site->setEditText(QStringLiteral("主体"));
        click(dialog->buttons(), 0);
    });
    QTest::mouseClick(finder.searchButton(), Qt::LeftButton);
    ASSERT_EQ(finder.rowCount(), 1);
    EXPECT_EQ(finder.view()->model()->index(0, 5).data().toString(), QStringLiteral("二号'楼"));
    EXPECT_EQ(finder.view()->model()->index(0, 8).data().toString(), QStringLiteral("U2"));
    EXPECT_EQ(finder.view()->model()->headerData(5, Qt::Horizontal).toString(),
              QStringLiteral("耗料单位"));
}

TEST_F(IssueScreenTest, CommandsOpenTheirKindAndThePostButtonOpensItsPosting)
{
    close();
    MDIFrmMain main;
    auto *dispatcher = new CommandDispatcher(&main);
    dispatcher->setAccountSet(&db(), 2);
    registerLedgerScreens(dispatcher->registry());
    registerIssueScreens(dispatcher->registry());
    dispatcher->installCommands();
    main.applyPermissions(Permissions::all(), true);
    dispatcher->loggedIn(Permissions::all(), true);

    main.action(QStringLiteral("DBCKDTX"))->trigger();
    auto *entry = main.findChild<FormLLDTX *>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->zl(), IssueVouchers::TransferOut);

    entry->buttons()->button(FormLLDTX::Post)->click();
    auto *posting = main.findChild<PostingScreen *>();
    ASSERT_NE(posting, nullptr);
    EXPECT_EQ(posting->family(), Posting::Family::Issue);
    EXPECT_EQ(posting->kind(), QStringLiteral("2"));

    // Without the posting right the button opens nothing.
    posting->close();
    QTRY_VERIFY(main.findChild<PostingScreen *>() == nullptr);
    Permissions rights = Permissions::all();
    rights[Permissions::DZCL] = false;
    main.applyPermissions(rights, true);
    entry->buttons()->button(FormLLDTX::Post)->click();
    EXPECT_EQ(main.findChild<PostingScreen *>(), nullptr);
    EXPECT_EQ(sink.lastText(), QStringLiteral("对不起,您没有被授予该项权限!"));
}

} // namespace

TEST_F(IssueScreenTest, AVoucherPastItsPlanIsSavedWithAWarning)
{
    close();
    test::LedgerSeed seed(db());
    const qint64 xtbh = 7;
    seed.issue(xtbh, QStringLiteral("1001"), dec("5"), dec("2.5"), dec("12.5"));
    FormLLDTX screen(db(), IssueVouchers::Requisition, 2, Formats());
    screen.show();
    screen.showVoucher(xtbh);
    const auto save = [&] {
        click(screen.buttons(), FormLLDTX::Change);
        screen.dateField()->setDate(QDate(2026, 3, 10));
        click(screen.buttons(), FormLLDTX::Save);
        EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    };
    // Without a plan there is nothing to say.
    save();
    EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();

    db().exec(QStringLiteral("INSERT INTO CLJH (CLBH, CZRQ, SL) VALUES ('1001', '2026-03-01', ?)"),
              {dec("4").toVariant()});
    save();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown.back().title, QStringLiteral("警告"));
    EXPECT_EQ(sink.lastText(),
              QStringLiteral("材料 螺纹钢（1001）计划数量 4.00，已出库 5.00，超出计划！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE CZRQ = '2026-03-10'")), 1);
}
