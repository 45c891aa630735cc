#include "session/TextVariables.h"

#include "SessionTest.h"

#include "buildinfo/BuildInfo.h"
#include "platform/Paths.h"
#include "session/FormHelp.h"
#include "session/InformationValues.h"
#include "session/TaskSets.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::writeBytes;

class TextVariablesTest : public test::OpenSessionTest {
protected:
    // Expands with the record read last, as pages show it.
    std::string expand(const std::string& text, bool blank = false, ExpansionMode mode = ExpansionMode::Plain) {
        return session->variables.expand(text, record, blank, mode);
    }
    // Reads a record of the sample, as pages do.
    void readRecord(const std::string& relative) {
        ASSERT_EQ(session->readRecord(dataPoint + "/" + relative, record), RecordRead::Ok);
    }
    Record record;
    std::string resources() { return session->context.settings.resourceDirectory; }
};

TEST_F(TextVariablesTest, EveryOccurrenceInAnyCaseIsReplaced) {
    const struct {
        const char* text;
        std::string expected;
        const char* why;
    } rows[] = {
        {"a%20b%20c", "a b c", "two escaped blanks, one per pass"},
        {"$DATE$ and $date$", "8.12.2026 and 8.12.2026", "opening markers match in any case"},
        {"$logonname$ is $FULLNAME$ on $ComputerName$", "ANNA is Anna Novak on WORKSTATION", "user values"},
        {"$TIME$", "9:05:07", "long time format"},
        {"VALUE_YES or VALUE_NO", "Yes or No", "boolean words from the language"},
        {"$VARIABLE.ALL.VARIABLE$", "All users", "key keeps its prefix"},
        {"$variable.ALL.VARIABLE$", "All users", "the opening marker in any case"},
        {"$VARIABLE.ALL.variable$", "$VARIABLE.ALL.variable$",
         "a closing marker in small letters is no closing marker"},
        {"$VARIABLE.NOPE.VARIABLE$", "PARROR: SYSTEMVARIABLES", "a missing text shows as such"},
        {"$DATA_POINT_PATH$/x", dataPoint + "/x", "the data point as opened"},
        {"$INFORMATION.APPLICATION_VERSION.INFORMATION$, $INFORMATION.NOPE.INFORMATION$!", "Quill! 1.0, !",
         "an unknown information name leaves no trace, also after one that had a value"},
        {"$IMAGE.PDF.IMAGE$", resources() + "GUI/MainTreeView/PDF.BMP", "an image of the working copy"},
        {"$DATA.NAME", "$DATA.NAME", "an unclosed variable stays as written"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(expand(row.text), row.expected) << row.why;
}

TEST_F(TextVariablesTest, TheApplicationValuesAreThisBuildsOwn) {
    // A fixed text here would tell a user reporting a problem nothing about
    // the program in front of them.
    const std::string version = expand("$INFORMATION.APPLICATION_VERSION.INFORMATION$");
    EXPECT_EQ(version, "Quill! " + std::string(build::kVersion));
    session->formats.shortDate = "yyyy-MM-dd";
    const std::string built = expand("$INFORMATION.APPLICATION_BUILD.INFORMATION$");
    ASSERT_EQ(built.size(), 10u) << built;
    EXPECT_EQ(std::stoi(built.substr(0, 4)), build::kYear) << built;
    EXPECT_EQ(std::stoi(built.substr(5, 2)), build::kMonth) << built;
    EXPECT_EQ(std::stoi(built.substr(8, 2)), build::kDay) << built;
    EXPECT_GE(build::kYear, 2026) << "the day of the build, not a day long past";
}

TEST_F(TextVariablesTest, IfAdminEmptiesTheTextForOtherUsers) {
    EXPECT_EQ(expand("$IF_ADMIN$<a href=x>$LOGONNAME$</a>"), "");
    session->program.isAdministrator = true;
    EXPECT_EQ(expand("$IF_ADMIN$<a href=x>$LOGONNAME$</a>"), "$IF_ADMIN$<a href=x>ANNA</a>")
        << "for an administrator the marker stays and the rest is expanded";
}

TEST_F(TextVariablesTest, RecordFieldsAndBlankOnEmptyData) {
    readRecord("DataPoint.system/Users/ANNA.user");
    EXPECT_EQ(expand("Name: $DATA.NAME.DATA$ $data.surname.data$"), "Name: Anna Novak");
    EXPECT_EQ(expand("Web: $DATA.WEB.DATA$"), "Web: ") << "an empty field is simply gone";
    EXPECT_EQ(expand("Web: $DATA.WEB.DATA$", true), "") << "blank on empty data drops the line";
    EXPECT_EQ(expand("$DATA.NO_SUCH_FIELD.DATA$x"), "x") << "a field the record lacks reads as empty";
    EXPECT_EQ(expand("$LOGON$DATA.WEB.DATA$NAME$"), "ANNA")
        << "removing an empty field joins the text around it into a variable of the next pass";
    EXPECT_EQ(expand("$DATATYPE.PASSWORD.DATATYPE$"), record.fields[3].note);
    EXPECT_EQ(expand("$INFORMATION.NOPE.INFORMATION$", true), "") << "blank-on-empty is for fields only, yet "
                                                                     "an empty result is empty";
    EXPECT_EQ(expand("[$INFORMATION.NOPE.INFORMATION$]", true), "[]");
}

TEST_F(TextVariablesTest, UnknownAndUnfinishedVariablesStayAsWritten) {
    readRecord("DataPoint.system/Users/ANNA.user");
    const struct {
        const char* text;
        const char* expected;
        const char* why;
    } rows[] = {
        {"$NOSUCH$ $LOGONNAME$", "$NOSUCH$ ANNA", "an unknown variable, before a known one"},
        {"$ACTUALOBJECT.OTHER$", "$ACTUALOBJECT.OTHER$", "an unknown member of a known object"},
        {"$ %2 $$", "$ %2 $$", "bits of markers"},
        {"$LOGONNAME", "$LOGONNAME", "a fixed marker without its closing $"},
        {"$VARIABLE.ALL", "$VARIABLE.ALL", "a language variable without its closing marker"},
        {"$VARIABLE.ALL.VARIABLE$ $VARIABLE.ALL", "All users $VARIABLE.ALL", "a complete one before an unfinished one"},
        {"$DATA.NAME.DATA$ and $DATA.NAME", "Anna and $DATA.NAME", "a field before an unfinished field"},
        {"$DATABOOLEAN.FORM_GUI_TASKS", "$DATABOOLEAN.FORM_GUI_TASKS", "an unfinished check box"},
        {"$INFORMATION.SYSTEM_DATE", "$INFORMATION.SYSTEM_DATE", "an unfinished information value"},
        {"$IMAGE.ATTACHMENT.IMAGE$+0x", "$IMAGE.ATTACHMENT.IMAGE$+0x", "an attachment image without its number"},
        {"$IMAGE.ATTACHMENT.IMAGE$+", "$IMAGE.ATTACHMENT.IMAGE$+", "an attachment image at the end of the text"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expand(row.text), row.expected) << row.why;
        EXPECT_EQ(expand(row.text, true), row.expected) << row.why << ", blank on empty data";
    }
}

TEST_F(TextVariablesTest, FieldsComeFromTheRecordTheCallerNames) {
    readRecord("DataPoint.system/Users/ANNA.user");
    const Record anna = record;
    const Record empty;
    // What was read last is not what a text with a record of its own shows.
    ASSERT_TRUE(record.setValue("NAME", "Someone else"));
    ASSERT_TRUE(record.setValue("FORM_GUI_TASKS", "TRUE"));
    const struct {
        const char* text;
        const Record* record; // none: the expansion without a record
        bool blank;
        const char* expected;
        const char* why;
    } rows[] = {
        {"Name: $DATA.NAME.DATA$", &anna, false, "Name: Anna", "the record given, not the one read last"},
        {"Name: $DATA.NAME.DATA$", &empty, false, "Name: ", "a record without that field"},
        {"Name: $DATA.NAME.DATA$", nullptr, false, "Name: ", "no record at all"},
        {"Name: $DATA.NAME.DATA$", nullptr, true, "", "without a record a line that needs a field is dropped"},
        {"[$DATABOOLEAN.FORM_GUI_TASKS.DATABOOLEAN$]", nullptr, false, "[ ]", "no record, no tick"},
        {"[$DATATYPE.PASSWORD.DATATYPE$]", nullptr, false, "[]", "no record, no note"},
        {"[$LOGONNAME$]", nullptr, true, "[ANNA]", "values of the session need no record"},
    };
    for (const auto& row : rows) {
        const std::string expanded = row.record ? session->variables.expand(row.text, *row.record, row.blank)
                                                : session->variables.expand(row.text, row.blank);
        EXPECT_EQ(expanded, row.expected) << row.why;
    }
}

TEST_F(TextVariablesTest, BooleanFieldsGiveCheckedOrABlank) {
    readRecord("DataPoint.system/Users/ANNA.user");
    const struct {
        const char* value;
        const char* expected;
    } rows[] = {{"TRUE", "CHECKED"}, {"true", "CHECKED"}, {"True", "CHECKED"}, {"FALSE", " "}, {"1", " "}, {"", " "}};
    for (const auto& row : rows) {
        ASSERT_TRUE(record.setValue("FORM_GUI_TASKS", row.value));
        EXPECT_EQ(expand("$DATABOOLEAN.FORM_GUI_TASKS.DATABOOLEAN$"), row.expected) << row.value;
    }
}

TEST_F(TextVariablesTest, AttachmentImagesFollowTheStoredFilesExtension) {
    const std::string folder = dataPoint + "/DataPoint.root/Contracts";
    session->actual.mainPath = folder;
    writeBytes(folder + "/Attachments.systemfiles/scan.pdf", "%PDF");
    writeBytes(folder + "/Attachments.systemfiles/data.unknownext", "");
    Record attachments;
    const std::size_t type = session->tables.objectTypeOf("x.attachments");
    for (std::size_t i = 0; i < session->tables.objectTypes[type].propertyNames.size(); ++i)
        ASSERT_TRUE(addProperty(session->tables, type, i, attachments));
    record = attachments;
    record.setValue("ATTACHMENTFILE1", "scan.pdf");
    record.setValue("ATTACHMENTFILE2", "missing.pdf");
    record.setValue("ATTACHMENTFILE3", "data.unknownext");
    record.setValue("ATTACHMENTFILE4", "../Contracts/Attachments.systemfiles/scan.pdf");

    const std::string attachmentImage = expand("$IMAGE.ATTACHMENT.IMAGE$");
    EXPECT_EQ(expand("$IMAGE.ATTACHMENT.IMAGE$+01"), resources() + "GUI/MainTreeView/PDF.BMP");
    EXPECT_EQ(expand("$IMAGE.ATTACHMENT.IMAGE$+02"), attachmentImage) << "the file is missing";
    EXPECT_EQ(expand("$IMAGE.ATTACHMENT.IMAGE$+03"), attachmentImage) << "no image for that extension";
    EXPECT_EQ(expand("$IMAGE.ATTACHMENT.IMAGE$+04"), attachmentImage) << "a stored name must be a plain name";
    EXPECT_EQ(session->variables.expand("$IMAGE.ATTACHMENT.IMAGE$+01", false), attachmentImage)
        << "without a record there is no stored name";
    EXPECT_EQ(expand("<img src=\"$IMAGE.ATTACHMENT.IMAGE$+01\"> <img src=\"$IMAGE.ATTACHMENT.IMAGE$+02\">"),
              "<img src=\"" + resources() + "GUI/MainTreeView/PDF.BMP\"> <img src=\"" + attachmentImage + "\">");
}

TEST_F(TextVariablesTest, PagesEscapeValuesFromDataButNotLanguageTexts) {
    readRecord("DataPoint.system/Users/ANNA.user");
    record.setValue("NAME", "<script>alert('x')</script> & co");
    session->program.fullName = "Ann \"<b>\"";
    EXPECT_EQ(expand("<td>$DATA.NAME.DATA$</td>", false, ExpansionMode::Page),
              "<td>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; co</td>");
    EXPECT_EQ(expand("$FULLNAME$", false, ExpansionMode::Page), "Ann &quot;&lt;b&gt;&quot;");
    EXPECT_EQ(expand("$DATA.NAME.DATA$"), "<script>alert('x')</script> & co") << "plain texts stay as they are";
    EXPECT_EQ(expand("$VARIABLE.ALL.VARIABLE$", false, ExpansionMode::Page), "All users");
}

TEST_F(TextVariablesTest, CollapseReplacesDataPointUserAndNameInAnyCase) {
    std::string upperDataPoint = dataPoint;
    for (char& c : upperDataPoint)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(session->variables.collapse(upperDataPoint + "/DataPoint.users/anna/Notes"),
              "$DATA_POINT_PATH$\\DataPoint.users/$LOGONNAME$/Notes");
    session->program.fullName = "Jan Kos";
    EXPECT_EQ(session->variables.collapse("by JAN KOS"), "by $FULLNAME$");
    session->program.fullName = "Anna Novak";
    EXPECT_EQ(session->variables.collapse("by ANNA NOVAK and anna"), "by $LOGONNAME$ NOVAK and $LOGONNAME$")
        << "the logon name step runs first and takes the first ANNA, inside the full name";
    // Expanding a collapsed path gives the path back.
    const std::string path = dataPoint + "/DataPoint.users/ANNA/Notes";
    EXPECT_EQ(path::normalize(expand(session->variables.collapse(path))), path);
}

// Texts that contain their own markers: expansion and collapse must end,
// with the value inserted once.
class TextVariableCyclesTest : public TextVariablesTest {
protected:
    void useLanguageFile(const std::string& name, const std::string& content) {
        const std::string language = dir / "Language";
        if (!std::filesystem::exists(language))
            std::filesystem::copy(test::resourcesDir() + "/Language", language,
                                  std::filesystem::copy_options::recursive);
        writeBytes(language + "/" + name, content);
        session->program.languageDirectory = language;
        session->texts = LanguageTexts(language);
        session->texts.setExpander([this](const std::string& t) { return session->variables.expandLanguageText(t); });
    }
};

TEST_F(TextVariableCyclesTest, ValuesHoldingTheirOwnMarkers) {
    useLanguageFile("Values.ini", "[VALUES]\r\nVALUE_YES=VALUE_YES!\r\nVALUE_NO=VALUE_YES or VALUE_NO\r\n");
    EXPECT_EQ(expand("VALUE_YES"), "VALUE_YES!");
    EXPECT_EQ(expand("VALUE_NO"), "VALUE_YES! or VALUE_NO");

    session->program.fullName = "Eve $FULLNAME$ %20";
    EXPECT_EQ(expand("[$FULLNAME$]"), "[Eve $FULLNAME$  ]");

    readRecord("DataPoint.system/Users/ANNA.user");
    record.setValue("NAME", "$DATA.NAME.DATA$+$DATA.NOTE.DATA$");
    EXPECT_EQ(expand("$DATA.NAME.DATA$").substr(0, 16), "$DATA.NAME.DATA$");
}

TEST_F(TextVariableCyclesTest, ValuesThatMultiplyStopAtTheBudget) {
    // Each field holds the next one thirty times: fully expanded, NAME would
    // be 30^4 copies. The work stops early and the variable stays.
    readRecord("DataPoint.system/Users/ANNA.user");
    const char* chain[] = {"NAME", "SURNAME", "EMAIL", "WEB", "PHONE"};
    for (int i = 0; i < 4; ++i) {
        std::string value;
        for (int k = 0; k < 30; ++k)
            value += std::string("$DATA.") + chain[i + 1] + ".DATA$";
        record.setValue(chain[i], value);
    }
    record.setValue("PHONE", "x");
    EXPECT_EQ(expand("N: $DATA.NAME.DATA$"), "N: $DATA.NAME.DATA$");
    EXPECT_EQ(expand("W: $DATA.WEB.DATA$"), "W: " + std::string(30, 'x')) << "a small multiple is fine";
}

TEST_F(TextVariableCyclesTest, LanguageTextsShowTheRecordOfTheTextTheyAreIn) {
    useLanguageFile("SystemVariables.ini",
                    "[SYSTEMVARIABLES]\r\n$VARIABLE.WHO=$DATA.NAME.DATA$ $DATA.SURNAME.DATA$\r\n");
    readRecord("DataPoint.system/Users/ANNA.user");
    const Record anna = record;
    ASSERT_TRUE(record.setValue("NAME", "Someone else"));
    EXPECT_EQ(session->variables.expand("[$VARIABLE.WHO.VARIABLE$]", anna, false), "[Anna Novak]");
    EXPECT_EQ(session->variables.expand("[$VARIABLE.WHO.VARIABLE$]", false), "[]")
        << "a text without a record gives its language texts none";
    EXPECT_EQ(session->texts.lookup("SYSTEMVARIABLES", "$VARIABLE.WHO", "SystemVariables"), "")
        << "a lookup outside any expansion does not pick up the record read last";
    EXPECT_EQ(session->variables.expand("[$VARIABLE.WHO.VARIABLE$]", anna, false), "[Anna Novak]")
        << "and leaves nothing behind for the next one";
}

TEST_F(TextVariableCyclesTest, TextsReferringToEachOther) {
    useLanguageFile(
        "SystemVariables.ini",
        "[SYSTEMVARIABLES]\r\n$VARIABLE.A=a($VARIABLE.B.VARIABLE$)\r\n$VARIABLE.B=b($VARIABLE.A.VARIABLE$)\r\n");
    EXPECT_EQ(expand("$VARIABLE.A.VARIABLE$"), "a(b($VARIABLE.A.VARIABLE$))")
        << "the variable met inside its own value stays as written";
}

TEST_F(TextVariableCyclesTest, CollapseWhenNamesHideInTheMarkers) {
    session->program.logonName = "DATA";
    session->program.fullName = "$LOGONNAME$";
    EXPECT_EQ(session->variables.collapse(dataPoint + "/x DATA $LOGONNAME$"),
              "$DATA_POINT_PATH$\\x $LOGONNAME$ $FULLNAME$");
    session->program.logonName = "a";
    session->program.fullName = "A";
    EXPECT_EQ(session->variables.collapse("aA"), "$LOGONNAME$$FULLNAME$") << "one replacement per step and pass";
}

TEST_F(TextVariablesTest, InformationValuesFromDataPointInfoAndTheSchedule) {
    writeBytes(dataPoint + "/DataPoint.info",
               "[DATAPOINT]\r\nCREATOR=Jan\r\nMAIL=jan@example.com\r\nROOT=$DATA_POINT_PATH$\\DataPoint.root\r\n");
    EXPECT_EQ(informationValue(*session, "datapoint_creator_name"), "Jan");
    EXPECT_EQ(informationValue(*session, "DATAPOINT_CREATOR_ROOT"), dataPoint + "\\DataPoint.root");
    EXPECT_EQ(informationValue(*session, "DATAPOINT_CREATOR_PHONE"), "PARROR: DATAPOINT - PHONE");
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_ALL"), "0");

    ScheduleEntry incoming;
    incoming.documentPath = session->context.userTasksDirectory + "/Task.note";
    incoming.eventTime = {2026, 12, 9, 10, 0, 0, 0};
    incoming.reminderTime = {2026, 12, 9, 9, 45, 0, 0};
    incoming.due = true;
    ScheduleEntry closed;
    closed.documentPath = session->context.userTasksDirectory + "BELLE/Other.note"; // Tasks/ANNABELLE
    // As the scheduler finds it when it takes the entries in.
    for (ScheduleEntry* entry : {&incoming, &closed})
        entry->incoming = isIncomingTask(*entry, session->context.userTasksDirectory);
    session->schedule.put(incoming);
    session->schedule.put(closed);
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_ALL"), "2");
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_NEW"), "1");
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_OPEN"), "1");
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_CLOSE"), "1");
    EXPECT_EQ(informationValue(*session, "SCHEDULER_COUNT_ACTUAL"), "1");
    EXPECT_EQ(informationValue(*session, "SYSTEM_DATE"), "8.12.2026");
    EXPECT_EQ(informationValue(*session, "nothing"), "");
}

TEST_F(TextVariablesTest, FormHelpOpensThePageOfTheForm) {
    openFormHelp(*session, "EDITFORM_HELPBUTTON");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], session->program.helpDirectory + "/FORMS/EDITFORM_HELPBUTTON.htm");
}

} // namespace
} // namespace quill
