#include "Xml.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>
#include <QFile>

namespace quire::xml {
namespace {

struct ParserInit {
    ParserInit() { xmlInitParser(); }
};

void ensureInit()
{
    static ParserInit once;
}

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

// XML 1.0 allows tab, line feed, carriage return and the characters from
// U+0020 on, except surrogates (paired ones make one allowed character) and
// U+FFFE/U+FFFF. Control characters are dropped; a surrogate without its
// partner and the two non-characters stand for something lost and become
// U+FFFD.
QByteArray legalUtf8(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            out += c;
            out += value[++i];
        } else if (c.isSurrogate() || c.unicode() >= 0xFFFE) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') {
            out += c;
        }
    }
    return out.toUtf8();
}

QString fromXml(const xmlChar* s)
{
    return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString();
}

struct CtxtDeleter {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

ParseResult parseWith(const QByteArray& bytes, const QString& url)
{
    ensureInit();
    ParseResult result;
    // No XML_PARSE_NOENT (entity expansion) and no XML_PARSE_NOBLANKS or
    // XML_PARSE_NOCDATA: definitions are read verbatim.
    const int strict = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    const QByteArray urlBytes = url.toUtf8();
    for (int options : {strict, strict | XML_PARSE_RECOVER}) {
        std::unique_ptr<xmlParserCtxt, CtxtDeleter> ctxt(xmlNewParserCtxt());
        if (!ctxt) {
            result.error = QStringLiteral("out of memory");
            return result;
        }
        xmlDoc* doc = xmlCtxtReadMemory(ctxt.get(), bytes.constData(), int(bytes.size()),
                                        urlBytes.isEmpty() ? nullptr : urlBytes.constData(),
                                        nullptr, options);
        if (doc && xmlDocGetRootElement(doc)) {
            result.doc.reset(doc);
            result.recovered = (options & XML_PARSE_RECOVER) != 0;
            result.error.clear();
            return result;
        }
        if (doc)
            xmlFreeDoc(doc);
        const xmlError* err = xmlCtxtGetLastError(ctxt.get());
        result.error = err && err->message ? QString::fromUtf8(err->message).trimmed()
                                           : QStringLiteral("no root element");
        if (err)
            result.error = QStringLiteral("line %1: %2").arg(err->line).arg(result.error);
    }
    return result;
}

} // namespace

ParseResult parseFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ParseResult result;
        result.error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return result;
    }
    return parseWith(file.readAll(), path);
}

ParseResult parseMemory(const QByteArray& bytes)
{
    return parseWith(bytes, QString());
}

QString text(const xmlNode* node)
{
    if (!node)
        return QStringLiteral("");
    xmlChar* content = xmlNodeGetContent(node);
    QString out = content ? QString::fromUtf8(reinterpret_cast<const char*>(content)) : QString();
    xmlFree(content);
    if (out.isNull())
        out = QStringLiteral("");
    return out;
}

QString name(const xmlNode* node)
{
    return node ? fromXml(node->name) : QString();
}

bool hasName(const xmlNode* node, const char* wanted)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, X(wanted));
}

std::vector<xmlNode*> children(const xmlNode* node)
{
    std::vector<xmlNode*> out;
    if (!node)
        return out;
    for (xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            out.push_back(c);
    return out;
}

std::vector<xmlNode*> children(const xmlNode* node, const char* wanted)
{
    std::vector<xmlNode*> out;
    if (!node)
        return out;
    for (xmlNode* c = node->children; c; c = c->next)
        if (hasName(c, wanted))
            out.push_back(c);
    return out;
}

xmlNode* firstChild(const xmlNode* node, const char* wanted)
{
    if (!node)
        return nullptr;
    for (xmlNode* c = node->children; c; c = c->next)
        if (hasName(c, wanted))
            return c;
    return nullptr;
}

std::optional<QString> attribute(const xmlNode* node, const char* wanted)
{
    if (!node || node->type != XML_ELEMENT_NODE)
        return std::nullopt;
    xmlAttr* attr = xmlHasProp(node, X(wanted));
    if (!attr)
        return std::nullopt;
    xmlChar* value = xmlNodeListGetString(node->doc, attr->children, 1);
    QString out = value ? QString::fromUtf8(reinterpret_cast<const char*>(value)) : QStringLiteral("");
    xmlFree(value);
    if (out.isNull())
        out = QStringLiteral("");
    return out;
}

NodePtr newElement(const char* elementName)
{
    ensureInit();
    return NodePtr(xmlNewNode(nullptr, X(elementName)));
}

xmlNode* appendElement(xmlNode* parent, const char* elementName)
{
    return xmlNewChild(parent, nullptr, X(elementName), nullptr);
}

xmlNode* appendTextElement(xmlNode* parent, const char* elementName, const QString& value)
{
    xmlNode* child = appendElement(parent, elementName);
    appendText(child, value);
    return child;
}

void appendText(xmlNode* node, const QString& value)
{
    const QByteArray utf8 = legalUtf8(value);
    if (utf8.isEmpty())
        return;
    // xmlNewText escapes on output; xmlNewChild's content would parse entities.
    xmlAddChild(node, xmlNewTextLen(X(utf8.constData()), int(utf8.size())));
}

void setAttribute(xmlNode* node, const char* attrName, const QString& value)
{
    xmlSetProp(node, X(attrName), X(legalUtf8(value).constData()));
}

xmlNode* adopt(xmlNode* parent, NodePtr child)
{
    xmlNode* raw = child.release();
    if (!xmlAddChild(parent, raw)) {
        xmlFreeNode(raw);
        return nullptr;
    }
    return raw;
}

NodePtr copy(const xmlNode* node)
{
    if (!node)
        return nullptr;
    return NodePtr(xmlDocCopyNode(const_cast<xmlNode*>(node), nullptr, 1));
}

DocPtr newDocument(NodePtr root)
{
    ensureInit();
    DocPtr doc(xmlNewDoc(X("1.0")));
    if (root)
        xmlDocSetRootElement(doc.get(), root.release());
    return doc;
}

QByteArray serialize(const xmlDoc* doc, bool pretty)
{
    if (!doc)
        return {};
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(const_cast<xmlDoc*>(doc), &buffer, &size, "UTF-8", pretty ? 1 : 0);
    QByteArray out(reinterpret_cast<const char*>(buffer), size);
    xmlFree(buffer);
    return out;
}

QByteArray serialize(const xmlNode* node, bool pretty)
{
    if (!node)
        return {};
    DocPtr doc = newDocument(copy(node));
    return serialize(doc.get(), pretty);
}

} // namespace quire::xml
