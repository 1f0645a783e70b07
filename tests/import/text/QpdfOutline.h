#pragma once
// A PDF file's bookmarks as qpdf reads them: a second reader that shares no
// code with the library that writes them.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>
#include <optional>

namespace quire::test {

struct QpdfBookmark {
    QString title;
    int page = 0;                  // from 1; 0 without a destination page
    QString view;                  // "/XYZ", "/FitH" ...
    std::optional<double> top;     // the view's top, PDF space (y upwards)
    QList<QpdfBookmark> kids;
};

inline bool qpdfAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty();
}

inline QList<QpdfBookmark> qpdfBookmarks(const QJsonArray& array)
{
    QList<QpdfBookmark> out;
    for (const QJsonValue& value : array) {
        const QJsonObject o = value.toObject();
        QpdfBookmark b;
        b.title = o.value(QStringLiteral("title")).toString();
        b.page = o.value(QStringLiteral("destpageposfrom1")).toInt();
        const QJsonArray dest = o.value(QStringLiteral("dest")).toArray();
        b.view = dest.at(1).toString();
        if (b.view == QLatin1String("/FitH") && dest.at(2).isDouble())
            b.top = dest.at(2).toDouble();
        else if (b.view == QLatin1String("/XYZ") && dest.at(3).isDouble())
            b.top = dest.at(3).toDouble();
        b.kids = qpdfBookmarks(o.value(QStringLiteral("kids")).toArray());
        out.append(b);
    }
    return out;
}

// The bookmarks, or none (with a test failure) when qpdf cannot read the file.
inline std::optional<QList<QpdfBookmark>> qpdfOutline(const QString& pdf)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), pdf});
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0) {
        ADD_FAILURE() << "qpdf failed: " << qpdf.readAllStandardError().toStdString();
        return std::nullopt;
    }
    const QJsonObject root = QJsonDocument::fromJson(qpdf.readAllStandardOutput()).object();
    return qpdfBookmarks(root.value(QStringLiteral("outlines")).toArray());
}

// qpdf --check: the file's structure, cross-reference tables included, is sound.
inline bool qpdfChecks(const QString& pdf)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    return qpdf.waitForFinished(60000) && qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0;
}

} // namespace quire::test
