#pragma once

#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"
#include "platform/Result.h"

#include <span>
#include <string>
#include <string_view>

namespace quill {

// The data type of a field, as its definition names it. The editor gives
// each kind its own control and its own rule for values; the schedule's
// fields, comments and attachment types are kinds of the same list.
enum class PropertyKind {
    Other, // a name the program does not know: shown, stored, never edited
    String,
    Integer,
    Boolean,
    Bool,
    Comment,
    Url,
    Date,
    Time,
    Icon,
    Image,
    Owner,
    Rights,
    Team,
    Event,
    AttachmentDocument,
    AttachmentTemplate,
};

// The control that edits a value of a kind in place.
enum class KindEditor {
    None,
    FreeText,       // editable list with the user's recent texts
    YesNoList,      // the language's two texts for yes and no
    DatePicker,     // a calendar in the short date format
    TimePicker,     // hours and minutes, stored in the long time format
    ImagePicker,    // the resources view
    UserPicker,     // the users view
    AttachmentType, // the display name beside the document/template list
    EventList,      // the reminder events by name
};

// What a value of a kind must look like before the editor takes it.
enum class ValueRule {
    Any,
    YesNo,       // "VALUE_YES"/"VALUE_NO" or their texts, kept as the text
    Date,        // empty or a date, rewritten in the short date format
    Time,        // empty or a time, rewritten in the long time format
    WholeNumber, // empty or digits with an optional sign
};

struct PropertyKindFacts {
    PropertyKind kind;
    std::string_view name; // as definitions store it, upper case
    KindEditor editor;
    ValueRule rule;
    std::string_view recordDefault; // the value of a field its file has no line for
};

// Every kind the program knows, Other last.
std::span<const PropertyKindFacts> propertyKinds();

// The kind of a stored name, compared in any case; Other when unknown.
PropertyKind propertyKindOf(std::string_view storedName);
const PropertyKindFacts& factsOf(PropertyKind kind);
// The stored name of a kind; empty for Other.
inline std::string_view propertyKindName(PropertyKind kind) {
    return factsOf(kind).name;
}
inline KindEditor editorOf(PropertyKind kind) {
    return factsOf(kind).editor;
}
// "BOOL" and "BOOLEAN": stored as "VALUE_YES"/"VALUE_NO", shown as the
// language's texts.
inline bool isYesNoKind(PropertyKind kind) {
    return factsOf(kind).rule == ValueRule::YesNo;
}

// What the rules of the value need from the machine and the language.
struct ValueConventions {
    const DateTimeFormats& formats;
    std::string_view yesText;
    std::string_view noText;
    LocalDateTime example; // the date and time that refusals show as examples
};

// The value as a field of the kind keeps it, or a refusal that reads after
// the field's label ("takes a whole number, not \"x\"").
Result<std::string> normalisedValue(PropertyKind kind, std::string_view value, const ValueConventions& conventions);

} // namespace quill
