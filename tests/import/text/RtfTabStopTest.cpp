// Tab stops as the printed page shows them: RTF measures them from the left
// margin, whatever the paragraph's indents.
#include "RtfTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// Lays the document out on a 72-dpi device, as the printer does, and gives
// the x of text positions in points from the text area's left edge.
class PrintedLayout {
public:
    explicit PrintedLayout(QTextDocument& doc) : m_doc(doc), m_device(1, 1, QImage::Format_RGB32)
    {
        const int dotsPerMeter = qRound(72 / 0.0254);
        m_device.setDotsPerMeterX(dotsPerMeter);
        m_device.setDotsPerMeterY(dotsPerMeter);
        m_doc.documentLayout()->setPaintDevice(&m_device);
        m_doc.setDocumentMargin(0);
        m_doc.setTextWidth(PageSetup::textAreaWidth);
    }
    ~PrintedLayout() { m_doc.documentLayout()->setPaintDevice(nullptr); }
    PrintedLayout(const PrintedLayout&) = delete;
    PrintedLayout& operator=(const PrintedLayout&) = delete;

    // Where the first character of `word` starts.
    double x(const QString& word) const
    {
        const QTextCursor found = m_doc.find(word);
        EXPECT_FALSE(found.isNull()) << word.toStdString();
        return xAt(found.block(), found.selectionStart() - found.block().position());
    }

    // Where the given line of the block holding `word` starts.
    double lineStart(const QString& word, int line) const
    {
        const QTextBlock block = m_doc.find(word).block();
        const QTextLine l = block.layout()->lineAt(line);
        EXPECT_TRUE(l.isValid());
        return xAt(block, l.textStart());
    }

private:
    double xAt(const QTextBlock& block, int position) const
    {
        const QTextLayout* layout = block.layout();
        const QTextLine line = layout->lineForTextPosition(position);
        return layout->position().x() + line.cursorToX(position);
    }

    QTextDocument& m_doc;
    QImage m_device;
};

const char kLong[] = "words enough to run over the end of the first line and wrap onto the second one, "
                     "and a few more words to be sure that they really do";

TEST(RtfTabStops, HangingIndentsLineUpWithTheirTabStop)
{
    // A bullet list as word processors write it: the text after the tab and
    // the wrapped lines start at the left indent (24 points).
    ReadRtf r = readBody(QByteArray("\\pard\\fi-240\\li480\\tx480\\f0\\fs24 \\bullet\\tab explicit ") + kLong +
                         "\\par\\pard\\fi-240\\li480 \\bullet\\tab implicit " + kLong + "\\par");
    ASSERT_TRUE(r.result.ok);
    PrintedLayout layout(*r.doc);
    EXPECT_NEAR(layout.x("\u2022\texplicit"), 12, 0.5);
    EXPECT_NEAR(layout.x("explicit"), 24, 0.5);
    EXPECT_NEAR(layout.lineStart("explicit", 1), 24, 0.5);
    // Without a stop of its own the hanging indent is the stop.
    EXPECT_NEAR(layout.x("implicit"), 24, 0.5);
    EXPECT_NEAR(layout.lineStart("implicit", 1), 24, 0.5);
}

TEST(RtfTabStops, StopsAreMeasuredFromTheMarginNotTheIndent)
{
    // The labels before the tabs are narrower than the gaps they stand in.
    ReadRtf r = readBody("\\pard\\tx1440\\tx2880 a\\tab first\\tab second\\par"
                         "\\pard\\li720\\tx1440\\tx2880 b\\tab third\\tab fourth\\par"
                         "\\pard\\li720\\fi720\\tx2880 c\\tab fifth\\par"
                         "\\pard\\fi-720\\li1440\\tx1080 1.\\tab sixth " +
                         QByteArray(kLong) + "\\par");
    ASSERT_TRUE(r.result.ok);
    PrintedLayout layout(*r.doc);
    EXPECT_NEAR(layout.x("first"), 72, 0.5);
    EXPECT_NEAR(layout.x("second"), 144, 0.5);
    EXPECT_NEAR(layout.x("b\tthird"), 36, 0.5);
    EXPECT_NEAR(layout.x("third"), 72, 0.5);
    EXPECT_NEAR(layout.x("fourth"), 144, 0.5);
    // A first-line indent of its own does not move the stops either.
    EXPECT_NEAR(layout.x("c\tfifth"), 72, 0.5);
    EXPECT_NEAR(layout.x("fifth"), 144, 0.5);
    // A stop of the paragraph's before the hanging indent wins over it.
    EXPECT_NEAR(layout.x("sixth"), 54, 0.5);
    EXPECT_NEAR(layout.lineStart("sixth", 1), 72, 0.5);
}

TEST(RtfTabStops, KindsOfStopSurviveTheShift)
{
    const ReadRtf r = readBody("\\pard\\li720\\tqr\\tx4320\\tqc\\tx5000 a\\tab b\\par");
    const QList<QTextOption::Tab> tabs = r.block("a\tb").blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_EQ(tabs[0].type, QTextOption::RightTab);
    EXPECT_DOUBLE_EQ(tabs[0].position, printUnits().scaled(216 - 36));
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, printUnits().scaled(250 - 36));
}

} // namespace
