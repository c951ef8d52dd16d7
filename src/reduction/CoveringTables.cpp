#include "reduction/CoveringTables.h"

#include "platform/PelvaneError.h"

#include <QFile>
#include <QList>

#include <functional>
#include <mutex>

namespace {

[[noreturn]] void damaged(const QString &source, int line, const QString &why)
{
    throw EPelvaneError(QStringLiteral("削減表(%1)の%2行目が壊れています: %3").arg(source).arg(line).arg(why));
}

} // namespace

TCoveringTables TCoveringTables::Parse(const QByteArray &text, const QString &source)
{
    TCoveringTables t;
    const QList<QByteArray> lines = text.split('\n');
    int i = 0;
    auto next = [&](QByteArray &line) {
        while (i < lines.size()) {
            line = lines[i++].trimmed();
            if (!line.isEmpty() && !line.startsWith('#'))
                return true;
        }
        return false;
    };
    QByteArray line;
    while (next(line)) {
        const QList<QByteArray> head = line.split(' ');
        bool ok[4] = {};
        if (head.size() != 4)
            damaged(source, i, QStringLiteral("見出しが正しくありません"));
        TCoveringTable table;
        table.level = head[0].toInt(&ok[0]);
        table.doubles = head[1].toInt(&ok[1]);
        table.triples = head[2].toInt(&ok[2]);
        const int rows = head[3].toInt(&ok[3]);
        if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || table.level < 1 || table.level > 4 || table.doubles < 0
            || table.triples < 0 || table.columns() > 13 || rows < 1 || rows > 255)
            damaged(source, i, QStringLiteral("見出しが正しくありません"));
        for (int r = 0; r < rows; ++r) {
            if (!next(line))
                damaged(source, i, QStringLiteral("行が足りません"));
            std::vector<uint8_t> row;
            if (table.columns() == 0) {
                if (line != "-")
                    damaged(source, i, QStringLiteral("列のない表の行は - です"));
            } else {
                if (line.size() != table.columns())
                    damaged(source, i, QStringLiteral("列の数が違います"));
                for (int c = 0; c < table.columns(); ++c) {
                    const int s = line[c] - '0';
                    const bool fits = c < table.doubles ? (s == 1 || s == 2) : (s >= 0 && s <= 2);
                    if (!fits)
                        damaged(source, i, QStringLiteral("記号が正しくありません"));
                    row.push_back(uint8_t(s));
                }
            }
            table.rows.push_back(std::move(row));
        }
        const auto key = std::make_tuple(table.level, table.doubles, table.triples);
        if (t.m_index.count(key))
            damaged(source, i, QStringLiteral("同じ表が二つあります"));
        t.m_index[key] = t.m_tables.size();
        t.m_tables.push_back(std::move(table));
    }
    return t;
}

const TCoveringTables &TCoveringTables::Shipped()
{
    static std::once_flag once;
    static std::unique_ptr<TCoveringTables> tables;
    static QString error;
    std::call_once(once, [] {
        const QString override = qEnvironmentVariable("PELVANE_TABLES");
        const QString path = override.isEmpty() ? QStringLiteral(":/covering/tables.txt") : override;
        QFile file(path);
        try {
            if (!file.open(QIODevice::ReadOnly))
                throw EPelvaneError(QStringLiteral("削減表(%1)が読めません").arg(path));
            tables = std::make_unique<TCoveringTables>(Parse(file.readAll(), path));
        } catch (const EPelvaneError &e) {
            error = e.message();
        }
    });
    if (!tables)
        throw EPelvaneError(error);
    return *tables;
}

const TCoveringTable *TCoveringTables::Find(int level, int doubles, int triples) const
{
    const auto it = m_index.find({level, doubles, triples});
    return it == m_index.end() ? nullptr : &m_tables[it->second];
}

std::vector<const TCoveringTable *> TCoveringTables::Tables(int level) const
{
    std::vector<const TCoveringTable *> out;
    for (const TCoveringTable &t : m_tables)
        if (t.level == level)
            out.push_back(&t);
    return out;
}

bool TCoveringTables::Verify(const TCoveringTable &table)
{
    const int n = table.columns();
    const int radius = table.level - 1;
    std::vector<int> radix(static_cast<size_t>(n));
    uint32_t size = 1;
    for (int c = 0; c < n; ++c) {
        radix[size_t(c)] = c < table.doubles ? 2 : 3;
        size *= uint32_t(radix[size_t(c)]);
    }
    if (n == 0)
        return !table.rows.empty();
    // Mark every word within the radius of each row.
    std::vector<uint8_t> covered(size, 0);
    std::vector<int> digits(static_cast<size_t>(n));
    auto encode = [&]() {
        uint32_t w = 0;
        for (int c = 0; c < n; ++c)
            w = w * uint32_t(radix[size_t(c)]) + uint32_t(digits[size_t(c)]);
        return w;
    };
    std::function<void(int, int)> mark = [&](int from, int left) {
        covered[encode()] = 1;
        if (left == 0)
            return;
        for (int c = from; c < n; ++c) {
            const int keep = digits[size_t(c)];
            for (int d = 0; d < radix[size_t(c)]; ++d) {
                if (d == keep)
                    continue;
                digits[size_t(c)] = d;
                mark(c + 1, left - 1);
            }
            digits[size_t(c)] = keep;
        }
    };
    for (const auto &row : table.rows) {
        for (int c = 0; c < n; ++c)
            digits[size_t(c)] = c < table.doubles ? row[size_t(c)] - 1 : row[size_t(c)];
        mark(0, radius);
    }
    for (uint8_t v : covered)
        if (!v)
            return false;
    return true;
}
