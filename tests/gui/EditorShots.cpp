// Pictures of the property editor holding each shipped template, at a
// comfortable and at a narrow width, for checking the look by eye. Run with
// QT_QPA_PLATFORM=offscreen, and QT_SCALE_FACTOR=2 for the 2x pictures.
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quire-editor-shots");
    QDir().mkpath(folder);

    quire::FlashTemplate tmpl;
    quire::FlashTemplateOutlineDelegate model;
    quire::FlashTemplateOutlineView view;
    view.setModel(&model);
    view.show();
    QTextStream out(stdout);
    for (const QString& path : quire::FlashTemplate::tmplNames()) {
        const QString name = QFileInfo(path).fileName();
        tmpl.loadTemplate(name);
        model.setFlashTmpl(&tmpl);
        for (const int width : {420, 180}) {
            // Selected colour and file rows show their highlighted cells.
            const QString selected = width > 200 ? QStringLiteral("backgroundColor") : QStringLiteral("backgroundImage");
            if (quire::FlashTemplateProperty* property = tmpl.findProperty(selected))
                view.setCurrentIndex(model.indexOf(property));
            view.resize(width, 980);
            // Let the view finish its delayed layout first.
            QEventLoop settle;
            QTimer::singleShot(100, &settle, &QEventLoop::quit);
            settle.exec();
            const QString file = QStringLiteral("%1/%2-%3-%4x.png").arg(folder, name).arg(width).arg(app.devicePixelRatio());
            view.grab().save(file);
            out << file << '\n';
        }
    }
    // In-place editors: text, then a pop-up list.
    for (const QString& key : {QStringLiteral("accentColor"), QStringLiteral("backgroundMode")}) {
        const QModelIndex index = model.indexOf(tmpl.findProperty(key), quire::FlashTemplateOutlineDelegate::ValueColumn);
        view.setCurrentIndex(index);
        view.edit(index);
        QEventLoop settle;
        QTimer::singleShot(100, &settle, &QEventLoop::quit);
        settle.exec();
        const QString file = QStringLiteral("%1/editing-%2-%3x.png").arg(folder, key).arg(app.devicePixelRatio());
        view.window()->grab().save(file);
        out << file << '\n';
    }
    return 0;
}
