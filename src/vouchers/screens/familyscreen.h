#pragma once

#include "master/screens/masterpickers.h"
#include "store/formats.h"
#include "vouchers/screens/voucherentryscreen.h"
#include "vouchers/voucherlinemodel.h"
#include "widgets/datepicker.h"

#include <QComboBox>
#include <QLineEdit>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace varnock {

// An entry screen bound to its family's voucher: `Family` is the family's service (a
// VoucherFamily with load(xtbh)), `Model` its line grid, made on the service. Each header field
// is bound to the member of the voucher it shows; loading, what the screen shows and saving
// new and edited vouchers run here. The voucher last displayed is kept for what it holds
// beyond the fields (a return's source voucher).
template <typename Family, typename Model> class FamilyScreen : public VoucherEntryScreen
{
public:
    using Voucher = typename Family::Voucher;

    Model *model() const { return m_model; }

protected:
    FamilyScreen(std::unique_ptr<Family> family, const Look &look, QWidget *parent)
        : VoucherEntryScreen(std::move(family), look, parent)
        , m_model(new Model(this->family(), this))
    {}

    Family &family() const { return static_cast<Family &>(service()); }

    // `field` shows and takes `member`.
    void bind(QLineEdit *field, QString Voucher::*member)
    {
        m_bindings.append({[field, member](const Voucher &v) { field->setText(v.*member); },
                           [field, member](Voucher &v) { v.*member = field->text(); }});
    }
    // A combo of choices shows the voucher's text alone, its choices offered again when the
    // family fills them.
    void bind(QComboBox *field, QString Voucher::*member)
    {
        m_bindings.append({[field, member](const Voucher &v) {
                               field->clear();
                               field->setEditText(v.*member);
                           },
                           [field, member](Voucher &v) { v.*member = field->currentText(); }});
    }

    using VoucherEntryScreen::addField;
    // A header field (as VoucherEntryScreen::addField places it) that shows and takes `member`.
    template <typename Field>
    void addField(const QString &caption, Field *field, int row, int column,
                  QString Voucher::*member, int span = 1, bool entered = true)
    {
        VoucherEntryScreen::addField(caption, field, row, column, span, entered);
        bind(field, member);
    }

    // The first header row of a voucher: its date, the document number the user writes (shown
    // and taken as `member`), the system number and the state.
    template <typename Field>
    void placeFirstRow(const QString &numberCaption, Field *number, QString Voucher::*member)
    {
        placeDate(QStringLiteral("凭单日期："), 0, 0);
        addField(numberCaption, number, 0, 2, member);
        placeSystemNumber(QStringLiteral("系统编号："), 0, 4);
        placeState(0, 6);
    }

    // The material lookup ("材料查询") for a grid row of an editable voucher; the chosen
    // material goes into the row.
    void lookUpMaterialFor(int row, const Formats &formats)
    {
        if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
            return;
        RowPicker lookup(MasterPickers::materials(this->database(), formats), this);
        if (const std::optional<MaterialLookup::Row> material = lookup.pick())
            this->materialPlaced(row, m_model->setMaterial(row, *material));
    }

    // Shows `voucher`: its date, its bound fields and its lines.
    void display(const Voucher &voucher)
    {
        m_voucher = voucher;
        dateField()->setDate(voucher.czrq);
        for (const Binding &b : std::as_const(m_bindings))
            b.show(voucher);
        m_model->setLines(voucher.lines);
        displayed();
    }
    // The voucher as the screen shows it.
    Voucher shown() const
    {
        Voucher v = m_voucher;
        v.xtbh = systemNumber();
        v.czrq = dateField()->date();
        for (const Binding &b : m_bindings)
            b.read(v);
        v.lines = m_model->lines();
        return v;
    }
    // A voucher was just displayed; the family refreshes what depends on it.
    virtual void displayed() {}
    // A new voucher starts from nothing of the one shown before.
    void cleared() override { m_voucher = Voucher(); }

    std::optional<bool> load(qint64 xtbh) override
    {
        const std::optional<Voucher> v = family().load(xtbh);
        if (!v)
            return std::nullopt;
        display(*v);
        return v->posted;
    }
    qint64 saveShown(bool isNew) override
    {
        if (isNew)
            return family().saveNew(shown());
        family().saveEdit(shown());
        return systemNumber();
    }

    Model *const m_model;

private:
    struct Binding
    {
        std::function<void(const Voucher &)> show;
        std::function<void(Voucher &)> read;
    };
    QList<Binding> m_bindings;
    Voucher m_voucher;
};

} // namespace varnock
