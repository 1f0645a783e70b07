#pragma once
// The font and colour tables of an RTF document.
#include <QColor>
#include <QFont>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace quire::textimport {

struct RtfFont {
    enum class Family { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };
    QString name;
    Family family = Family::Nil;
    int charset = -1; // -1: none given
    int codePage = 0; // \cpg; 0: none given
    bool fixedPitch = false;

    // Filled in when the entry is complete: the face to use, and one for
    // the characters it lacks.
    QString installedFamily;
    QString fallbackFamily;
    QFont::StyleHint styleHint = QFont::AnyStyle;
    bool impliesBold = false;   // "Helvetica-Bold" and the like
    bool impliesItalic = false;
};

// Maps font names as documents give them (family names, PostScript names
// such as "TimesNewRomanPS-BoldMT") to fonts installed here. Faces that are
// not installed give way to ones with the same widths where there are such
// (Liberation for Times, Helvetica/Arial and Courier, Carlito for Calibri,
// Caladea for Cambria), so that lines break where their authors saw them.
class FontMapper {
public:
    enum class Generic { Serif, Sans, Mono };

    // Resolves entry.name and entry.family into the installed family and style.
    static void resolve(RtfFont& entry);
    // The installed family used for a generic kind of font.
    static QString genericFamily(Generic kind);
    // The widest-reaching installed family of a kind (DejaVu), for the
    // characters that the chosen face lacks.
    static QString fallbackFamily(Generic kind);
    static QFont::StyleHint styleHint(Generic kind);
};

class RtfFontTable {
public:
    static constexpr size_t kMaxFonts = 4096;

    // \f inside the table starts (or restarts) the entry with that number.
    void begin(int number);
    RtfFont* current();
    const RtfFont* current() const;
    // Name text; ';' ends the entry.
    void appendText(const QString& text);
    // The end of an entry's group also ends an entry that lacks its ';'.
    void endEntry();

    const RtfFont* find(int number) const;
    size_t size() const { return m_fonts.size(); }

private:
    std::map<int, RtfFont> m_fonts;
    std::optional<int> m_current;
};

class RtfColorTable {
public:
    static constexpr size_t kMaxColors = 4096;

    void setRed(int v) { m_red = v; m_any = true; }
    void setGreen(int v) { m_green = v; m_any = true; }
    void setBlue(int v) { m_blue = v; m_any = true; }
    // Text inside the table; each ';' ends an entry.
    void appendText(const QString& text);

    // Entries without components are "automatic" (none).
    std::optional<QColor> color(int index) const;
    size_t size() const { return m_colors.size(); }

private:
    std::vector<std::optional<QColor>> m_colors;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_any = false;
};

} // namespace quire::textimport
