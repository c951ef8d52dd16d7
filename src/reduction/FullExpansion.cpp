#include "reduction/FullExpansion.h"

#include "lottery/UnitToTo.h"
#include "platform/EventPump.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"

#include <vector>

qint64 FullExpansionCount(const TTipSheet &sheet)
{
    qint64 n = 1;
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        n *= std::max(1, sheet.Match(i).TipCount());
    return n;
}

void ExpandAllCombinations(TTipSheet &sheet)
{
    const int maxMatch = sheet.MaxMatch();
    std::vector<std::vector<TTip>> choices(static_cast<size_t>(maxMatch));
    for (int i = 0; i < maxMatch; ++i)
        for (TTip t : kDisplayTipOrder)
            if (sheet.Match(i).Tips().contains(t))
                choices[size_t(i)].push_back(t);
    sheet.CheckMarks();

    const qint64 total = FullExpansionCount(sheet);
    TSingleSheetList &singles = sheet.Singles();
    singles.Reserve(int(singles.Count() + total));
    std::vector<int> pos(size_t(maxMatch), 0);
    TTip tips[kMaxMatches] = {};
    int number = singles.Count();
    for (qint64 k = 0; k < total; ++k) {
        for (int i = 0; i < maxMatch; ++i)
            tips[i] = choices[size_t(i)][size_t(pos[size_t(i)])];
        TSingleSheet &s = singles.Add(TSingleSheet(&sheet, ++number));
        s.SetTips(tips, maxMatch);
        for (int i = maxMatch - 1; i >= 0; --i) {
            if (++pos[size_t(i)] < int(choices[size_t(i)].size()))
                break;
            pos[size_t(i)] = 0;
        }
        if ((k + 1) % 50 == 0) {
            ProgressSet(int(k + 1));
            ProcessPendingEvents();
            if (sheet.KeyAbort()) {
                singles.Clear();
                throw EPelvaneError(QStringLiteral("ユーザー操作により展開を中止しました"));
            }
        }
    }
}
