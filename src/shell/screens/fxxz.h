#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace varnock {

class IndexedButtonGroup;

// "数据备份路径设置": a drive list and the folders of the chosen drive; 确定 hands back the
// folder chosen.
class Fxxz : public QDialog
{
    Q_OBJECT

public:
    explicit Fxxz(const QString &start, QWidget *parent = nullptr);

    // Runs the chooser; nullopt when it was left without a choice.
    static std::optional<QString> choose(const QString &start, QWidget *parent);

    std::optional<QString> chosen() const { return m_chosen; }
    QComboBox *drives() const { return m_drives; }
    QTreeView *folders() const { return m_folders; }
    QLineEdit *pathField() const { return m_path; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Shows `path` as chosen: its drive in the list and the folder selected.
    void showFolder(const QString &path);

private:
    void driveChanged();
    void confirm();

    QComboBox *m_drives = nullptr;
    QFileSystemModel *m_model = nullptr;
    QTreeView *m_folders = nullptr;
    QLineEdit *m_path = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    std::optional<QString> m_chosen;
};

} // namespace varnock
