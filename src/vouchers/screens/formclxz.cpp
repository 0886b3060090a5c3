#include "vouchers/screens/formclxz.h"

#include "widgets/screenparts.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace varnock {

namespace {

// A frame of option buttons in a row, `checked` chosen; `chosen` is told the place of every
// option chosen later.
QGroupBox *optionRow(const QStringList &texts, int checked, const std::function<void(int)> &chosen,
                     QWidget *parent)
{
    auto *frame = new QGroupBox(parent);
    auto *layout = new QHBoxLayout(frame);
    auto *group = new QButtonGroup(frame);
    for (int i = 0; i < texts.size(); ++i) {
        auto *option = new QRadioButton(texts.at(i), frame);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        option->setChecked(i == checked);
        group->addButton(option, i);
        layout->addWidget(option);
    }
    layout->addStretch();
    QObject::connect(group, &QButtonGroup::idToggled, frame, [chosen](int id, bool on) {
        if (on)
            chosen(id);
    });
    return frame;
}

} // namespace

FormCLXZ::FormCLXZ(Database &db, const Formats &formats, Family family, QWidget *parent)
    : FormCLXZ(db, formats, std::make_shared<Choice>(Choice{family, false}), parent)
{}

FormCLXZ::FormCLXZ(Database &db, const Formats &formats, const std::shared_ptr<Choice> &choice,
                   QWidget *parent)
    : RowPicker(declaration(db, formats, choice), parent)
    , m_choice(choice)
{
    m_families = optionRow(
        VoucherMaterials::FamilyNames, int(choice->family),
        [this](int id) {
            m_choice->family = Family(id);
            search();
        },
        this);
    m_families->setObjectName(QStringLiteral("Frame1"));
    m_states = optionRow(
        VoucherMaterials::StateNames, 0,
        [this](int id) {
            m_choice->reversed = id == 1;
            search();
        },
        this);
    m_states->setObjectName(QStringLiteral("Frame2"));
    auto *options = new QHBoxLayout;
    options->addWidget(m_families, 3);
    options->addWidget(m_states, 2);
    contentLayout()->insertLayout(0, options);
}

PickerDeclaration<VoucherMaterials::Row>
FormCLXZ::declaration(Database &db, const Formats &formats, const std::shared_ptr<Choice> &choice)
{
    using Row = VoucherMaterials::Row;
    using ScreenParts::captions;
    const auto find = [&db, choice](int condition, const QString &text) {
        return VoucherMaterials(db).find(choice->family, choice->reversed,
                                         VoucherMaterials::By(condition), text);
    };
    return {{.name = QStringLiteral("FormCLXZ"),
             .title = QStringLiteral("材料查询------选择材料"),
             .conditions = captions(QStringLiteral("按材料编号查询|按材料名称查询")),
             .headers = captions(QStringLiteral("材料编号|材料名称|规格型号|计量单位|单据数|"
                                                "数量|金额")),
             .figures = {4, 5, 6},
             .widths = {{0, 90}, {1, 160}, {2, 110}},
             .size = {760, 460}},
            [find] { return find(0, QString()); },
            find,
            [formats](const Row &r) {
                return QStringList{r.clbh,
                                   r.clmc,
                                   r.clgg,
                                   r.jzdw,
                                   QString::number(r.vouchers),
                                   formats.quantityText(r.quantity),
                                   formats.amountText(r.amount)};
            }};
}

} // namespace varnock
