#pragma once

#include <QtGlobal>

class TTipSheet;

// Every combination of the marks, one single per combination: 2^W x 3^T singles. The singles are
// appended in counting order (the last match varies fastest, outcomes in display order home,
// draw, away) and numbered by creation. Pending events run every 50 singles; a stop request
// clears the singles and raises "ユーザー操作により展開を中止しました".
qint64 FullExpansionCount(const TTipSheet &sheet);
void ExpandAllCombinations(TTipSheet &sheet);
