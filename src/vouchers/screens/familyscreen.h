#pragma once

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
