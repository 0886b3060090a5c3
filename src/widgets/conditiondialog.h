#pragma once

#include "master/counterparty.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QGridLayout;
class QLineEdit;

namespace varnock {

class DatePicker;
class EnterMovesFocus;
class IndexedButtonGroup;

// Base of the finders' condition dialogs: labelled fields two to a row, a date pair, and the
// buttons "查 询(&F)" and "退 出(&X)". Enter moves on to the next field, Esc cancels, and
// "查 询(&F)" closes the dialog only when the end date is not before the start date.
// Subclasses add their fields in reading order and, through ConditionForm<C>, read them out.
class ConditionDialog : public QDialog
{
    Q_OBJECT

public:
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // A code field's picker: the chosen code and name, nullopt when cancelled.
    using Pick = CounterpartyPick;

    struct PickedField
    {
        QLineEdit *code;
        QLineEdit *name;
    };

protected:
    ConditionDialog(const QString &objectName, const QString &title, QWidget *parent);

    QLineEdit *addField(const QString &caption);
    // An editable combo offering `choices`, starting empty.
    QComboBox *addChoiceField(const QString &caption, const QStringList &choices);
    // A row: the code field with a "…" button whose picker fills the code and the read-only
    // name. Without a name caption the name stands right beside the code.
    PickedField addPickedField(const QString &codeCaption, const QString &nameCaption,
                               const Pick &pick);
    // The date row. `start` is read from the books (a failure is shown and leaves today);
    // the end date is today. With a frame caption the two dates stand in a frame of that title.
    void addDates(const std::function<QDate()> &start,
                  const QString &fromCaption = QStringLiteral("起始时间："),
                  const QString &toCaption = QStringLiteral("终止时间："),
                  const QString &frameCaption = QString());

    // Runs modally; true when "查 询(&F)" closed the dialog.
    bool run();

private:
    void startRow();
    // The grid position of the next half row, which it takes.
    std::pair<int, int> nextCell();
    // Appends a field to the Enter and Tab order, before the buttons.
    void addStop(QWidget *field);
    void addTabStop(QWidget *widget);
    void search();

    QGridLayout *m_grid;
    int m_cells = 0;
    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    IndexedButtonGroup *m_buttons;
    EnterMovesFocus *m_enter;
    QWidget *m_lastStop = nullptr;
    // A code field whose Enter passes over its "…" button to the next field.
    QLineEdit *m_skipPicker = nullptr;
};

} // namespace varnock
