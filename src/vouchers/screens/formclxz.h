#pragma once

#include "store/formats.h"
#include "vouchers/vouchermaterials.h"
#include "widgets/searchpicker.h"

#include <memory>

class QGroupBox;

namespace varnock {

class Database;

// The material selection "FormCLXZ" ("材料查询------选择材料"): the materials that the vouchers
// of one family name, not reversed or reversed, searched by code or name. Choosing another
// family or state lists again at once.
class FormCLXZ : public RowPicker<VoucherMaterials::Row>
{
    Q_OBJECT

public:
    using Family = VoucherMaterials::Family;

    FormCLXZ(Database &db, const Formats &formats, Family family, QWidget *parent = nullptr);

    // The option frames: the families in VoucherMaterials::FamilyNames' order, then not
    // reversed and reversed.
    QGroupBox *familyFrame() const { return m_families; }
    QGroupBox *stateFrame() const { return m_states; }

private:
    struct Choice
    {
        Family family = Family::Issue;
        bool reversed = false;
    };

    FormCLXZ(Database &db, const Formats &formats, const std::shared_ptr<Choice> &choice,
             QWidget *parent);
    static PickerDeclaration<VoucherMaterials::Row>
    declaration(Database &db, const Formats &formats, const std::shared_ptr<Choice> &choice);

    std::shared_ptr<Choice> m_choice;
    QGroupBox *m_families;
    QGroupBox *m_states;
};

} // namespace varnock
