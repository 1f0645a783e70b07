#include "CliOptions.h"

#include <QRegularExpression>

namespace quire::cli {
namespace {

bool takesValue(const QString& option)
{
    static const QStringList withValue = {"-o", "--output", "--name", "--title", "--template", "--style",
                                          "--settings", "--range", "--quality", "--export-settings",
                                          "--show-template"};
    return withValue.contains(option);
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "usage: quire-convert SOURCE -o FOLDER [--name NAME] [--title TEXT] [--template NAME]\n"
        "                     [--style NAME] [--settings FILE] [--range RANGE] [--quality 0-4]\n"
        "                     [--bookmarks] [--links] [--app] [--quiet]\n"
        "       quire-convert --list-templates\n"
        "       quire-convert --export-settings FILE [--template NAME] [--style NAME]\n"
        "       quire-convert --show-template NAME [--style NAME]\n"
        "\n"
        "Turns a .txt, .rtf or .pdf document (or an .rtfd folder) into a page-flip book\n"
        "in FOLDER: the page NAME.html (default index.html), or with --app the desktop\n"
        "bundle NAME.app.\n"
        "\n"
        "  -o, --output FOLDER   where the book goes (created when missing)\n"
        "  --name NAME           file name of the page or bundle (default: index)\n"
        "  --title TEXT          the page's title (default: the source's base name)\n"
        "  --template NAME       template (default: float), see --list-templates\n"
        "  --style NAME          style of the template (default: the template's own)\n"
        "  --settings FILE       template settings applied after the style\n"
        "  --range RANGE         pages to import, e.g. 1-5,8 (default: all)\n"
        "  --quality 0-4         0 best (100), 1 (85, default), 2 (65), 3 (45), 4 smallest (25)\n"
        "  --bookmarks           bring over the PDF's bookmarks as the contents\n"
        "  --links               bring over the PDF's links\n"
        "  --app                 publish a desktop bundle instead of a web folder\n"
        "  --quiet               no progress, only errors\n"
        "  --help, --version\n");
}

bool isRangeSyntax(const QString& range)
{
    if (range.toUpper() == QLatin1String("ALL"))
        return true;
    static const QRegularExpression piece(QStringLiteral("^\\s*\\d+\\s*(-\\s*\\d+\\s*)?$"));
    const QStringList pieces = range.split(QLatin1Char(','));
    for (const QString& p : pieces)
        if (!piece.match(p).hasMatch())
            return false;
    return true;
}

ParseResult parseArguments(const QStringList& arguments)
{
    Options o;
    bool modeSet = false;
    auto setMode = [&](Mode m) -> bool {
        if (modeSet && o.mode != m)
            return false;
        o.mode = m;
        modeSet = true;
        return true;
    };
    auto fail = [](const QString& message) { return ParseResult{std::nullopt, message}; };

    QStringList sources;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString value;
        if (takesValue(a)) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("option %1 needs a value").arg(a));
            value = arguments[++i];
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.mode = Mode::Help;
            return {o, {}};
        }
        if (a == QLatin1String("--version")) {
            o.mode = Mode::Version;
            return {o, {}};
        }
        if (a == QLatin1String("-o") || a == QLatin1String("--output"))
            o.outputFolder = value;
        else if (a == QLatin1String("--name"))
            o.name = value;
        else if (a == QLatin1String("--title"))
            o.title = value;
        else if (a == QLatin1String("--template"))
            o.templateName = value;
        else if (a == QLatin1String("--style"))
            o.styleName = value;
        else if (a == QLatin1String("--settings"))
            o.settingsFile = value;
        else if (a == QLatin1String("--range"))
            o.range = value;
        else if (a == QLatin1String("--quality")) {
            bool ok = false;
            o.qualityLevel = value.toInt(&ok);
            if (!ok || o.qualityLevel < 0 || o.qualityLevel > 4)
                return fail(QStringLiteral("--quality takes a level from 0 to 4, not \"%1\"").arg(value));
        } else if (a == QLatin1String("--bookmarks"))
            o.bookmarks = true;
        else if (a == QLatin1String("--links"))
            o.links = true;
        else if (a == QLatin1String("--app"))
            o.app = true;
        else if (a == QLatin1String("--quiet") || a == QLatin1String("-q"))
            o.quiet = true;
        else if (a == QLatin1String("--list-templates")) {
            if (!setMode(Mode::ListTemplates))
                return fail(QStringLiteral("--list-templates cannot be combined with another action"));
        } else if (a == QLatin1String("--export-settings")) {
            if (!setMode(Mode::ExportSettings))
                return fail(QStringLiteral("--export-settings cannot be combined with another action"));
            o.exportFile = value;
        } else if (a == QLatin1String("--show-template")) {
            if (!setMode(Mode::ShowTemplate))
                return fail(QStringLiteral("--show-template cannot be combined with another action"));
            o.templateName = value;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1)
            return fail(QStringLiteral("unknown option %1").arg(a));
        else
            sources << a;
    }

    if (o.mode != Mode::Convert) {
        if (!sources.isEmpty())
            return fail(QStringLiteral("unexpected argument %1").arg(sources.first()));
        return {o, {}};
    }
    if (sources.isEmpty())
        return fail(QStringLiteral("no source document given"));
    if (sources.size() > 1)
        return fail(QStringLiteral("one source document at a time (got %1)").arg(sources.size()));
    o.source = sources.first();
    if (o.outputFolder.isEmpty())
        return fail(QStringLiteral("no output folder given (-o FOLDER)"));
    if (o.name.isEmpty() || o.name.contains(QLatin1Char('/')))
        return fail(QStringLiteral("--name must be a plain file name, not \"%1\"").arg(o.name));
    if (!isRangeSyntax(o.range))
        return fail(QStringLiteral("bad page range \"%1\": use ALL or numbers and spans such as 1-5,8").arg(o.range));
    return {o, {}};
}

} // namespace quire::cli
