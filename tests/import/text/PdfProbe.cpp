#include "PdfProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace quire::test {

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Ligatures come back as their presentation forms (U+FB01 for "fi"); the
// compatibility normalization turns them into their letters again.
QString letters(const QString& s)
{
    return s.normalized(QString::NormalizationForm_KC);
}

QString unescape(QString s)
{
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&#39;"), QLatin1String("'"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

} // namespace

bool PdfProbe::available()
{
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftohtml", "pdfimages", "pdffonts"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}

QList<QSizeF> PdfProbe::pageSizes(const QString& pdf)
{
    const QString out = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                        QStringLiteral("-l"), QStringLiteral("100000"), pdf});
    QList<QSizeF> sizes;
    static const QRegularExpression re(QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return sizes;
}

QStringList PdfProbe::pageTexts(const QString& pdf)
{
    QString out = run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                    QStringLiteral("-")});
    QStringList pages = letters(out).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString PdfProbe::pageText(const QString& pdf, int page)
{
    const QString n = QString::number(page);
    return letters(run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), n,
                                                     QStringLiteral("-l"), n, QStringLiteral("-enc"),
                                                     QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
}

QList<PdfWord> PdfProbe::words(const QString& pdf)
{
    const QString out = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                          QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QList<PdfWord> words;
    static const QRegularExpression re(QStringLiteral(
        R"re(<page [^>]*>|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    int page = 0;
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        PdfWord w;
        w.page = page;
        w.box = QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                       QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        w.text = letters(unescape(m.captured(5)));
        words.append(w);
    }
    return words;
}

QStringList PdfProbe::links(const QString& pdf)
{
    const QString out = run(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-stdout"),
                                                          QStringLiteral("-i"), QStringLiteral("-q"), pdf});
    QStringList links;
    static const QRegularExpression re(QStringLiteral(R"re(<a href="([^"]*)")re"));
    for (auto it = re.globalMatch(out); it.hasNext();)
        links.append(unescape(it.next().captured(1)));
    // Text next to a link that touches its rectangle is reported with it.
    links.removeDuplicates();
    return links;
}

QStringList PdfProbe::images(const QString& pdf)
{
    const QString out = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QStringList images;
    const QStringList lines = out.split(QLatin1Char('\n'));
    // Two header lines, then: page num type width height ...
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(QLatin1Char(' '));
        if (f.size() > 4 && f[2] == QLatin1String("image"))
            images.append(f[3] + QLatin1String(" x ") + f[4]);
    }
    return images;
}

QStringList PdfProbe::fonts(const QString& pdf)
{
    const QString out = run(QStringLiteral("pdffonts"), {pdf});
    QStringList fonts;
    const QStringList lines = out.split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        QString name = lines[i].section(QLatin1Char(' '), 0, 0);
        // Embedded subsets carry a six-letter tag: "ABCDEF+DejaVuSans".
        if (name.indexOf(QLatin1Char('+')) == 6)
            name = name.mid(7);
        if (!name.isEmpty())
            fonts.append(name);
    }
    fonts.removeDuplicates();
    fonts.sort();
    return fonts;
}

QString PdfProbe::info(const QString& pdf, const QString& key)
{
    const QString out = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

QStringList PdfProbe::wordsOf(const QString& text)
{
    static const QRegularExpression space(QStringLiteral(R"(\s+)"));
    return text.split(space, Qt::SkipEmptyParts);
}

} // namespace quire::test
