#include "master/openingbalancemodel.h"
#include "master/screens/counterpartyscreens.h"
#include "master/screens/formgyssz.h"
#include "master/screens/frmlldw.h"
#include "master/screens/frmzwcsh.h"
#include "master/screens/masterpickers.h"
#include "shell/screens/help.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"
#include "support/testaccountset.h"
#include "widgets/codelist.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/lookupedit.h"
#include "widgets/numericedit.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <utility>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;

namespace {

int scalarInt(Database &db, const QString &sql)
{
    return db.scalar(sql).toInt();
}

class CounterpartyScreensTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        set.addSupplier(QStringLiteral("1"), QStringLiteral("甲钢材公司"));
        set.addSupplier(QStringLiteral("2"), QStringLiteral("乙建材_商行"));
        set.addSupplier(QStringLiteral("10"), QStringLiteral("100%水泥厂"));
        set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
        set.addUnit(QStringLiteral("02"), QStringLiteral("二工区"));
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("圆钢"));
    }
    Database &db() { return set.db(); }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

} // namespace

TEST_F(CounterpartyScreensTest, SupplierPickerSearchesAndReturnsTheChoice)
{
    whenModal<SearchPicker>([](SearchPicker *picker) {
        keepPicture(picker, QStringLiteral("frmgysxz"));
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("供应商选择"));
        EXPECT_EQ(picker->view()->model()->rowCount(), 3);
        EXPECT_EQ(picker->buttons()->button(0)->text(), QStringLiteral("确 定(&Q)"));
        picker->conditionBox()->setCurrentIndex(1); // 按名称查询
        picker->textField()->setText(QStringLiteral("乙建材_"));
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        EXPECT_EQ(picker->view()->model()->rowCount(), 1);
        click(picker->buttons(), 0);
    });
    const std::optional<Counterparty> chosen = RowPicker(MasterPickers::suppliers(db())).pick();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->code, QStringLiteral("2"));
    EXPECT_EQ(chosen->name, QStringLiteral("乙建材_商行"));

    // A wildcard typed as the search text finds nothing but itself; cancelling returns none.
    whenModal<SearchPicker>([](SearchPicker *picker) {
        picker->conditionBox()->setCurrentIndex(1);
        picker->textField()->setText(QStringLiteral("%"));
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        EXPECT_EQ(picker->view()->model()->rowCount(), 0);
        click(picker->buttons(), 1);
    });
    EXPECT_FALSE(RowPicker(MasterPickers::suppliers(db())).pick());
}

TEST_F(CounterpartyScreensTest, UnitPickerServesUnitsAndSuppliers)
{
    whenModal<SearchPicker>([](SearchPicker *picker) {
        keepPicture(picker, QStringLiteral("formlldwxzct"));
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("单位选择"));
        EXPECT_EQ(picker->view()->model()->rowCount(), 2);
        picker->conditionBox()->setCurrentIndex(2); // 按单位名称查询
        EXPECT_EQ(picker->valueBox()->count(), 2);
        picker->valueBox()->setEditText(QStringLiteral("二"));
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        ASSERT_EQ(picker->view()->model()->rowCount(), 1);
        picker->view()->doubleClicked(picker->view()->model()->index(0, 0));
    });
    std::optional<Counterparty> chosen = RowPicker(MasterPickers::units(db())).pick();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->code, QStringLiteral("02"));

    whenModal<SearchPicker>([](SearchPicker *picker) {
        EXPECT_EQ(picker->view()->model()->rowCount(), 3);
        picker->conditionBox()->setCurrentIndex(1); // 按单位编号查询
        picker->valueBox()->setEditText(QStringLiteral("1"));
        QTest::mouseClick(picker->searchButton(), Qt::LeftButton);
        EXPECT_EQ(picker->view()->model()->rowCount(), 2); // 1 and 10
        picker->view()->selectRow(1);
        click(picker->buttons(), 0);
    });
    chosen = RowPicker(MasterPickers::units(db(), MasterPickers::Parties::Suppliers)).pick();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->name, QStringLiteral("100%水泥厂"));
}

TEST_F(CounterpartyScreensTest, SupplierFormProposesAsksAndGuardsDeletion)
{
    db().exec(QStringLiteral("INSERT INTO RKD (XTBH, GYSBH, CLBH) VALUES (1, '1', '1001')"));
    FormGYSSZ form(db());
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("供应商操作"));
    ASSERT_EQ(form.list()->count(), 3);
    EXPECT_EQ(form.list()->item(2)->text(), QStringLiteral("10  100%水泥厂"));

    click(form.buttons(), FormGYSSZ::Add);
    EXPECT_EQ(form.field(FormGYSSZ::BH)->text(), QStringLiteral("11"));
    form.field(FormGYSSZ::MC)->setText(QStringLiteral("O'Neil 五金"));
    // Yes to the debt question returns to the field; No saves with 0.
    sink.answer({true});
    click(form.buttons(), FormGYSSZ::Save);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("是否输入供应商初始欠款！！")});
    EXPECT_EQ(form.state(), FormGYSSZ::State::Adding);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM GYS")), 3);
    sink.answer({false});
    click(form.buttons(), FormGYSSZ::Save);
    EXPECT_EQ(form.state(), FormGYSSZ::State::Browse);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM GYS WHERE BH = '11' "
                                             "AND MC = 'O''Neil 五金' AND CSQK = 0")),
              1);
    keepPicture(&form, QStringLiteral("formgyssz"));

    // A name already taken is refused and the typed values stay.
    click(form.buttons(), FormGYSSZ::Add);
    form.field(FormGYSSZ::MC)->setText(QStringLiteral("甲钢材公司"));
    sink.clear();
    click(form.buttons(), FormGYSSZ::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("这个名称已经存在，请重新输入！！！"));
    EXPECT_EQ(form.field(FormGYSSZ::MC)->text(), QStringLiteral("甲钢材公司"));
    click(form.buttons(), FormGYSSZ::Cancel);

    ASSERT_TRUE(form.list()->selectCode(QStringLiteral("1")));
    sink.clear();
    click(form.buttons(), FormGYSSZ::Delete);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("你确实要删除这个供应商吗？")});
    EXPECT_EQ(sink.lastText(), QStringLiteral("这个供应商已经做过入库操作！\n不能删除！！！"));
    EXPECT_EQ(form.list()->count(), 4);
}

TEST_F(CounterpartyScreensTest, UnitFormSavesThroughTheAddButton)
{
    FrmLldw form(db());
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("耗料单位设置"));
    click(form.buttons(), FrmLldw::Add);
    EXPECT_EQ(form.buttons()->button(FrmLldw::Add)->text(), QStringLiteral("保存(&S)"));
    form.field(FrmLldw::BH)->setText(QStringLiteral("01"));
    form.field(FrmLldw::MC)->setText(QStringLiteral("三工区"));
    click(form.buttons(), FrmLldw::Add);
    EXPECT_EQ(sink.lastText(), QStringLiteral("编号不允许重复！"));
    form.field(FrmLldw::BH)->setText(QStringLiteral("03"));
    click(form.buttons(), FrmLldw::Add);
    EXPECT_EQ(form.buttons()->button(FrmLldw::Add)->text(), QStringLiteral("增加(&A)"));
    EXPECT_EQ(form.list()->count(), 3);
    EXPECT_EQ(form.list()->currentItem()->text(), QStringLiteral("03  三工区"));
    keepPicture(&form, QStringLiteral("frmlldw"));

    db().exec(QStringLiteral("INSERT INTO LLD (XTBH, LLDWBH, CLBH) VALUES (1, '03', '1001')"));
    click(form.buttons(), FrmLldw::Delete);
    EXPECT_EQ(sink.lastText(), QStringLiteral("该单位已经做过业务不允许删除！"));
    EXPECT_EQ(form.list()->count(), 3);
}

TEST_F(CounterpartyScreensTest, AMouseClickOnTheListShowsTheEntryAndItsFieldsAreChanged)
{
    db().exec(QStringLiteral("UPDATE GYS SET FR = '张三' WHERE BH = '2'"));
    db().exec(QStringLiteral("UPDATE LLDW SET LXR = '李四' WHERE BH = '02'"));
    FormGYSSZ suppliers(db());
    FrmLldw units(db());
    struct Case
    {
        CodedListScreen *screen;
        int changeButton;
        QString code;
        int contactField;
        QString contact;
    };
    for (const Case &c : {Case{&suppliers, FormGYSSZ::Change, QStringLiteral("2"), FormGYSSZ::FR,
                               QStringLiteral("张三")},
                          Case{&units, FrmLldw::Change, QStringLiteral("02"), FrmLldw::LXR,
                               QStringLiteral("李四")}}) {
        SCOPED_TRACE(c.screen->objectName().toStdString());
        c.screen->show();
        QApplication::setActiveWindow(c.screen);
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.screen));
        CodeList *list = c.screen->list();
        ASSERT_TRUE(c.screen->fieldAt(0)->text().isEmpty());
        QListWidgetItem *item = list->item(1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        EXPECT_EQ(c.screen->fieldAt(0)->text(), c.code);
        EXPECT_EQ(c.screen->fieldAt(c.contactField)->text(), c.contact);

        // 修改 after the click opens the clicked entry, its code kept.
        click(c.screen->buttons(), c.changeButton);
        EXPECT_EQ(c.screen->state(), CodedListScreen::State::Editing);
        EXPECT_TRUE(c.screen->fieldAt(0)->isReadOnly());
        EXPECT_FALSE(c.screen->fieldAt(1)->isReadOnly());
        EXPECT_EQ(c.screen->fieldAt(c.contactField)->text(), c.contact);
        // Another click ends the entry and shows the other one.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(c.screen->state(), CodedListScreen::State::Browse);
        EXPECT_EQ(c.screen->fieldAt(0)->text(), list->item(0)->data(Qt::UserRole).toString());
        c.screen->hide();
    }
}

TEST_F(CounterpartyScreensTest, OpeningBalanceEnteredThroughTheGrid)
{
    set.setMode(1);
    FrmZwcsh screen(db(), 1, Formats());
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("帐务初始化"));
    EXPECT_TRUE(screen.grid()->isColumnHidden(OpeningBalanceModel::Id));

    click(screen.buttons(), FrmZwcsh::Add);
    ASSERT_EQ(screen.model()->rowCount(), 1);
    auto *code = qobject_cast<LookupEdit *>(
        screen.grid()->indexWidget(screen.model()->index(0, OpeningBalanceModel::Code)));
    ASSERT_NE(code, nullptr);

    // The lookup button opens the material lookup; its choice fills the row and a new
    // empty row follows.
    whenModal<SearchPicker>([](SearchPicker *lookup) {
        keepPicture(lookup, QStringLiteral("frmclcx"));
        EXPECT_EQ(lookup->windowTitle(), QStringLiteral("材料查询"));
        EXPECT_EQ(lookup->view()->model()->rowCount(), 2);
        lookup->conditionBox()->setCurrentIndex(1);
        lookup->textField()->setText(QStringLiteral("圆"));
        QTest::mouseClick(lookup->searchButton(), Qt::LeftButton);
        ASSERT_EQ(lookup->view()->model()->rowCount(), 1);
        click(lookup->buttons(), 0);
    });
    QTest::mouseClick(code->button(), Qt::LeftButton);
    ASSERT_EQ(screen.model()->rowCount(), 2);
    const QAbstractItemModel *m = screen.model();
    EXPECT_EQ(m->index(0, OpeningBalanceModel::Code).data().toString(), QStringLiteral("1002"));
    EXPECT_EQ(m->index(0, OpeningBalanceModel::Name).data().toString(), QStringLiteral("圆钢"));

    // The new row's code cell is open for the next material; leave it.
    ASSERT_TRUE(screen.grid()->isEditing());
    auto *next = qobject_cast<LookupEdit *>(
        screen.grid()->indexWidget(screen.model()->index(1, OpeningBalanceModel::Code)));
    ASSERT_NE(next, nullptr);
    QTest::keyClick(next->lineEdit(), Qt::Key_Escape);
    QTRY_VERIFY(!screen.grid()->isEditing());

    auto type = [&](int column, const QString &text) {
        const QModelIndex cell = screen.model()->index(0, column);
        screen.grid()->setCurrentIndex(cell);
        screen.grid()->edit(cell);
        auto *edit = qobject_cast<NumericEdit *>(screen.grid()->indexWidget(cell));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        // Enter commits through a queued call, as between a person's keystrokes.
        QCoreApplication::processEvents();
    };
    type(OpeningBalanceModel::Price, QStringLiteral("12.5"));
    type(OpeningBalanceModel::Quantity, QStringLiteral("4"));
    QTRY_COMPARE(m->index(0, OpeningBalanceModel::Amount).data().toString(),
                 QStringLiteral("50.00"));

    click(screen.buttons(), FrmZwcsh::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM ZWCSH WHERE CLBH = '1002' "
                                             "AND KCSL = 40000 AND KCJE = 500000 "
                                             "AND KCDJ = 125000")),
              1);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCJE FROM KC WHERE CLBH = '1002'")), 500000);
    EXPECT_EQ(screen.totalLabel()->text(), QStringLiteral("50.00"));
    EXPECT_EQ(screen.model()->rowCount(), 1);
    keepPicture(&screen, QStringLiteral("frmzwcsh"));

    // A second row at the same price is refused and stays in the grid as typed.
    click(screen.buttons(), FrmZwcsh::Add);
    screen.model()->setMaterial(1, *MaterialLookup(db()).find(QStringLiteral("1002")));
    screen.model()->setData(screen.model()->index(1, OpeningBalanceModel::Price),
                            QStringLiteral("12.5"));
    screen.model()->setData(screen.model()->index(1, OpeningBalanceModel::Quantity),
                            QStringLiteral("1"));
    click(screen.buttons(), FrmZwcsh::Save);
    EXPECT_EQ(sink.lastText(), QStringLiteral("1002 圆钢单价为12.50已经做过初始化！"));
    EXPECT_EQ(screen.model()->rowCount(), 2);

    // Delete asks first, then takes the row out of the stock.
    click(screen.buttons(), FrmZwcsh::Restore);
    screen.grid()->selectRow(0);
    sink.clear();
    click(screen.buttons(), FrmZwcsh::Delete);
    EXPECT_EQ(sink.questionTexts(), QStringList{QStringLiteral("您确定要删除该记录吗？")});
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM ZWCSH")), 0);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCSL FROM KC WHERE CLBH = '1002'")), 0);
    EXPECT_EQ(screen.totalLabel()->text(), QStringLiteral("0.00"));
}

TEST_F(CounterpartyScreensTest, PlannedPriceOpeningShowsAndBooksItsPlannedValue)
{
    set.addMaterial(QStringLiteral("1003"), QStringLiteral("水泥"), QStringLiteral("1"), true,
                    Decimal::fromInt(5));
    FrmZwcsh screen(db(), 2, Formats());
    screen.show();
    screen.model()->appendNew();
    QAbstractItemModel *m = screen.model();
    screen.model()->setMaterial(0, *MaterialLookup(db()).find(QStringLiteral("1003")));
    m->setData(m->index(0, OpeningBalanceModel::Price), QStringLiteral("6"));
    m->setData(m->index(0, OpeningBalanceModel::Quantity), QStringLiteral("10"));
    EXPECT_EQ(m->index(0, OpeningBalanceModel::Amount).data().toString(), QStringLiteral("60.00"));
    EXPECT_EQ(m->index(0, OpeningBalanceModel::Planned).data().toString(), QStringLiteral("50.00"));
    EXPECT_GT(screen.grid()->columnWidth(OpeningBalanceModel::Planned), 60);
    click(screen.buttons(), FrmZwcsh::Save);
    EXPECT_TRUE(sink.shownTexts().isEmpty()) << sink.lastText().toStdString();
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCJE FROM ZWCSH")), 600000);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCJE FROM KC WHERE CLBH = '1003'")), 500000);
    EXPECT_EQ(screen.totalLabel()->text(), QStringLiteral("60.00"));
    EXPECT_EQ(m->index(0, OpeningBalanceModel::Planned).data().toString(), QStringLiteral("50.00"));
    keepPicture(&screen, QStringLiteral("frmzwcsh-planned"));

    // A changed quantity moves the stock by its planned value.
    screen.grid()->selectRow(0);
    click(screen.buttons(), FrmZwcsh::Change);
    m->setData(m->index(0, OpeningBalanceModel::Quantity), QStringLiteral("8"));
    click(screen.buttons(), FrmZwcsh::Save);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCJE FROM KC WHERE CLBH = '1003'")), 400000);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT KCJE FROM ZWCSH")), 480000);

    screen.grid()->selectRow(0);
    click(screen.buttons(), FrmZwcsh::Delete);
    EXPECT_EQ(scalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM KC")), 0);
}

TEST_F(CounterpartyScreensTest, CommandsOpenTheirScreens)
{
    ScreenRegistry registry;
    registerCounterpartyScreens(registry);
    ScreenRequest request;
    request.database = &db();
    request.mode = 1;
    const std::pair<const char *, QString> screens[] = {{"FormGYSSZ", FormGYSSZ::helpTopic()},
                                                        {"FrmLldw", FrmLldw::helpTopic()},
                                                        {"FrmZwcsh", FrmZwcsh::helpTopic()}};
    for (const auto &[name, topic] : screens) {
        SCOPED_TRACE(name);
        QWidget *screen = registry.open(QString::fromLatin1(name), request);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(Help::topicOf(screen), topic);
        screen->close(); // deletes itself
    }
    // Without an open account set nothing opens.
    EXPECT_EQ(registry.open(QStringLiteral("FrmZwcsh"), ScreenRequest()), nullptr);
}
