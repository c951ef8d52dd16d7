#pragma once

// Covering codes of mixed binary/ternary spaces: W double columns (symbols 1, 2) and T triple
// columns (0, 1, 2). A code of radius r covers the space when every word lies within Hamming
// distance r of a codeword. Plain C++ over arrays, shared by the table tool and its tests.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace covering {

struct Space
{
    int doubles = 0, triples = 0;
    int n() const { return doubles + triples; }
    int radix(int column) const { return column < doubles ? 2 : 3; }
    uint32_t size() const;
    // Column digits of a word index (double columns 0/1 stand for the symbols 1/2).
    void decode(uint32_t word, int *digits) const;
    uint32_t encode(const int *digits) const;
    // Every word within radius r of word x, x itself included.
    void ball(uint32_t x, int r, std::vector<uint32_t> &out) const;
};

using Code = std::vector<uint32_t>;

// True when the code covers the whole space at radius r.
bool Covers(const Space &space, int r, const Code &code);

// Greedy: repeatedly add the word that covers most uncovered words (among a sample).
Code Greedy(const Space &space, int r, std::mt19937 &rng);

// Tabu search for a covering with exactly k words; an empty code when none was found in time.
Code TabuSearch(const Space &space, int r, int k, double seconds, std::mt19937 &rng, const Code *start = nullptr);

// Rows as text: one line per codeword, double columns as "1"/"2" and triple columns as "0".."2".
std::string RowText(const Space &space, uint32_t word);
uint32_t ParseRow(const Space &space, const std::string &text, bool &ok);

} // namespace covering
