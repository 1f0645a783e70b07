#pragma once
// What the reader takes from \stylesheet: which paragraph styles are
// headings. Word and LibreOffice name their heading styles "heading 1" to
// "heading 9"; the styles' formatting is not applied (paragraphs repeat it).
#include <QHash>
#include <QString>
#include <optional>

namespace quire::textimport {

class RtfStyleSheet {
public:
    static constexpr qsizetype kMaxNameLength = 256;

    // Each group inside the style sheet is one entry; \sN numbers it, and an
    // entry without \sN is style 0.
    void beginEntry();
    void setNumber(int number);
    // \ds entries style sections.
    void setNotParagraphStyle();
    // Name text; ';' ends the name.
    void appendText(const QString& text);
    void endEntry();

    // 1 to 9 for a heading style, 0 for any other style.
    int headingLevel(int style) const { return m_headings.value(style, 0); }
    // "heading 3" (in any case, or as one of several comma-separated
    // aliases) is level 3; other names are 0.
    static int headingLevelOfName(const QString& name);

private:
    struct Entry {
        int number = 0;
        bool paragraph = true;
        bool nameEnded = false;
        QString name;
    };
    std::optional<Entry> m_entry;
    QHash<int, int> m_headings;
};

} // namespace quire::textimport
