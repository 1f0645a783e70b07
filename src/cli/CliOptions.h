#pragma once
// The command line of quire-convert.
#include <QString>
#include <QStringList>
#include <optional>

namespace quire::cli {

enum class Mode { Convert, ListTemplates, ExportSettings, ShowTemplate, Help, Version };

struct Options {
    Mode mode = Mode::Convert;
    QString source;
    QString outputFolder;
    QString name = QStringLiteral("index");
    std::optional<QString> title;
    QString templateName = QStringLiteral("float");
    std::optional<QString> styleName;
    std::optional<QString> settingsFile;
    QString range = QStringLiteral("ALL");
    int qualityLevel = 1;
    bool bookmarks = false;
    bool links = false;
    bool app = false;
    bool quiet = false;
    QString exportFile; // --export-settings
};

struct ParseResult {
    std::optional<Options> options;
    QString error; // set when options is empty
};

ParseResult parseArguments(const QStringList& arguments);

// True for the page-range syntax: "all", or numbers, "-" spans and commas.
bool isRangeSyntax(const QString& range);

QString usageText();

} // namespace quire::cli
