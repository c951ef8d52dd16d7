#include "CoveringSearch.h"

#include <algorithm>
#include <chrono>

namespace covering {

uint32_t Space::size() const
{
    uint32_t s = 1;
    for (int i = 0; i < n(); ++i)
        s *= uint32_t(radix(i));
    return s;
}

void Space::decode(uint32_t word, int *digits) const
{
    for (int i = n() - 1; i >= 0; --i) {
        digits[i] = int(word % uint32_t(radix(i)));
        word /= uint32_t(radix(i));
    }
}

uint32_t Space::encode(const int *digits) const
{
    uint32_t w = 0;
    for (int i = 0; i < n(); ++i)
        w = w * uint32_t(radix(i)) + uint32_t(digits[i]);
    return w;
}

namespace {

void ballRec(const Space &s, int *digits, int from, int left, std::vector<uint32_t> &out)
{
    out.push_back(s.encode(digits));
    if (left == 0)
        return;
    for (int i = from; i < s.n(); ++i) {
        const int keep = digits[i];
        for (int d = 0; d < s.radix(i); ++d) {
            if (d == keep)
                continue;
            digits[i] = d;
            ballRec(s, digits, i + 1, left - 1, out);
        }
        digits[i] = keep;
    }
}

} // namespace

void Space::ball(uint32_t x, int r, std::vector<uint32_t> &out) const
{
    out.clear();
    int digits[32];
    decode(x, digits);
    ballRec(*this, digits, 0, r, out);
}

bool Covers(const Space &space, int r, const Code &code)
{
    std::vector<uint8_t> covered(space.size(), 0);
    std::vector<uint32_t> b;
    for (uint32_t c : code) {
        if (c >= space.size())
            return false;
        space.ball(c, r, b);
        for (uint32_t v : b)
            covered[v] = 1;
    }
    return std::all_of(covered.begin(), covered.end(), [](uint8_t x) { return x != 0; });
}

Code Greedy(const Space &space, int r, std::mt19937 &rng)
{
    const uint32_t size = space.size();
    std::vector<uint8_t> covered(size, 0);
    uint32_t left = size;
    Code code;
    std::vector<uint32_t> b, bb;
    std::vector<uint32_t> uncovered;
    while (left > 0) {
        uncovered.clear();
        for (uint32_t v = 0; v < size; ++v)
            if (!covered[v])
                uncovered.push_back(v);
        // Candidates: the ball of a random uncovered word (every cover of it lies there).
        const uint32_t u = uncovered[rng() % uncovered.size()];
        space.ball(u, r, b);
        uint32_t best = u;
        int bestGain = -1;
        for (uint32_t w : b) {
            space.ball(w, r, bb);
            int gain = 0;
            for (uint32_t v : bb)
                gain += !covered[v];
            if (gain > bestGain || (gain == bestGain && rng() % 2)) {
                bestGain = gain;
                best = w;
            }
        }
        code.push_back(best);
        space.ball(best, r, bb);
        for (uint32_t v : bb)
            if (!covered[v]) {
                covered[v] = 1;
                --left;
            }
    }
    return code;
}

Code TabuSearch(const Space &space, int r, int k, double seconds, std::mt19937 &rng, const Code *start)
{
    // Moves replace one codeword by a word that covers a random uncovered word; each move is
    // scored exactly from the cover counts, the codewords covering a word once (found through
    // the sum of the covering indices) and each codeword's number of words it alone covers.
    const uint32_t size = space.size();
    if (k <= 0)
        return {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);

    std::vector<uint8_t> count(size, 0);
    std::vector<int32_t> sumIdx(size, 0);
    std::vector<int32_t> uniq(size_t(k), 0);
    std::vector<uint32_t> uncovered;
    std::vector<int32_t> where(size, -1);
    auto markUncovered = [&](uint32_t v) {
        where[v] = int32_t(uncovered.size());
        uncovered.push_back(v);
    };
    auto markCovered = [&](uint32_t v) {
        const int32_t p = where[v];
        const uint32_t last = uncovered.back();
        uncovered[size_t(p)] = last;
        where[last] = p;
        uncovered.pop_back();
        where[v] = -1;
    };
    std::vector<uint32_t> b;
    auto add = [&](int j, uint32_t w) {
        space.ball(w, r, b);
        for (uint32_t v : b) {
            const uint8_t c = count[v]++;
            if (c == 0) {
                markCovered(v);
                ++uniq[size_t(j)];
            } else if (c == 1) {
                --uniq[size_t(sumIdx[v])];
            }
            sumIdx[v] += j;
        }
    };
    auto remove = [&](int j, uint32_t w) {
        space.ball(w, r, b);
        for (uint32_t v : b) {
            sumIdx[v] -= j;
            const uint8_t c = count[v]--;
            if (c == 1) {
                markUncovered(v);
                --uniq[size_t(j)];
            } else if (c == 2) {
                ++uniq[size_t(sumIdx[v])];
            }
        }
    };

    Code code;
    if (start)
        code = *start;
    while (int(code.size()) > k)
        code.erase(code.begin() + long(rng() % code.size()));
    while (int(code.size()) < k)
        code.push_back(uint32_t(rng() % size));
    for (uint32_t v = 0; v < size; ++v)
        markUncovered(v);
    for (int j = 0; j < k; ++j)
        add(j, code[size_t(j)]);

    std::vector<int64_t> tabuUntil(size_t(k), 0);
    const int tenure = std::max(1, std::min(k / 8 + 1, 8));
    std::vector<uint32_t> candidates, bw;
    std::vector<int32_t> overlap(size_t(k), 0);
    std::vector<int> touched;
    size_t bestUncovered = uncovered.size();
    int64_t lastGain = 0;
    const int64_t patience = 5000 + 200LL * k;
    for (int64_t iter = 1; !uncovered.empty(); ++iter) {
        if ((iter & 255) == 0 && std::chrono::steady_clock::now() > deadline)
            return {};
        if (uncovered.size() < bestUncovered) {
            bestUncovered = uncovered.size();
            lastGain = iter;
        } else if (iter - lastGain > patience) {
            // Stuck in one basin: start again from random words.
            for (int j = 0; j < k; ++j) {
                remove(j, code[size_t(j)]);
                code[size_t(j)] = uint32_t(rng() % size);
                add(j, code[size_t(j)]);
            }
            bestUncovered = uncovered.size();
            lastGain = iter;
        }
        const uint32_t u = uncovered[rng() % uncovered.size()];
        space.ball(u, r, candidates);
        int bestDelta = 1 << 30, bestJ = -1;
        uint32_t bestW = u;
        int ties = 0;
        for (uint32_t w : candidates) {
            space.ball(w, r, bw);
            int gain = 0;
            touched.clear();
            for (uint32_t v : bw) {
                const uint8_t c = count[v];
                if (c == 0) {
                    ++gain;
                } else if (c == 1) {
                    const int j = sumIdx[v];
                    if (overlap[size_t(j)]++ == 0)
                        touched.push_back(j);
                }
            }
            for (int j = 0; j < k; ++j) {
                if (tabuUntil[size_t(j)] > iter)
                    continue;
                const int delta = uniq[size_t(j)] - overlap[size_t(j)] - gain;
                if (delta < bestDelta) {
                    bestDelta = delta;
                    bestJ = j;
                    bestW = w;
                    ties = 1;
                } else if (delta == bestDelta && rng() % uint32_t(++ties) == 0) {
                    bestJ = j;
                    bestW = w;
                }
            }
            for (int j : touched)
                overlap[size_t(j)] = 0;
        }
        if (bestJ < 0)
            bestJ = int(rng() % uint32_t(k));
        remove(bestJ, code[size_t(bestJ)]);
        code[size_t(bestJ)] = bestW;
        add(bestJ, bestW);
        tabuUntil[size_t(bestJ)] = iter + tenure;
    }
    return code;
}

std::string RowText(const Space &space, uint32_t word)
{
    int digits[32];
    space.decode(word, digits);
    std::string s;
    for (int i = 0; i < space.n(); ++i)
        s.push_back(char('0' + (i < space.doubles ? digits[i] + 1 : digits[i])));
    return s;
}

uint32_t ParseRow(const Space &space, const std::string &text, bool &ok)
{
    ok = int(text.size()) == space.n();
    int digits[32] = {};
    for (int i = 0; ok && i < space.n(); ++i) {
        const int d = text[size_t(i)] - '0';
        if (i < space.doubles) {
            ok = d == 1 || d == 2;
            digits[i] = d - 1;
        } else {
            ok = d >= 0 && d <= 2;
            digits[i] = d;
        }
    }
    return ok ? space.encode(digits) : 0;
}

} // namespace covering
