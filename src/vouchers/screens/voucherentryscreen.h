#pragma once

#include "master/counterparty.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/screens/voucherstatelabel.h"
#include "widgets/screenparts.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnock {

class Database;
class ScreenRegistry;
struct ScreenRequest;
class DatePicker;
class EditableGrid;
class IndexedButtonGroup;
class VoucherLines;
class VoucherService;

// The entry screen of a voucher family. The family declares its buttons, its header fields,
// its line grid and its service; the base lays them out and runs what every family shares:
// the states and what each allows, the buttons' flow with the system's questions (save,
// edit, delete a line or the voucher, restore, find, post, print, exit), Enter and Tab
// through the header in the declared order, the pickers of the code fields, F1.
//
// A family implements loading, saving and proposing a new voucher, and overrides only what
// is its own (a return begun from its source voucher, the unit and site fields).
class VoucherEntryScreen : public QWidget
{
    Q_OBJECT

public:
    using State = VoucherStateLabel::State;
    // What a button does. Each family orders its buttons as its own screen does.
    enum class Action {
        Search,     // the finder; its choice is shown
        Add,        // a new voucher with proposed numbers
        Choose,     // a new return, begun from the voucher it is made against
        Save,       // new or edited
        Change,     // the shown voucher is edited
        DeleteLine, // the current grid line, after a question
        Delete,     // the shown voucher, after a question
        Restore,    // unsaved input goes
        Print,      // the shown voucher, through the screen's printer
        Post,       // the family's posting window, or posting at once
        Exit,
        Own // the family's own button
    };
    // Prints the stored voucher `xtbh` shown on `screen` (whose service tells its family's
    // table and kind).
    using Printer = std::function<void(const VoucherEntryScreen &screen, qint64 xtbh)>;

    using Button = ScreenParts::Button<Action>;
    // How the screen looks: names, captions and where the state is shown.
    struct Look
    {
        QString objectName;
        QString title;
        QString heading;
        QString helpTopic;
        QString postedCaption; // the state of a posted voucher: "已记帐" or "已记账"
        QList<Button> buttons;
        QStringList signatures;
        QSize size;
        bool framedState = false; // in a frame titled "状态" beside the header
        QString deleteQuestion = QStringLiteral("您确定要删除该票据吗？");
        QString saveQuestion = {};                       // asked before every save; empty for none
        QString newCaption = QStringLiteral("凭证新增"); // the state of a new voucher
    };
    // The family's posting window: its menu command and the kind's position in its selector
    // (-1 for none). Without a command the family posts the shown voucher itself.
    struct PostingWindow
    {
        QString command;
        int kindIndex = -1;
    };

    ~VoucherEntryScreen() override;

    State state() const { return m_stateLabel->state(); }
    // The shown voucher's system number; 0 for none or a new one.
    qint64 systemNumber() const { return m_xtbh; }

    QLabel *heading() const { return m_heading; }
    // The frame around the header fields, untitled unless the family names it.
    QGroupBox *headerFrame() const { return m_headerFrame; }
    QLabel *stateLabel() const { return m_stateLabel; }
    QLabel *systemNumberLabel() const { return m_xtbhLabel; }
    DatePicker *dateField() const { return m_date; }
    EditableGrid *grid() const { return m_grid; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The index of the button that does `action`; -1 without one.
    int buttonOf(Action action) const;

    // The one hook for printing: 打印 is enabled while a printer is set and a stored voucher
    // is shown, and runs it with the voucher's system number. A family with a slip starts
    // with the printer that previews it.
    void setPrinter(Printer printer);
    VoucherService &service() const { return *m_service; }

    // Shows a stored voucher; a voucher that is gone clears the screen.
    void showVoucher(qint64 xtbh);

    void search();
    void add();
    void save();
    void change();
    void deleteLine();
    void deleteVoucher();
    void restore();
    void print();
    virtual void post();
    // A new return begun from the voucher it is made against.
    virtual void choose() {}

    // Entry screens refuse to open before the books' first closing: shows the refusal and
    // returns false.
    static bool mayOpen(QWidget *parent, Database &db);
    // Registers the entry screen `make` builds on the request's books under `screen`: it
    // opens in the main window when mayOpen allows.
    static void addTo(ScreenRegistry &registry, const QString &screen,
                      const std::function<VoucherEntryScreen *(const ScreenRequest &)> &make);
    // Registers a `Screen` for each of `kinds` under the kind's screen name.
    template <typename Screen, typename Kind>
    static void addKinds(ScreenRegistry &registry, const QList<Kind> &kinds)
    {
        for (const Kind &kind : kinds) {
            addTo(registry, kind.screen, [k = kind.kind](const auto &r) {
                return new Screen(*r.database, k, r.mode, r.formats);
            });
        }
    }

protected:
    VoucherEntryScreen(std::unique_ptr<VoucherService> service, const Look &look, QWidget *parent);

    // Header fields, in the order Tab and Enter go through them. An entered field takes input
    // while a voucher is new or edited; the others only show. Cleared with the screen.
    void addField(const QString &caption, QWidget *field, int row, int column, int span = 1,
                  bool entered = true);
    // A shown field with no caption of its own, beside another.
    void addShown(QWidget *field, int row, int column, int span = 1);
    // A code field with its "…" button (and F4) that opens `pick`, and the read-only name the
    // pick or a typed code (through `nameOf`) fills. Returns the button.
    QPushButton *addCodeField(const QString &caption, QLineEdit *code, QLineEdit *name, int row,
                              int column, const CounterpartyPick &pick,
                              const std::function<std::optional<QString>(const QString &)> &nameOf);
    // Where the state, the system number and the date stand.
    void placeState(int row, int column, int rowSpan = 1);
    void placeSystemNumber(const QString &caption, int row, int column);
    void placeDate(const QString &caption, int row, int column);
    // The grid: its model, the column a new line starts in and the one a picked material
    // continues in (-1: none), and column widths.
    void setLines(VoucherLines *model, int codeColumn, int figureColumn, const QList<int> &widths);
    // Where 记账 goes.
    void setPostingWindow(const PostingWindow &window) { m_posting = window; }
    // The field a new voucher starts in.
    void setStartField(QWidget *field) { m_startField = field; }
    // Lays the screen out; the family calls it once its fields are declared.
    void finish(QWidget *beside = nullptr);

    // A material the family's picker chose went into `row` (false: it did not): the row's
    // next figure gets the cursor, and the last row gets an empty row below it.
    void materialPlaced(int row, bool placed);

    // The family's part.
    // Loads and shows a stored voucher; its posted flag, nullopt when it is gone.
    virtual std::optional<bool> load(qint64 xtbh) = 0;
    // Saves what the screen shows, new or edited; the new voucher's system number.
    virtual qint64 saveShown(bool isNew) = 0;
    // Fills a new voucher's proposed numbers.
    virtual void propose() {}
    // The finder; the chosen voucher's system number.
    virtual std::optional<qint64> find() = 0;
    // The voucher chosen in the list `finder` declares.
    std::optional<qint64> pickVoucher(const VoucherFinder::Declaration &finder);
    // The material picker for a grid row (F4 or "…" in the code cell).
    virtual void pickMaterial(int) {}
    // The family's own questions before a voucher is saved; false stops the save.
    virtual bool confirmSave() { return true; }
    // The family's own button.
    virtual void own(int) {}
    // The state just set; the family enables what is its own.
    virtual void stateChanged(State) {}
    // The screen was just cleared; the family forgets what it kept of the voucher shown.
    virtual void cleared() {}

    // An editable combo of choices (numbers, sites) for a header field; what is typed is not
    // added to the choices.
    QComboBox *choiceBox(const QString &objectName, int minimumWidth);
    // Offers each combo the choices its function reads from the books, the text in it staying.
    void offerChoices(const QList<std::pair<QComboBox *, std::function<QStringList()>>> &choices);

    void setState(State state);
    void clearScreen();
    void setSystemNumber(qint64 xtbh);

    Database &database() const;
    QGridLayout *header() const { return m_header; }

private:
    struct Field
    {
        QWidget *widget;
        bool entered;
    };
    void run(int index);
    void enable(Action action, bool enabled);
    void updateButtons();
    // Shows the stored voucher again, or clears the screen when it is gone.
    void reload();
    // The posting window closed: the shown voucher may be posted or gone now.
    void refreshAfterPosting();

    std::unique_ptr<VoucherService> m_service;
    Look m_look;
    PostingWindow m_posting;
    Printer m_printer;
    qint64 m_xtbh = 0;
    QList<Field> m_fields;
    QWidget *m_startField = nullptr;
    VoucherLines *m_model = nullptr;
    int m_codeColumn = -1;
    int m_figureColumn = -1;

    QLabel *m_heading;
    VoucherStateLabel *m_stateLabel;
    QLabel *m_xtbhLabel;
    DatePicker *m_date;
    QGroupBox *m_headerFrame;
    QGridLayout *m_header;
    EditableGrid *m_grid;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
