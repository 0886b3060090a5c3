#include "shell/screens/frmxtcssz.h"

#include "print/reporttemplate.h"
#include "print/slipcaptions.h"
#include "shell/displaysettings.h"
#include "support/testaccountset.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace varnock;
using test::click;

namespace {

class FrmXtcsszTest : public ::testing::Test
{
protected:
    test::TestAccountSet set;
    DataFolder folder{set.folder()};
    test::RecordingSink sink;
};

TEST_F(FrmXtcsszTest, SavesTheSettingsAndAsksForARestartOnlyWhenAFormatChanged)
{
    FrmXtcssz screen(set.db(), folder, Formats());
    QSignalSpy title(&screen, &FrmXtcssz::windowTitleChanged);
    QSignalSpy restart(&screen, &FrmXtcssz::restartRequested);
    screen.show();
    for (int page = 0; page < screen.pages()->count(); ++page) {
        screen.pages()->setCurrentIndex(page);
        test::keepPicture(&screen, QStringLiteral("FrmXtcssz-%1").arg(page));
    }
    EXPECT_TRUE(screen.defaultFolder()->isChecked());
    EXPECT_TRUE(screen.folderField()->isReadOnly());
    EXPECT_EQ(screen.receiptCaption(2)->text(), QStringLiteral("验 收 员"));

    // A chosen folder that does not exist is refused and nothing is saved.
    screen.firmField(0)->setText(QStringLiteral("第一建筑公司"));
    screen.chosenFolder()->setChecked(true);
    screen.folderField()->setText(set.folder() + QStringLiteral("/gone"));
    click(screen.buttons(), FrmXtcssz::Confirm);
    EXPECT_EQ(sink.lastText(), QStringLiteral("请选择有效的备份目录"));
    EXPECT_EQ(title.count(), 0);

    // Unchanged formats: no question; the captions are what the slips print from now on.
    screen.defaultFolder()->setChecked(true);
    screen.issueCaption(2)->setText(QStringLiteral("领 用 人"));
    click(screen.buttons(), FrmXtcssz::Confirm);
    EXPECT_TRUE(sink.questions.empty());
    ASSERT_EQ(title.count(), 1);
    EXPECT_EQ(title.at(0).at(0).toString(), QStringLiteral("Varnock系统 - [ 第一建筑公司 ]"));
    EXPECT_EQ(SlipCaptions::read(folder).issue().at(2), QStringLiteral("领 用 人"));
    EXPECT_EQ(screen.result(), QDialog::Accepted);

    FrmXtcssz again(set.db(), folder, Formats());
    EXPECT_EQ(again.firmField(0)->text(), QStringLiteral("第一建筑公司"));
    again.amountFormat()->setCurrentText(QStringLiteral("0.0000"));
    sink.answer({false});
    click(again.buttons(), FrmXtcssz::Confirm);
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("重新启动新的设置才能生效,您现在重新启动吗?")});
    EXPECT_EQ(restart.count(), 0);
    EXPECT_EQ(DisplaySettings(folder).readFormats().amountFormat(), QStringLiteral("0.0000"));
}

TEST_F(FrmXtcsszTest, RestoresTheSelectedTemplates)
{
    FrmXtcssz screen(set.db(), folder, Formats());
    QTreeWidget *list = screen.reportList();
    ASSERT_GE(list->topLevelItemCount(), 3);
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(1)->setSelected(true);
    screen.restoreButton()->click();
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("你真的要还原你选择的报表吗?,一旦还原将恢复初始报表!")});
    EXPECT_EQ(sink.lastText(), QStringLiteral("你所有选的报表,已成功还原"));
    const ReportTemplates templates(folder.reportsFolder());
    EXPECT_TRUE(QFileInfo::exists(templates.path(list->topLevelItem(1)->text(1))));
    EXPECT_FALSE(QFileInfo::exists(templates.path(list->topLevelItem(2)->text(1))));
}

} // namespace
