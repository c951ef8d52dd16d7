#pragma once

#include "lottery/TotoTypes.h"

#include <QString>

// One side of one match of a round.
class TExceptTeam
{
public:
    int Index = 0;
    QString Stadium;
    int Tag = 0;
    TNotifyEvent<TExceptTeam> OnChanged;

    const QString &Name() const { return m_name; }
    void SetName(const QString &name);

    // Three full-width cells: ASCII letters, digits and "@" widened; short names padded with
    // full-width spaces (one character: around it; two: between them; none: three spaces).
    QString FormatedName() const;

    void Clear() { SetName(QString()); }
    bool SameAs(const TExceptTeam &other) const;
    // Copies Index, Name (through the setter), Stadium and Tag; not the listener.
    void AssignTo(TExceptTeam &dest) const;

    virtual ~TExceptTeam() = default;

protected:
    virtual void DoChanged();

private:
    QString m_name;
};

// The full-width form used by team names on mark sheets and in texts.
QString FormatTeamName(const QString &name);
