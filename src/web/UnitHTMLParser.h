#pragma once

#include <QString>

// A tolerant scanner that finds tables, rows and cells of a page by substring search. It builds
// no tree; it relies on pages keeping their tags in the usual places, and stays safe (and linear)
// on anything else.
class THTMLParser
{
public:
    // Upper-cases every tag name; a tag still open at the end is dropped.
    void SetHTML(const QString &html);
    const QString &Document() const { return m_document; }

    int TableCount() const;
    // The inner text of the n-th table (1-based), nested tables cut out; n = 0 gives the text
    // outside all tables.
    QString GetTable(int n) const;
    int RowCount(int table) const;
    // The raw content of the k-th element (1-based) with that tag name ("TD" also finds "TH").
    static QString GetElement(const QString &html, const QString &name, int k);
    // The raw cell, or the row's visible text when the cell is missing or empty.
    QString GetCell(int table, int row, int column) const;
    // The visible text: "<BR>", "<HR>" and closing divisions give CR LF, "&nbsp" a space.
    static QString StripTags(const QString &html);

    static QString ToHalfWidth(const QString &text);
    static QString ToFullWidth(const QString &text);

private:
    QString m_document;
};
