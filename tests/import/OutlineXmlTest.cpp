#include "import/FlashOutline.h"
#include "util/Error.h"

#include <gtest/gtest.h>

using namespace quire;

namespace {

FlashOutlineItem* addItem(FlashOutlineItem::ItemList& list, FlashOutlineItem* parent, const QString& caption,
                          int page, int level)
{
    auto item = std::make_unique<FlashOutlineItem>();
    item->setCaption(caption);
    item->setPageIndex(page);
    item->setLevel(level);
    item->setParent(parent);
    list.push_back(std::move(item));
    return list.back().get();
}

FlashOutlineItem* addChild(FlashOutlineItem* parent, const QString& caption, int page)
{
    auto item = std::make_unique<FlashOutlineItem>();
    item->setCaption(caption);
    item->setPageIndex(page);
    item->setLevel(parent->level() + 1);
    item->setParent(parent);
    return parent->addChild(std::move(item));
}

xml::DocPtr parse(const char* text)
{
    auto result = xml::parseMemory(QByteArray(text));
    EXPECT_TRUE(result.doc) << result.error.toStdString();
    return std::move(result.doc);
}

} // namespace

TEST(OutlineXml, ChapterWithSectionHasTheDocumentedShape)
{
    FlashOutline outline;
    FlashOutlineItem* chapter = addItem(outline.items(), nullptr, "Chapter 1", 1, 1);
    addChild(chapter, "Section 1.1", 2);
    xml::DocPtr doc = xml::newDocument(outline.outlineAsXMLNode());
    EXPECT_EQ(xml::serialize(doc.get(), false),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<ols><o><c>Chapter 1</c><p>1</p><l>1</l><ci><o><c>Section 1.1</c><p>2</p><l>2</l><ci/></o></ci></o></ols>\n");
}

TEST(OutlineXml, EmptyOutlineIsAnOlsWithoutChildren)
{
    FlashOutline outline;
    xml::NodePtr ols = outline.outlineAsXMLNode();
    EXPECT_EQ(xml::name(ols.get()), "ols");
    EXPECT_TRUE(xml::children(ols.get()).empty());
}

TEST(OutlineXml, RoundTripKeepsCaptionsPagesLevelsNestingAndParents)
{
    FlashOutline outline;
    FlashOutlineItem* one = addItem(outline.items(), nullptr, "One & <two>", 7, 1);
    FlashOutlineItem* oneA = addChild(one, "  spaced  ", 8);
    addChild(oneA, "Deep \u00e9", 9);
    addItem(outline.items(), nullptr, "", 12, 1);

    xml::DocPtr doc = xml::newDocument(outline.outlineAsXMLNode());
    FlashOutline back;
    back.items().push_back(std::make_unique<FlashOutlineItem>()); // replaced by the load
    back.loadFromXMLNode(xmlDocGetRootElement(doc.get()));

    ASSERT_EQ(back.items().size(), 2u);
    const FlashOutlineItem& b1 = *back.items()[0];
    EXPECT_EQ(b1.caption(), Text("One & <two>"));
    EXPECT_EQ(b1.pageIndex(), 7);
    EXPECT_EQ(b1.level(), 1);
    EXPECT_EQ(b1.parent(), nullptr);
    ASSERT_EQ(b1.childItems().size(), 1u);
    const FlashOutlineItem& b1a = *b1.childItems()[0];
    EXPECT_EQ(b1a.caption(), Text("  spaced  "));
    EXPECT_EQ(b1a.pageIndex(), 8);
    EXPECT_EQ(b1a.level(), 2);
    EXPECT_EQ(b1a.parent(), &b1);
    ASSERT_EQ(b1a.childItems().size(), 1u);
    EXPECT_EQ(b1a.childItems()[0]->caption(), Text("Deep \u00e9"));
    EXPECT_EQ(b1a.childItems()[0]->level(), 3);
    EXPECT_EQ(b1a.childItems()[0]->parent(), &b1a);
    EXPECT_TRUE(b1a.childItems()[0]->childItems().empty());
    EXPECT_EQ(back.items()[1]->caption(), Text(""));
    EXPECT_EQ(back.items()[1]->pageIndex(), 12);
}

TEST(OutlineXml, WrongElementNamesFailAndLeaveTheTree)
{
    FlashOutline outline;
    addItem(outline.items(), nullptr, "Keep", 3, 1);
    auto o = parse("<o><c>X</c></o>");
    try {
        outline.loadFromXMLNode(xmlDocGetRootElement(o.get()));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), "ERROR_INIT_OUTLINES");
        EXPECT_EQ(e.reason(), "Not a flash outline");
    }
    ASSERT_EQ(outline.items().size(), 1u);
    EXPECT_EQ(outline.items()[0]->caption(), Text("Keep"));

    FlashOutlineItem item;
    item.setCaption(QString("Mine"));
    auto ols = parse("<ols/>");
    try {
        item.loadItemFromXMLNode(xmlDocGetRootElement(ols.get()));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), "ERROR_INIT_OUTLINE_ITEM");
        EXPECT_EQ(e.reason(), "Not a flash outline item");
    }
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
