#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

// The covering tables shipped with the program: for prize levels 2..4 and W' doubles and T'
// triples, at most 255 rows that keep every outcome of those matches within level - 1 misses of
// some row. Rows hold the symbols of the double columns (1/2) first, then of the triple columns
// (0/1/2).
struct TCoveringTable
{
    int level = 0, doubles = 0, triples = 0;
    std::vector<std::vector<uint8_t>> rows;
    int columns() const { return doubles + triples; }
};

class TCoveringTables
{
public:
    // Reads the tables; raises EPelvaneError naming the line when the file is damaged.
    static TCoveringTables Parse(const QByteArray &text, const QString &source);
    // The tables of this build: the file named by PELVANE_TABLES, else the embedded ones.
    static const TCoveringTables &Shipped();

    const TCoveringTable *Find(int level, int doubles, int triples) const;
    std::vector<const TCoveringTable *> Tables(int level) const;
    const std::vector<TCoveringTable> &All() const { return m_tables; }

    // Exhaustive check that the rows cover their space at radius level - 1.
    static bool Verify(const TCoveringTable &table);

private:
    std::vector<TCoveringTable> m_tables;
    std::map<std::tuple<int, int, int>, size_t> m_index;
};
