// libFuzzer target: the Japanese code detection and the HTML table scanner on any bytes.
// Invariants: detection is total; decoding never fails; the scanner's tables are no longer than
// the document and GetCell never returns more than its table holds.
#include "platform/Cp932Codec.h"
#include "web/JapaneseCode.h"
#include "web/UnitHTMLParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TJapaneseCode code = DetectJapaneseCode(bytes);
    const QString text = DecodeJapanese(bytes, code);
    // Decoded CP932 text survives encoding (bytes may differ: the NEC/IBM duplicates take the
    // code Windows writes).
    if (!text.contains(QChar(0xFFFD)) && Cp932::canEncode(text) && Cp932::decode(Cp932::encode(text)) != text)
        abort();
    THTMLParser parser;
    parser.SetHTML(text);
    const int tables = parser.TableCount();
    if (parser.Document().size() > text.size() + 1)
        abort();
    for (int t = 0; t <= std::min(tables, 4); ++t) {
        const QString table = parser.GetTable(t);
        if (table.size() > parser.Document().size())
            abort();
        for (int r = 1; r <= std::min(parser.RowCount(t), 3); ++r)
            for (int c = 1; c <= 3; ++c)
                if (parser.GetCell(t, r, c).size() > parser.Document().size())
                    abort();
    }
    const QString stripped = THTMLParser::StripTags(text);
    if (stripped.size() > text.size() * 2)
        abort();
    return 0;
}
