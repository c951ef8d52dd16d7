#!/usr/bin/env python3
"""Writes the golden round files from the layout of the program's file formats.

The content below is typed by hand; this script only adds what is tedious by hand: CP932
encoding, CRLF line ends, the empty line after each section and the CRC-16/MODBUS of the
singles ("SingleSum"). It shares no code with the program."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def crc16_modbus(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def write(name, sections):
    text = ""
    for title, lines in sections:
        text += "[%s]\r\n" % title
        for line in lines:
            text += line + "\r\n"
        text += "\r\n"
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode("cp932"))


def checksum(singles, n):
    data = bytearray()
    for s in singles:
        data.extend(int(d) for d in s[:n])
    return crc16_modbus(bytes(data))


PATTERN_CUT = [
    "HomeMoreThanEnable=1", "HomeLessThanEnable=1", "HomeMoreThan=8", "HomeLessThan=2",
    "DrawMoreThanEnable=0", "DrawLessThanEnable=0", "DrawMoreThan=0", "DrawLessThan=0",
    "AwayMoreThanEnable=0", "AwayLessThanEnable=0", "AwayMoreThan=0", "AwayLessThan=0",
    "DrawJ1MoreThanEnable=0", "DrawJ1LessThanEnable=0", "DrawJ1MoreThan=0", "DrawJ1LessThan=0",
    "DrawJ2MoreThanEnable=0", "DrawJ2LessThanEnable=0", "DrawJ2MoreThan=0", "DrawJ2LessThan=0",
    "SumMoreThanEnable=0", "SumLessThanEnable=0", "SumMoreThan=0", "SumLessThan=0",
    "WinPriceMoreThanEnable=0", "WinPriceLessThanEnable=0", "WinPriceMoreThan=0", "WinPriceLessThan=0",
    "BackFireMoreThanEnable=0", "BackFireLessThanEnable=0", "BackFireMoreThan=0", "BackFireLessThan=0",
    "BackFireJ1MoreThanEnable=0", "BackFireJ1LessThanEnable=0", "BackFireJ1MoreThan=0", "BackFireJ1LessThan=0",
    "BackFireJ2MoreThanEnable=0", "BackFireJ2LessThanEnable=0", "BackFireJ2MoreThan=0", "BackFireJ2LessThan=0",
    "FavoriteCutMoreThanEnable=0", "FavoriteCutLessThanEnable=0", "FavoriteCutMoreThan=0", "FavoriteCutLessThan=0",
    "HDACutList=",
    "HDACutEnable=0",
    "IssueCutEnable=0",
] + ["IssueCut%d= ,  ,  " % n for n in range(1, 14)] + ["IssueCutType=1, 1, 1, 1"]

EXPAND = ["PrizeLevel=2", "OptimizeLevel=100", "Guarantee=0", "UsePatternCut=1"]

# --- toto round 1154 ------------------------------------------------------------------------
toto_matches = [
    "鹿島, 浦和, 03/06, 14:00, カシマ, 1, 1, 2, J1",
    "\"横浜 Ｆ・マリノス\", 川崎Ｆ, 03/06, 15:00, 日産ス, 1, 3, 4, J1",
    "Ｇ大阪, 名古屋, 03/06, 16:00, 万博, 1, 5, 6, J1",
    "FC東京, 磐田, 03/07, 13:00, 味スタ, 1, 7, 8, J1",
    "清水, 広島, 03/07, 13:00, 日本平, 1, 9, 10, J1",
    "柏, 千葉, 03/07, 14:00, 日立台, 1, 11, 12, J1",
    "新潟, 大宮, 03/07, 15:00, ビッグス, 1, 13, 14, J1",
    "神戸, 大分, 03/07, 16:00, ホームズ, 1, 15, 16, J1",
    "札幌, 仙台, 03/07, 13:00, 札幌ド, 2, 17, 18, J2",
    "湘南, 福岡, 03/07, 13:00, 平塚, 2, 19, 20, J2",
    "甲府, 山形, 03/07, 14:00, 小瀬, 2, 21, 22, J2",
    "鳥栖, 徳島, 03/07, 15:00, ベアスタ, 2, 23, 24, J2",
    "水戸, 草津, 03/07, 16:00, 笠松, 2, 25, 26, J2",
]
toto_tips = ["1", "02", "102", "1", "2", "0", "12", "1", "1", "2", "0", "1", "10"]
toto_results = ["2, 1", "1, 1, V", ", , , X", "1, 1, V, X", "0, 2", "1, 1", "3, 0", "2, 0",
                "1, 0", "0, 1", "0, 0", "2, 2", ", "]
toto_singles = [
    "1012201101201", "1112201101201", "1122201101201", "1012201101211", "1000000000000",
]
invalid = {3}
single_lines = []
for i, s in enumerate(toto_singles):
    line = "%02d=%s" % (i + 1, ", ".join(s))
    if i in invalid:
        line += ", X"
    single_lines.append(line)

sheet = ["Type=0", "Number=1154", "SingleCount=%d" % len(toto_singles), "SingleDeleted=1",
         "SingleSum=%d" % checksum(toto_singles, 13)]
keys = ["%02d" % (i + 1) for i in range(13)]
write("toto1154.tot", [
    ("Sheet", sheet),
    ("Match", ["%s=%s" % (k, v) for k, v in zip(keys, toto_matches)]),
    ("Tip", ["%s=%s" % (k, v) for k, v in zip(keys, toto_tips)]),
    ("Comment", ["%s=%s" % (k, "本命" if k == "01" else "") for k in keys]),
    ("DataURL", ["%s=%s" % (k, "http://127.0.0.1/team?id=1" if k == "01" else "") for k in keys]),
    ("Result", ["%s=%s" % (k, v) for k, v in zip(keys, toto_results)]),
    ("Expand", EXPAND),
    ("PatternCut", PATTERN_CUT),
    ("Single", single_lines),
    ("Probability", ["All=42.5", "1st=0.25", "2nd=3.5", "3rd=38.75"]),
    ("TotoBoard", ["Title=今週の予想", "Comment1=荒れる回", "Comment2=～本命は鹿島～"]),
    ("Dividend", ["1=123456789, 3, 6000000000", "2=150000, 120, 0", "3=3200, 4500, 0"]),
])

# The match sheet and the result file of the same round.
write("toto1154.tts", [
    ("Sheet", ["Type=0", "Number=1154"]),
    ("Match", ["%s=%s" % (k, v) for k, v in zip(keys, toto_matches)]),
])
write("toto1154.ttr", [
    ("Sheet", ["Type=0", "Number=1154"]),
    ("Match", ["%s=%s" % (k, v) for k, v in zip(keys, toto_matches)]),
    ("Result", ["%s=%s" % (k, v) for k, v in zip(keys, toto_results)]),
    ("Dividend", ["1=123456789, 3, 6000000000", "2=150000, 120, 0", "3=3200, 4500, 0"]),
])

# --- mini toto A round 500 ----------------------------------------------------------------------
mini_keys = keys[:5]
mini_matches = [
    "鹿島, 浦和, 05/01, 14:00, カシマ, 1, 1, 2, J1",
    "清水, 広島, 05/01, 15:00, 日本平, 1, 9, 10, J1",
    "柏, 千葉, 05/02, 13:00, 日立台, 1, 11, 12, J1",
    "札幌, 仙台, 05/02, 14:00, 札幌ド, 2, 17, 18, J2",
    "甲府, 山形, 05/02, 16:00, 小瀬, 2, 21, 22, J2",
]
mini_singles = ["10201", "10202", "20001"]
mini_lines = ["%02d=%s" % (i + 1, ", ".join(s)) for i, s in enumerate(mini_singles)]
mini_lines[2] += ", X"
write("totoA500.tot", [
    ("Sheet", ["Type=1", "Number=500", "SingleCount=3", "SingleDeleted=1", "SingleSum=%d" % checksum(mini_singles, 5)]),
    ("Match", ["%s=%s" % (k, v) for k, v in zip(mini_keys, mini_matches)]),
    ("Tip", ["01=12", "02=0", "03=02", "04=0", "05=12"]),
    ("Comment", ["%s=" % k for k in mini_keys]),
    ("DataURL", ["%s=" % k for k in mini_keys]),
    ("Result", ["%s=, " % k for k in mini_keys]),
    ("Expand", EXPAND),
    ("PatternCut", PATTERN_CUT),
    ("Single", mini_lines),
    ("Probability", ["All=-1", "1st=-1", "2nd=-1", "3rd=-1"]),
    ("TotoBoard", ["Title="]),
    ("Dividend", ["1=0, 0, 0", "2=0, 0, 0", "3=0, 0, 0"]),
])

# --- the vote-rate file of round 1154: all six tables, written key by key (no empty lines) ----
ods = ""
tables = [
    ("OfficialOdds", "2004/03/06 9:05:07", 1000),
    ("Odds", "2004/03/05", 10),
    ("OfficialOdds-A", "2004/03/06 12:00:00", 2000),
    ("Odds-A", "1899/12/30", 0),
    ("OfficialOdds-B", "2004/03/06 23:59:59", 3000),
    ("Odds-B", "2004/03/04", 7),
]
for name, date, base in tables:
    ods += "[%s]\r\nDate=%s\r\n" % (name, date)
    for m in range(1, 14):
        ods += "%02d=%d, %d, %d\r\n" % (m, base + m, base // 2 + m, base // 4 + 2 * m)
ods += "[Memo]\r\nNote=ほかの人のメモ\r\n"
with open(os.path.join(HERE, "toto1154.ods"), "wb") as f:
    f.write(ods.encode("cp932"))
