#include "store/sqlfunctions.h"

#include "store/decimal.h"
#include "store/errors.h"

#include <sqlite3.h>

#include <cmath>
#include <optional>
#include <stdexcept>

namespace varnock {

namespace {

// A scaled argument: INTEGER ten-thousandths. A REAL holding a whole count of
// ten-thousandths (arithmetic in a query may yield one) is taken at its nearest integer.
// Returns nullopt after reporting an error on the context.
std::optional<std::int64_t> scaledArgument(sqlite3_context *context, sqlite3_value *value,
                                           const char *name)
{
    switch (sqlite3_value_numeric_type(value)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(value);
    case SQLITE_FLOAT: {
        const double d = std::round(sqlite3_value_double(value));
        if (std::isfinite(d) && d >= -9223372036854775808.0 && d < 9223372036854775808.0)
            return static_cast<std::int64_t>(d);
        sqlite3_result_error(context, (QByteArray(name) + ": " + OverflowMessage).constData(), -1);
        return std::nullopt;
    }
    default:
        sqlite3_result_error(context, (QByteArray(name) + ": not a number").constData(), -1);
        return std::nullopt;
    }
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

enum class Operation { Multiply, Divide, Round };

// Each function computes exactly what the same figure computed with Decimal in code gives,
// so a report query and the ledger agree to the last digit.
template <Operation op>
void scaledFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    constexpr const char *name = op == Operation::Multiply ? "SMUL"
                                 : op == Operation::Divide ? "SDIV"
                                                           : "SROUND";
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    const auto a = scaledArgument(context, argv[0], name);
    if (!a)
        return;
    std::int64_t b = 0;
    if (op != Operation::Round) {
        const auto second = scaledArgument(context, argv[1], name);
        if (!second)
            return;
        b = *second;
    }
    const int decimals = sqlite3_value_int(argv[argc - 1]);
    try {
        Decimal result;
        switch (op) {
        case Operation::Multiply:
            result = Decimal::fromRaw(*a) * Decimal::fromRaw(b);
            break;
        case Operation::Divide:
            if (b == 0) {
                sqlite3_result_null(context);
                return;
            }
            result = Decimal::fromRaw(*a) / Decimal::fromRaw(b);
            break;
        case Operation::Round:
            result = Decimal::fromRaw(*a);
            break;
        }
        sqlite3_result_int64(context, result.rounded(decimals).raw());
    } catch (const std::overflow_error &) {
        sqlite3_result_error(context, (QByteArray(name) + ": " + OverflowMessage).constData(), -1);
    } catch (const std::domain_error &) {
        sqlite3_result_null(context);
    }
}

void add(sqlite3 *handle, const char *name, int argc,
         void (*function)(sqlite3_context *, int, sqlite3_value **))
{
    const int rc =
        sqlite3_create_function_v2(handle, name, argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   function, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw StoreError(QStringLiteral("%1: %2").arg(QString::fromLatin1(name),
                                                      QString::fromUtf8(sqlite3_errstr(rc))));
}

} // namespace

void registerScaledFunctions(sqlite3 *handle)
{
    add(handle, "SMUL", 3, &scaledFunction<Operation::Multiply>);
    add(handle, "SDIV", 3, &scaledFunction<Operation::Divide>);
    add(handle, "SROUND", 2, &scaledFunction<Operation::Round>);
}

} // namespace varnock
