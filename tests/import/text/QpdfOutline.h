#pragma once
// A PDF file's bookmarks as qpdf reads them: a second reader that shares no
// code with the library that writes them. Both readers' trees can be put as
// lines "title @page", indented two spaces a level, to compare whole.
#include "import/PdfDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <optional>

namespace quire::test {

struct QpdfBookmark {
    QString title;
    int page = 0;              // from 1; 0 without a destination page
    QString view;              // "/XYZ", "/FitH" ...
    std::optional<double> top; // the view's top, PDF space (y upwards)
    QList<QpdfBookmark> kids;
};

inline bool qpdfAvailable()
{
    return !QStandardPaths::findExecutable("qpdf").isEmpty();
}

// Runs qpdf; its output, or none when it fails.
inline std::optional<QByteArray> qpdf(const QStringList& arguments)
{
    QProcess qpdf;
    qpdf.start("qpdf", arguments);
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0)
        return std::nullopt;
    return qpdf.readAllStandardOutput();
}

// qpdf --check: the file's structure, cross-reference tables included, is sound.
inline bool qpdfChecks(const QString& pdf)
{
    return qpdf({"--check", pdf}).has_value();
}

inline QList<QpdfBookmark> qpdfBookmarks(const QJsonArray& array)
{
    QList<QpdfBookmark> out;
    for (const QJsonValue& value : array) {
        const QJsonObject o = value.toObject();
        const QJsonArray dest = o.value("dest").toArray();
        QpdfBookmark b{o.value("title").toString(), o.value("destpageposfrom1").toInt(), dest.at(1).toString(), {},
                       qpdfBookmarks(o.value("kids").toArray())};
        const int topAt = b.view == "/FitH" ? 2 : b.view == "/XYZ" ? 3 : 0;
        if (topAt && dest.at(topAt).isDouble())
            b.top = dest.at(topAt).toDouble();
        out.append(b);
    }
    return out;
}

// The bookmarks, or none (with a test failure) when qpdf cannot read the file.
inline std::optional<QList<QpdfBookmark>> qpdfOutline(const QString& pdf)
{
    const auto json = qpdf({"--json", "--json-key=outlines", pdf});
    if (!json)
        ADD_FAILURE() << "qpdf cannot read " << pdf.toStdString();
    return json ? std::optional(qpdfBookmarks(QJsonDocument::fromJson(*json)["outlines"].toArray())) : std::nullopt;
}

inline QStringList outlineLines(const QList<QpdfBookmark>& list, const QString& indent = {})
{
    QStringList out;
    for (const QpdfBookmark& b : list)
        out << indent + b.title + " @" + QString::number(b.page) << outlineLines(b.kids, indent + "  ");
    return out;
}

inline QStringList outlineLines(const std::vector<pdf::OutlineNode>& list, const QString& indent = {})
{
    QStringList out;
    for (const pdf::OutlineNode& n : list)
        out << indent + n.label.value_or("(none)") + " @" + (n.target ? QString::number(*n.target + 1) : "-")
            << outlineLines(n.children, indent + "  ");
    return out;
}

} // namespace quire::test
