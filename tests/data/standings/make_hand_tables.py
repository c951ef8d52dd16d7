#!/usr/bin/env python3
"""League tables of a two-stage V-goal season and a two-stage 3-point season, counted straight from
the league's match files (independently of the program), for the statistics test.

Points: 3 for a win in regulation, 2 for a win in extra time (V-goal), 1 for a draw, 0 for a loss.
Usage: make_hand_tables.py ../../../data/jleague/matches-by-division > hand-tables.tsv
"""
import csv
import sys
from pathlib import Path

CASES = [  # season, stage files, teams
    (1999, ["1999A"], 1, ["磐田", "清水", "柏"]),
    (1999, ["1999B"], 2, ["磐田", "清水", "柏"]),
    (1999, ["1999A", "1999B"], 0, ["磐田", "清水", "柏"]),
    (2015, ["2015B"], 2, ["広島", "浦和", "Ｇ大阪"]),
]


def tally(folder, files, team):
    t = dict(points=0, played=0, won=0, wonExtra=0, drawn=0, lost=0, lostExtra=0, gf=0, ga=0)
    for f in files:
        for r in csv.DictReader(open(Path(folder) / f"{f}_allmatch_result-J1.csv", encoding="utf-8")):
            if not r["status"].startswith("試合終了") or team not in (r["home_team"], r["away_team"]):
                continue
            home = r["home_team"] == team
            own, other = int(r["home_goal"]), int(r["away_goal"])
            if not home:
                own, other = other, own
            extra = int(r.get("home_score_ex") or 0) + int(r.get("away_score_ex") or 0)
            extension = extra > 0 and own != other
            t["played"] += 1
            t["gf"] += own
            t["ga"] += other
            if own > other:
                t["wonExtra" if extension else "won"] += 1
                t["points"] += 2 if extension else 3
            elif own == other:
                t["drawn"] += 1
                t["points"] += 1
            else:
                t["lostExtra" if extension else "lost"] += 1
    return t


def main():
    folder = sys.argv[1]
    print("year\tstage\tteam\tpoints\tplayed\twon\twonExtra\tdrawn\tlost\tlostExtra\tgoalsFor\tgoalsAgainst")
    for year, files, stage, teams in CASES:
        for team in teams:
            t = tally(folder, files, team)
            print("\t".join(map(str, [year, stage, team, t["points"], t["played"], t["won"], t["wonExtra"], t["drawn"],
                                      t["lost"], t["lostExtra"], t["gf"], t["ga"]])))


main()
