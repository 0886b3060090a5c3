#pragma once

#include <QDialog>

class QAbstractItemModel;
class QTableView;
class QVBoxLayout;

namespace varnock {

class IndexedButtonGroup;

// Base of the modal pickers: a read-only grid of rows and the buttons "确  定(&Q)" and
// "退  出(&X)". OK, a double click or Enter chooses the current row, Esc or 退出 cancels.
// Subclasses supply the model (setModel) and, through Picker<T>, turn a row into the value.
class PickerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PickerDialog(QWidget *parent = nullptr, const QString &title = QString());

    QTableView *view() const { return m_view; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The area above the buttons, for a subclass's own fields (a search box, a label).
    QVBoxLayout *contentLayout() const { return m_layout; }

    // The row taken by OK; -1 before OK or after a cancel.
    int chosenRow() const { return m_chosenRow; }

    // Tries to choose the current row, as OK does.
    void choose();

protected:
    // Shows the model; the dialog does not take ownership (parent it to the dialog).
    // The first row starts selected.
    void setModel(QAbstractItemModel *model);

    // Whether OK may close the dialog with this row; -1 means no row is selected. The default
    // accepts any real row and keeps the dialog open otherwise. Subclasses that must answer a
    // missing choice (clear the caller's field, show a message) do it here.
    virtual bool acceptRow(int row);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int currentRow() const;

    QTableView *m_view;
    IndexedButtonGroup *m_buttons;
    QVBoxLayout *m_layout;
    int m_chosenRow = -1;
};

} // namespace varnock
