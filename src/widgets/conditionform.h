#pragma once

#include "widgets/conditiondialog.h"
#include "widgets/datepicker.h"

#include <QComboBox>
#include <QLineEdit>
#include <QList>

#include <functional>
#include <optional>

namespace varnock {

// A condition dialog that returns its conditions:
//     ConditionForm<StockInConditions> form(QStringLiteral("FrmDjcx"), title, this);
//     form.addField(QStringLiteral("材料编号："), &StockInConditions::clbh);
//     form.addDates(start);
//     if (std::optional<StockInConditions> c = form.ask()) …
// Each field is read into its member of C; C's `from` and `to` take the dates. Subclasses add
// their fields in the constructor.
template <typename C> class ConditionForm : public ConditionDialog
{
public:
    using Text = QString C::*;

    ConditionForm(const QString &objectName, const QString &title, QWidget *parent)
        : ConditionDialog(objectName, title, parent)
    {}

    // The conditions when "查 询(&F)" was pressed with sound dates; nullopt when cancelled.
    std::optional<C> ask()
    {
        if (!run())
            return std::nullopt;
        return conditions();
    }

    // The conditions as the fields read now; empty fields add none.
    C conditions() const
    {
        C c;
        for (const auto &read : m_reads)
            read(c);
        c.from = startDate()->date();
        c.to = endDate()->date();
        return c;
    }

    using ConditionDialog::addDates;

    QLineEdit *addField(const QString &caption, Text into)
    {
        QLineEdit *edit = ConditionDialog::addField(caption);
        m_reads.append([edit, into](C &c) { c.*into = edit->text(); });
        return edit;
    }
    QComboBox *addChoiceField(const QString &caption, const QStringList &choices, Text into)
    {
        QComboBox *combo = ConditionDialog::addChoiceField(caption, choices);
        m_reads.append([combo, into](C &c) { c.*into = combo->currentText(); });
        return combo;
    }
    PickedField addPickedField(const QString &codeCaption, const QString &nameCaption,
                               const Pick &pick, Text into)
    {
        const PickedField field = ConditionDialog::addPickedField(codeCaption, nameCaption, pick);
        m_reads.append([code = field.code, into](C &c) { c.*into = code->text(); });
        return field;
    }

private:
    QList<std::function<void(C &)>> m_reads;
};

} // namespace varnock
