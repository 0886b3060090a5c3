#pragma once

#include "store/limits.h"

#include <QStyledItemDelegate>

namespace varnock {

// Numeric grid cells. The editor is a NumericEdit; the model receives the typed number as
// text (QString, "" for a cleared cell) and reads it with Decimal::parse. The model's EditRole
// gives the text to start editing from.
class NumericDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit NumericDelegate(int decimals = 2, bool allowNegative = false,
                             QObject *parent = nullptr);

    // The bound the column's figures keep (a price's until set).
    void setFigure(Limits::Figure figure) { m_figure = figure; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    int m_decimals;
    bool m_allowNegative;
    Limits::Figure m_figure = Limits::Figure::Price;
};

} // namespace varnock
