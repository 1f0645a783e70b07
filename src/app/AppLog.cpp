#include "AppLog.h"

#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/Resources.h"

#include <QFileInfo>

namespace quire {

QString logFilePath()
{
    QString base = userApplicationSupportFolder();
    if (base.isEmpty())
        base = QStringLiteral("~/Library/Application Support/");
    const QString relative = formatMessage("Inkwright/%@/%@.log", {QStringLiteral("Quire`"), APP_NAME});
    return fs::join(base, relative);
}

void prepaireTheLog()
{
    const QString logFile = logFilePath();
    const QString folder = QFileInfo(logFile).absolutePath();
    if (!QFileInfo(folder).isDir())
        fs::makePath(folder);
    log::configure(resourcePath(QStringLiteral("logging.properties")), logFile);
}

} // namespace quire
