#pragma once

#include <QString>

// The per-user value store that stands in for the registry key "Software\<maker>\<program>": a
// small INI file in the user's config folder, outside the settings file, so that deleting the
// settings does not repeat the first-run question. Sections are subkeys; Booleans are 0/1.
class TUserRegistry
{
public:
    // key: a path such as "Software\Korbelt\Pelvane"
    explicit TUserRegistry(const QString &key);

    bool readBool(const QString &section, const QString &name, bool def) const;
    void writeBool(const QString &section, const QString &name, bool value);

    const QString &fileName() const { return m_fileName; }

private:
    QString m_fileName;
};
