#pragma once

#include "shell/datafolder.h"

#include <QDialog>

#include <optional>

class QComboBox;

namespace varnock {

class IndexedButtonGroup;

// The accounting-mode screen: a new account set's mode is chosen here, before its first
// business, and kept in the set. Accepting also records the choice in YZMS. Quitting cancels
// the creation the screen was opened for.
class FrmXzms : public QDialog
{
    Q_OBJECT

public:
    explicit FrmXzms(const DataFolder &folder, QWidget *parent = nullptr);

    // Opens the screen modally; the chosen mode (1 = 先进先出, 2 = 移动加权), or nothing when
    // the user quit.
    static std::optional<int> choose(const DataFolder &folder, QWidget *parent);

    // Valid after the screen was accepted.
    std::optional<int> mode() const { return m_mode; }

    static QString helpTopic() { return QStringLiteral("软件环境"); }

    QComboBox *modeBox() const { return m_combo; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void confirm();

    DataFolder m_folder;
    QComboBox *m_combo = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    std::optional<int> m_mode;
};

} // namespace varnock
