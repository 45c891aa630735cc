#include "formats/ObjectTypes.h"
#include "formats/PropertyKinds.h"
#include "formats/Record.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace quill {
namespace {

using K = PropertyKind;
using E = KindEditor;

TEST(PropertyKindsTest, StoredNamesInAnyCaseMapToTheirKindAndBack) {
    const struct {
        const char* stored;
        PropertyKind kind;
        KindEditor editor;
        const char* recordDefault;
    } rows[] = {
        {"STRING", K::String, E::FreeText, ""},
        {"integer", K::Integer, E::FreeText, "0"},
        {"Boolean", K::Boolean, E::YesNoList, "VALUE_NO"},
        {"bool", K::Bool, E::YesNoList, ""},
        {"Comment", K::Comment, E::FreeText, ""},
        {"url", K::Url, E::FreeText, ""},
        {"date", K::Date, E::DatePicker, ""},
        {"Time", K::Time, E::TimePicker, ""},
        {"icon", K::Icon, E::ImagePicker, ""},
        {"IMAGE", K::Image, E::ImagePicker, ""},
        {"owner", K::Owner, E::UserPicker, ""},
        {"Rights", K::Rights, E::UserPicker, ""},
        {"TEAM", K::Team, E::UserPicker, ""},
        {"event", K::Event, E::EventList, ""},
        {"attachment_document", K::AttachmentDocument, E::AttachmentType, ""},
        {"Attachment_Template", K::AttachmentTemplate, E::AttachmentType, ""},
        // Names the program does not know are kept, but never edited.
        {"", K::Other, E::None, ""},
        {"NUMBER", K::Other, E::None, ""},
        {"DATE ", K::Other, E::None, ""},
        {"BOOLEANS", K::Other, E::None, ""},
    };
    std::set<PropertyKind> named;
    for (const auto& row : rows) {
        const PropertyKind kind = propertyKindOf(row.stored);
        EXPECT_EQ(kind, row.kind) << row.stored;
        EXPECT_EQ(editorOf(kind), row.editor) << row.stored;
        EXPECT_EQ(defaultValueFor(row.stored), row.recordDefault) << row.stored;
        if (row.kind == K::Other)
            continue;
        named.insert(row.kind);
        const std::string upper = [&] {
            std::string s = row.stored;
            for (char& c : s)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return s;
        }();
        EXPECT_EQ(propertyKindName(kind), upper) << "the stored spelling comes back upper case";
    }
    EXPECT_EQ(propertyKindName(K::Other), "");
    // Every kind in the table is one of the names above, and no name is
    // listed twice.
    std::set<std::string_view> names;
    for (const PropertyKindFacts& facts : propertyKinds()) {
        EXPECT_TRUE(facts.kind == K::Other || named.count(facts.kind)) << facts.name;
        EXPECT_TRUE(names.insert(facts.name).second) << facts.name;
        EXPECT_EQ(&factsOf(facts.kind), &facts) << facts.name;
    }
    EXPECT_EQ(names.size(), named.size() + 1);
}

TEST(PropertyKindsTest, DefinitionsAndFieldsCarryTheKindReadOnce) {
    DefinitionLists lists;
    ASSERT_TRUE(
        loadDefinitionText("DUE", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=date\n", lists, nullptr));
    ASSERT_TRUE(loadDefinitionText("NAME", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n", lists, nullptr));
    ASSERT_TRUE(
        loadDefinitionText("ODD", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=Kind\n", lists, nullptr));
    ASSERT_TRUE(
        loadDefinitionText("memo.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=DUE\n", lists, nullptr));
    ASSERT_EQ(lists.publicProperties.size(), 3u);
    EXPECT_EQ(lists.publicProperties[0].kind, K::Date);
    EXPECT_EQ(lists.publicProperties[0].dataType, "date") << "the stored name stays as written";
    EXPECT_EQ(lists.publicProperties[1].kind, K::String) << "a definition without a type is text";
    EXPECT_EQ(lists.publicProperties[2].kind, K::Other);

    Record record;
    ASSERT_TRUE(addProperty(mergeDefinitions(lists), 0, 0, record));
    EXPECT_EQ(record.fields.at(0).kind, K::Date);
}

TEST(PropertyKindsTest, ValuesAreCheckedAndRewrittenByTheirKind) {
    const DateTimeFormats formats; // d.M.yyyy and H:mm:ss
    const ValueConventions conventions{formats, "Ano", "Ne", LocalDateTime{2026, 3, 4, 9, 5, 0, 0}};
    const struct {
        PropertyKind kind;
        const char* value;
        const char* expected; // the value kept, or the refusal
        bool taken;
    } rows[] = {
        {K::Boolean, "VALUE_YES", "Ano", true},
        {K::Bool, "value_no", "Ne", true},
        {K::Boolean, "ano", "Ano", true},
        {K::Bool, "NE", "Ne", true},
        {K::Boolean, "", "takes \"Ano\" or \"Ne\", not \"\"", false},
        {K::Bool, "maybe", "takes \"Ano\" or \"Ne\", not \"maybe\"", false},
        {K::Date, "01.02.2026", "1.2.2026", true},
        {K::Date, "29.2.2024", "29.2.2024", true},
        {K::Date, "", "", true},
        {K::Date, "31.2.2026", "takes a date like 4.3.2026, not \"31.2.2026\"", false},
        {K::Date, "tomorrow", "takes a date like 4.3.2026, not \"tomorrow\"", false},
        {K::Time, "9:30", "9:30:00", true},
        {K::Time, "09:30:15", "9:30:15", true},
        {K::Time, "", "", true},
        {K::Time, "25:00", "takes a time like 9:05:00, not \"25:00\"", false},
        {K::Integer, "42", "42", true},
        {K::Integer, "-7", "-7", true},
        {K::Integer, "+3", "+3", true},
        {K::Integer, "", "", true},
        {K::Integer, "4.5", "takes a whole number, not \"4.5\"", false},
        {K::Integer, "-", "takes a whole number, not \"-\"", false},
        {K::Integer, "12a", "takes a whole number, not \"12a\"", false},
        // Every other kind takes its value as it is.
        {K::String, "31.2.2026", "31.2.2026", true},
        {K::Comment, " spaced ", " spaced ", true},
        {K::Event, "whatever", "whatever", true},
        {K::Other, "12a", "12a", true},
    };
    for (const auto& row : rows) {
        const Result<std::string> kept = normalisedValue(row.kind, row.value, conventions);
        ASSERT_EQ(kept.ok(), row.taken) << propertyKindName(row.kind) << " " << row.value;
        EXPECT_EQ(kept.ok() ? kept.value() : kept.message(), row.expected) << propertyKindName(row.kind);
    }
}

} // namespace
} // namespace quill
