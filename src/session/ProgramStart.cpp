#include "session/ProgramStart.h"

#include "formats/FieldCipher.h"
#include "formats/RegistryStore.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/ProgramValues.h"

#include <string>

namespace quill {
namespace {

std::string dataPointPathName(std::size_t n) {
    return "DataPointPath_" + std::to_string(n);
}

using StoredValues = std::vector<std::pair<std::string, std::string>>;

// A value of the key as read once; names match in any case, as in the file.
std::string storedValue(const StoredValues& stored, std::string_view name) {
    const std::string wanted = cp1250::upper(name);
    for (const auto& [storedName, value] : stored) {
        if (cp1250::upper(storedName) == wanted)
            return value;
    }
    return {};
}

bool holdsDataPoint(const std::string& directory) {
    return fs::isRegularFile(path::join(directory, "DataPoint.info"));
}

// The sample data point the first run starts on: the one beside the
// program (a build tree), or, for an installed program, a copy of the
// shipped one in the user's own data directory, never the shipped one.
std::string sampleDataPoint(const ProgramValues& values) {
    const std::string beside = path::join(values.programDirectory, "DataPoint");
    if (holdsDataPoint(beside))
        return beside;
    const std::string shipped = path::join(path::directory(values.programDirectory), "share/quill/DataPoint");
    if (!holdsDataPoint(shipped))
        return {};
    const std::string own = path::join(fs::userDataDirectory(), "Quill/DataPoint");
    if (holdsDataPoint(own))
        return own;
    // Something else of that name is left alone.
    if (fs::exists(own) || fs::isSymlink(own) || !fs::createDirectories(path::directory(own)))
        return {};
    if (!fs::copyTree(shipped, own)) {
        // The half copy made just now is no data point: it goes again.
        if (fs::isDirectory(own) && !fs::isSymlink(own))
            ignoreOutcome(fs::removeAll(own));
        return {};
    }
    return own;
}

void createFirstRunValues(ProgramValues& values, RegistryStore& registry) {
    const std::string known = sampleDataPoint(values);
    // Nothing else depends on the write: a registry that cannot be written
    // only means the defaults are found again at the next start.
    ignoreOutcome(registry.writeValues(
        kRegistryKey,
        {{"UserAutoLogon", "0"}, {"UserPassword", ""}, {"DataPointPathActual", "0"}, {dataPointPathName(0), known}}));
    values.knownDataPoints = {known};
    values.actualDataPoint = 0;
}

void readStoredValues(ProgramValues& values, const RegistryStore& registry) {
    const StoredValues stored = registry.values(kRegistryKey);
    const auto value = [&stored](std::string_view name) { return storedValue(stored, name); };
    values.autoLogonWanted = value("UserAutoLogon") == "1";
    const std::string password = value("UserPassword");
    values.storedPassword = password.empty() ? std::string() : cipher::decipher(cipher::kFieldKey, password);

    values.knownDataPoints.clear();
    for (std::size_t n = 0;; ++n) {
        std::string path = value(dataPointPathName(n));
        if (path.empty())
            break;
        values.knownDataPoints.push_back(std::move(path));
    }
    // An index that is no number or lies outside the list selects the
    // first entry rather than stopping the program.
    const auto index = text::parseInteger(value("DataPointPathActual"));
    values.actualDataPoint = index && *index >= 0 && static_cast<std::size_t>(*index) < values.knownDataPoints.size()
                                 ? static_cast<std::size_t>(*index)
                                 : 0;
}

} // namespace

ProgramStart initialiseProgram(ProgramValues& values, RegistryStore& registry) {
    values.knownDataPoints.clear();
    values.actualDataPoint = 0;
    if (!registry.keyExists(kRegistryKey))
        createFirstRunValues(values, registry);
    else
        readStoredValues(values, registry);
    if (!fs::isDirectory(values.languageDirectory))
        return ProgramStart::NoLanguageDirectory;
    return ProgramStart::Ready;
}

Status writeRegistryValues(RegistryStore& registry, const ProgramValues& values, bool autoLogon,
                           std::string_view password) {
    // A password whose enciphered form holds a zero byte or a line break
    // would come back shorter or broken: nothing is stored then, and the
    // automatic logon, which would fail with it, stays off.
    const bool storable = cipher::isStorable(cipher::kFieldKey, password);
    std::vector<std::pair<std::string, std::string>> list;
    list.emplace_back("UserAutoLogon", autoLogon && storable ? "1" : "0");
    std::size_t written = 0;
    std::size_t actual = 0;
    for (std::size_t i = 0; i < values.knownDataPoints.size(); ++i) {
        if (values.knownDataPoints[i].empty())
            continue;
        if (i == values.actualDataPoint)
            actual = written;
        list.emplace_back(dataPointPathName(written++), values.knownDataPoints[i]);
    }
    // A longer list stored before would otherwise show through after the
    // last path written.
    const StoredValues stored = registry.values(kRegistryKey);
    for (std::size_t n = written; !storedValue(stored, dataPointPathName(n)).empty(); ++n)
        list.emplace_back(dataPointPathName(n), "");
    list.emplace_back("DataPointPathActual", std::to_string(actual));
    list.emplace_back("UserPassword", storable ? cipher::encipher(cipher::kFieldKey, password) : std::string());
    return registry.writeValues(kRegistryKey, list);
}

Status storeNewKnownDataPoint(RegistryStore& registry, std::string_view dataPoint) {
    const StoredValues stored = registry.values(kRegistryKey);
    std::size_t n = 0;
    // A data point known already is chosen, not listed twice.
    while (!storedValue(stored, dataPointPathName(n)).empty() && storedValue(stored, dataPointPathName(n)) != dataPoint)
        ++n;
    return registry.writeValues(
        kRegistryKey, {{dataPointPathName(n), std::string(dataPoint)}, {"DataPointPathActual", std::to_string(n)}});
}

} // namespace quill
