#include "BenchBooks.h"

#include "import/JpegThumbnailer.h"
#include "util/FileUtil.h"
#include "util/Format.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <thread>
#include <vector>

namespace bench {
namespace {

QByteArray pagePicture(int n)
{
    // Text-like strokes over a light noisy ground compress to about 200 KB.
    QImage image(1000, 1300, QImage::Format_RGB32);
    QRandomGenerator rng(quint32(n) * 7919u + 1u);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int v = 215 + int(rng.bounded(40));
            line[x] = qRgb(v, v - 4, v - 12);
        }
    }
    QPainter painter(&image);
    painter.setPen(QPen(QColor(30, 30, 40), 2));
    for (int row = 0; row < 50; ++row)
        for (int word = 0; word < 12; ++word)
            painter.drawLine(60 + word * 75, 80 + row * 23, 60 + word * 75 + 30 + int(rng.bounded(35)),
                             80 + row * 23 + int(rng.bounded(3)));
    painter.drawText(480, 1260, QString::number(n));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 55);
    return bytes;
}

} // namespace

qint64 writePagePictures(const QString& folder, int count)
{
    QDir().mkpath(folder);
    std::vector<qint64> sizes(size_t(count), 0);
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            for (int n = int(w) + 1; n <= count; n += int(workers)) {
                const QByteArray bytes = pagePicture(n);
                quire::fs::writeAtomically(quire::fs::join(folder, QString::number(n) + ".jpg"), bytes);
                sizes[size_t(n - 1)] = bytes.size();
            }
        });
    for (auto& t : threads)
        t.join();
    qint64 total = 0;
    for (qint64 s : sizes)
        total += s;
    return total;
}

void addImportExtras(quire::FlashPageSource& source, const QString& thumbFolder)
{
    static const char* const kWords[] = {"the", "page", "of", "a", "manual", "with", "words", "and", "numbers",
                                         "4.2", "packages", "(see", "below)", "functions", "returns"};
    QDir().mkpath(thumbFolder);
    quire::JpegThumbnailer thumbnailer;
    for (const auto& page : source.normalPages()) {
        auto text = std::make_shared<quire::PageText>();
        for (int b = 0; b < 5; ++b) {
            quire::TextBlock block;
            for (int l = 0; l < 10; ++l) {
                quire::TextLine line;
                for (int w = 0; w < 7; ++w) {
                    const int k = (page->pageIndex() * 31 + b * 17 + l * 7 + w) % 15;
                    line.words.push_back({QString::fromLatin1(kWords[k]) + (w == 6 ? "," : ""),
                                          {0.06f + w * 0.125f, 0.06f + (b * 10 + l) * 0.0175f, 0.1f, 0.015f}});
                }
                block.lines.push_back(std::move(line));
            }
            text->blocks.push_back(std::move(block));
        }
        page->setPageText(std::move(text));
        page->setPageLabel(QString::number(page->pageIndex()));
        QFile picture(*page->pageFilePath());
        picture.open(QIODevice::ReadOnly);
        if (const auto thumbnail = thumbnailer.make(picture.readAll())) {
            const QString path = quire::fs::join(thumbFolder, QString::number(page->pageIndex()) + ".jpg");
            quire::fs::writeAtomically(path, thumbnail->jpeg);
            source.thumbPages().push_back(std::make_unique<quire::FlashPage>(path, page->pageIndex()));
        }
    }
}

void writeTemplate(const QString& res, const QString& backgroundPicture)
{
    const QString folder = quire::fs::join(res, "AppFiles/Templates/bench");
    QDir().mkpath(folder);
    const QByteArray definition =
        "<flashTemplate><info><htmlPath>index.html</htmlPath><swfPath>book.swf</swfPath>"
        "<defaultStyle>Blank</defaultStyle><macAppFilesFolder>m</macAppFilesFolder>"
        "<mobileTmplFilesPath></mobileTmplFilesPath></info><properties>"
        "<property type=\"pt_number\"><key>pageWidth</key><title>W</title><desc/><value>600</value>"
        "<valueSource/><defaultValue/></property>"
        "<property type=\"pt_file\"><key>bgImage</key><title>B</title><desc/><value>"
        + backgroundPicture.toUtf8()
        + "</value><valueSource/><defaultValue/></property>"
          "<property type=\"pt_bool\" aType=\"\"><key>isHardCover</key><title>H</title><desc/><value>YES</value>"
          "<valueSource/><defaultValue/></property>"
          "</properties></flashTemplate>";
    quire::fs::writeAtomically(quire::fs::join(folder, "flashTemplate.xml"), definition);
    quire::fs::writeAtomically(quire::fs::join(folder, "index.html"),
                               "<html><head><title>${index.title}</title></head><body></body></html>\n");
    quire::fs::writeAtomically(quire::fs::join(folder, "book.swf"), QByteArray(300 * 1024, 'S'));
    // The default template every FlashTemplate loads first.
    QDir().mkpath(quire::fs::join(res, "AppFiles/Templates/float"));
    quire::fs::writeAtomically(quire::fs::join(res, "AppFiles/Templates/float/flashTemplate.xml"),
                               "<flashTemplate><info><htmlPath>index.html</htmlPath><swfPath>book.swf</swfPath>"
                               "<defaultStyle>Blank</defaultStyle><macAppFilesFolder>m</macAppFilesFolder>"
                               "<mobileTmplFilesPath/></info><properties/></flashTemplate>");
}

std::shared_ptr<quire::FlashOutline> makeOutline(int entries, int pages)
{
    auto outline = std::make_shared<quire::FlashOutline>();
    const int perChapter = 5; // a chapter and four sections
    for (int made = 0; made < entries;) {
        auto chapter = std::make_unique<quire::FlashOutlineItem>();
        const int page = 1 + (made * pages) / entries;
        chapter->setCaption(QStringLiteral("Chapter %1: on the matter of things").arg(made / perChapter + 1));
        chapter->setPageIndex(page);
        chapter->setLevel(1);
        ++made;
        for (int s = 1; s < perChapter && made < entries; ++s, ++made) {
            auto section = std::make_unique<quire::FlashOutlineItem>();
            section->setCaption(QStringLiteral("Section %1.%2").arg(made / perChapter + 1).arg(s));
            section->setPageIndex(page + s);
            section->setLevel(2);
            section->setParent(chapter.get());
            chapter->addChild(std::move(section));
        }
        outline->items().push_back(std::move(chapter));
    }
    return outline;
}

std::shared_ptr<quire::FlashPagesAnnotations> makeAnnotations(int links, int pages)
{
    quire::xml::NodePtr root = quire::xml::newElement("pagesAnnos");
    int made = 0;
    for (int p = 1; p <= pages; ++p) {
        xmlNode* pageAnnos = quire::xml::appendElement(root.get(), "pageAnnos");
        quire::xml::setAttribute(pageAnnos, "pageIndex", QString::number(p));
        const int here = (links * p) / pages - made;
        for (int k = 0; k < here; ++k, ++made) {
            xmlNode* anno = quire::xml::appendElement(pageAnnos, "anno");
            quire::xml::setAttribute(anno, "annotype", "com.tessel.flipbook.pageeditor.TAnnoLink");
            xmlNode* action = quire::xml::appendElement(anno, "action");
            quire::xml::setAttribute(action, "triggerEventType", "mouseDown");
            if (k % 2 == 0) {
                quire::xml::setAttribute(action, "actionType", "com.tessel.flipbook.pageeditor.TAnnoActionOpenURL");
                quire::xml::appendTextElement(action, "url", QStringLiteral("https://example.org/ref/%1").arg(made));
            } else {
                quire::xml::setAttribute(action, "actionType", "com.tessel.flipbook.pageeditor.TAnnoActionGotoPage");
                quire::xml::appendTextElement(action, "pageIndex", QString::number((made * 7) % pages + 1));
            }
            xmlNode* location = quire::xml::appendElement(anno, "location");
            quire::xml::setAttribute(location, "x", quire::formatMessage("%f", {0.1 + 0.01 * k}));
            quire::xml::setAttribute(location, "y", quire::formatMessage("%f", {0.075 + 0.05 * k}));
            quire::xml::setAttribute(location, "width", quire::formatMessage("%f", {0.2}));
            quire::xml::setAttribute(location, "height", quire::formatMessage("%f", {0.05}));
        }
    }
    auto annotations = std::make_shared<quire::FlashPagesAnnotations>();
    annotations->setPagesAnnotationsNode(std::move(root));
    return annotations;
}

} // namespace bench
