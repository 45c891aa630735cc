#include "formats/PropertyKinds.h"

#include "platform/Cp1250.h"

#include <array>

namespace quill {
namespace {

using K = PropertyKind;
using E = KindEditor;
using R = ValueRule;

constexpr std::array<PropertyKindFacts, 17> kKinds{{
    {K::String, "STRING", E::FreeText, R::Any, ""},
    {K::Integer, "INTEGER", E::FreeText, R::WholeNumber, "0"},
    {K::Boolean, "BOOLEAN", E::YesNoList, R::YesNo, "VALUE_NO"},
    {K::Bool, "BOOL", E::YesNoList, R::YesNo, ""},
    {K::Comment, "COMMENT", E::FreeText, R::Any, ""},
    {K::Url, "URL", E::FreeText, R::Any, ""},
    {K::Date, "DATE", E::DatePicker, R::Date, ""},
    {K::Time, "TIME", E::TimePicker, R::Time, ""},
    {K::Icon, "ICON", E::ImagePicker, R::Any, ""},
    {K::Image, "IMAGE", E::ImagePicker, R::Any, ""},
    {K::Owner, "OWNER", E::UserPicker, R::Any, ""},
    {K::Rights, "RIGHTS", E::UserPicker, R::Any, ""},
    {K::Team, "TEAM", E::UserPicker, R::Any, ""},
    {K::Event, "EVENT", E::EventList, R::Any, ""},
    {K::AttachmentDocument, "ATTACHMENT_DOCUMENT", E::AttachmentType, R::Any, ""},
    {K::AttachmentTemplate, "ATTACHMENT_TEMPLATE", E::AttachmentType, R::Any, ""},
    {K::Other, "", E::None, R::Any, ""},
}};

bool isWholeNumber(std::string_view value) {
    if (!value.empty() && (value.front() == '-' || value.front() == '+'))
        value.remove_prefix(1);
    return !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

} // namespace

std::span<const PropertyKindFacts> propertyKinds() {
    return kKinds;
}

PropertyKind propertyKindOf(std::string_view storedName) {
    for (const PropertyKindFacts& facts : kKinds) {
        if (!facts.name.empty() && cp1250::equalsNoCase(facts.name, storedName))
            return facts.kind;
    }
    return PropertyKind::Other;
}

const PropertyKindFacts& factsOf(PropertyKind kind) {
    for (const PropertyKindFacts& facts : kKinds) {
        if (facts.kind == kind)
            return facts;
    }
    return kKinds.back();
}

Result<std::string> normalisedValue(PropertyKind kind, std::string_view value, const ValueConventions& conventions) {
    switch (factsOf(kind).rule) {
    case ValueRule::Any: break;
    case ValueRule::YesNo:
        if (cp1250::equalsNoCase(value, "VALUE_YES") || cp1250::equalsNoCase(value, conventions.yesText))
            return std::string(conventions.yesText);
        if (cp1250::equalsNoCase(value, "VALUE_NO") || cp1250::equalsNoCase(value, conventions.noText))
            return std::string(conventions.noText);
        return Result<std::string>::failure("takes " + quoted(conventions.yesText) + " or " +
                                            quoted(conventions.noText) + ", not " + quoted(value));
    case ValueRule::Date:
        if (value.empty())
            break;
        if (const auto date = parseDateTime(value, conventions.formats.shortDate))
            return formatDate(*date, conventions.formats);
        return Result<std::string>::failure(
            "takes a date like " + formatDate(conventions.example, conventions.formats) + ", not " + quoted(value));
    case ValueRule::Time:
        if (value.empty())
            break;
        if (const auto time = parseTime(value, conventions.formats))
            return formatTime(*time, conventions.formats);
        return Result<std::string>::failure(
            "takes a time like " + formatTime(conventions.example, conventions.formats) + ", not " + quoted(value));
    case ValueRule::WholeNumber:
        if (!value.empty() && !isWholeNumber(value))
            return Result<std::string>::failure("takes a whole number, not " + quoted(value));
        break;
    }
    return std::string(value);
}

} // namespace quill
