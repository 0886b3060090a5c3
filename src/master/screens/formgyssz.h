#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;

namespace varnock {

class CodeList;
class Database;
class IndexedButtonGroup;
class NumericEdit;

// Supplier upkeep ("供应商操作"): the list of suppliers and the fields of the selected one.
class FormGYSSZ : public QDialog
{
    Q_OBJECT

public:
    enum class State { Browse, Adding, Editing };
    enum Button { Add, Delete, Change, Cancel, Exit, Save, Print };
    // The fields in the order of the form.
    enum Field { BH, MC, ZCDD, ZCBH, FR, DZ, YZBM, LXDH, KHYH, KHZH, ZGCP, CSQK, BZ, FieldCount };

    explicit FormGYSSZ(Database &db, QWidget *parent = nullptr);

    State state() const { return m_state; }
    static QString helpTopic() { return QStringLiteral("供应商设置"); }

    CodeList *list() const { return m_list; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The line edit of a field (CSQK is a NumericEdit).
    QLineEdit *field(Field field) const { return m_fields[field]; }

private:
    void reload(const QString &select = QString());
    void showSelected();
    void clearFields();
    void setState(State state);

    void add();
    void change();
    void remove();
    void save();

    Database &m_db;
    State m_state = State::Browse;
    CodeList *m_list = nullptr;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_fields[FieldCount] = {};
    NumericEdit *m_debt = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
