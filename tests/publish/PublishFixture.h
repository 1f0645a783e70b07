#pragma once
// A template written by the test into a private resource folder, page
// sources over generated picture files, a book folder, and readers for
// published books.
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "publish/PublishResult.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateFixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

// The bytes of the page picture numbered n in a test (distinct per n and tag).
QByteArray pictureBytes(int n, const QByteArray& tag = "a");

// Every file below folder, relative, sorted.
QStringList filesBelow(const QString& folder);

// Deciphers a container and returns the plain archive bytes.
QByteArray decipher(const QByteArray& container);

// The configuration a container file holds, deciphered and read out by the
// unzip tool (an independent ZIP reader).
QByteArray unzippedConfiguration(const QString& containerPath);

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

class PublishFixture : public ResourceFixture {
protected:
    void SetUp() override;
    // A file of the book folder (made by SetUp).
    QString at(const QString& relative) const { return folder + "/" + relative; }
    // Publishes into the book folder and expects it to succeed.
    void publish(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
                 const std::shared_ptr<FlashPagesAnnotations>& annotations = nullptr);
    PublishResult tryPublish(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
                             const std::shared_ptr<FlashPagesAnnotations>& annotations = nullptr);

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

    QString folder;
};

} // namespace quire::test
