#include "formats/ObjectTypes.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::TempDir;
using test::writeBytes;

TEST(ObjectTypesTest, TheTypeValueNotTheDirectoryChoosesTheList) {
    TempDir dir;
    writeBytes(dir / "DataPoint.system/Objects/Private/memo.info",
               "[TYPE]\r\nTYPE=object.public\r\nCAPTION=Memo\r\nMENU=true\r\n[INFO.OBJECT]\r\nPROPERTY_0=NAME\r\n");
    writeBytes(dir / "DataPoint.system/Objects/Public/user.info",
               "[TYPE]\r\nTYPE=OBJECT.PRIVATE\r\nCAPTION=User\r\n[INFO.OBJECT]\r\nPROPERTY_0=NAME\r\n");
    writeBytes(dir / "DataPoint.system/Objects/Public/nokind.info", "[TYPE]\r\nCAPTION=None\r\n");
    writeBytes(dir / "DataPoint.system/Objects/Public/other.info", "[TYPE]\r\nTYPE=SOMETHING\r\n");
    const TypeTables tables = loadTypeTables(dir.path(), nullptr);
    ASSERT_EQ(tables.objectTypes.size(), 2u);
    EXPECT_EQ(tables.objectTypes[0].name, "user.info") << "private types come first";
    EXPECT_EQ(tables.objectTypes[1].name, "memo.info");
    EXPECT_TRUE(tables.objectTypes[1].inMenus);
    EXPECT_FALSE(tables.objectTypes[0].inMenus);
}

TEST(ObjectTypesTest, LoaderResultsAndDefaults) {
    TempDir dir;
    DefinitionLists lists;
    EXPECT_FALSE(loadDefinitionFile(dir / "missing", lists, nullptr));
    writeBytes(dir / "empty", "");
    EXPECT_FALSE(loadDefinitionFile(dir / "empty", lists, nullptr));
    writeBytes(dir / "other", "[TYPE]\nTYPE=whatever\n");
    EXPECT_TRUE(loadDefinitionFile(dir / "other", lists, nullptr)) << "read, but adds nothing";

    writeBytes(dir / "bare.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n");
    writeBytes(dir / "SURNAME", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n");
    ASSERT_TRUE(loadDefinitionFile(dir / "bare.info", lists, nullptr));
    ASSERT_TRUE(loadDefinitionFile(dir / "SURNAME", lists, nullptr));
    ASSERT_EQ(lists.publicObjects.size(), 1u);
    const ObjectType& type = lists.publicObjects[0];
    EXPECT_EQ(type.caption, "PARROR");
    EXPECT_EQ(type.note, "");
    EXPECT_EQ(type.icon, "PARROR");
    EXPECT_FALSE(type.inMenus);
    EXPECT_TRUE(type.propertyNames.empty());
    ASSERT_EQ(lists.publicProperties.size(), 1u);
    const PropertyDefinition& property = lists.publicProperties[0];
    EXPECT_EQ(property.name, "SURNAME");
    EXPECT_EQ(property.icon, "PROPERTY.BMP");
    EXPECT_EQ(property.dataType, "STRING");
    EXPECT_FALSE(property.enciphered);
    EXPECT_EQ(property.action, "NILL");
}

TEST(ObjectTypesTest, PropertyListEndsAtTheFirstGapAndKeepsAnEmptyName) {
    DefinitionLists lists;
    ASSERT_TRUE(loadDefinitionText(
        "gap.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=A\nPROPERTY_1=B\nPROPERTY_3=D\n", lists,
        nullptr));
    ASSERT_TRUE(loadDefinitionText(
        "empty.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=A\nPROPERTY_1=\nPROPERTY_2=C\n", lists,
        nullptr));
    EXPECT_EQ(lists.publicObjects[0].propertyNames, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(lists.publicObjects[1].propertyNames, (std::vector<std::string>{"A", ""}));
}

TEST(ObjectTypesTest, ObjectTypeCaptionsAreExpandedButPropertiesAreNot) {
    DefinitionLists lists;
    const TextExpander expand = [](const std::string& s) { return s == "$X$" ? std::string("expanded") : s; };
    ASSERT_TRUE(
        loadDefinitionText("t.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\nCAPTION=$X$\nNOTE=$X$\nICON=$X$\n", lists, expand));
    ASSERT_TRUE(
        loadDefinitionText("P", "[TYPE]\nTYPE=PROPERTY.PUBLIC\nICON=$X$\n[INFO.PROPERTY]\nNOTE=$X$\n", lists, expand));
    EXPECT_EQ(lists.publicObjects[0].caption, "expanded");
    EXPECT_EQ(lists.publicObjects[0].note, "expanded");
    EXPECT_EQ(lists.publicObjects[0].icon, "expanded");
    EXPECT_EQ(lists.publicProperties[0].icon, "$X$");
    EXPECT_EQ(lists.publicProperties[0].note, "$X$");
}

TEST(ObjectTypesTest, TypeOfAFileIsItsLastExtension) {
    DefinitionLists lists;
    for (const char* name : {"user.info", "comments.info", "contract.info"})
        ASSERT_TRUE(loadDefinitionText(name, "[TYPE]\nTYPE=OBJECT.PUBLIC\n", lists, nullptr));
    const TypeTables tables = mergeDefinitions(lists);
    // Only a defined type makes a document: unknown kinds read as the
    // first type but are none, and neither is a name without extension.
    const struct {
        const char* file;
        std::size_t type;
        bool defined;
    } rows[] = {
        {"report.doc.comments", 1, true},
        {"comments", 1, false},
        {"/a/b.c/Offer.CONTRACT", 2, true},
        {"ANNA.user", 0, true},
        {"unknown.xyz", 0, false},
        {"dir.contract/noext", 0, false},
        {"user", 0, false},
        {"ANNA.", 0, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(tables.objectTypeOf(row.file), row.type) << row.file;
        EXPECT_EQ(tables.definesTypeOf(row.file), row.defined) << row.file;
    }
}

TEST(ObjectTypesTest, APrivatePropertyHidesAPublicOneOfTheSameName) {
    DefinitionLists lists;
    ASSERT_TRUE(
        loadDefinitionText("NAME", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nNOTE=public\n", lists, nullptr));
    ASSERT_TRUE(
        loadDefinitionText("name", "[TYPE]\nTYPE=PROPERTY.PRIVATE\n[INFO.PROPERTY]\nNOTE=private\n", lists, nullptr));
    const TypeTables tables = mergeDefinitions(lists);
    ASSERT_NE(tables.findProperty("Name"), nullptr);
    EXPECT_EQ(tables.findProperty("Name")->note, "private");
    EXPECT_EQ(tables.findProperty("missing"), nullptr);
}

} // namespace
} // namespace quill
