// Tab stops as the printed page shows them: RTF measures them from the left
// margin, whatever the paragraph's indents.
#include "RtfTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QTextLayout>
#include <cmath>
#include <gtest/gtest.h>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// Where `text` starts (line -1), or where that line of its paragraph starts,
// in points from the text area's left edge.
double xOf(const QTextDocument& doc, const QString& text, int line)
{
    const QTextCursor found = doc.find(text);
    const QTextLayout* layout = found.block().layout();
    if (found.isNull() || (line >= 0 && !layout->lineAt(line).isValid()))
        return NAN;
    const int position =
        line < 0 ? found.selectionStart() - found.block().position() : layout->lineAt(line).textStart();
    return layout->position().x() + layout->lineForTextPosition(position).cursorToX(position);
}

TEST(RtfTabStops, StopsAreMeasuredFromTheMarginAndHangingIndentsLineUp)
{
    const QByteArray lines = "words enough to run over the end of the opening line and wrap onto the next one, "
                             "and a few more words to be sure that they really do\\par";
    // A bullet list as word processors write it: the text after the tab and
    // the wrapped lines start at the left indent (24 points). Then labels
    // before the tabs that are narrower than the gaps they stand in.
    ReadRtf r = readBody("\\pard\\fi-240\\li480\\tx480\\f0\\fs24 \\bullet\\tab explicit " + lines +
                         "\\pard\\fi-240\\li480 \\bullet\\tab implicit " + lines +
                         "\\pard\\tx1440\\tx2880 a\\tab first\\tab second\\par"
                         "\\pard\\li720\\tx1440\\tx2880 b\\tab third\\tab fourth\\par"
                         "\\pard\\li720\\fi720\\tx2880 c\\tab fifth\\par"
                         "\\pard\\fi-720\\li1440\\tx1080 1.\\tab sixth " + lines);
    ASSERT_TRUE(r.result.ok);
    // Laid out on a 72-dpi device, as the printer does.
    QImage device = printerDevice();
    r.doc->documentLayout()->setPaintDevice(&device);
    r.doc->setDocumentMargin(0);
    r.doc->setTextWidth(PageSetup::textAreaWidth);
    const std::tuple<const char*, int, double> probes[] = {
        {"\u2022\texplicit", -1, 12}, {"explicit", -1, 24}, {"explicit", 1, 24},
        // Without a stop of its own the hanging indent is the stop.
        {"implicit", -1, 24}, {"implicit", 1, 24},
        {"first", -1, 72}, {"second", -1, 144}, {"b\tthird", -1, 36}, {"third", -1, 72}, {"fourth", -1, 144},
        // A first-line indent of its own does not move the stops either.
        {"c\tfifth", -1, 72}, {"fifth", -1, 144},
        // A stop of the paragraph's before the hanging indent wins over it.
        {"sixth", -1, 54}, {"sixth", 1, 72},
    };
    for (const auto& [text, line, x] : probes)
        EXPECT_NEAR(xOf(*r.doc, text, line), x, 0.5) << text << " line " << line;
    r.doc->documentLayout()->setPaintDevice(nullptr);
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
