#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// The material catalogue read once as a tree, for the reports: which category a material
// belongs to is found along its parents (SJBH), never from its code, so that the materials of
// category 10 are never counted under category 1.
class CatalogueTree
{
public:
    struct Node
    {
        QString clbh;
        QString sjbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        bool leaf = false;
    };

    static const QString Root; // "0"

    explicit CatalogueTree(Database &db);

    const Node *find(const QString &clbh) const;
    // The node's own name; empty for a code the catalogue does not hold.
    QString name(const QString &clbh) const;
    // Whether `clbh` is `category` or lies below it. Every node lies below the root.
    bool isUnder(const QString &clbh, const QString &category) const;
    // The parent's code: the root for a top-level node and for a code the catalogue lacks.
    QString parentOf(const QString &clbh) const;
    // The top-level category (a child of the root) that `clbh` lies under; the node itself
    // when it is one, empty when it is the root or not in the catalogue.
    QString topOf(const QString &clbh) const;
    // Codes in the catalogue's order: along the tree, siblings by their numeric code.
    bool before(const QString &a, const QString &b) const;
    // The place of a code in that order; codes the catalogue lacks come after every node.
    int rank(const QString &clbh) const;
    // The leaves in the catalogue's order.
    QList<const Node *> leaves() const;
    // The direct children of `clbh` (the root for the top level) in the catalogue's order.
    QList<const Node *> children(const QString &clbh) const;
    // Every category (no leaf) in the catalogue's order.
    QList<const Node *> categories() const;

private:
    // Codes from the top-level category down to `clbh`.
    QList<QString> path(const QString &clbh) const;

    QHash<QString, Node> m_nodes;
    QHash<QString, int> m_rank; // place in the catalogue's order
};

} // namespace varnock
