#pragma once
// The state machine behind RtfReader: a stack of group states, the current
// destination, and text waiting to be written.
#include "RtfAttachment.h"
#include "RtfDocumentWriter.h"
#include "RtfFormatting.h"
#include "RtfKeywords.h"
#include "RtfPicture.h"
#include "RtfReader.h"
#include "RtfStyleSheet.h"
#include "RtfTables.h"
#include "RtfTokenizer.h"
#include "TextDecoding.h"

#include <QByteArray>
#include <QSet>
#include <vector>

namespace quire::textimport {

class RtfParser {
public:
    // `folder` holds the files that the document attaches; "" when unknown.
    RtfParser(QByteArrayView bytes, QTextDocument& doc, const LayoutUnits& units, const QString& folder);
    RtfReadResult run();

private:
    enum class Destination {
        Normal, Skip, FontTable, ColorTable, StyleSheet, FieldInstruction, Picture, Attachment, Info, Title
    };

    struct GroupState {
        Destination destination = Destination::Normal;
        RtfCharState chars;
        RtfParaState para;
        int unicodeSkip = 1;
        // What ends with this group.
        bool startsPicture = false;
        bool startsAttachment = false;
        bool startsFieldInstruction = false;
        bool startsField = false;
        bool startsFontEntry = false;
        bool startsStyleEntry = false;
        bool inStyleEntry = false;
    };

    struct Field {
        QString instruction;
        QString href;
    };

    // Structure (RtfParser.cpp).
    void groupStart();
    void groupEnd();
    void endDocument();
    void text(std::string_view bytes);
    void hexByte(unsigned char byte);
    void controlSymbol(char symbol);
    void appendChar(char32_t c);
    void flush();
    void deliver(const QString& text);
    int currentCodePage() const;
    bool enterDestination(RtfKeyword keyword);
    void finishPicture();
    void finishAttachment();
    void insertPicture(const QImage& image, const RtfPicture& sizing);
    void finishFieldInstruction();
    void warnOnce(const QString& warning);

    // Control words (RtfParserWords.cpp).
    void controlWord(const RtfToken& token);
    bool characterWord(RtfKeyword keyword, const RtfToken& token);
    bool paragraphWord(RtfKeyword keyword, const RtfToken& token);
    bool tableWord(RtfKeyword keyword, const RtfToken& token);
    void fontTableWord(RtfKeyword keyword, const RtfToken& token);
    void styleSheetWord(RtfKeyword keyword, const RtfToken& token);
    void pictureWord(RtfKeyword keyword, const RtfToken& token);
    void attachmentWord(RtfKeyword keyword, const RtfToken& token);
    void documentWord(RtfKeyword keyword, const RtfToken& token);
    void skipBinary(const RtfToken& token);

    bool writesText() const { return m_state.destination == Destination::Normal; }

    RtfTokenizer m_tokens;
    QTextDocument& m_doc;
    LayoutUnits m_units;
    RtfFontTable m_fonts;
    RtfColorTable m_colors;
    RtfStyleSheet m_styles;
    RtfFormatter m_formatter;
    RtfRowDefinition m_row;
    bool m_pendingTableBorder = false;
    RtfDocumentWriter m_writer;
    CodePageDecoder m_decoder;

    std::vector<GroupState> m_stack;
    GroupState m_state;
    int m_overflowDepth = 0;
    bool m_documentEnded = false;
    int m_skipAfterUnicode = 0;
    bool m_ignorableNext = false;
    int m_documentCodePage = 1252;

    QByteArray m_pendingBytes;
    QString m_pendingText;

    std::vector<Field> m_fields;
    RtfPicture m_picture;
    QString m_folder;
    RtfAttachment m_attachment;
    // The group level whose next character, when it is the attachment
    // character that stands for a picture, goes; -1 for none.
    int m_attachmentMarkDepth = -1;
    QString m_title; // \info's \title

    QStringList m_warnings;
    QSet<QString> m_warned;
};

} // namespace quire::textimport
