#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace veltrik {

// Finds every occurrence of many patterns in one text in a single pass (Aho-Corasick over UTF-16 code
// units). Occurrences may overlap; for each pattern they come in ascending order of their start.
//
// Building takes time linear in the total pattern length, the scan linear in the text plus the number
// of occurrences reported. Tested by multisearch_test.cpp.
class MultiSearch {
public:
    explicit MultiSearch(const QStringList &patterns);

    // starts[i] lists the offsets at which patterns[i] occurs in text. An empty pattern occurs nowhere.
    QList<QList<qsizetype>> findAll(QStringView text) const;

private:
    struct Node {
        int failure = 0;
        int output = -1;      // nearest node on the failure chain (itself included) that ends a pattern
        QList<int> patterns;  // patterns ending exactly here
    };

    int child(int node, char16_t unit) const;
    void buildFailureLinks();

    QStringList m_patterns;
    QList<Node> m_nodes;
    QHash<quint64, int> m_children; // (node << 16 | unit) -> node
};

} // namespace veltrik
