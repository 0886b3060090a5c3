#include "master/catalogue.h"
#include "master/screens/cataloguescreens.h"
#include "master/screens/frmcladd.h"
#include "master/screens/frmclk.h"
#include "master/screens/frmclsz.h"
#include "master/screens/frmladd.h"
#include "shell/screens/formtt.h"
#include "shell/screens/screenregistry.h"
#include "store/materiallibraries.h"
#include "support/testaccountset.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

using namespace varnock;

namespace {

QLineEdit *lineEdit(QWidget *form, const char *name)
{
    auto *edit = form->findChild<QLineEdit *>(QLatin1String(name));
    EXPECT_TRUE(edit) << name;
    return edit;
}

QStringList childTexts(QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

class CatalogueScreens : public ::testing::Test
{
protected:
    template <typename T> T *dialog()
    {
        auto *d = qobject_cast<T *>(screen.openDialog());
        EXPECT_TRUE(d);
        return d;
    }
    void popup(const QString &code, const QString &entry)
    {
        QTreeWidgetItem *item = screen.item(code);
        ASSERT_TRUE(item) << code.toStdString();
        screen.preparePopup(item);
        QAction *action = screen.popupAction(entry);
        ASSERT_TRUE(action->isVisible() && action->isEnabled()) << entry.toStdString();
        action->trigger();
    }
    bool offered(const QString &entry) const
    {
        const QAction *a = screen.popupAction(entry);
        return a->isVisible() && a->isEnabled();
    }

    test::RecordingSink sink;
    test::TestAccountSet set;
    FrmClsz screen{set.db()};
};

TEST_F(CatalogueScreens, AddsACategoryAndAMaterialThroughThePopupAndTheEditors)
{
    QTreeWidgetItem *root = screen.item(Catalogue::RootCode);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->text(0), QStringLiteral("全部材料"));
    EXPECT_EQ(screen.popupAction(QStringLiteral("BJ"))->text(), QStringLiteral("增加本级编码"));

    // An empty catalogue offers only a level below the root.
    screen.preparePopup(root);
    EXPECT_FALSE(offered(QStringLiteral("BJ")));
    EXPECT_FALSE(offered(QStringLiteral("SC")));
    EXPECT_TRUE(offered(QStringLiteral("SX")));
    popup(Catalogue::RootCode, QStringLiteral("XJ"));
    auto *category = dialog<FrmLADD>();
    ASSERT_TRUE(category);
    EXPECT_EQ(category->windowTitle(), QStringLiteral("类别设置"));
    EXPECT_EQ(lineEdit(category, "SSLB")->text(), QStringLiteral("全部材料"));
    EXPECT_EQ(lineEdit(category, "CLBH")->text(), QStringLiteral("1"));
    category->buttons()->button(FrmLADD::Save)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("编号和名称不允许为空！"));
    lineEdit(category, "CLMC")->setText(QStringLiteral("钢材"));
    category->buttons()->button(FrmLADD::Save)->click();
    EXPECT_EQ(childTexts(root), QStringList{QStringLiteral("钢材")});
    EXPECT_EQ(lineEdit(category, "CLBH")->text(), QStringLiteral("2"));
    EXPECT_TRUE(lineEdit(category, "CLMC")->text().isEmpty());
    category->close();

    // With top-level nodes the root offers only a refresh.
    screen.preparePopup(root);
    for (const char *hidden : {"BJ", "XJ", "JG1", "SC"})
        EXPECT_FALSE(screen.popupAction(QLatin1String(hidden))->isVisible()) << hidden;
    EXPECT_TRUE(offered(QStringLiteral("SX")));

    popup(QStringLiteral("1"), QStringLiteral("XJ"));
    category = dialog<FrmLADD>();
    EXPECT_EQ(lineEdit(category, "SSLB")->text(), QStringLiteral("钢材"));
    EXPECT_EQ(lineEdit(category, "CLBH")->text(), QStringLiteral("1001"));
    lineEdit(category, "CLMC")->setText(QStringLiteral("钢筋"));
    category->buttons()->button(FrmLADD::Save)->click();
    category->close();
    ASSERT_TRUE(screen.item(QStringLiteral("1001")));

    popup(QStringLiteral("1001"), QStringLiteral("XJ"));
    auto *material = dialog<FrmCLADD>();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->windowTitle(), QStringLiteral("材料设置"));
    EXPECT_EQ(lineEdit(material, "SSLB")->text(), QStringLiteral("钢筋"));
    EXPECT_EQ(lineEdit(material, "CLBH")->text(), QStringLiteral("1001001"));
    EXPECT_EQ(lineEdit(material, "JHJE")->text(), QStringLiteral("0.0000"));
    lineEdit(material, "CLMC")->setText(QStringLiteral("螺纹钢"));
    lineEdit(material, "CLGG")->setText(QStringLiteral("Φ12"));
    lineEdit(material, "JZDW")->setText(QStringLiteral("吨"));
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("计划单价不允许为空！"));
    lineEdit(material, "JHDJ")->setText(QStringLiteral("abc"));
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("计划单价必须是数字！"));
    lineEdit(material, "JHDJ")->setText(QStringLiteral("3650.5"));
    lineEdit(material, "JHSL")->setText(QStringLiteral("2"));
    EXPECT_EQ(lineEdit(material, "JHJE")->text(), QStringLiteral("7301.0000"));
    lineEdit(material, "HSXS")->setText(QStringLiteral("x"));
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("换算系数必须是数字！"));
    lineEdit(material, "HSXS")->clear();
    lineEdit(material, "CLBH")->setText(QStringLiteral("1002001"));
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("编码前4位必须为上级编号！"));
    lineEdit(material, "CLBH")->setText(QStringLiteral("1001001"));
    material->findChild<QRadioButton *>(QStringLiteral("Option2"))->setChecked(true);
    sink.clear();
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.lastText().toStdString();
    EXPECT_EQ(childTexts(screen.item(QStringLiteral("1001"))),
              QStringList{QStringLiteral("螺纹钢 Φ12")});
    EXPECT_EQ(lineEdit(material, "CLBH")->text(), QStringLiteral("1001002"));
    EXPECT_EQ(lineEdit(material, "SSLB")->text(), QStringLiteral("钢筋"));
    EXPECT_TRUE(lineEdit(material, "CLMC")->text().isEmpty());
    EXPECT_EQ(lineEdit(material, "JHJE")->text(), QStringLiteral("0.0000"));

    // The same name and spec again: the question, and No keeps it out.
    lineEdit(material, "CLMC")->setText(QStringLiteral("螺纹钢"));
    lineEdit(material, "CLGG")->setText(QStringLiteral("Φ12"));
    lineEdit(material, "JZDW")->setText(QStringLiteral("吨"));
    lineEdit(material, "JHDJ")->setText(QStringLiteral("1"));
    sink.answer({false});
    material->buttons()->button(FrmCLADD::Save)->click();
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("该材料已经在钢筋中存在！你是否添加！")});
    EXPECT_EQ(screen.item(QStringLiteral("1001"))->childCount(), 1);
    // The picture opens the special-character list while a material is being added.
    material->findChild<QToolButton *>(QStringLiteral("Picture1"))->click();
    ASSERT_TRUE(material->specialCharacters());
    EXPECT_EQ(material->specialCharacters()->windowTitle(), QStringLiteral("特殊字符列表"));
    material->close();

    const auto saved = Catalogue(set.db()).find(QStringLiteral("1001001"));
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->jjfs);
    EXPECT_EQ(saved->jhdj, *Decimal::parse(u"3650.5"));

    // A material takes no level below it; a category with children is not deleted.
    screen.preparePopup(screen.item(QStringLiteral("1001001")));
    EXPECT_FALSE(offered(QStringLiteral("XJ")));
    EXPECT_TRUE(offered(QStringLiteral("BJ")));
    popup(QStringLiteral("1"), QStringLiteral("SC"));
    EXPECT_EQ(sink.lastText(), QStringLiteral("请先删除下级编号！"));

    // BJ on a material opens the material editor under the same category.
    popup(QStringLiteral("1001001"), QStringLiteral("BJ"));
    material = dialog<FrmCLADD>();
    EXPECT_EQ(lineEdit(material, "CLBH")->text(), QStringLiteral("1001002"));
    material->close();
}

TEST_F(CatalogueScreens, GridFollowsTheTreeAndOpensRowsForEditing)
{
    Catalogue catalogue(set.db());
    catalogue.addCategory(QStringLiteral("1"), QStringLiteral("钢材"), Catalogue::RootCode);
    catalogue.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("b"), QStringLiteral("1001"), true,
                    Decimal::fromInt(5));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("a"), QStringLiteral("1001"));
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET JHSL = ? WHERE CLBH = '1001001'"),
                  {Decimal::fromInt(3).toVariant()});
    set.db().exec(QStringLiteral("INSERT INTO RKD (CLBH, SJSL) VALUES ('1001002', 0)"));
    screen.rebuildTree();

    QAbstractItemModel *model = screen.grid()->model();
    EXPECT_EQ(model->rowCount(), 4);
    screen.selectNode(screen.item(QStringLiteral("1001")));
    EXPECT_EQ(screen.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
              QStringLiteral("当前分类：钢筋"));
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("1001"));
    screen.sortByColumn(1); // name
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("1001002"));

    // The row opens in edit mode with every field filled.
    screen.openRow(1);
    auto *material = dialog<FrmCLADD>();
    ASSERT_TRUE(material);
    EXPECT_FALSE(material->isAdding());
    EXPECT_FALSE(material->buttons()->button(FrmCLADD::Save)->isEnabled());
    EXPECT_EQ(lineEdit(material, "CLBH")->text(), QStringLiteral("1001001"));
    EXPECT_EQ(lineEdit(material, "SSLB")->text(), QStringLiteral("钢筋"));
    EXPECT_EQ(lineEdit(material, "JHJE")->text(), QStringLiteral("15.0000"));
    EXPECT_TRUE(material->findChild<QRadioButton *>(QStringLiteral("Option2"))->isChecked());
    EXPECT_FALSE(material->findChild<QToolButton *>(QStringLiteral("Picture1"))->isEnabled());
    lineEdit(material, "CLMC")->setText(QStringLiteral("盘螺"));
    lineEdit(material, "CLGG")->setText(QStringLiteral("Φ8"));
    material->buttons()->button(FrmCLADD::Edit)->click();
    EXPECT_FALSE(material->isVisible());
    EXPECT_EQ(screen.item(QStringLiteral("1001001"))->text(0), QStringLiteral("盘螺 Φ8"));

    // A material with stock-in lines stays.
    screen.sortByColumn(0);
    screen.openRow(2);
    material = dialog<FrmCLADD>();
    EXPECT_EQ(lineEdit(material, "CLBH")->text(), QStringLiteral("1001002"));
    material->buttons()->button(FrmCLADD::Delete)->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("该材料已经做过出入库，不允许删除！"));
    material->close();

    // Deleting through the pop-up asks first, then removes the node.
    sink.answer({false});
    popup(QStringLiteral("1001001"), QStringLiteral("SC"));
    EXPECT_TRUE(screen.item(QStringLiteral("1001001")));
    popup(QStringLiteral("1001001"), QStringLiteral("SC"));
    EXPECT_EQ(sink.questionTexts().last(), QStringLiteral("您确定要删除该材料吗？"));
    EXPECT_FALSE(screen.item(QStringLiteral("1001001")));

    // The category opens in its own editor, where only the name changes.
    screen.selectNode(screen.item(QStringLiteral("1")));
    screen.openRow(0);
    auto *category = dialog<FrmLADD>();
    ASSERT_TRUE(category);
    EXPECT_EQ(lineEdit(category, "SSLB")->text(), QStringLiteral("全部材料"));
    EXPECT_TRUE(lineEdit(category, "CLBH")->isReadOnly());
    lineEdit(category, "CLMC")->setText(QStringLiteral("金属材料"));
    category->buttons()->button(FrmLADD::Edit)->click();
    EXPECT_EQ(screen.item(QStringLiteral("1"))->text(0), QStringLiteral("金属材料"));
}

TEST_F(CatalogueScreens, LibraryImportReplacesTheTree)
{
    MaterialLibraries::seed(set.db());
    set.addCategory(QStringLiteral("1"), QStringLiteral("自建类别"));
    screen.rebuildTree();

    screen.buttons()->button(FrmClsz::Library)->click();
    auto *library = dialog<FrmClk>();
    ASSERT_TRUE(library);
    EXPECT_FALSE(library->importButton()->isEnabled());
    library->libraryCombo()->setCurrentIndex(2);
    EXPECT_TRUE(library->importButton()->isEnabled());
    const int rows = library->grid()->model()->rowCount();
    EXPECT_EQ(rows, int(MaterialLibraries::rows(2).size()));

    sink.answer({false});
    library->importButton()->click();
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("新的材料库将替换现有材料库，你确定进行吗？")});
    EXPECT_EQ(Catalogue(set.db()).rows(Catalogue::RootCode).size(), 1);

    library->importButton()->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("数据替换完毕！"));
    EXPECT_EQ(screen.grid()->model()->rowCount(), rows);
    const auto top = Catalogue(set.db()).children(Catalogue::RootCode);
    EXPECT_EQ(screen.item(Catalogue::RootCode)->childCount(), top.size());
    EXPECT_EQ(screen.item(Catalogue::RootCode)->child(0)->text(0), top.first().clmc);
}

} // namespace

TEST(CatalogueScreenRegistration, CommandOpensTheCatalogue)
{
    test::TestAccountSet set;
    ScreenRegistry registry;
    registerCatalogueScreens(registry);
    ASSERT_TRUE(registry.contains(QStringLiteral("FrmClsz")));
    ScreenRequest request;
    request.database = &set.db();
    QWidget *screen = registry.open(QStringLiteral("FrmClsz"), request);
    ASSERT_TRUE(qobject_cast<FrmClsz *>(screen));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("材料信息设置"));
    delete screen;
}
