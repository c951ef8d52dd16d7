// Builds the covering tables the program reduces with: for prize levels 2, 3 and 4 (radius 1, 2
// and 3) and every W doubles and T triples with W + T <= 13, the smallest covering of at most 255
// rows it can find. Known constructions first (direct sums of smaller tables, a triple column read
// as a double, the greedy cover), then tabu search for one row fewer at a time. Every table is
// verified exhaustively before it is written.
//
//   make_tables --out tables.txt [--bounds covering-bounds.csv] [--seconds S] [--seed N]
//   make_tables --improve tables.txt --bounds covering-bounds.csv [--seconds S]
//       tries again, with restarts for S seconds a cell, every table larger than the best known.
#include "CoveringSearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

using namespace covering;

namespace {

using Key = std::tuple<int, int, int>; // radius, doubles, triples

struct Bounds
{
    int lower = 0, upper = 0;
};

std::map<Key, Code> g_codes;
std::map<Key, Bounds> g_bounds; // by radius

Code fullSpace(const Space &s)
{
    Code c;
    for (uint32_t w = 0; w < s.size(); ++w)
        c.push_back(w);
    return c;
}

// The direct sum of two codes over column blocks (W1 doubles, T1 triples) and (W2, T2): radius r1 + r2.
Code directSum(const Space &a, const Code &ca, const Space &b, const Code &cb, const Space &target)
{
    Code out;
    int da[32], db[32], dt[32];
    for (uint32_t x : ca)
        for (uint32_t y : cb) {
            a.decode(x, da);
            b.decode(y, db);
            int k = 0;
            for (int i = 0; i < a.doubles; ++i)
                dt[k++] = da[i];
            for (int i = 0; i < b.doubles; ++i)
                dt[k++] = db[i];
            for (int i = 0; i < a.triples; ++i)
                dt[k++] = da[a.doubles + i];
            for (int i = 0; i < b.triples; ++i)
                dt[k++] = db[b.doubles + i];
            out.push_back(target.encode(dt));
        }
    return out;
}

// A code of (W - 1, T + 1) read with its first triple column as a double (symbol 0 becomes 1).
Code tripleAsDouble(const Space &from, const Code &code, const Space &to)
{
    Code out;
    int d[32];
    for (uint32_t x : code) {
        from.decode(x, d);
        // the first triple column of `from` sits at index from.doubles; it becomes the last double
        const int t = d[from.doubles];
        d[from.doubles] = t == 2 ? 1 : 0;
        out.push_back(to.encode(d));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

const Code *known(int r, int w, int t)
{
    const auto it = g_codes.find({r, w, t});
    return it == g_codes.end() ? nullptr : &it->second;
}

Code construct(const Space &s, int r)
{
    const int n = s.n();
    if (r >= n) {
        return Code{0};
    }
    Code best;
    if (r == 0 && s.size() <= 4096)
        best = fullSpace(s);
    // Direct sums of two smaller blocks.
    for (int w1 = 0; w1 <= s.doubles; ++w1)
        for (int t1 = 0; t1 <= s.triples; ++t1) {
            const int w2 = s.doubles - w1, t2 = s.triples - t1;
            if (w1 + t1 == 0 || w2 + t2 == 0)
                continue;
            for (int r1 = 0; r1 <= r; ++r1) {
                const int r2 = r - r1;
                const Code *a = known(r1, w1, t1);
                const Code *b = known(r2, w2, t2);
                if (!a || !b)
                    continue;
                if (!best.empty() && a->size() * b->size() >= best.size())
                    continue;
                if (a->size() * b->size() > 4096)
                    continue;
                best = directSum(Space{w1, t1}, *a, Space{w2, t2}, *b, s);
            }
        }
    if (s.doubles > 0)
        if (const Code *c = known(r, s.doubles - 1, s.triples + 1))
            if (best.empty() || c->size() < best.size()) {
                Code mapped = tripleAsDouble(Space{s.doubles - 1, s.triples + 1}, *c, s);
                if (Covers(s, r, mapped))
                    best = mapped;
            }
    return best;
}

void writeTables(const std::string &path)
{
    std::ofstream out(path + ".tmp", std::ios::binary);
    out << "# Covering tables: level doubles triples rows, then one row per line\n"
           "# (double columns first as 1/2, then triple columns as 0/1/2).\n";
    for (const auto &[key, code] : g_codes) {
        const auto [r, w, t] = key;
        if (r < 1 || r > 3 || code.size() > 255)
            continue;
        const Space s{w, t};
        out << (r + 1) << ' ' << w << ' ' << t << ' ' << code.size() << '\n';
        for (uint32_t c : code)
            out << (s.n() == 0 ? std::string("-") : RowText(s, c)) << '\n';
    }
    out.close();
    std::rename((path + ".tmp").c_str(), path.c_str());
}

void readBounds(const std::string &path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        int level, w, t, lower, upper, exact;
        if (std::sscanf(line.c_str(), "%d,%d,%d,%d,%d,%d", &level, &w, &t, &lower, &upper, &exact) == 6)
            g_bounds[{level - 1, w, t}] = Bounds{lower, upper};
    }
}

bool readTables(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        int level, w, t, c;
        if (std::sscanf(line.c_str(), "%d %d %d %d", &level, &w, &t, &c) != 4)
            return false;
        const Space s{w, t};
        Code code;
        for (int k = 0; k < c && std::getline(in, line); ++k) {
            bool ok = true;
            code.push_back(s.n() == 0 ? 0 : ParseRow(s, line, ok));
            if (!ok)
                return false;
        }
        g_codes[{level - 1, w, t}] = code;
    }
    return true;
}

int improve(const std::string &path, double seconds, std::mt19937 &rng)
{
    if (!readTables(path)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    for (auto &[key, code] : g_codes) {
        const auto [r, w, t] = key;
        const auto b = g_bounds.find(key);
        if (r < 1 || b == g_bounds.end() || int(code.size()) <= b->second.upper)
            continue;
        const Space s{w, t};
        const auto started = std::chrono::steady_clock::now();
        auto left = [&] {
            return seconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        };
        const size_t before = code.size();
        while (left() > 0 && int(code.size()) - 1 >= b->second.lower) {
            Code next = TabuSearch(s, r, int(code.size()) - 1, std::min(left(), std::max(2.0, seconds / 6)), rng);
            if (!next.empty() && Covers(s, r, next))
                code = next;
        }
        std::printf("level %d W%2d T%2d: %zu -> %zu rows (upper %d)\n", r + 1, w, t, before, code.size(), b->second.upper);
        std::fflush(stdout);
        writeTables(path);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::string outPath = "tables.txt", boundsPath, improvePath;
    double seconds = 4;
    unsigned seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--out"))
            outPath = argv[i + 1];
        else if (!std::strcmp(argv[i], "--bounds"))
            boundsPath = argv[i + 1];
        else if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            seed = unsigned(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--improve"))
            improvePath = argv[i + 1];
    }
    if (!boundsPath.empty())
        readBounds(boundsPath);
    std::mt19937 rng(seed);
    if (!improvePath.empty())
        return improve(improvePath, seconds, rng);
    const auto started = std::chrono::steady_clock::now();

    // Radius 0 blocks for the direct sums: the whole (small) space.
    for (int n = 1; n <= 12; ++n)
        for (int w = 0; w <= n; ++w) {
            const Space s{w, n - w};
            if (s.size() <= 256)
                g_codes[{0, w, n - w}] = fullSpace(s);
        }

    for (int r = 1; r <= 3; ++r)
        for (int n = 0; n <= 13; ++n)
            for (int w = n; w >= 0; --w) {
                const int t = n - w;
                const Space s{w, t};
                const auto b = g_bounds.find({r, w, t});
                const int lower = b == g_bounds.end() ? 1 : b->second.lower;
                const int upper = b == g_bounds.end() ? 0 : b->second.upper;
                if (lower > 255)
                    continue;
                const auto cellStart = std::chrono::steady_clock::now();
                Code best = construct(s, r);
                if (s.size() <= 600000) {
                    Code g = Greedy(s, r, rng);
                    if (best.empty() || g.size() < best.size())
                        best = g;
                }
                // One row fewer at a time, while that can exist.
                const double limit = std::min(60.0, seconds * (1.0 + std::log2(1.0 + s.size() / 2000.0)));
                int failures = 0;
                while (!best.empty() && int(best.size()) - 1 >= lower && failures < 2) {
                    // From a random start: the constructions sit in deep local minima.
                    Code next = TabuSearch(s, r, int(best.size()) - 1, limit, rng);
                    if (next.empty()) {
                        ++failures;
                        continue;
                    }
                    best = next;
                    failures = 0;
                }
                if (best.empty() || !Covers(s, r, best)) {
                    std::fprintf(stderr, "level %d W%d T%d: no verified covering\n", r + 1, w, t);
                    continue;
                }
                g_codes[{r, w, t}] = best;
                const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - cellStart).count();
                std::printf("level %d W%2d T%2d: %4zu rows (upper %4d, lower %4d) %6.1fs\n", r + 1, w, t, best.size(),
                            upper, lower, secs);
                std::fflush(stdout);
                writeTables(outPath);
            }
    writeTables(outPath);
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("done in %.0f s\n", total);
    return 0;
}
