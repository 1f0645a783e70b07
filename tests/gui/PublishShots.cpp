// Saves pictures of the publish dialog at its default size, at a small one,
// and while it writes a book (held at its staging folder), filled with
// sample choices. The preferences it saves go into the pictures' folder.
#include "app/AppSettings.h"
#include "gui/publish/OutputWindowDelegate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSemaphore>
#include <QTest>
#include <QPushButton>
#include <cstdio>

namespace {

QSemaphore g_reached, g_go;

bool save(QWidget& dialog, const QString& folder, const char* name)
{
    const QString file = QStringLiteral("%1/publish-%2@%3x.png")
                             .arg(folder, QLatin1String(name), QString::number(dialog.devicePixelRatioF()));
    std::printf("%s (%dx%d)\n", qPrintable(file), dialog.width(), dialog.height());
    return dialog.grab().save(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quire-publish-shots");
    QDir().mkpath(folder);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + QStringLiteral("/config")));
    QApplication app(argc, argv);

    quire::AppSettings& settings = quire::AppSettings::shareInstance();
    settings.setLastOutputFileFolder(folder + QStringLiteral("/Sea Stories"));
    settings.setLastOutputFileName(QStringLiteral("sea-stories"));
    settings.setLastOutputFileTitle(QStringLiteral("Sea Stories, illustrated"));
    settings.setOutputType(0);

    quire::OutputWindowDelegate dialog;
    auto tmpl = std::make_shared<quire::FlashTemplate>();
    tmpl->loadTemplate(QStringLiteral("float"));
    auto pages = std::make_shared<quire::FlashPageSourceImg>();
    QImage page(600, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.save(folder + QStringLiteral("/page.jpg"));
    pages->addImgPageFromFile(folder + QStringLiteral("/page.jpg"));
    pages->generateNormalPages();
    dialog.setFlashTmpl(tmpl);
    dialog.setFlashPageSource(pages);
    dialog.show();

    dialog.resize(dialog.size());
    if (!save(dialog, folder, "default"))
        return 1;
    const QSize before = dialog.size();
    dialog.resize(dialog.minimumSizeHint());
    QTest::qWait(100);
    if (!save(dialog, folder, "small"))
        return 1;
    dialog.resize(before);

    // Held while it writes: the busy bar shows.
    quire::publish::setMomentHook([](const char* moment) {
        if (qstrcmp(moment, "staging made") == 0) {
            g_reached.release();
            g_go.acquire();
        }
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnPublish")), Qt::LeftButton);
    if (!QTest::qWaitFor([] { return g_reached.tryAcquire(); }, 30000))
        return 1;
    QTest::qWait(200);
    const bool busy = save(dialog, folder, "busy");
    g_go.release();
    quire::publish::setMomentHook(nullptr);
    return busy ? 0 : 1;
}
