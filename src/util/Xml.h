#pragma once
// Small RAII layer over libxml2: owned documents and detached nodes, safe
// parsing (no network, no entity expansion) and the few DOM reads we need.
#include <QByteArray>
#include <QString>
#include <libxml/tree.h>
#include <memory>
#include <optional>
#include <vector>

namespace quire::xml {

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct NodeDeleter {
    // Only for nodes that belong to no tree (created detached or unlinked).
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;
using NodePtr = std::unique_ptr<xmlNode, NodeDeleter>;

struct ParseResult {
    DocPtr doc;
    QString error;       // the parser's message when doc is null
    bool recovered = false;
};

// Keeps white space and CDATA sections. On failure parses once more in
// recovering mode. Never resolves external entities or touches the network.
ParseResult parseFile(const QString& path);
ParseResult parseMemory(const QByteArray& bytes);

// Concatenation of every text and CDATA node below the node; "" when none.
QString text(const xmlNode* node);
QString name(const xmlNode* node);
bool hasName(const xmlNode* node, const char* name);

// Direct element children, in document order.
std::vector<xmlNode*> children(const xmlNode* node);
std::vector<xmlNode*> children(const xmlNode* node, const char* name);
xmlNode* firstChild(const xmlNode* node, const char* name);

std::optional<QString> attribute(const xmlNode* node, const char* name);

// Building. Text and attribute values may hold anything: characters that
// XML 1.0 forbids are dropped (control characters) or become U+FFFD
// (unpaired surrogates, U+FFFE, U+FFFF), so every document stays readable.
NodePtr newElement(const char* name);
xmlNode* appendElement(xmlNode* parent, const char* name);                   // owned by parent
xmlNode* appendTextElement(xmlNode* parent, const char* name, const QString& text);
void appendText(xmlNode* node, const QString& text);
void setAttribute(xmlNode* node, const char* name, const QString& value);
xmlNode* adopt(xmlNode* parent, NodePtr child);                            // parent takes ownership
NodePtr copy(const xmlNode* node);                                         // deep copy, detached

// A document with the given root; the document owns it afterwards.
DocPtr newDocument(NodePtr root);

// UTF-8 with an XML declaration; pretty adds line breaks and indentation
// between elements without changing element text.
QByteArray serialize(const xmlDoc* doc, bool pretty = true);
QByteArray serialize(const xmlNode* node, bool pretty = true);

} // namespace quire::xml
