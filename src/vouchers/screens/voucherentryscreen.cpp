#include "vouchers/screens/voucherentryscreen.h"

#include "ledger/screens/postingscreen.h"
#include "master/counterparty.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/clock.h"
#include "vouchers/voucherbook.h"
#include "vouchers/voucherlinemodel.h"
#include "vouchers/voucherservice.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace varnock {

VoucherEntryScreen::VoucherEntryScreen(std::unique_ptr<VoucherService> service, const Look &look,
                                       QWidget *parent)
    : QWidget(parent)
    , m_service(std::move(service))
    , m_look(look)
    , m_heading(new QLabel(look.heading, this))
    , m_stateLabel(new VoucherStateLabel(look.postedCaption, this, look.newCaption))
    , m_xtbhLabel(new QLabel(this))
    , m_date(new DatePicker(this))
    , m_headerFrame(new QGroupBox(this))
    , m_header(new QGridLayout(m_headerFrame))
    , m_grid(new EditableGrid(this))
{
    QStringList texts;
    for (const Button &b : look.buttons)
        texts.append(b.caption);
    m_buttons = new IndexedButtonGroup(texts, Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignCenter);

    setObjectName(look.objectName);
    setWindowTitle(look.title);
    Help::install(this, look.helpTopic);
    ScreenParts::styleHeading(m_heading);
    m_xtbhLabel->setObjectName(QStringLiteral("LblXtbh"));
    m_xtbhLabel->setMinimumWidth(60);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) { run(index); });
    connect(m_grid, &EditableGrid::lookupRequested, this,
            [this](int row, int) { pickMaterial(row); });
    // Enter past the last cell of a line with a material opens the next line.
    connect(m_grid, &EditableGrid::pastLastCell, this, [this] {
        const int last = m_model->rowCount() - 1;
        if (m_codeColumn >= 0 && m_model->isEditable() && m_model->hasMaterial(last))
            m_grid->setCurrentIndex(m_model->index(m_model->appendEmpty(), m_codeColumn));
    });
    // A family with a slip prints it to the preview; setPrinter may replace that.
    if (const auto family = VoucherSlips::familyOfTable(m_service->table().name)) {
        m_printer = [this, f = *family](const VoucherEntryScreen &, qint64 xtbh) {
            const VoucherService &s = *m_service;
            Printing::previewSlip(this, s.database(), f, xtbh, s.accountingMode(), s.formats());
        };
    }
}

VoucherEntryScreen::~VoucherEntryScreen() = default;

Database &VoucherEntryScreen::database() const
{
    return m_service->database();
}

std::optional<qint64> VoucherEntryScreen::pickVoucher(const VoucherFinder::Declaration &finder)
{
    VoucherFinder list(finder, this);
    return list.pick();
}

void VoucherEntryScreen::addTo(
    ScreenRegistry &registry, const QString &screen,
    const std::function<VoucherEntryScreen *(const ScreenRequest &)> &make)
{
    registry.add(screen, ScreenRegistry::Opening::InMainWindow,
                 [make](const ScreenRequest &r) -> QWidget * {
                     if (!r.database || !mayOpen(r.main, *r.database))
                         return nullptr;
                     return make(r);
                 });
}

bool VoucherEntryScreen::mayOpen(QWidget *parent, Database &db)
{
    return runOperation(parent, [&] { VoucherBook(db).checkCanOpen(); });
}

// ---- declaration --------------------------------------------------------------------------

void VoucherEntryScreen::addField(const QString &caption, QWidget *field, int row, int column,
                                  int span, bool entered)
{
    m_header->addWidget(new QLabel(caption, this), row, column);
    m_header->addWidget(field, row, column + 1, 1, span);
    m_fields.append({field, entered});
    // What only shows is passed over by Tab and Enter; a click still selects its text.
    if (!entered)
        field->setFocusPolicy(Qt::ClickFocus);
}

void VoucherEntryScreen::addShown(QWidget *field, int row, int column, int span)
{
    m_header->addWidget(field, row, column, 1, span);
    m_fields.append({field, false});
    field->setFocusPolicy(Qt::ClickFocus);
}

QPushButton *VoucherEntryScreen::addCodeField(
    const QString &caption, QLineEdit *code, QLineEdit *name, int row, int column,
    const CounterpartyPick &pick,
    const std::function<std::optional<QString>(const QString &)> &nameOf)
{
    auto *button = new QPushButton(QStringLiteral("…"), this);
    button->setFixedWidth(28);
    button->setAutoDefault(false);
    // Reached by F4 in the code field; Tab and Enter go on to the next field.
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(QStringLiteral("F4"));
    auto *line = new QHBoxLayout;
    line->addWidget(code, 1);
    line->addWidget(button);
    m_header->addWidget(new QLabel(caption, this), row, column);
    m_header->addLayout(line, row, column + 1);
    m_fields.append({code, true});
    m_fields.append({button, true});
    name->setReadOnly(true);

    const auto picked = [this, code, name, pick] {
        if (!m_stateLabel->isEntering())
            return;
        if (const std::optional<Counterparty> chosen = pick()) {
            code->setText(chosen->code);
            name->setText(chosen->name);
        }
    };
    connect(button, &QPushButton::clicked, this, picked);
    auto *f4 = new QShortcut(QKeySequence(Qt::Key_F4), code, nullptr, nullptr,
                             Qt::WidgetWithChildrenShortcut);
    connect(f4, &QShortcut::activated, this, picked);
    connect(code, &QLineEdit::editingFinished, this, [this, code, name, nameOf] {
        if (code->isReadOnly())
            return;
        std::optional<QString> found;
        runOperation(this, [&] { found = nameOf(code->text().trimmed()); });
        name->setText(found.value_or(QString()));
    });
    return button;
}

void VoucherEntryScreen::placeState(int row, int column, int rowSpan)
{
    if (m_look.framedState) {
        m_stateLabel->setMinimumWidth(80);
        m_header->addWidget(m_stateLabel->framed(), row, column, rowSpan, 1);
    } else {
        m_header->addWidget(m_stateLabel, row, column, rowSpan, 1, Qt::AlignRight);
    }
}

void VoucherEntryScreen::placeSystemNumber(const QString &caption, int row, int column)
{
    m_header->addWidget(new QLabel(caption, this), row, column);
    m_header->addWidget(m_xtbhLabel, row, column + 1);
}

void VoucherEntryScreen::placeDate(const QString &caption, int row, int column)
{
    addField(caption, m_date, row, column);
}

void VoucherEntryScreen::setLines(VoucherLines *model, int codeColumn, int figureColumn,
                                  const QList<int> &widths)
{
    m_model = model;
    m_codeColumn = codeColumn;
    m_figureColumn = figureColumn;
    m_grid->setModel(model);
    m_grid->setColumnWidths(widths);
}

void VoucherEntryScreen::finish(QWidget *beside)
{
    auto *lines = new QHBoxLayout;
    lines->addWidget(m_grid, 1);
    if (beside) {
        auto *side = new QVBoxLayout;
        side->addWidget(beside);
        side->addStretch();
        lines->addLayout(side);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_headerFrame);
    layout->addLayout(lines, 1);
    layout->addLayout(ScreenParts::signatures(m_look.signatures, this));
    layout->addWidget(m_buttons);

    // Tab and Enter go through the entered fields in their declared order, then the lines.
    QWidget *previous = nullptr;
    for (const Field &f : std::as_const(m_fields)) {
        if (!f.entered || f.widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, f.widget);
        previous = f.widget;
    }
    if (previous)
        QWidget::setTabOrder(previous, m_grid);
    new EnterMovesFocus(m_headerFrame);

    clearScreen();
    setState(State::Browse);
    resize(m_look.size);
}

// ---- states -------------------------------------------------------------------------------

int VoucherEntryScreen::buttonOf(Action action) const
{
    return ScreenParts::indexOf(m_look.buttons, action);
}

void VoucherEntryScreen::enable(Action action, bool enabled)
{
    if (const int i = buttonOf(action); i >= 0)
        m_buttons->button(i)->setEnabled(enabled);
}

void VoucherEntryScreen::setState(State state)
{
    m_stateLabel->setState(state);
    const bool entering = m_stateLabel->isEntering();
    for (const Field &f : std::as_const(m_fields)) {
        const bool takesInput = entering && f.entered;
        if (auto *edit = qobject_cast<QLineEdit *>(f.widget))
            edit->setReadOnly(!takesInput);
        else if (auto *spin = qobject_cast<QAbstractSpinBox *>(f.widget))
            spin->setReadOnly(!takesInput);
        else if (qobject_cast<QComboBox *>(f.widget) || qobject_cast<QPushButton *>(f.widget))
            f.widget->setEnabled(takesInput);
    }
    m_model->setEditable(entering);
    stateChanged(state);
    updateButtons();
}

void VoucherEntryScreen::updateButtons()
{
    const bool entering = m_stateLabel->isEntering();
    const bool stored = m_xtbh != 0;
    enable(Action::Save, entering);
    // A posted voucher still answers 修改 and 删除, with the reason they are refused.
    enable(Action::Change, stored && !entering);
    enable(Action::Delete, stored);
    enable(Action::DeleteLine, entering);
    enable(Action::Print, m_printer && stored && !entering);
    // Posting at once takes only what is stored; a posting window lists every voucher.
    enable(Action::Post, !m_posting.command.isEmpty() || (stored && state() == State::Browse));
}

void VoucherEntryScreen::clearScreen()
{
    m_xtbh = 0;
    m_xtbhLabel->clear();
    for (const Field &f : std::as_const(m_fields)) {
        if (auto *edit = qobject_cast<QLineEdit *>(f.widget)) {
            edit->clear();
        } else if (auto *combo = qobject_cast<QComboBox *>(f.widget)) {
            combo->clear();
            combo->clearEditText();
        } else if (auto *label = qobject_cast<QLabel *>(f.widget)) {
            label->clear();
        }
    }
    m_date->setDate(Clock::today());
    m_model->clear();
    cleared();
}

QComboBox *VoucherEntryScreen::choiceBox(const QString &objectName, int minimumWidth)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(minimumWidth);
    return combo;
}

void VoucherEntryScreen::offerChoices(
    const QList<std::pair<QComboBox *, std::function<QStringList()>>> &choices)
{
    QList<QStringList> offered(choices.size());
    runOperation(this, [&] {
        for (qsizetype i = 0; i < choices.size(); ++i)
            offered[i] = choices[i].second();
    });
    for (qsizetype i = 0; i < choices.size(); ++i) {
        QComboBox *combo = choices[i].first;
        const QString text = combo->currentText();
        combo->clear();
        combo->addItems(offered[i]);
        combo->setEditText(text);
    }
}

void VoucherEntryScreen::setSystemNumber(qint64 xtbh)
{
    m_xtbhLabel->setText(xtbh == 0 ? QString() : QString::number(xtbh));
}

void VoucherEntryScreen::setPrinter(Printer printer)
{
    m_printer = std::move(printer);
    updateButtons();
}

// ---- the buttons --------------------------------------------------------------------------

void VoucherEntryScreen::run(int index)
{
    switch (m_look.buttons.at(index).action) {
    case Action::Search:
        search();
        break;
    case Action::Add:
        add();
        break;
    case Action::Choose:
        choose();
        break;
    case Action::Save:
        save();
        break;
    case Action::Change:
        change();
        break;
    case Action::DeleteLine:
        deleteLine();
        break;
    case Action::Delete:
        deleteVoucher();
        break;
    case Action::Restore:
        restore();
        break;
    case Action::Print:
        print();
        break;
    case Action::Post:
        post();
        break;
    case Action::Exit:
        ScreenParts::close(this);
        break;
    case Action::Own:
        own(index);
        break;
    }
}

void VoucherEntryScreen::showVoucher(qint64 xtbh)
{
    std::optional<bool> posted;
    if (!runOperation(this, [&] { posted = load(xtbh); }) || !posted)
        return;
    m_xtbh = xtbh;
    setSystemNumber(xtbh);
    m_grid->scrollToTop();
    setState(*posted ? State::Posted : State::Browse);
}

void VoucherEntryScreen::reload()
{
    const qint64 xtbh = m_xtbh;
    std::optional<bool> posted;
    runOperation(this, [&] { posted = load(xtbh); });
    if (!posted) {
        clearScreen();
        setState(State::Browse);
        return;
    }
    setState(*posted ? State::Posted : State::Browse);
}

void VoucherEntryScreen::search()
{
    if (const std::optional<qint64> xtbh = find())
        showVoucher(*xtbh);
}

void VoucherEntryScreen::add()
{
    clearScreen();
    qint64 next = 0;
    if (!runOperation(this, [&] {
            propose();
            next = m_service->nextSystemNumber();
        }))
        return;
    setSystemNumber(next);
    setState(State::New);
    if (m_startField)
        m_startField->setFocus();
}

void VoucherEntryScreen::save()
{
    if (!m_stateLabel->isEntering())
        return;
    // A later date keeps the books from being closed until then: asked, never taken silently.
    if (const std::optional<QString> later = VoucherBook::laterDateQuestion(m_date->date());
        later && !Messages::ask(this, *later))
        return;
    if (!m_look.saveQuestion.isEmpty() && !Messages::ask(this, m_look.saveQuestion))
        return;
    if (!confirmSave())
        return;
    const bool isNew = state() == State::New;
    qint64 xtbh = 0;
    if (runOperation(this, [&] { xtbh = saveShown(isNew); }))
        showVoucher(xtbh);
}

void VoucherEntryScreen::change()
{
    if (m_xtbh == 0)
        return;
    if (state() == State::Posted) {
        Messages::show(this, m_service->rules().postedEdit);
        return;
    }
    setState(State::Edit);
}

void VoucherEntryScreen::deleteLine()
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (!m_stateLabel->isEntering() || row < 0)
        return;
    if (!Messages::ask(this,
                       QStringLiteral("你确实要删除第 ") + QString::number(row + 1) +
                           QStringLiteral(" 记录吗？"),
                       QStringLiteral("删除窗口")))
        return;
    m_model->removeLine(row);
}

void VoucherEntryScreen::deleteVoucher()
{
    if (m_xtbh == 0)
        return;
    bool posted = false;
    if (!runOperation(this, [&] { posted = m_service->isPosted(m_xtbh); }))
        return;
    if (posted) {
        Messages::show(this, m_service->rules().postedDelete);
        return;
    }
    if (!Messages::ask(this, m_look.deleteQuestion))
        return;
    if (!runOperation(this, [&] { m_service->remove(m_xtbh); }))
        return;
    clearScreen();
    setState(State::Browse);
}

void VoucherEntryScreen::restore()
{
    // Unsaved input goes: a stored voucher comes back as stored, a new one is dropped.
    if (m_xtbh != 0) {
        reload();
        return;
    }
    clearScreen();
    setState(State::Browse);
}

void VoucherEntryScreen::print()
{
    if (m_printer && m_xtbh != 0)
        m_printer(*this, m_xtbh);
}

void VoucherEntryScreen::post()
{
    PostingScreen *window = PostingScreen::open(this, m_posting.command, m_posting.kindIndex);
    if (window)
        connect(window, &QObject::destroyed, this, &VoucherEntryScreen::refreshAfterPosting,
                Qt::UniqueConnection);
}

void VoucherEntryScreen::refreshAfterPosting()
{
    if (m_xtbh == 0)
        return;
    // An edit in progress stays, unless its voucher was posted and can no longer be saved.
    if (m_stateLabel->isEntering()) {
        bool posted = false;
        runOperation(this, [&] { posted = m_service->isPosted(m_xtbh); });
        if (!posted)
            return;
    }
    reload();
}

void VoucherEntryScreen::materialPlaced(int row, bool placed)
{
    if (!placed)
        return;
    if (row == m_model->rowCount() - 1)
        m_model->appendEmpty();
    m_grid->setCurrentIndex(m_model->index(row, m_figureColumn));
}

} // namespace varnock
