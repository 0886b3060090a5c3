#pragma once

#include "widgets/indexedbuttongroup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace varnock::test {

// Owner of the timers a test schedules; the UI test main replaces it when a test ends, so a
// timer a test left waiting can never act on a later test's dialogs.
inline std::unique_ptr<QObject> &testScope()
{
    static std::unique_ptr<QObject> scope = std::make_unique<QObject>();
    return scope;
}

// Acts on the next modal dialog of type T as soon as it is open; exec() blocks the test
// until the action closes it.
template <typename T> void whenModal(std::function<void(T *)> act, int triesLeft = 300)
{
    QTimer::singleShot(10, testScope().get(), [act, triesLeft] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            act(dialog);
            return;
        }
        if (triesLeft > 0)
            whenModal<T>(act, triesLeft - 1);
        else
            ADD_FAILURE() << "the expected modal dialog never opened";
    });
}

inline void click(IndexedButtonGroup *buttons, int index)
{
    QTest::mouseClick(buttons->button(index), Qt::LeftButton);
}

// The field beside the label `caption` in a form laid out on a grid (the first widget of a
// field made of several); nullptr when there is none of type T.
template <typename T> T *fieldBeside(QWidget *form, const QString &caption)
{
    for (auto *grid : form->findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            auto *label = qobject_cast<QLabel *>(grid->itemAt(i)->widget());
            if (!label || label->text() != caption)
                continue;
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            QLayoutItem *field = grid->itemAtPosition(row, column + 1);
            if (field && field->layout())
                field = field->layout()->itemAt(0);
            return field ? qobject_cast<T *>(field->widget()) : nullptr;
        }
    }
    return nullptr;
}

// With VARNOCK_SCREENSHOTS=folder set, keeps a picture of the screen for a look by eye.
inline void keepPicture(QWidget *screen, const QString &name)
{
    const QString folder = qEnvironmentVariable("VARNOCK_SCREENSHOTS");
    if (!folder.isEmpty())
        screen->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace varnock::test
