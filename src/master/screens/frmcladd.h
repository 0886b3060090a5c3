#pragma once

#include "master/catalogue.h"

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QRadioButton;
class QToolButton;

namespace varnock {

class IndexedButtonGroup;
class NumericEdit;

// The material editor "材料设置". Add mode stays open for the next material under the same
// category; edit mode saves with "修 改 (&G)" or deletes, then closes.
class FrmCLADD : public QDialog
{
    Q_OBJECT

public:
    enum Button { Save, Edit, Delete, Exit };

    explicit FrmCLADD(Database &db, QWidget *parent = nullptr);

    void startAdd(const QString &parentCode, const QString &parentName, const QString &code);
    void startEdit(const CatalogueRow &row, const QString &parentName);

    bool isAdding() const { return m_adding; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The special-character list opened from the picture, while it is open.
    QDialog *specialCharacters() const { return m_specialCharacters; }
    // What the fields hold now.
    MaterialDraft draft() const;

signals:
    void added(const varnock::CatalogueRow &row);
    void changed(const QString &clbh);
    void removed(const QString &clbh);

private:
    void save();
    void edit();
    void remove();
    void checkCode();
    void updateAmount();
    void openSpecialCharacters();
    void clearEntries();
    bool confirm(const QString &question);

    Catalogue m_catalogue;
    QLineEdit *m_parent;
    QLineEdit *m_code;
    QLineEdit *m_name;
    QLineEdit *m_spec;
    QLineEdit *m_unit;
    QLineEdit *m_convUnit;
    NumericEdit *m_convFactor;
    NumericEdit *m_price;
    NumericEdit *m_quantity;
    QLineEdit *m_amount;
    QRadioButton *m_actual;
    QRadioButton *m_planned;
    QToolButton *m_picture;
    QPointer<QDialog> m_specialCharacters;
    IndexedButtonGroup *m_buttons;
    QString m_parentCode;
    bool m_adding = true;
};

} // namespace varnock
