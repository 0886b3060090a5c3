#pragma once

#include "widgets/codelist.h"
#include "widgets/screenparts.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QLineEdit;

namespace varnock {

class Database;
class IndexedButtonGroup;

// The upkeep of a list of coded records (suppliers, consuming units): the list of codes and
// names beside the fields of the selected record, and the buttons to add, change, delete,
// save and cancel. Selecting a record, with the mouse or the keys, shows its fields and ends
// an unsaved entry. A family declares its buttons and fields and reads and writes its
// records through its core class.
class CodedListScreen : public QDialog
{
    Q_OBJECT

public:
    enum class State { Browse, Adding, Editing };
    enum class Action { Add, Change, Delete, Save, Cancel, Print, Exit };

    using Button = ScreenParts::Button<Action>;
    struct Look
    {
        QString objectName;
        QString title;
        QString helpTopic;
        QString frameTitle;
        QList<Button> buttons;
        QStringList labels;  // of the fields, in order; the first is the code, the second the name
        int columns = 1;     // fields side by side; a last field alone spans the row
        QString selectTitle; // the title of "请选中记录！"
        QSize size;
        // 增加 and 修改 turn into 保存 while their entry is open, and save it.
        bool savesThroughItsButton = false;
    };

    // Prints the list. 打印 is enabled while a printer is set.
    using Printer = std::function<void()>;
    void setPrinter(Printer printer);

    State state() const { return m_state; }
    CodeList *list() const { return m_list; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The line edit of field `index`, in the declared order.
    QLineEdit *fieldAt(int index) const { return m_fields.at(index); }

protected:
    // The fields in `amountFields` take an amount, negative ones too.
    CodedListScreen(Database &db, const Look &look, QWidget *parent,
                    const QList<int> &amountFields = {});

    // The family's part, through its core class.
    virtual QList<CodeList::Entry> entries() const = 0;
    // The texts of the fields of record `code`, in order; nullopt when it is gone.
    virtual std::optional<QStringList> record(const QString &code) const = 0;
    // Saves the fields as a new or a changed record; false when it was refused or the entry
    // goes on (the refusal has been shown).
    virtual bool store(bool adding) = 0;
    // Deletes record `code`; false when refused (the refusal has been shown).
    virtual bool erase(const QString &code) = 0;
    // The code a new record is offered; empty for none.
    virtual QString proposeCode() const { return {}; }

    // Reads the list again and selects `code` when listed.
    void reload(const QString &code = QString());
    QString text(int field) const;
    Database &database() const { return m_db; }

private:
    void showSelected();
    void setState(State state);
    bool selected();
    void run(int index);
    void add();
    void change();
    void remove();
    void save();
    void enable(Action action, bool enabled);
    int buttonOf(Action action) const;

    Database &m_db;
    Look m_look;
    Printer m_printer;
    State m_state = State::Browse;
    CodeList *m_list;
    QList<QLineEdit *> m_fields;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
