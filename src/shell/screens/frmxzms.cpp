#include "shell/screens/frmxzms.h"

#include "shell/displaysettings.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmXzms::FrmXzms(const DataFolder &folder, QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("FrmXzms"));
    setWindowTitle(QStringLiteral("核算方式"));
    setModal(true);
    Help::install(this, helpTopic());

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->addItems({DisplaySettings::modeName(2), DisplaySettings::modeName(1)});
    m_combo->setMinimumWidth(140);
    auto *label = new QLabel(QStringLiteral("核算方式："), this);
    label->setBuddy(m_combo);

    m_buttons = new IndexedButtonGroup({QStringLiteral("确  定(&Q)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);

    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(label);
    row->addWidget(m_combo);
    row->addStretch();
    auto *note = new QLabel(QStringLiteral("说明：核算方式随账套保存，建账后不能更改。"), this);
    note->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 16);
    layout->setSpacing(16);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addWidget(m_buttons);
    setFixedSize(320, sizeHint().height());

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            confirm();
        else
            reject();
    });
    m_combo->setFocus();
}

std::optional<int> FrmXzms::choose(const DataFolder &folder, QWidget *parent)
{
    FrmXzms screen(folder, parent);
    screen.exec();
    return screen.mode();
}

void FrmXzms::confirm()
{
    m_mode = m_combo->currentText() == DisplaySettings::modeName(2) ? 2 : 1;
    // The set keeps its mode itself; a YZMS that cannot be written is reported but does not
    // undo the choice.
    const int mode = *m_mode;
    runOperation(this, [this, mode] { DisplaySettings(m_folder).writeModeName(mode); });
    accept();
}

} // namespace varnock
