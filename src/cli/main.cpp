// quire-convert: the headless side of Quire.
#include "templates/FlashTemplate.h"
#include "util/FileUtil.h"
#include "util/Log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

using namespace quire;

namespace {

void printTree(const FlashTemplate::PropertyList& list, int depth)
{
    for (const auto& p : list) {
        std::printf("%*s%s (%s) = %s\n", depth * 2, "", qPrintable(textOr(p->key())),
                    qPrintable(flashTemplatePropertyTypeName(p->propertyType())), qPrintable(textOr(p->value())));
        printTree(p->childProperties(), depth + 1);
    }
}

int usage(FILE* out)
{
    std::fprintf(out,
                 "usage: quire-convert --list-templates\n"
                 "       quire-convert --show-template NAME [--style NAME]\n"
                 "       quire-convert --export-settings FILE [--template NAME] [--style NAME]\n");
    return out == stderr ? 2 : 0;
}

bool templateExists(const QString& name)
{
    return QFileInfo(FlashTemplate::tmplMetaPathForName(name)).isFile();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quire-convert"));
    const QStringList args = app.arguments().mid(1);

    QString mode, modeArg, tmpl = QStringLiteral("float"), style;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(stdout);
        if (a == QLatin1String("--version")) {
            std::printf("quire-convert 1.0.0\n");
            return 0;
        }
        if (a == QLatin1String("--list-templates"))
            mode = a;
        else if (a == QLatin1String("--show-template") || a == QLatin1String("--export-settings")) {
            mode = a;
            modeArg = value();
            if (a == QLatin1String("--show-template"))
                tmpl = modeArg;
        } else if (a == QLatin1String("--template"))
            tmpl = value();
        else if (a == QLatin1String("--style"))
            style = value();
        else {
            std::fprintf(stderr, "quire-convert: unknown option %s\n", qPrintable(a));
            return usage(stderr);
        }
    }

    if (mode == QLatin1String("--list-templates")) {
        for (const QString& folder : FlashTemplate::tmplNames()) {
            const QString name = fs::lastPathComponent(folder);
            std::printf("%s\n", qPrintable(name));
            for (const QString& s : FlashTemplate::tmplStyleNamesForTmpl(name))
                std::printf("  %s\n", qPrintable(fs::lastPathComponent(s)));
        }
        return 0;
    }
    if (mode.isEmpty() || modeArg.isEmpty())
        return usage(stderr);
    if (!templateExists(tmpl)) {
        std::fprintf(stderr, "quire-convert: no template named \"%s\"\n", qPrintable(tmpl));
        return 2;
    }

    FlashTemplate t;
    t.loadTemplate(tmpl);
    const QString styleName = style.isEmpty() ? textOr(t.defaultSytleName()) : style;
    const QString stylePath = FlashTemplate::stylePathFor(tmpl, styleName);
    if (!QFileInfo(stylePath).isDir()) {
        std::fprintf(stderr, "quire-convert: template \"%s\" has no style \"%s\"\n", qPrintable(tmpl),
                     qPrintable(styleName));
        return 2;
    }
    t.loadStyleByStylePath(stylePath);

    if (mode == QLatin1String("--show-template")) {
        std::printf("template %s, style %s\n", qPrintable(t.tmplName()), qPrintable(styleName));
        printTree(t.properties(), 1);
        return 0;
    }
    if (!t.exportPropertiesSettingsTo(modeArg)) {
        std::fprintf(stderr, "quire-convert: cannot write %s\n", qPrintable(modeArg));
        return 5;
    }
    return 0;
}
