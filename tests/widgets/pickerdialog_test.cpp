#include "widgets/picker.h"

#include "recordingsink.h"
#include "widgets/indexedbuttongroup.h"

#include <QApplication>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;

namespace {

// Operators by number and name; the value is the name.
class NamePicker : public Picker<QString>
{
public:
    explicit NamePicker(QWidget *parent = nullptr)
        : Picker<QString>(parent, QStringLiteral("选择操作员"))
        , m_model(this)
    {
        m_model.setHorizontalHeaderLabels(
            {QStringLiteral("  操作员编号"), QStringLiteral("  操 作 员 姓 名")});
        m_model.appendRow({new QStandardItem(QStringLiteral("1")),
                           new QStandardItem(QStringLiteral("系统管理员"))});
        m_model.appendRow(
            {new QStandardItem(QStringLiteral("2")), new QStandardItem(QStringLiteral("王 会计"))});
        setModel(&m_model);
    }

    int refusedChoices = 0;

protected:
    QString valueAt(int row) const override { return m_model.item(row, 1)->text(); }
    bool acceptRow(int row) override
    {
        if (row < 0) {
            ++refusedChoices;
            Messages::warn(this, QStringLiteral("请选择正确的操作员"));
        }
        return row >= 0;
    }

private:
    QStandardItemModel m_model;
};

// Runs `steps` on the picker once it is shown modally.
void whenShown(std::function<void(NamePicker *)> steps)
{
    QTimer::singleShot(0, [steps] {
        auto *picker = dynamic_cast<NamePicker *>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(picker));
        steps(picker);
        // A step that failed to close the picker must not hang the test.
        if (picker->isVisible()) {
            ADD_FAILURE() << "picker still open";
            picker->reject();
        }
    });
}

} // namespace

TEST(Picker, EscapeReturnsNothing)
{
    whenShown([](NamePicker *p) { QTest::keyClick(p->view(), Qt::Key_Escape); });
    EXPECT_FALSE(NamePicker().pick().has_value());
}

TEST(Picker, EnterReturnsTheCurrentRow)
{
    whenShown([](NamePicker *p) {
        QTest::keyClick(p->view(), Qt::Key_Down);
        QTest::keyClick(p->view(), Qt::Key_Return);
    });
    const std::optional<QString> choice = NamePicker().pick();
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(*choice, QStringLiteral("王 会计"));
}

TEST(Picker, ExitButtonCancelsAndOkWithoutARowIsRefused)
{
    test::RecordingSink sink;
    int refused = 0;
    whenShown([&refused](NamePicker *p) {
        p->view()->clearSelection();
        p->buttons()->button(0)->click(); // 确定 without a row: stays open
        refused = p->refusedChoices;
        EXPECT_TRUE(p->isVisible());
        p->buttons()->button(1)->click(); // 退出
    });
    EXPECT_FALSE(NamePicker().pick().has_value());
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择正确的操作员"));
}

TEST(Picker, DoubleClickChooses)
{
    whenShown([](NamePicker *p) {
        QTableView *view = p->view();
        const QPoint cell = view->visualRect(view->model()->index(1, 1)).center();
        // A real double click: press and release, then the double-click event.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    });
    EXPECT_EQ(NamePicker().pick().value_or(QString()), QStringLiteral("王 会计"));
}
