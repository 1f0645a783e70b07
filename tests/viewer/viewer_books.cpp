// The program around the viewer's books (BookMaker.cpp).
#include <QGuiApplication>

namespace quire {
int makeViewerBooks(const QStringList& args);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return quire::makeViewerBooks(app.arguments());
}
