#pragma once
// The HTML page's title, keywords and description, and the writing of the
// page from a template's page with those values filled in.
#include "PublishResult.h"

#include <QString>

namespace quire {

class HTMLConfigInfo {
public:
    HTMLConfigInfo();

    const QString& HTMLTitle() const { return m_HTMLTitle; }
    void setHTMLTitle(const QString& v) { m_HTMLTitle = v; }
    const QString& HTMLKeywords() const { return m_HTMLKeywords; }
    void setHTMLKeywords(const QString& v) { m_HTMLKeywords = v; }
    const QString& HTMLDescription() const { return m_HTMLDescription; }
    void setHTMLDescription(const QString& v) { m_HTMLDescription = v; }

    // Reads the template page, fills "index.title", "meta.keywords" and
    // "meta.description" with the values escaped for HTML (so they show as
    // typed and never become markup), and writes the result as UTF-8
    // atomically (synced to disk unless told otherwise). A page that cannot
    // be read or written is a failure.
    PublishResult generateHTMLFrom(const QString& templatePage, const QString& destination,
                                   bool syncToDisk = true) const;

    // The same with the values of `values`, or the template page copied
    // byte for byte when there are none.
    static PublishResult writePage(const QString& templatePage, const QString& destination,
                                   const HTMLConfigInfo* values, bool syncToDisk = true);

private:
    QString m_HTMLTitle;
    QString m_HTMLKeywords;
    QString m_HTMLDescription;
};

// Template page bytes as text: by the byte-order mark when there is one,
// else UTF-8; bytes that are not UTF-8 are read as Latin-1 rather than lost.
QString decodeTemplatePage(const QByteArray& bytes);

// Text as it must stand in HTML to show as itself, in element text and in
// quoted attribute values alike.
QString escapeForHTML(const QString& text);

} // namespace quire
