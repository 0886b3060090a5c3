#pragma once

#include <QStringList>
#include <QTableView>

namespace varnock {

class ComboDelegate;
class LookupDelegate;
class NumericDelegate;

// The entry grid of vouchers and lists. Enter commits a cell and moves to the next editable
// cell (row by row), Esc cancels the edit, F4 on a lookup cell asks for its picker. Which
// cells are editable is the model's choice (Qt::ItemIsEditable); hidden columns are skipped.
class EditableGrid : public QTableView
{
    Q_OBJECT

public:
    explicit EditableGrid(QWidget *parent = nullptr);

    // Fits the columns to headers and contents once the model is set.
    void setModel(QAbstractItemModel *model) override;

    // The column holding the line's database ID: it travels with the row, never shown.
    void setIdColumn(int column);
    int idColumn() const { return m_idColumn; }
    // The ID of a row (invalid without an ID column).
    QVariant idAt(int row) const;

    NumericDelegate *setNumericColumn(int column, int decimals, bool allowNegative = false);
    LookupDelegate *setLookupColumn(int column);
    ComboDelegate *setComboColumn(int column, const QStringList &items);

    // Column widths fitted to header and contents, within sensible bounds.
    void fitColumns();
    // Fixed widths in pixels, by logical column; 0 or a missing entry leaves a column as is.
    void setColumnWidths(const QList<int> &widths);

    // True while a cell editor is open.
    bool isEditing() const { return state() == EditingState; }

    // Next editable cell after `from` in reading order; invalid when there is none.
    QModelIndex nextEditableIndex(const QModelIndex &from) const;

signals:
    // A lookup cell's "…" button (or F4) was pressed.
    void lookupRequested(int row, int column);
    // Enter was pressed in the last editable cell: a screen may append a line here.
    void pastLastCell();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool isEditableCell(const QModelIndex &index) const;
    void moveToNextEditable();

    int m_idColumn = -1;
    QList<int> m_lookupColumns;
};

} // namespace varnock
