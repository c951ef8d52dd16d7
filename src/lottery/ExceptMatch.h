#pragma once

#include "lottery/ExceptTeam.h"
#include "lottery/TotoTypes.h"
#include "platform/DateTime.h"

#include <QString>

class TTipSheet;

// One match of a round: fixture data, the user's marks, the score and the official result.
// Setters store only a real change and then raise the change hook and the specific event.
class TExceptMatch
{
public:
    explicit TExceptMatch(TTipSheet *sheet = nullptr);
    virtual ~TExceptMatch() = default;
    TExceptMatch(const TExceptMatch &) = delete;
    TExceptMatch &operator=(const TExceptMatch &) = delete;

    TTipSheet *Sheet() const { return m_sheet; }

    int Index() const { return m_index; }
    void SetIndex(int index);

    const TExceptTeam &HomeTeam() const { return m_homeTeam; }
    const TExceptTeam &AwayTeam() const { return m_awayTeam; }
    void SetHomeTeam(const TExceptTeam &team);
    void SetAwayTeam(const TExceptTeam &team);
    // Direct access for the team's own setters (a name change raises the team's event only).
    TExceptTeam &HomeTeamRef() { return m_homeTeam; }
    TExceptTeam &AwayTeamRef() { return m_awayTeam; }

    TTips Tips() const { return m_tips; }
    void SetTips(TTips tips);
    int TipCount() const { return m_tips.count(); }
    TTip FirstTip() const;
    TTip SecondTip() const;

    TDateTime DateTime() const { return m_dateTime; }
    void SetDateTime(TDateTime value);
    const QString &Stadium() const { return m_stadium; }
    void SetStadium(const QString &value);
    int Division() const { return m_division; }
    void SetDivision(int value);
    const QString &Comment() const { return m_comment; }
    void SetComment(const QString &value);

    int HomeTeamNo = 0;
    int AwayTeamNo = 0;
    QString MatchName;
    QString DispTeamDataURL;

    int HomeScore() const { return m_homeScore; }
    int AwayScore() const { return m_awayScore; }
    void SetHomeScore(int value);
    void SetAwayScore(int value);
    void SetScore(int homeScore, int awayScore);
    bool VGoal() const { return m_vGoal; }
    void SetVGoal(bool value);
    bool CalledOff() const { return m_calledOff; }
    void SetCalledOff(bool value);
    TTips Result() const { return m_result; }
    void SetResult(TTips value);

    QString ScoreText() const;

    virtual void ClearCard();
    virtual void ClearForecast();
    // Copies everything but VGoal and the listeners, through dest's setters.
    void AssignTo(TExceptMatch &dest) const;

    TNotifyEvent<TExceptMatch> OnChanged;
    TNotifyEvent<TExceptMatch> OnTipsChanged;
    TNotifyEvent<TExceptMatch> OnStadiumChanged;
    TNotifyEvent<TExceptMatch> OnScoreChanged;
    TNotifyEvent<TExceptMatch> OnResultChanged;
    TNotifyEvent<TExceptMatch> OnDateTimeChanged;
    TNotifyEvent<TExceptMatch> OnCommentChanged;

protected:
    virtual void UpdateResult();
    virtual void DoChanged();
    virtual void DoTipsChanged();
    virtual void DoStadiumChanged();
    virtual void DoScoreChanged();
    virtual void DoResultChanged();
    virtual void DoDateTimeChanged();
    virtual void DoCommentChanged();

private:
    void raise(const TNotifyEvent<TExceptMatch> &event) { if (event) event(this); }
    int roundNumber() const;

    TTipSheet *m_sheet;
    int m_index = 0;
    TExceptTeam m_homeTeam;
    TExceptTeam m_awayTeam;
    TTips m_tips;
    TDateTime m_dateTime = 0;
    QString m_stadium;
    int m_division = 0;
    int m_awayScore = -1;
    int m_homeScore = -1;
    QString m_comment;
    bool m_vGoal = false;
    bool m_calledOff = false;
    TTips m_result;
};
