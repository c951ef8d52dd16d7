#pragma once

#include "database/unitSQLite.h"

#include <QString>
#include <QStringList>

#include <array>

class TOption;

// One data file of the download server.
struct TDownloadInfo
{
    int Group = 0;
    bool Selected = false;
    int Position = 0;
    QString TableName;
    QString FileName; // "%4.4d" stands for the season
    int KeyCount = 0;
    QString LastModified; // the server's dating line, lower-cased
    QString Status;       // the text the window shows for it
    QString Error;        // why the last merge failed
};

// Brings the reference database up to date from the download server: asks for the date of each
// file, compares it with FileList, downloads the newer files and merges each in one transaction.
// FileList changes only for files merged successfully.
class TDatabaseUpdate
{
public:
    TDatabaseUpdate(TDM &dm, const TOption *option);

    static constexpr int kFileCount = 12;
    static const std::array<const char *, 6> &GroupCaptions();

    int Year = 0;
    bool Updated = false;
    std::array<TDownloadInfo, kFileCount> Files;
    std::array<int, 6> GroupRows{};

    QString FileNameOf(const TDownloadInfo &file) const; // the year filled in
    QString KeyOf(const TDownloadInfo &file) const;      // FileList key: no folder, no extension
    QString UrlOf(const TDownloadInfo &file) const;

    // Step 2: true when any file is newer on the server.
    bool Check(const TAbortCheck &aborted = {});
    // Step 3: the selected files; true when every one of them was merged.
    bool Download(const TAbortCheck &aborted = {});

private:
    TDM &m_dm;
    const TOption *m_option;
    QString m_base;
};

// Writes a download server's tree from a database: "Data/" with one Shift_JIS CSV file per table
// (per season for the seasonal tables), columns in the table's order, and "Sheet/" with the match
// sheet of every toto round of those seasons. Returns the files written, relative to the folder.
QStringList WriteServerTree(TDM &dm, const QString &folder, const std::vector<int> &years);
