#pragma once

#include "store/errors.h"

#include <QList>
#include <QString>

namespace varnock {

// One message an operation puts before it acts: a Yes/No question (No stops) or a refusal
// (shown, and it stops). Screens walk the list in order and call the operation once every
// question was answered Yes; the command line answers with --yes. The operation checks its
// refusals again inside its transaction.
struct OperationStep
{
    enum class Kind { Question, Refusal };
    Kind kind = Kind::Refusal;
    QString title;
    QString text;
    Refusal::Icon icon = Refusal::Icon::Exclamation;

    static OperationStep question(const QString &title, const QString &text,
                                  Refusal::Icon icon = Refusal::Icon::Question)
    {
        return {Kind::Question, title, text, icon};
    }
    static OperationStep refusal(const QString &title, const QString &text,
                                 Refusal::Icon icon = Refusal::Icon::Exclamation)
    {
        return {Kind::Refusal, title, text, icon};
    }

    bool isRefusal() const { return kind == Kind::Refusal; }
    Refusal toRefusal() const { return Refusal(title, text, icon); }

    // Throws the first refusal of `steps`, if any.
    static void throwRefusal(const QList<OperationStep> &steps)
    {
        for (const OperationStep &step : steps) {
            if (step.isRefusal())
                throw step.toRefusal();
        }
    }
};

} // namespace varnock
