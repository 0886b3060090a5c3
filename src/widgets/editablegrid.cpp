#include "widgets/editablegrid.h"

#include "widgets/combodelegate.h"
#include "widgets/lookupdelegate.h"
#include "widgets/numericdelegate.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace varnock {
namespace {

constexpr int MinColumnWidth = 40;
constexpr int MaxColumnWidth = 320;
// Room for the "…" button of a lookup cell's editor.
constexpr int LookupButtonWidth = 24;

} // namespace

EditableGrid::EditableGrid(QWidget *parent)
    : QTableView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    // Room for Chinese glyphs, whose ascent and descent are larger than Latin text's.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(MinColumnWidth);
}

void EditableGrid::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    if (m_idColumn >= 0)
        setColumnHidden(m_idColumn, true);
    fitColumns();
}

void EditableGrid::setIdColumn(int column)
{
    if (m_idColumn >= 0 && m_idColumn != column)
        setColumnHidden(m_idColumn, false);
    m_idColumn = column;
    if (column >= 0)
        setColumnHidden(column, true);
}

QVariant EditableGrid::idAt(int row) const
{
    if (!model() || m_idColumn < 0)
        return {};
    return model()->index(row, m_idColumn).data(Qt::EditRole);
}

NumericDelegate *EditableGrid::setNumericColumn(int column, int decimals, bool allowNegative)
{
    auto *delegate = new NumericDelegate(decimals, allowNegative, this);
    setItemDelegateForColumn(column, delegate);
    m_lookupColumns.removeAll(column);
    return delegate;
}

LookupDelegate *EditableGrid::setLookupColumn(int column)
{
    auto *delegate = new LookupDelegate(this);
    setItemDelegateForColumn(column, delegate);
    connect(delegate, &LookupDelegate::lookupRequested, this, &EditableGrid::lookupRequested);
    if (!m_lookupColumns.contains(column)) {
        m_lookupColumns.append(column);
        if (model())
            setColumnWidth(column, columnWidth(column) + LookupButtonWidth);
    }
    return delegate;
}

ComboDelegate *EditableGrid::setComboColumn(int column, const QStringList &items)
{
    auto *delegate = new ComboDelegate(items, this);
    setItemDelegateForColumn(column, delegate);
    m_lookupColumns.removeAll(column);
    return delegate;
}

void EditableGrid::fitColumns()
{
    if (!model())
        return;
    resizeColumnsToContents();
    QHeaderView *header = horizontalHeader();
    for (int column = 0; column < model()->columnCount(); ++column) {
        int width = header->sectionSize(column) + 12;
        if (m_lookupColumns.contains(column))
            width += LookupButtonWidth;
        header->resizeSection(column, qBound(MinColumnWidth, width, MaxColumnWidth));
    }
}

void EditableGrid::setColumnWidths(const QList<int> &widths)
{
    for (int column = 0; column < widths.size(); ++column) {
        if (widths.at(column) > 0)
            setColumnWidth(column, widths.at(column));
    }
}

bool EditableGrid::isEditableCell(const QModelIndex &index) const
{
    return index.isValid() && !isColumnHidden(index.column()) &&
           index.flags().testFlag(Qt::ItemIsEditable) && index.flags().testFlag(Qt::ItemIsEnabled);
}

QModelIndex EditableGrid::nextEditableIndex(const QModelIndex &from) const
{
    if (!model() || !from.isValid())
        return {};
    const QHeaderView *header = horizontalHeader();
    const int columns = model()->columnCount(from.parent());
    const int rows = model()->rowCount(from.parent());
    // Walk in the order the user sees the columns.
    int visual = header->visualIndex(from.column()) + 1;
    for (int row = from.row(); row < rows; ++row, visual = 0) {
        for (; visual < columns; ++visual) {
            const QModelIndex candidate =
                model()->index(row, header->logicalIndex(visual), from.parent());
            if (isEditableCell(candidate))
                return candidate;
        }
    }
    return {};
}

void EditableGrid::moveToNextEditable()
{
    const QModelIndex next = nextEditableIndex(currentIndex());
    if (!next.isValid()) {
        emit pastLastCell();
        return;
    }
    setCurrentIndex(next);
    scrollTo(next);
}

void EditableGrid::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (currentIndex().isValid()) {
                moveToNextEditable();
                event->accept();
                return;
            }
            break;
        case Qt::Key_F4:
            if (currentIndex().isValid() && m_lookupColumns.contains(currentIndex().column())) {
                emit lookupRequested(currentIndex().row(), currentIndex().column());
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void EditableGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Delegates close with SubmitModelCache exactly when Enter committed the cell.
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, enter ? QAbstractItemDelegate::NoHint : hint);
    if (enter)
        moveToNextEditable();
}

} // namespace varnock
