#pragma once
// Reading RTF text into a document and looking at what came out.
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

struct ReadRtf {
    std::unique_ptr<QTextDocument> doc = std::make_unique<QTextDocument>();
    textimport::RtfReadResult result;

    QString text() const { return doc->toPlainText(); }

    // The format of the first character of the first occurrence of `word`.
    QTextCharFormat format(const QString& word) const
    {
        const QTextCursor found = doc->find(word);
        EXPECT_FALSE(found.isNull()) << word.toStdString();
        QTextCursor at(doc.get());
        at.setPosition(found.selectionStart() + 1);
        return at.charFormat();
    }

    QTextBlock block(const QString& word) const
    {
        const QTextCursor found = doc->find(word);
        EXPECT_FALSE(found.isNull()) << word.toStdString();
        return found.block();
    }

    QStringList blockTexts() const
    {
        QStringList out;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            out << b.text();
        return out;
    }
};

inline textimport::LayoutUnits printUnits()
{
    return textimport::LayoutUnits::forPrinting();
}

inline ReadRtf readRtf(const QByteArray& rtf)
{
    ReadRtf r;
    r.result = textimport::RtfReader::read(rtf, *r.doc, printUnits());
    return r;
}

// A document body wrapped in a minimal header.
inline ReadRtf readBody(const QByteArray& body)
{
    return readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Helvetica;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}" +
                   body + "}");
}

} // namespace quire::test
