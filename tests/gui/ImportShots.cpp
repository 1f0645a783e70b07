// Saves pictures of the import dialog: idle at its default size, importing,
// and with a message at its smallest size. The choices it saves go to
// a temporary preferences folder.
#include "gui/import/ImportWindowDelegate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

bool save(QWidget& dialog, const QString& folder, const char* name)
{
    QTest::qWait(200);
    const QString file =
        QStringLiteral("%1/import-%2@%3x.png").arg(folder, QLatin1String(name)).arg(dialog.devicePixelRatioF());
    if (!dialog.grab().save(file))
        return false;
    std::printf("%s (%dx%d)\n", qPrintable(file), dialog.width(), dialog.height());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quire-import-shots");
    QDir().mkpath(folder);

    QFile text(home.filePath(QStringLiteral("Annual report.txt")));
    text.open(QIODevice::WriteOnly);
    for (int i = 0; i < 20000; ++i)
        text.write("A line of the report, printed and then imported page by page.\n");
    text.close();

    quire::ImportWindowDelegate dialog;
    auto* source = dialog.findChild<QLineEdit*>(QStringLiteral("txtFilePath"));
    source->setText(text.fileName());
    dialog.show();
    if (!save(dialog, folder, "default"))
        return 1;

    dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    auto* info = dialog.findChild<QLabel*>(QStringLiteral("lblInfo"));
    QTest::qWaitFor([&] { return info->text().startsWith(QStringLiteral("Importing:")); }, 60000);
    if (!save(dialog, folder, "importing"))
        return 1;
    dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();

    QFile(home.filePath(QStringLiteral("notes.odt"))).open(QIODevice::WriteOnly);
    source->setText(home.filePath(QStringLiteral("notes.odt")));
    dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    dialog.resize(dialog.minimumSizeHint());
    return save(dialog, folder, "small") ? 0 : 1;
}
