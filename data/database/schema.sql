-- The reference database. Key columns come first, in the order the import finds rows by.
-- Dates are text "YYYY-MM-DD", times "HH:MM"; booleans 0/1; amounts whole yen.

CREATE TABLE FileList (
  TableName TEXT NOT NULL PRIMARY KEY,
  LastModified TEXT
);

CREATE TABLE Holding (
  "Year" INTEGER NOT NULL,
  Division INTEGER NOT NULL,
  Stage INTEGER NOT NULL,
  MinSection INTEGER,
  MaxSection INTEGER,
  StartDate DATE,
  EndDate DATE,
  PRIMARY KEY ("Year", Division, Stage)
);

CREATE TABLE Match (
  MatchDate DATE NOT NULL,
  Time TIME,
  Division INTEGER NOT NULL,
  Stage INTEGER NOT NULL,
  Section INTEGER NOT NULL,
  HomeTeam INTEGER NOT NULL,
  AwayTeam INTEGER NOT NULL,
  HomeScore INTEGER,
  AwayScore INTEGER,
  Extension BOOLEAN DEFAULT 0,
  Stadium TEXT,
  totoNumber INTEGER DEFAULT 0,
  totoIndex INTEGER DEFAULT 0,
  totoNumber2 INTEGER DEFAULT 0,
  totoIndex2 INTEGER DEFAULT 0,
  totoCalledOff BOOLEAN DEFAULT 0
);
CREATE INDEX MatchKey ON Match (MatchDate, Time, Division, Stage, Section, HomeTeam);
CREATE INDEX MatchHome ON Match (HomeTeam, MatchDate);
CREATE INDEX MatchAway ON Match (AwayTeam, MatchDate);
CREATE INDEX MatchDivision ON Match (Division, Section);
CREATE INDEX MatchToto ON Match (totoNumber);
CREATE INDEX MatchToto2 ON Match (totoNumber2);

CREATE TABLE Odds (
  Number INTEGER NOT NULL,
  "Index" INTEGER NOT NULL,
  Home INTEGER,
  Draw INTEGER,
  Away INTEGER,
  PRIMARY KEY (Number, "Index")
);

CREATE TABLE OddsMini (
  Type TEXT NOT NULL,
  Number INTEGER NOT NULL,
  "Index" INTEGER NOT NULL,
  Home INTEGER,
  Draw INTEGER,
  Away INTEGER,
  PRIMARY KEY (Type, Number, "Index")
);

CREATE TABLE Prize (
  Number INTEGER NOT NULL,
  Grade INTEGER NOT NULL,
  Money BIGINT,
  Hits INTEGER,
  CarryOver BIGINT,
  PRIMARY KEY (Number, Grade)
);

CREATE TABLE PrizeMini (
  Type TEXT NOT NULL,
  Number INTEGER NOT NULL,
  Grade INTEGER NOT NULL,
  Money BIGINT,
  Hits INTEGER,
  CarryOver BIGINT,
  PRIMARY KEY (Type, Number, Grade)
);

CREATE TABLE ResultMini (
  Type TEXT NOT NULL,
  Number INTEGER NOT NULL,
  "Index" INTEGER NOT NULL,
  "Date" DATE,
  HomeTeamNo INTEGER,
  AwayTeamNo INTEGER,
  PRIMARY KEY (Type, Number, "Index")
);

CREATE TABLE ResultGOAL3 (
  Number INTEGER NOT NULL,
  "Index" INTEGER NOT NULL,
  "Date" DATE,
  TeamNo INTEGER,
  Score INTEGER,
  PRIMARY KEY (Number, "Index")
);

CREATE TABLE OddsGOAL3 (
  Number INTEGER NOT NULL,
  "Index" INTEGER NOT NULL,
  Score0 INTEGER,
  Score1 INTEGER,
  Score2 INTEGER,
  Score3 INTEGER,
  PRIMARY KEY (Number, "Index")
);

CREATE TABLE PrizeGOAL3 (
  Number INTEGER NOT NULL,
  Grade INTEGER NOT NULL,
  Money BIGINT,
  Hits INTEGER,
  CarryOver BIGINT,
  PRIMARY KEY (Number, Grade)
);

CREATE TABLE Sheet (
  Number INTEGER,
  Type TEXT,
  User TEXT,
  Sheet TEXT
);
CREATE INDEX SheetKey ON Sheet (Number, Type, User);

CREATE TABLE Team (
  TeamNo INTEGER NOT NULL PRIMARY KEY,
  TeamName TEXT,
  ShortName TEXT,
  Stadium TEXT,
  TeamColor TEXT
);

CREATE TABLE Teams (
  "Year" INTEGER NOT NULL,
  TeamNo INTEGER NOT NULL,
  Division INTEGER NOT NULL,
  LastYearOrder INTEGER,
  PRIMARY KEY ("Year", TeamNo, Division)
);
