#pragma once

#include <QListWidget>

#include <utility>

namespace varnock {

// A list of coded records shown as "code  name"; each row carries its code.
class CodeList : public QListWidget
{
    Q_OBJECT

public:
    using Entry = std::pair<QString, QString>; // code, name

    explicit CodeList(QWidget *parent = nullptr);

    // Replaces the rows without signalling; then selects `select` when listed, else nothing.
    void setEntries(const QList<Entry> &entries, const QString &select = QString());
    // Makes the row of `code` current; false when no row has it.
    bool selectCode(const QString &code);
    // The code of the selected row; empty when none is selected.
    QString selectedCode() const;
};

} // namespace varnock
