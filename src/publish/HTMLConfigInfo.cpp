#include "HTMLConfigInfo.h"

#include "PublishConstants.h"
#include "TextTemplate.h"
#include "util/Error.h"
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

void HTMLConfigInfo::generateHTMLFrom(const QString& templatePage, const QString& destination) const
{
    QFile file(templatePage);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("ERROR_NO_HTML_PAGE"),
                    formatMessage("Could not read the template's HTML page %@: %@",
                                  {templatePage, file.errorString()}));
    TextTemplate page(decodeTemplatePage(file.readAll()));
    page.setItem(QStringLiteral("index.title"), m_HTMLTitle);
    page.setItem(QStringLiteral("meta.keywords"), m_HTMLKeywords);
    page.setItem(QStringLiteral("meta.description"), m_HTMLDescription);
    fs::writeAtomically(destination, page.parse().toUtf8());
}

} // namespace quire
