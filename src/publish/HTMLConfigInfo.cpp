#include "HTMLConfigInfo.h"

#include "PublishConstants.h"
#include "TextTemplate.h"
#include "util/FileUtil.h"
#include "util/Format.h"

#include <QFile>
#include <QStringDecoder>

namespace quire {

HTMLConfigInfo::HTMLConfigInfo()
    : m_HTMLTitle(QString::fromUtf8(publish::kDefaultHTMLTitle))
    , m_HTMLKeywords(QString::fromUtf8(publish::kDefaultHTMLKeywords))
    , m_HTMLDescription(QString::fromUtf8(publish::kDefaultHTMLDescription))
{
}

QString decodeTemplatePage(const QByteArray& bytes)
{
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom); // drops the mark itself
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString escapeForHTML(const QString& text)
{
    QString escaped = text.toHtmlEscaped(); // & < > "
    return escaped.replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

PublishResult HTMLConfigInfo::generateHTMLFrom(const QString& templatePage, const QString& destination,
                                               bool syncToDisk) const
{
    return writePage(templatePage, destination, this, syncToDisk);
}

PublishResult HTMLConfigInfo::writePage(const QString& templatePage, const QString& destination,
                                        const HTMLConfigInfo* values, bool syncToDisk)
{
    PublishResult result;
    const QString step = QStringLiteral("HTML page");
    QFile file(templatePage);
    if (!file.open(QIODevice::ReadOnly)) {
        result.fail(step, destination,
                    formatMessage("cannot be made: the template's page %@ cannot be read (%@)",
                                  {templatePage, file.errorString()}));
        return result;
    }
    QByteArray bytes = file.readAll();
    if (values) {
        TextTemplate page(decodeTemplatePage(bytes));
        page.setItem(QStringLiteral("index.title"), escapeForHTML(values->m_HTMLTitle));
        page.setItem(QStringLiteral("meta.keywords"), escapeForHTML(values->m_HTMLKeywords));
        page.setItem(QStringLiteral("meta.description"), escapeForHTML(values->m_HTMLDescription));
        bytes = page.parse().toUtf8();
    }
    QString error;
    if (!fs::writeAtomically(destination, bytes, &error, syncToDisk))
        result.fail(step, destination, QStringLiteral("cannot be written: %1").arg(error));
    return result;
}

} // namespace quire
