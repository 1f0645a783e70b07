#include "RtfTables.h"

#include <QFontDatabase>
#include <QHash>
#include <algorithm>
#include <initializer_list>

namespace quire::textimport {

namespace {

QString normalized(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name)
        if (c.isLetterOrNumber())
            out.append(c.toLower());
    return out;
}

// Installed families by their normalized names.
const QHash<QString, QString>& installedFamilies()
{
    static const QHash<QString, QString> families = [] {
        QHash<QString, QString> map;
        for (const QString& family : QFontDatabase::families())
            map.insert(normalized(family), family);
        return map;
    }();
    return families;
}

bool isOneOf(const QString& key, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return key == QLatin1String(n); });
}

std::optional<FontMapper::Generic> knownGeneric(const QString& key)
{
    if (isOneOf(key, {"times", "timesroman", "timesnewroman", "georgia", "cambria", "garamond", "palatino",
                      "palatinolinotype", "bookantiqua", "baskerville", "hoeflertext", "didot", "cochin",
                      "charter", "constantia", "century", "centuryschoolbook", "newyork", "minionpro",
                      "bookman", "bookmanoldstyle", "liberationserif", "nimbusroman", "tinos", "newcenturyschlbk"}))
        return FontMapper::Generic::Serif;
    if (isOneOf(key, {"courier", "couriernew", "menlo", "monaco", "consolas", "lucidaconsole", "andalemono",
                      "sfmono", "sourcecodepro", "liberationmono", "cousine", "nimbusmono", "lucidasanstypewriter"}))
        return FontMapper::Generic::Mono;
    if (isOneOf(key, {"helvetica", "helveticaneue", "arial", "calibri", "verdana", "tahoma", "segoeui",
                      "lucidagrande", "lucidasans", "geneva", "trebuchetms", "gillsans", "futura", "avenir",
                      "avenirnext", "optima", "candara", "corbel", "franklingothic", "myriadpro", "sfnstext",
                      "sfns", "systemfont", "sanfrancisco", "liberationsans", "arimo", "nimbussans", "msshellldlg",
                      "mssansserif"}))
        return FontMapper::Generic::Sans;
    return std::nullopt;
}

// Installed faces with the widths of faces that documents name. Wide sans
// faces (Verdana, Lucida Grande, Geneva) come nearer DejaVu Sans than a face
// with Helvetica's widths.
struct WidthTwin {
    const char* face;
    std::initializer_list<const char*> names;
};
const WidthTwin kWidthTwins[] = {
    {"liberationserif", {"times", "timesroman", "timesnewroman", "tmsrmn", "tinos", "nimbusroman"}},
    {"liberationsans", {"helvetica", "helveticaneue", "arial", "arimo", "nimbussans"}},
    {"liberationmono", {"courier", "couriernew", "cousine", "nimbusmono"}},
    {"carlito", {"calibri"}},
    {"caladea", {"cambria"}},
    {"dejavusans", {"verdana", "lucidagrande", "geneva"}},
};

std::optional<QString> installedTwin(const QString& key)
{
    for (const WidthTwin& twin : kWidthTwins) {
        if (!isOneOf(key, twin.names))
            continue;
        if (auto it = installedFamilies().find(QLatin1String(twin.face)); it != installedFamilies().end())
            return *it;
    }
    return std::nullopt;
}

// The first of the candidates that is installed.
QString firstInstalled(std::initializer_list<const char*> candidates, const QString& otherwise)
{
    for (const char* f : candidates)
        if (auto it = installedFamilies().find(QLatin1String(f)); it != installedFamilies().end())
            return *it;
    return otherwise;
}

// "TimesNewRomanPS-BoldItalicMT" -> base "TimesNewRoman", bold, italic.
QString splitPostScriptName(const QString& name, bool* bold, bool* italic)
{
    QString base = name;
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    if (dash > 0) {
        const QString style = name.mid(dash + 1).toLower();
        base = name.left(dash);
        *bold = style.contains(QLatin1String("bold")) || style.contains(QLatin1String("black")) ||
                style.contains(QLatin1String("heavy")) || style.contains(QLatin1String("demi"));
        *italic = style.contains(QLatin1String("italic")) || style.contains(QLatin1String("oblique"));
    }
    QString key = normalized(base);
    for (const char* suffix : {"psmt", "mt", "ps"}) {
        if (key.size() > 4 && key.endsWith(QLatin1String(suffix))) {
            key.chop(qsizetype(qstrlen(suffix)));
            break;
        }
    }
    return key;
}

FontMapper::Generic genericForFamily(const RtfFont& entry)
{
    if (entry.fixedPitch)
        return FontMapper::Generic::Mono;
    switch (entry.family) {
    case RtfFont::Family::Roman: return FontMapper::Generic::Serif;
    case RtfFont::Family::Modern: return FontMapper::Generic::Mono;
    default: return FontMapper::Generic::Sans;
    }
}

} // namespace

QString FontMapper::genericFamily(Generic kind)
{
    static const QString serif = firstInstalled({"liberationserif", "dejavuserif", "notoserif", "freeserif"},
                                                QStringLiteral("serif"));
    static const QString sans = firstInstalled({"liberationsans", "dejavusans", "notosans", "freesans"},
                                               QStringLiteral("sans-serif"));
    static const QString mono = firstInstalled({"liberationmono", "dejavusansmono", "notosansmono", "freemono"},
                                               QStringLiteral("monospace"));
    switch (kind) {
    case Generic::Serif: return serif;
    case Generic::Mono: return mono;
    default: return sans;
    }
}

QString FontMapper::fallbackFamily(Generic kind)
{
    static const QString serif = firstInstalled({"dejavuserif"}, genericFamily(Generic::Serif));
    static const QString sans = firstInstalled({"dejavusans"}, genericFamily(Generic::Sans));
    static const QString mono = firstInstalled({"dejavusansmono"}, genericFamily(Generic::Mono));
    switch (kind) {
    case Generic::Serif: return serif;
    case Generic::Mono: return mono;
    default: return sans;
    }
}

QFont::StyleHint FontMapper::styleHint(Generic kind)
{
    switch (kind) {
    case Generic::Serif: return QFont::Serif;
    case Generic::Mono: return QFont::Monospace;
    default: return QFont::SansSerif;
    }
}

void FontMapper::resolve(RtfFont& entry)
{
    const auto& installed = installedFamilies();
    const QString full = normalized(entry.name);
    bool bold = false;
    bool italic = false;
    const QString base = splitPostScriptName(entry.name.trimmed(), &bold, &italic);

    Generic generic = genericForFamily(entry);
    if (auto known = knownGeneric(base))
        generic = *known;
    entry.styleHint = styleHint(generic);
    entry.fallbackFamily = fallbackFamily(generic);

    if (auto it = installed.find(full); !full.isEmpty() && it != installed.end()) {
        entry.installedFamily = *it;
        return;
    }
    entry.impliesBold = bold;
    entry.impliesItalic = italic;
    if (auto it = installed.find(base); !base.isEmpty() && it != installed.end())
        entry.installedFamily = *it;
    else if (auto twin = installedTwin(base))
        entry.installedFamily = *twin;
    else
        entry.installedFamily = genericFamily(generic);
}

void RtfFontTable::begin(int number)
{
    if (m_fonts.size() >= kMaxFonts && !m_fonts.count(number)) {
        m_current.reset();
        return;
    }
    m_fonts[number] = RtfFont{};
    m_current = number;
}

RtfFont* RtfFontTable::current()
{
    if (!m_current)
        return nullptr;
    auto it = m_fonts.find(*m_current);
    return it == m_fonts.end() ? nullptr : &it->second;
}

const RtfFont* RtfFontTable::current() const
{
    return m_current ? find(*m_current) : nullptr;
}

void RtfFontTable::appendText(const QString& text)
{
    RtfFont* font = current();
    if (!font)
        return;
    for (QChar c : text) {
        if (c == QLatin1Char(';')) {
            endEntry();
            return;
        }
        // Names are short; anything longer is not a name.
        if (font->name.size() < 256)
            font->name.append(c);
    }
}

void RtfFontTable::endEntry()
{
    if (RtfFont* font = current()) {
        font->name = font->name.trimmed();
        FontMapper::resolve(*font);
    }
    m_current.reset();
}

const RtfFont* RtfFontTable::find(int number) const
{
    auto it = m_fonts.find(number);
    return it == m_fonts.end() ? nullptr : &it->second;
}

void RtfColorTable::appendText(const QString& text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(';'))
            continue;
        if (m_colors.size() < kMaxColors) {
            if (m_any)
                m_colors.emplace_back(QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                             std::clamp(m_blue, 0, 255)));
            else
                m_colors.emplace_back(std::nullopt);
        }
        m_red = m_green = m_blue = 0;
        m_any = false;
    }
}

std::optional<QColor> RtfColorTable::color(int index) const
{
    if (index < 0 || size_t(index) >= m_colors.size())
        return std::nullopt;
    return m_colors[size_t(index)];
}

} // namespace quire::textimport
