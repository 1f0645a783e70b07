// Loads the shared settings as a fresh process would and prints the fields
// that have getters as one JSON object. Exits with 3 when threads racing for
// the first instance were handed different objects.
#include "app/AppSettings.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::array<quire::AppSettings*, 8> seen{};
    {
        std::array<std::jthread, 8> racers;
        for (size_t i = 0; i < racers.size(); ++i)
            racers[i] = std::jthread([&seen, i] { seen[i] = &quire::AppSettings::shareInstance(); });
    }
    if (std::count(seen.begin(), seen.end(), seen[0]) != long(seen.size()))
        return 3;

    const quire::AppSettings& s = *seen[0];
    const QJsonObject fields{
        {"lastImportedFile", s.lastImportedFile()}, {"importPageRangeType", s.importPageRangeType()},
        {"importPageRange", s.importPageRange()}, {"importQualityLevel", s.importQualityLevel()},
        {"lastOutputFileFolder", s.lastOutputFileFolder()}, {"lastOutputFileName", s.lastOutputFileName()},
        {"lastOutputFileTitle", s.lastOutputFileTitle()}, {"outputType", s.outputType()},
        {"importBookmark", s.importBookmark()}, {"importLinks", s.importLinks()},
    };
    std::fputs(QJsonDocument(fields).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
