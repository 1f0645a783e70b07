#include "RtfReader.h"

#include "RtfParser.h"

#include <QTextDocument>

namespace quire::textimport {

bool RtfReader::looksLikeRtf(QByteArrayView bytes)
{
    QByteArrayView rest = bytes;
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (!rest.isEmpty() && (rest.front() == ' ' || rest.front() == '\t' || rest.front() == '\r' ||
                               rest.front() == '\n'))
        rest = rest.sliced(1);
    return rest.startsWith("{\\rtf");
}

RtfReadResult RtfReader::read(QByteArrayView bytes, QTextDocument& doc, const LayoutUnits& units,
                             const QString& folder)
{
    RtfReadResult result;
    if (bytes.isEmpty()) {
        result.problem = QStringLiteral("is empty");
        return result;
    }
    if (!looksLikeRtf(bytes)) {
        result.problem = QStringLiteral("is not an RTF document (it does not begin with “{\\rtf”)");
        return result;
    }
    QByteArrayView body = bytes;
    while (!body.startsWith('{'))
        body = body.sliced(1);
    RtfParser parser(body, doc, units, folder);
    return parser.run();
}

} // namespace quire::textimport
