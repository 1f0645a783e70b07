// Saves pictures of the template chooser at its default size and at a small
// one, opened on "float" with its second style selected.
#include "gui/app/SelectTemplateWindowDelegate.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QListView>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quire-chooser-shots");
    QDir().mkpath(folder);

    quire::SelectTemplateWindowDelegate dialog;
    dialog.prepairToTmpl(QStringLiteral("float"));
    dialog.show();
    auto* styles = dialog.findChild<QListView*>(QStringLiteral("iImgBrowserView"));
    styles->setCurrentIndex(styles->model()->index(1, 0));
    styles->setFocus();

    const QString dpr = QString::number(dialog.devicePixelRatioF());
    const struct {
        const char* name;
        QSize size;
    } shots[] = {{"default", dialog.size()}, {"small", dialog.minimumSizeHint()}};
    for (const auto& shot : shots) {
        dialog.resize(shot.size);
        // The grid lays its items out again a moment after a resize.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        const QString file = QStringLiteral("%1/chooser-%2@%3x.png").arg(folder, QLatin1String(shot.name), dpr);
        if (!dialog.grab().save(file))
            return 1;
        std::printf("%s (%dx%d)\n", qPrintable(file), dialog.width(), dialog.height());
    }
    return 0;
}
