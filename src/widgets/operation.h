#pragma once

#include <functional>

class QWidget;

namespace varnock {

// Runs one core operation and shows what went wrong the same way everywhere: a Refusal as
// its own message box, a StoreError as a critical box with the database's text. Returns true
// when the operation finished without either.
bool runOperation(QWidget *parent, const std::function<void()> &operation);

} // namespace varnock
