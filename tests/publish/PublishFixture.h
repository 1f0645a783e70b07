#pragma once
// A private resource folder with a template written by the test, page
// sources over generated picture files, and readers for published books.
#include "import/FlashPageSource.h"
#include "support/TestEnv.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

QString propertyXml(const QString& type, const QString& key, const Text& value,
                    const QString& children = QString());

// The bytes of the page picture numbered n in a test (distinct per n and tag).
QByteArray pictureBytes(int n, const QByteArray& tag = "a");

// Every file below folder, relative, sorted.
QStringList filesBelow(const QString& folder);

// Deciphers a container and returns the plain archive bytes.
QByteArray decipher(const QByteArray& container);

// Collects what the process writes to standard error while alive.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    QByteArray text() const;

private:
    int m_saved = -1;
    QString m_path;
};

class PublishFixture : public ::testing::Test {
protected:
    void SetUp() override { quire::setResourceFolder(dir.file("res")); }
    void TearDown() override { quire::setResourceFolder(QString()); }

    QString res(const QString& relative) const { return dir.file("res/" + relative); }

    // Writes template "t" (definition, page, viewer) and loads it. An empty
    // page leaves the template without one.
    std::shared_ptr<FlashTemplate> makeTemplate(const QString& properties,
                                                const QByteArray& page = kPage,
                                                const QString& name = "t");
    // n picture pages numbered first, first + 1, ... with files in pics/<tag>.
    std::shared_ptr<FlashPageSourceImg> makePages(int n, int first = 1, const QByteArray& tag = "a");

    static constexpr const char* kPage =
        "<html><head><title>${index.title}</title><meta name=\"keywords\" content=\"${meta.keywords}\">"
        "<meta name=\"description\" content=\"${meta.description}\"></head><body>viewer</body></html>\n";
    static constexpr const char* kViewer = "FWS-viewer-movie";

    TempDir dir;
};

} // namespace quire::test
