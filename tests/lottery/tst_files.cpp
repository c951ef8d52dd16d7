#include "lottery/UnitToTo.h"
#include "platform/Cp932Codec.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"

#include "support/Files.h"

#include <QFile>
#include <QtTest>

#include <unistd.h>

namespace {

QString golden(const char *name)
{
    return QStringLiteral(PELVANE_TEST_DATA "/files/") + QString::fromLatin1(name);
}

QString digits(const TSingleSheet &s, int n)
{
    QString d;
    for (int i = 0; i < n; ++i)
        d.append(TipDigit(s.Tips()[size_t(i)]));
    return d;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void goldenRoundTrips_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("toto prediction") << golden("toto1154.tot");
        QTest::newRow("mini toto A prediction") << golden("totoA500.tot");
        QTest::newRow("match sheet") << golden("toto1154.tts");
        QTest::newRow("result file") << golden("toto1154.ttr");
    }
    void goldenRoundTrips()
    {
        QFETCH(QString, file);
        TTempFolders temp;
        TScriptedMessages messages;
        TOption option;
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.OpenPrediction(file, false);
        QVERIFY2(messages.asked.isEmpty(), qPrintable(messages.texts().join(u'|')));
        const QString suffix = QFileInfo(file).suffix();
        const QString out = temp.file(QStringLiteral("out.") + suffix);
        sheet.SaveToFile(out, suffix == u"tts", suffix == u"ttr");
        QCOMPARE(readAll(out), readAll(file));
    }

    void totoValues()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TOption option;
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.OpenPrediction(golden("toto1154.tot"), false);
        QCOMPARE(sheet.FileName(), golden("toto1154.tot"));
        QCOMPARE(sheet.Number(), 1154);
        QCOMPARE(sheet.Match(1).HomeTeam().Name(), QStringLiteral("横浜 Ｆ・マリノス")); // quoted: one field
        QCOMPARE(sheet.Match(1).AwayTeam().Name(), QStringLiteral("川崎Ｆ"));
        QCOMPARE(sheet.Match(1).Stadium(), QStringLiteral("日産ス"));
        QCOMPARE(sheet.Match(1).HomeTeamNo, 3);
        QCOMPARE(sheet.Match(8).Division(), 2);
        QCOMPARE(sheet.Match(8).MatchName, QStringLiteral("J2"));
        QCOMPARE(DateTime::toQDateTime(sheet.Match(0).DateTime()),
                 QDateTime(QDate(QDate::currentDate().year(), 3, 6), QTime(14, 0)));
        QCOMPARE(sheet.Match(2).Tips(), TTips::all());
        QCOMPARE(sheet.Match(1).Tips(), (TTips{tpDraw, tpAway}));
        QCOMPARE(sheet.Match(0).Comment(), QStringLiteral("本命"));
        QCOMPARE(sheet.Match(0).DispTeamDataURL, QStringLiteral("http://127.0.0.1/team?id=1"));
        // Results: 2-1, a V-goal draw, called off without score, called off after a V-goal, none.
        QCOMPARE(sheet.Match(0).Result(), TTips{tpHome});
        QVERIFY(sheet.Match(1).VGoal());
        QCOMPARE(sheet.Match(2).HomeScore(), -1);
        QVERIFY(sheet.Match(2).CalledOff());
        QCOMPARE(sheet.Match(2).Result(), TTips::all());
        QVERIFY(sheet.Match(3).VGoal() && sheet.Match(3).CalledOff());
        QVERIFY(sheet.Match(12).Result().isEmpty());
        QCOMPARE(sheet.Singles().Count(), 5);
        QCOMPARE(sheet.ValidSingleCount(), 4);
        QVERIFY(sheet.Singles()[3].Invalid());
        QCOMPARE(digits(sheet.Singles()[0], 13), QStringLiteral("1012201101201"));
        QCOMPARE(sheet.SavedChecksumState(), TTipSheet::TChecksumState::Ok);
        QCOMPARE(sheet.Probability(0), 42.5);
        QCOMPARE(sheet.Probability(3), 38.75);
        QCOMPARE(sheet.Dividend(1).Money, qint64(123456789));
        QCOMPARE(sheet.Dividend(1).CarryOver, qint64(6000000000));
        QCOMPARE(sheet.PostingTexts.size(), 3);
        QCOMPARE(sheet.PostingTexts[2].second, QStringLiteral("～本命は鹿島～"));
        // Opening replaces the application's rule set with the file's.
        QVERIFY(option.ExpandOption.UsePatternCut);
        QCOMPARE(option.ExpandOption.HomeCut.MoreThan, 8);
        QVERIFY(sheet.ExpandOption.SameAs(option.ExpandOption));
    }

    void miniTotoFileClearsTheRestOfTheCard()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TTipSheet sheet;
        sheet.Match(7).HomeTeamRef().SetName(QStringLiteral("残り"));
        sheet.Match(7).SetStadium(QStringLiteral("x"));
        sheet.OpenPrediction(golden("totoA500.tot"), false);
        QCOMPARE(sheet.TotoType(), ttMiniA);
        QCOMPARE(sheet.MaxMatch(), 5);
        QVERIFY(sheet.Match(7).HomeTeam().Name().isEmpty());
        QVERIFY(sheet.Match(7).Stadium().isEmpty());
        QVERIFY(sheet.Singles()[2].Invalid()); // the marker after the fifth tip
        QCOMPARE(digits(sheet.Singles()[1], 5), QStringLiteral("10202"));
    }

    void tipValues_data()
    {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("bits");
        QTest::newRow("2") << "2" << int(TTips{tpAway}.bits());
        QTest::newRow("120") << "120" << 7;
        QTest::newRow("x") << "x" << int(TTips{tpDraw}.bits());
        QTest::newRow("last three of 2111") << "2111" << int(TTips{tpHome}.bits());
        QTest::newRow("empty") << "" << 0;
    }
    void tipValues()
    {
        QFETCH(QString, tip);
        QFETCH(int, bits);
        TIniFile ini(TIniFile::TMode::Memory);
        ini.loadFromText(QStringLiteral("[Sheet]\r\nType=0\r\n[Tip]\r\n01=") + tip + QStringLiteral("\r\n"));
        TTipSheet sheet;
        sheet.LoadFromIni(ini, lpTips);
        QCOMPARE(int(sheet.Match(0).Tips().bits()), bits);
    }

    void matchFields_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("division");
        QTest::addColumn<QString>("name");
        QTest::newRow("six fields") << "A, B, 03/06, 14:00, S, 2" << 0 << 2 << "J2";
        QTest::newRow("five fields: index rule, low") << "A, B, 03/06, 14:00, S" << 3 << 1 << "J1";
        QTest::newRow("five fields: index rule, high") << "A, B, 03/06, 14:00, S" << 10 << 2 << "J2";
        QTest::newRow("division not a number") << "A, B, 03/06, 14:00, S, x, 1, 2" << 0 << 0 << "";
        QTest::newRow("name given") << "A, B, 03/06, 14:00, S, 1, 1, 2, ナビスコ" << 0 << 1 << "ナビスコ";
    }
    void matchFields()
    {
        QFETCH(QString, value);
        QFETCH(int, index);
        QFETCH(int, division);
        QFETCH(QString, name);
        TIniFile ini(TIniFile::TMode::Memory);
        ini.loadFromText(QStringLiteral("[Sheet]\r\nType=0\r\n[Match]\r\n%1=%2\r\n").arg(index + 1, 2, 10, QChar(u'0')).arg(value));
        TTipSheet sheet;
        sheet.LoadFromIni(ini, lpCard);
        QCOMPARE(sheet.Match(index).Division(), division);
        QCOMPARE(sheet.Match(index).MatchName, name);
        QCOMPARE(sheet.Match(index).HomeTeam().Name(), QStringLiteral("A"));
    }

    void unreadableDateAndTimeAreZero()
    {
        TIniFile ini(TIniFile::TMode::Memory);
        ini.loadFromText(QStringLiteral("[Sheet]\r\n[Match]\r\n01=A, B, 13/45, 25:99, S, 1\r\n"));
        TTipSheet sheet;
        sheet.LoadFromIni(ini, lpCard);
        QCOMPARE(sheet.Match(0).DateTime(), 0.0);
    }

    void calledOffWithoutScore()
    {
        TTempFolders temp;
        TTipSheet sheet;
        sheet.Match(4).SetCalledOff(true);
        const QString path = temp.file(QStringLiteral("r.ttr"));
        sheet.SaveToFile(path, false, true);
        QVERIFY(Cp932::decode(readAll(path)).contains(QStringLiteral("\r\n05=, , , X\r\n")));
        TTipSheet back;
        back.LoadFromFile(path, lpResults);
        QCOMPARE(back.Match(4).HomeScore(), -1);
        QCOMPARE(back.Match(4).AwayScore(), -1);
        QVERIFY(back.Match(4).CalledOff());
    }

    void tamperWarning()
    {
        TTempFolders temp;
        const QString path = temp.file(QStringLiteral("t.tot"));
        QByteArray bytes = readAll(golden("toto1154.tot"));
        bytes.replace("01=1, 0, 1, 2, 2, 0, 1, 1, 0, 1, 2, 0, 1", "01=2, 0, 1, 2, 2, 0, 1, 1, 0, 1, 2, 0, 1");
        writeAll(path, bytes);
        const QString warning = QStringLiteral("この予想はファイル保存後に、人為的に変更されています。\r\n\r\n"
                                               "２等もしくは３等以上当選確実は保証できません。");
        {
            TScriptedMessages messages;
            TTipSheet sheet;
            sheet.OpenPrediction(path, false);
            QCOMPARE(messages.texts(), QStringList{warning});
            QCOMPARE(messages.asked[0].type, TMsgDlgType::mtWarning);
            QCOMPARE(sheet.SavedChecksumState(), TTipSheet::TChecksumState::Changed);
            QCOMPARE(digits(sheet.Singles()[0], 13), QStringLiteral("2012201101201")); // loaded as read
        }
        {
            // Merging the singles alone does not warn.
            TScriptedMessages messages;
            TTipSheet sheet;
            sheet.LoadFromFile(path, lpSingles);
            QVERIFY(messages.asked.isEmpty());
        }
        {
            // Without the keys: no warning.
            bytes.replace("SingleCount=5\r\n", "").replace("SingleSum=48526\r\n", "");
            writeAll(path, bytes);
            TScriptedMessages messages;
            TTipSheet sheet;
            sheet.OpenPrediction(path, false);
            QVERIFY(messages.asked.isEmpty());
            QCOMPARE(sheet.SavedChecksumState(), TTipSheet::TChecksumState::Absent);
        }
        {
            // A truncated file: fewer singles than saved.
            QByteArray cut = readAll(golden("toto1154.tot"));
            cut.truncate(cut.indexOf("04=1, 0, 1"));
            writeAll(path, cut);
            TScriptedMessages messages;
            TTipSheet sheet;
            sheet.OpenPrediction(path, false);
            QCOMPARE(messages.texts(), QStringList{warning});
            QCOMPARE(sheet.Singles().Count(), 3);
        }
    }

    void appendMergesSingles()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        messages.answer(mbYes);
        TTipSheet sheet;
        sheet.OpenPrediction(golden("toto1154.tot"), false);
        QCOMPARE(sheet.OpenPrediction(golden("toto1154.tot"), true), 5);
        QCOMPARE(sheet.Singles().Count(), 5);
        QCOMPARE(sheet.Singles()[4].SingleNumber, 5);
        QCOMPARE(sheet.Probability(0), -1.0);
    }

    void matchSheetWritesNoForecast()
    {
        TTempFolders temp;
        TTipSheet sheet;
        sheet.Match(0).SetTips({tpHome});
        sheet.Match(0).SetScore(1, 0);
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        const QString path = temp.file(QStringLiteral("card.tts"));
        sheet.SaveToFile(path, true, false);
        const QString text = Cp932::decode(readAll(path));
        for (const char *section : {"[Tip]", "[Result]", "[Single]", "[Dividend]", "SingleCount"})
            QVERIFY2(!text.contains(QString::fromLatin1(section)), section);
        QVERIFY(!QFile::exists(sheet.OddsFileName()));
        QVERIFY(sheet.StoredFileName().isEmpty()); // only a full save names the sheet
        sheet.SaveToFile(temp.file(QStringLiteral("full.tot")));
        QVERIFY(QFile::exists(sheet.OddsFileName()));
        QCOMPARE(sheet.FileName(), temp.file(QStringLiteral("full.tot")));
    }

    void teamNamesWithSpacesSurvive()
    {
        TTempFolders temp;
        TTipSheet sheet;
        TExceptTeam home;
        home.SetName(QStringLiteral("横浜 Ｆ・マリノス"));
        sheet.Match(0).SetHomeTeam(home);
        sheet.Match(0).SetStadium(QStringLiteral("日産 スタジアム, 横浜"));
        sheet.Match(0).MatchName = QStringLiteral("J1 1st");
        const QString path = temp.file(QStringLiteral("q.tts"));
        sheet.SaveToFile(path, true, false);
        TTipSheet back;
        back.LoadFromFile(path, lpCard);
        QCOMPARE(back.Match(0).HomeTeam().Name(), QStringLiteral("横浜 Ｆ・マリノス"));
        QCOMPARE(back.Match(0).Stadium(), QStringLiteral("日産 スタジアム, 横浜"));
        QCOMPARE(back.Match(0).MatchName, QStringLiteral("J1 1st"));
    }

    void voteRateFileAllSections_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("officialHome1");
        QTest::addColumn<int>("userHome1");
        QTest::newRow("toto") << 0 << 1001 << 11;
        QTest::newRow("mini A") << 1 << 2001 << 1;
        QTest::newRow("mini B") << 2 << 3001 << 8;
    }
    void voteRateFileAllSections()
    {
        QFETCH(int, type);
        QFETCH(int, officialHome1);
        QFETCH(int, userHome1);
        TTempFolders temp;
        TTipSheet sheet;
        sheet.SetTotoType(TTotoType(type));
        const QByteArray original = readAll(golden("toto1154.ods"));
        writeAll(sheet.OddsFileName(), original);
        int oddsEvents = 0;
        sheet.OnOddsChange = [&](TTipSheet *, int) { ++oddsEvents; };
        sheet.LoadOdds();
        QCOMPARE(oddsEvents, sheet.MaxMatch());
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), officialHome1);
        QCOMPARE(sheet.UserOdds().VotesOf(0, tpHome), userHome1);
        sheet.SaveOdds();
        QCOMPARE(readAll(sheet.OddsFileName()), original); // other sections and keys stay
        if (type == 0)
            QCOMPARE(DateTime::toQDateTime(sheet.OfficialOdds().OddsDate), QDateTime(QDate(2004, 3, 6), QTime(9, 5, 7)));
    }

    void voteRateFileWithoutTheSection()
    {
        TTempFolders temp;
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniB);
        writeAll(sheet.OddsFileName(), "[OfficialOdds]\r\nDate=2004/03/06\r\n01=5, 5, 5\r\n");
        sheet.OfficialOdds().SetVotes(0, tpHome, 99);
        sheet.LoadOdds();
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 0);
        QCOMPARE(sheet.OfficialOdds().OddsDate, 0.0);
    }

    void badFilesLeaveTheSheet_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("non-integer dividend") << QByteArray("[Sheet]\r\nType=1\r\nNumber=9\r\n[Dividend]\r\n1=12a, 3, 0\r\n")
                                              << "'12a' は有効な整数値ではありません";
        QTest::newRow("binary renamed .tot") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18) << "の形式ではありません";
        QTest::newRow("empty file") << QByteArray() << "の形式ではありません";
    }
    void badFilesLeaveTheSheet()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TTempFolders temp;
        TScriptedMessages messages;
        TTipSheet sheet;
        sheet.OpenPrediction(golden("toto1154.tot"), false);
        const QString path = temp.file(QStringLiteral("bad.tot"));
        writeAll(path, bytes);
        try {
            sheet.OpenPrediction(path, false);
            QFAIL("a bad file must be refused");
        } catch (const EPelvaneError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(sheet.Number(), 1154);
        QCOMPARE(sheet.Singles().Count(), 5);
        QCOMPARE(sheet.Match(0).HomeTeam().Name(), QStringLiteral("鹿島"));
        QCOMPARE(sheet.FileName(), golden("toto1154.tot"));
        QVERIFY(!sheet.Updating());
    }

    void oddSinglesAndSections()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        const QString path = temp.file(QStringLiteral("odd.tot"));
        writeAll(path, "[Sheet]\r\nType=1\r\nNumber=7\r\n[Single]\r\n01=1, 2\r\n02=1, 1, 1, 1, 1, x, 9, 9\r\n"
                       "x=7, 5, 2, 1, 0\r\n04=\r\n[Sheet]\r\nType=0\r\n[Single]\r\n05=2, 2, 2, 2, 2\r\n");
        TTipSheet sheet;
        sheet.OpenPrediction(path, false);
        QCOMPARE(sheet.TotoType(), ttMiniA); // the first [Sheet] counts
        QCOMPARE(sheet.Singles().Count(), 4); // the second [Single] does not
        QCOMPARE(digits(sheet.Singles()[0], 5), QStringLiteral("12000"));
        QVERIFY(sheet.Singles()[1].Invalid());
        QCOMPARE(digits(sheet.Singles()[2], 5), QStringLiteral("00210")); // 7 and 5 are draws
        QCOMPARE(sheet.Singles()[2].SingleNumber, 3); // key not a number: the line number
        QCOMPARE(digits(sheet.Singles()[3], 5), QStringLiteral("00000"));
    }

    void previewTallies()
    {
        const TIniFile ini(golden("totoA500.tot"), TIniFile::TMode::Memory);
        TTipSheet sheet;
        sheet.LoadFromIni(ini, lpCard | lpTips);
        std::array<int, kMaxMatches> home{}, away{}, draw{};
        // Singles 10201 and 10202 count; 20001 is marked invalid.
        QCOMPARE(sheet.CountSavedTips(ini, home, away, draw), 2);
        QCOMPARE(home[0], 2);
        QCOMPARE(draw[1], 2);
        QCOMPARE(away[2], 2);
        QCOMPARE(home[4], 1);
        QCOMPARE(away[4], 1);
    }

    void missingFileIsAnError()
    {
        TTempFolders temp;
        TTipSheet sheet;
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.OpenPrediction(temp.file(QStringLiteral("none.tot")), false));
    }

    void cannotReplace()
    {
        TTempFolders temp;
        TTipSheet sheet;
        const QString folder = temp.file(QStringLiteral("a.tot"));
        QDir().mkpath(folder); // a folder where the file should be
        try {
            sheet.SaveToFile(folder);
            QFAIL("saving over a folder must fail");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("指定されたファイル(") + folder + QStringLiteral(")には保存できません"));
        }
    }

    void failedSaveKeepsThePrediction()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        TTempFolders temp;
        const QString dir = temp.file(QStringLiteral("ro"));
        QDir().mkpath(dir);
        const QString path = dir + QStringLiteral("/p.tot");
        writeAll(path, readAll(golden("toto1154.tot")));
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        TTipSheet sheet;
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.SaveToFile(path));
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(readAll(path), readAll(golden("toto1154.tot")));
    }

    void manySinglesRoundTrip()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TTipSheet sheet;
        for (int i = 0; i < 10; ++i)
            sheet.Match(i).SetTips(TTips::all()); // 59,049 singles
        for (int i = 10; i < 13; ++i)
            sheet.Match(i).SetTips({tpHome});
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.OptimizeLevel = 0;
        sheet.Option = &option;
        QCOMPARE(sheet.Expand(false), 59049);
        sheet.Singles()[100].SetInvalid(true);
        const QString path = temp.file(QStringLiteral("big.tot"));
        sheet.SaveToFile(path);
        TTipSheet back;
        back.Option = &option;
        back.OpenPrediction(path, false);
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(back.Singles().Count(), 59049);
        QCOMPARE(back.SinglesChecksum(), sheet.SinglesChecksum());
        QVERIFY(back.Singles()[100].Invalid());
        QCOMPARE(back.Singles()[59048].SingleNumber, 59049);
        const QString again = temp.file(QStringLiteral("again.tot"));
        back.SaveToFile(again);
        QCOMPARE(readAll(again), readAll(path));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
