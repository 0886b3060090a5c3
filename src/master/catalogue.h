#pragma once

#include "store/decimal.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace varnock {

class Database;

// One node of the material catalogue (CLJBXXB): a category (sfmj false) or a material.
struct CatalogueRow
{
    QString clbh;
    QString sjbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    QString hsdw;
    std::optional<double> hsxs;
    Decimal jhdj;
    Decimal jhsl;
    bool jjfs = false; // valued at the planned price
    bool sfmj = false; // a material (leaf)
    bool crkbz = false;
};

// A material as typed on the material editor; figures stay text until the catalogue has
// checked them.
struct MaterialDraft
{
    QString clbh;
    QString sjbh; // the parent's code, carried with "所属类别："
    QString clmc;
    QString clgg;
    QString jzdw;
    QString hsdw;
    QString hsxs;
    QString jhdj;
    QString jhsl;
    bool jjfs = false;

    // A stored material as the editor shows it for a change.
    static MaterialDraft of(const CatalogueRow &row);
};

// The coded tree of categories and materials. Level-1 codes are plain integers under the
// root "0"; each lower level appends three digits to its parent's code; materials are the
// leaves. Every public operation runs in one transaction and throws Refusal with the
// system's message or StoreError.
class Catalogue
{
public:
    // Answers a Yes/No question the catalogue asks on the way (true = Yes).
    using Confirm = std::function<bool(const QString &question)>;

    enum class Sort { Code, Name, Spec, PlannedPrice };

    static const QString RootCode; // "0"
    static const QString RootName; // "全部材料"
    static const QString Title;    // title of the catalogue's message boxes

    explicit Catalogue(Database &db)
        : m_db(db)
    {}

    // Direct children of a node ordered by code; RootCode for the top level.
    QList<CatalogueRow> children(const QString &parent) const;
    std::optional<CatalogueRow> find(const QString &clbh) const;
    // Name shown as "所属类别：" for a parent code: RootName for the root.
    QString parentName(const QString &parentCode) const;
    bool isEmpty() const;

    // The grid's rows: the whole catalogue for the root, otherwise the node itself and its
    // direct children, ordered by the column clicked last.
    QList<CatalogueRow> rows(const QString &selection, Sort sort = Sort::Code) const;

    // The code proposed for a new child of `parent`: the parent's code + "001" for its first
    // child ("1" at the root), otherwise one more than the largest sibling. Refuses a
    // parent's 1000th child, which could no longer carry the parent's code.
    QString proposeCode(const QString &parent) const;

    // Refuses a code that does not begin with its parent's code.
    static void checkPrefix(const QString &code, const QString &parent);
    // "0.0000"-formatted planned price × planned quantity; "0.0000" while either is not a number.
    static QString plannedAmountText(const QString &jhdj, const QString &jhsl);

    // Adds a material. Asks `confirm` when a material of the same name and specification
    // already exists; returns false when the answer is No (nothing is written).
    bool addMaterial(const MaterialDraft &draft, const Confirm &confirm);
    // Changes everything but the code and the parent of an existing material. The pricing
    // (JJFS, and JHDJ of a planned-price material) stays while the material has stock or
    // unposted voucher lines: they are valued by it.
    bool updateMaterial(const MaterialDraft &draft, const Confirm &confirm);

    void addCategory(const QString &clbh, const QString &clmc, const QString &parent);
    // Only the name of a category changes.
    void renameCategory(const QString &clbh, const QString &clmc);

    // Deletes a node after `confirm` says Yes; refuses one with children or one named by
    // the books. Returns false when the answer is No.
    bool remove(const QString &clbh, const Confirm &confirm);

    // The rows of a shipped library (0…2) as the import screen lists them.
    QList<CatalogueRow> libraryRows(int library) const;
    // Replaces the whole catalogue with a library, categories included. Refused when it would
    // change the pricing of a material with stock or unposted voucher lines.
    void importLibrary(int library);

private:
    // The required fields, in the order the editor checks them.
    static void checkMaterial(const MaterialDraft &draft);
    // Name of the category holding a material of this name and spec (other than `except`).
    std::optional<QString> duplicateCategory(const QString &clmc, const QString &clgg,
                                             const QString &except) const;
    bool exists(const QString &clbh) const;
    // What is valued by a material's pricing: stock first, else unposted voucher lines.
    enum class PricingUse { None, Stock, Unposted };
    PricingUse pricingUse(const QString &clbh) const;
    // Refuses a new pricing for a material whose pricing is in use.
    void refusePricingChange(const QString &clbh, bool jjfs, Decimal jhdj) const;
    QList<CatalogueRow> select(const QString &sql, const QVariantList &values) const;

    Database &m_db;
};

} // namespace varnock
