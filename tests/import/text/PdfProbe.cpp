#include "PdfProbe.h"
#include "support/ToolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace quire::test {
namespace {

// What the program writes; `markup` when it writes XML or HTML.
QString run(const QString& program, const QStringList& arguments, bool markup = false, bool raw = false)
{
    const ToolRun r = runTool(program, arguments);
    if (r.status != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << r.err.toStdString();
        return {};
    }
    // Ligatures come back as presentation forms (U+FB01 for "fi").
    QString out = raw ? r.out : r.out.normalized(QString::NormalizationForm_KC);
    for (const char* entity : {"&lt;<", "&gt;>", "&quot;\"", "&#39;'", "&amp;&"})
        if (markup)
            out.replace(QString(entity).chopped(1), QString(entity).right(1));
    return out;
}

// The first fields of each line of a listing after its two header lines.
QList<QStringList> tableRows(const QString& listing)
{
    QList<QStringList> rows;
    for (const QString& line : listing.split('\n').mid(2))
        rows << line.simplified().split(' ', Qt::SkipEmptyParts);
    return rows;
}

QList<QpdfBookmark> fromJson(const QJsonArray& array)
{
    QList<QpdfBookmark> out;
    for (const QJsonValue& value : array) {
        const QJsonObject o = value.toObject();
        const QJsonArray dest = o.value("dest").toArray();
        QpdfBookmark b{o.value("title").toString(), o.value("destpageposfrom1").toInt(), dest.at(1).toString(), {},
                       fromJson(o.value("kids").toArray())};
        const int topAt = b.view == "/FitH" ? 2 : b.view == "/XYZ" ? 3 : 0;
        if (topAt && dest.at(topAt).isDouble())
            b.top = dest.at(topAt).toDouble();
        out.append(b);
    }
    return out;
}

} // namespace

bool PdfProbe::available()
{
    for (const char* tool : {"pdfinfo", "pdftotext", "pdfimages", "pdffonts", "qpdf"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return false;
    return true;
}

QList<QSizeF> PdfProbe::pageSizes(const QString& pdf)
{
    static const QRegularExpression re(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)");
    QList<QSizeF> sizes;
    for (const auto& m : re.globalMatch(run("pdfinfo", {"-f", "1", "-l", "100000", pdf})))
        sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    return sizes;
}

QStringList PdfProbe::pageTexts(const QString& pdf, bool raw)
{
    QStringList pages = run("pdftotext", {"-enc", "UTF-8", pdf, "-"}, false, raw).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QList<PdfWord> PdfProbe::words(const QString& pdf)
{
    static const QRegularExpression re(
        R"re(<page [^>]*>|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<PdfWord> words;
    int page = 0;
    for (const auto& m : re.globalMatch(run("pdftotext", {"-bbox", "-enc", "UTF-8", pdf, "-"}, true))) {
        if (m.captured(0).startsWith("<page"))
            ++page;
        else
            words.append({page, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                       QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())), m.captured(5)});
    }
    return words;
}

QStringList PdfProbe::images(const QString& pdf)
{
    QStringList images; // fields: page num type width height ...
    for (const QStringList& f : tableRows(run("pdfimages", {"-list", pdf})))
        if (f.size() > 4 && f[2] == "image")
            images.append(f[0] + ": " + f[3] + " x " + f[4]);
    return images;
}

QStringList PdfProbe::fonts(const QString& pdf)
{
    QStringList fonts; // embedded subsets carry a six-letter tag: "ABCDEF+DejaVuSans"
    for (const QStringList& f : tableRows(run("pdffonts", {pdf})))
        if (!f.isEmpty())
            fonts.append(f[0].indexOf('+') == 6 ? f[0].mid(7) : f[0]);
    fonts.removeDuplicates();
    fonts.sort();
    return fonts;
}

QString PdfProbe::info(const QString& pdf, const QString& key)
{
    for (const QString& line : run("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

QStringList PdfProbe::wordsOf(const QString& text)
{
    static const QRegularExpression space(R"(\s+)");
    return text.split(space, Qt::SkipEmptyParts);
}

bool PdfProbe::checks(const QString& pdf)
{
    return runTool("qpdf", {"--check", pdf}).status == 0;
}

std::optional<QList<QpdfBookmark>> PdfProbe::bookmarks(const QString& pdf)
{
    const ToolRun r = runTool("qpdf", {"--json", "--json-key=outlines", pdf});
    if (r.status != 0) {
        ADD_FAILURE() << "qpdf cannot read " << pdf.toStdString();
        return std::nullopt;
    }
    return fromJson(QJsonDocument::fromJson(r.out.toUtf8())["outlines"].toArray());
}

QStringList outlineLines(const QList<QpdfBookmark>& list, const QString& indent)
{
    QStringList out;
    for (const QpdfBookmark& b : list)
        out << indent + b.title + " @" + QString::number(b.page) << outlineLines(b.kids, indent + "  ");
    return out;
}

QStringList outlineLines(const std::vector<pdf::OutlineNode>& list, const QString& indent)
{
    QStringList out;
    for (const pdf::OutlineNode& n : list)
        out << indent + n.label.value_or("(none)") + " @" + (n.target ? QString::number(*n.target + 1) : "-")
            << outlineLines(n.children, indent + "  ");
    return out;
}

} // namespace quire::test
