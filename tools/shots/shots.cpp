// quire-shots [FOLDER]: pictures of the property editor (each shipped
// template at a comfortable and a narrow width, and two in-place editors),
// the template chooser, the import dialog (idle, importing, with a message)
// and the publish dialog (idle, small, writing), each at its default and its
// smallest size. Default folder /tmp/quire-shots; run with QT_SCALE_FACTOR=2
// for the high-density pictures. The choices the dialogs save go to a
// temporary preferences folder.
#include "app/AppSettings.h"
#include "gui/app/SelectTemplateWindowDelegate.h"
#include "gui/import/ImportWindowDelegate.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace quire;

namespace {

QString g_folder;
QSemaphore g_reached, g_go;

// Saves the widget's picture once its delayed layout has settled.
void shot(QWidget& widget, const QString& name, int settle = 200)
{
    QTest::qWait(settle);
    const QString file = QStringLiteral("%1/%2@%3x.png").arg(g_folder, name).arg(widget.devicePixelRatioF());
    if (!widget.grab().save(file))
        std::exit(1);
    std::printf("%s (%dx%d)\n", qPrintable(file), widget.width(), widget.height());
}

void shootEditor()
{
    FlashTemplate tmpl;
    FlashTemplateOutlineDelegate model;
    FlashTemplateOutlineView view;
    view.setModel(&model);
    view.show();
    for (const QString& path : FlashTemplate::tmplNames()) {
        const QString name = QFileInfo(path).fileName();
        tmpl.loadTemplate(name);
        model.setFlashTmpl(&tmpl);
        for (const int width : {420, 180}) {
            // Selected colour and file rows show their highlighted cells.
            if (FlashTemplateProperty* p = tmpl.findProperty(width > 200 ? "backgroundColor" : "backgroundImage"))
                view.setCurrentIndex(model.indexOf(p));
            view.resize(width, 980);
            shot(view, QStringLiteral("editor-%1-%2").arg(name).arg(width), 100);
        }
    }
    for (const char* key : {"accentColor", "backgroundMode"}) { // a text editor, then a pop-up list
        const QModelIndex index = model.indexOf(tmpl.findProperty(key), FlashTemplateOutlineDelegate::ValueColumn);
        view.setCurrentIndex(index);
        view.edit(index);
        shot(*view.window(), QStringLiteral("editor-editing-") + key, 100);
    }
}

void shootChooser()
{
    SelectTemplateWindowDelegate dialog;
    dialog.prepairToTmpl("float");
    dialog.show();
    auto* styles = dialog.findChild<QListView*>("iImgBrowserView");
    styles->setCurrentIndex(styles->model()->index(1, 0));
    styles->setFocus();
    shot(dialog, "chooser-default", 300);
    dialog.resize(dialog.minimumSizeHint());
    shot(dialog, "chooser-small", 300);
}

void shootImport(const QTemporaryDir& home)
{
    QFile text(home.filePath("Annual report.txt"));
    text.open(QIODevice::WriteOnly);
    for (int i = 0; i < 20000; ++i)
        text.write("A line of the report, printed and then imported page by page.\n");
    text.close();
    ImportWindowDelegate dialog;
    auto* source = dialog.findChild<QLineEdit*>("txtFilePath");
    source->setText(text.fileName());
    dialog.show();
    shot(dialog, "import-default");
    dialog.findChild<QPushButton*>("btnOK")->click();
    auto* info = dialog.findChild<QLabel*>("lblInfo");
    if (!QTest::qWaitFor([&] { return info->text().startsWith("Importing:"); }, 60000))
        std::exit(1);
    shot(dialog, "import-importing");
    dialog.findChild<QPushButton*>("btnCancel")->click();
    source->setText(home.filePath("notes.odt"));
    QFile(source->text()).open(QIODevice::WriteOnly);
    dialog.findChild<QPushButton*>("btnOK")->click();
    dialog.resize(dialog.minimumSizeHint());
    shot(dialog, "import-small");
}

void shootPublish(const QTemporaryDir& home)
{
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileFolder(home.filePath("Sea Stories"));
    settings.setLastOutputFileName("sea-stories");
    settings.setLastOutputFileTitle("Sea Stories, illustrated");
    settings.setOutputType(0);
    auto tmpl = std::make_shared<FlashTemplate>();
    auto pages = std::make_shared<FlashPageSourceImg>();
    QImage page(600, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.save(home.filePath("page.jpg"));
    pages->addImgPageFromFile(home.filePath("page.jpg"));
    pages->generateNormalPages();
    OutputWindowDelegate dialog;
    dialog.setFlashTmpl(tmpl);
    dialog.setFlashPageSource(pages);
    dialog.show();
    shot(dialog, "publish-default");
    const QSize before = dialog.size();
    dialog.resize(dialog.minimumSizeHint());
    shot(dialog, "publish-small");
    dialog.resize(before);
    // Held while it writes, so that the busy bar shows.
    publish::setMomentHook([](const char* moment) {
        if (qstrcmp(moment, "staging made") == 0) {
            g_reached.release();
            g_go.acquire();
        }
    });
    dialog.findChild<QPushButton*>("btnPublish")->click();
    if (!QTest::qWaitFor([] { return g_reached.tryAcquire(); }, 30000))
        std::exit(1);
    shot(dialog, "publish-busy");
    g_go.release(); // the dialog's end waits for the writer; no alert is shown
    publish::setMomentHook(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quire-shots");
    QDir().mkpath(g_folder);
    shootEditor();
    shootChooser();
    shootImport(home);
    shootPublish(home);
    return 0;
}
