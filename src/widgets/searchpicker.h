#pragma once

#include "widgets/pickerdialog.h"

#include <QList>
#include <QSize>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

namespace varnock {

// Base of the pickers that search their rows: above the grid a search row (a caption when
// given, the condition box, the text and the search button). The text is typed, or — for a
// picker with values — chosen or typed from the codes or names the condition offers; there the
// first condition lists everything and leaves the text closed. Enter in the text searches.
class SearchPicker : public PickerDialog
{
    Q_OBJECT

public:
    // What a picker shows.
    struct Look
    {
        QString name = {};
        QString title = {};
        QStringList conditions = {};
        QStringList headers = {};
        QString okCaption = QStringLiteral("确 定(&Q)");
        QString searchCaption = QStringLiteral("查 询(&F)");
        QString conditionCaption = {};
        // Right-aligned columns (figures); columns wider than their default; the size.
        QList<int> figures = {};
        QList<std::pair<int, int>> widths = {};
        QSize size = {};
    };

    QComboBox *conditionBox() const { return m_condition; }
    // The codes or names of the chosen condition; nullptr for a picker without values.
    QComboBox *valueBox() const { return m_value; }
    // The text typed (the value box's editor in a picker with values).
    QLineEdit *textField() const { return m_text; }
    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;

    // Lists the rows that meet the condition and the text.
    void search();

protected:
    SearchPicker(const Look &look, bool withValues, QWidget *parent);

    // The texts of the rows that meet `condition` (its index) and `text`; throws as the core
    // does.
    virtual QList<QStringList> find(int condition, const QString &text) = 0;
    // The codes or names `condition` offers.
    virtual QStringList valuesOf(int condition) = 0;

    // Lists the rows the picker opens with, the columns fitted to them.
    void showOpening(const std::function<QList<QStringList>()> &fetch);
    // Runs `fetch` and lists its texts; the list stays as it was when it fails.
    void list(const std::function<QList<QStringList>()> &fetch);
    // Offers the values of the chosen condition.
    void fillValues();

private:
    QComboBox *m_condition;
    QComboBox *m_value = nullptr;
    QLineEdit *m_text;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<int> m_figures;
    QList<std::pair<int, int>> m_widths;
};

// What one picker lists and how it searches, in rows of its own type.
template <typename Row> struct PickerDeclaration
{
    SearchPicker::Look look;
    std::function<QList<Row>()> opening;
    std::function<QList<Row>(int condition, const QString &text)> search;
    std::function<QStringList(const Row &)> texts;
    // Empty for a picker whose text is only typed.
    std::function<QStringList(int condition)> values = {};
    // Whether a row may be taken (saying why not); empty takes any row.
    std::function<bool(QWidget *picker, const Row &)> mayTake = {};
};

// A searching picker that returns the row chosen:
//     RowPicker picker(MasterPickers::suppliers(db), this);
//     if (std::optional<Counterparty> s = picker.pick()) …
template <typename Row> class RowPicker : public SearchPicker
{
public:
    explicit RowPicker(const PickerDeclaration<Row> &declaration, QWidget *parent = nullptr)
        : SearchPicker(declaration.look, bool(declaration.values), parent)
        , m_declaration(declaration)
    {
        if (m_declaration.values)
            fillValues();
        showOpening([this] { return keep(m_declaration.opening()); });
    }

    // Runs the picker modally; nullopt when cancelled or when no row was taken.
    std::optional<Row> pick()
    {
        if (exec() != QDialog::Accepted || chosenRow() < 0)
            return std::nullopt;
        return m_rows.value(chosenRow());
    }

protected:
    QList<QStringList> find(int condition, const QString &text) override
    {
        return keep(m_declaration.search(condition, text));
    }
    QStringList valuesOf(int condition) override { return m_declaration.values(condition); }
    bool acceptRow(int row) override
    {
        return row >= 0 &&
               (!m_declaration.mayTake || m_declaration.mayTake(this, m_rows.value(row)));
    }

private:
    QList<QStringList> keep(const QList<Row> &rows)
    {
        m_rows = rows;
        QList<QStringList> texts;
        for (const Row &row : rows)
            texts.append(m_declaration.texts(row));
        return texts;
    }

    PickerDeclaration<Row> m_declaration;
    QList<Row> m_rows;
};

} // namespace varnock
