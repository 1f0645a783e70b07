#include "import/FlashOutline.h"
#include "util/Error.h"

#include <gtest/gtest.h>

using namespace quire;

namespace {

// A new entry one level below `parent`, or at level 1 in `outline`.
FlashOutlineItem* add(FlashOutline& outline, FlashOutlineItem* parent, const QString& caption, int page)
{
    auto item = std::make_unique<FlashOutlineItem>();
    item->setCaption(caption);
    item->setPageIndex(page);
    item->setLevel(parent ? parent->level() + 1 : 1);
    item->setParent(parent);
    if (parent)
        return parent->addChild(std::move(item));
    outline.items().push_back(std::move(item));
    return outline.items().back().get();
}

QByteArray xmlOf(const FlashOutline& outline)
{
    return xml::serialize(xml::newDocument(outline.outlineAsXMLNode()).get(), false);
}

xml::DocPtr parse(const char* text)
{
    auto result = xml::parseMemory(QByteArray(text));
    EXPECT_TRUE(result.doc) << result.error.toStdString();
    return std::move(result.doc);
}

template <typename Load>
void expectError(Load load, const char* name, const char* reason)
{
    try {
        load();
        ADD_FAILURE() << "no error " << name;
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), name);
        EXPECT_EQ(e.reason(), reason);
    }
}

} // namespace

TEST(OutlineXml, ChapterWithSectionHasTheDocumentedShape)
{
    FlashOutline outline;
    add(outline, add(outline, nullptr, "Chapter 1", 1), "Section 1.1", 2);
    EXPECT_EQ(xmlOf(outline),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<ols><o><c>Chapter 1</c><p>1</p><l>1</l><ci><o><c>Section 1.1</c><p>2</p><l>2</l><ci/></o></ci></o></ols>\n");
}

TEST(OutlineXml, RoundTripKeepsCaptionsPagesLevelsNestingAndParents)
{
    FlashOutline outline;
    FlashOutlineItem* one = add(outline, nullptr, "One & <two>", 7);
    add(outline, add(outline, one, "  spaced  ", 8), "Deep \u00e9", 9);
    add(outline, nullptr, "", 12);

    xml::DocPtr doc = xml::newDocument(outline.outlineAsXMLNode());
    FlashOutline back;
    back.items().push_back(std::make_unique<FlashOutlineItem>()); // replaced by the load
    back.loadFromXMLNode(xmlDocGetRootElement(doc.get()));
    EXPECT_EQ(xmlOf(back), xmlOf(outline));

    ASSERT_EQ(back.items().size(), 2u);
    const FlashOutlineItem& b1 = *back.items()[0];
    EXPECT_EQ(b1.parent(), nullptr);
    ASSERT_EQ(b1.childItems().size(), 1u);
    const FlashOutlineItem& b1a = *b1.childItems()[0];
    EXPECT_EQ(b1a.parent(), &b1);
    ASSERT_EQ(b1a.childItems().size(), 1u);
    EXPECT_EQ(b1a.childItems()[0]->parent(), &b1a);
    EXPECT_EQ(back.items()[1]->caption(), Text("")); // empty, not absent
}

TEST(OutlineXml, WrongElementNamesFailAndLeaveTheTree)
{
    FlashOutline outline;
    add(outline, nullptr, "Keep", 3);
    auto o = parse("<o><c>X</c></o>");
    expectError([&] { outline.loadFromXMLNode(xmlDocGetRootElement(o.get())); }, "ERROR_INIT_OUTLINES",
                "Not a flash outline");
    ASSERT_EQ(outline.items().size(), 1u);
    EXPECT_EQ(outline.items()[0]->caption(), Text("Keep"));

    FlashOutlineItem item;
    item.setCaption(QString("Mine"));
    auto ols = parse("<ols/>");
    expectError([&] { item.loadItemFromXMLNode(xmlDocGetRootElement(ols.get())); }, "ERROR_INIT_OUTLINE_ITEM",
                "Not a flash outline item");
    EXPECT_EQ(item.caption(), Text("Mine"));
}

TEST(OutlineXml, NumbersAreReadLikeScanfAndMissingFieldsStay)
{
    auto doc = parse("<ols><o><c>A</c><p>12abc</p><l> 2</l></o><o><c>B</c></o><x/><o><p>-4</p><ci><o><c>C</c></o><q/></ci></o></ols>");
    FlashOutline outline;
    outline.loadFromXMLNode(xmlDocGetRootElement(doc.get()));
    ASSERT_EQ(outline.items().size(), 3u); // the "x" element is not an entry
    EXPECT_EQ(outline.items()[0]->pageIndex(), 12);
    EXPECT_EQ(outline.items()[0]->level(), 2);
    EXPECT_EQ(outline.items()[1]->pageIndex(), 0);
    EXPECT_EQ(outline.items()[1]->level(), 0);
    EXPECT_FALSE(outline.items()[2]->caption().has_value());
    EXPECT_EQ(outline.items()[2]->pageIndex(), -4);
    ASSERT_EQ(outline.items()[2]->childItems().size(), 1u);
    EXPECT_EQ(outline.items()[2]->childItems()[0]->caption(), Text("C"));
}
