// quill: the desktop program. Starts, asks for a logon and runs the main
// window until it closes. Every way of ending without a logon ends with a
// non-zero status.

#include "ui/DataPointWizard.h"
#include "ui/LoginForm.h"
#include "ui/MainWindow.h"
#include "ui/PagePane.h"
#include "ui/PdfExport.h"
#include "ui/ProgramIcon.h"
#include "ui/QtClock.h"
#include "ui/QtLanguage.h"
#include "ui/QtShell.h"
#include "ui/QtText.h"
#include "ui/QtUi.h"

#include "buildinfo/BuildInfo.h"
#include "formats/RegistryStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Logon.h"
#include "session/ProgramStart.h"
#include "session/Session.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>
#include <unistd.h>

namespace {

enum ExitStatus { kLoggedOff = 0, kNoLogon = 1, kEnded = 2, kNoLanguage = 3, kBadArguments = 4, kNoPdf = 5 };

constexpr const char* kUsage = "usage: quill [--datapoint DIR | DIR] [Qt options]\n"
                               "       quill --print-pdf PAGE PDF [--print-limit SECONDS]\n"
                               "       quill --help | --version\n\n"
                               "Quill! shares documents, comments, attachments and tasks through a data\n"
                               "point: a directory tree on a network share that the workgroup uses.\n\n"
                               "  --datapoint DIR, DIR\n"
                               "                   start on the data point in DIR (it joins the list of\n"
                               "                   data points the logon view offers)\n"
                               "  --print-pdf PAGE PDF\n"
                               "                   write the page file PAGE (a print file) as PDF and end,\n"
                               "                   without a window; quill-cli print-file --pdf uses it\n"
                               "  --print-limit SECONDS\n"
                               "                   give the PDF up when the page is not done within\n"
                               "                   SECONDS (120)\n"
                               "  --help           show this help and end\n"
                               "  --version        show the version and end\n\n"
                               "Qt's own options (-platform, -style, ...) work as in every Qt program.\n"
                               "See also quill-cli(1).\n";

// What the program's own options ask for; Qt takes the rest.
struct Options {
    bool help = false;
    bool version = false;
    std::string dataPoint;
    bool printPdf = false; // --print-pdf PAGE PDF
    std::string printPage, pdfFile;
    std::chrono::seconds printLimit = quill::ui::kPdfExportLimit;
    // Arguments that are no option, such as the data point directory the
    // desktop hands over. Only meaningful once Qt has taken its own options
    // (and their values, as in -platform xcb) out of the command line.
    std::vector<std::string> operands;
    std::string error;
};

// Read before the application object exists, so that --help and --version
// work without a display.
Options readOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument == "--version")
            options.version = true;
        else if (argument == "--datapoint") {
            if (i + 1 >= argc)
                options.error = "--datapoint needs a directory";
            else
                options.dataPoint = argv[++i];
        } else if (argument == "--print-pdf") {
            if (i + 2 >= argc)
                options.error = "--print-pdf needs a page file and a PDF file";
            else {
                options.printPdf = true;
                options.printPage = argv[++i];
                options.pdfFile = argv[++i];
            }
        } else if (argument == "--print-limit") {
            const auto seconds = i + 1 < argc ? quill::text::parseInteger(argv[i + 1]) : std::nullopt;
            if (!seconds || *seconds <= 0)
                options.error = "--print-limit needs a number of seconds";
            else {
                options.printLimit = std::chrono::seconds(*seconds);
                ++i;
            }
        } else if (argument.rfind("--datapoint=", 0) == 0)
            options.dataPoint = argument.substr(std::strlen("--datapoint="));
        else if (!argument.empty() && argument[0] != '-')
            options.operands.push_back(argument);
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = readOptions(argc, argv);
    if (options.help || options.version || !options.error.empty()) {
        if (!options.error.empty())
            std::fprintf(stderr, "quill: %s\n%s", options.error.c_str(), kUsage);
        else if (options.help)
            std::fputs(kUsage, stdout);
        else
            std::printf("quill (Quill!) %s\n", std::string(quill::build::kVersion).c_str());
        return options.error.empty() ? kLoggedOff : kBadArguments;
    }
    // Chromium will not start its sandbox for root; the pages it shows are
    // the program's own, so running without it as root is acceptable.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Writing a PDF needs no display, and its caller wants to hear only of
    // failures, not of the web engine's set-up.
    if (options.printPdf) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
            qputenv("QT_LOGGING_RULES", "qt.webenginecontext=false");
    }
    // The web engine shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The page pane's address schemes exist only when registered before
    // the application object.
    quill::ui::PagePane::registerSchemes();
    QApplication app(argc, argv);
    if (options.printPdf) {
        const quill::Status written = quill::ui::exportPageToPdf(
            QString::fromLocal8Bit(options.printPage), QString::fromLocal8Bit(options.pdfFile), options.printLimit);
        if (!written)
            std::fprintf(stderr, "quill: %s could not be written as PDF to %s: %s\n", options.printPage.c_str(),
                         options.pdfFile.c_str(), written.message().c_str());
        return written ? kLoggedOff : kNoPdf;
    }
    // Qt has taken its own options out of the command line by now; what is
    // left that is no option is the data point directory.
    std::string dataPoint = options.dataPoint;
    const std::vector<std::string> operands = readOptions(argc, argv).operands;
    if (operands.size() > (dataPoint.empty() ? 1u : 0u)) {
        std::fprintf(stderr, "quill: one data point directory only, not also %s\n%s", operands.back().c_str(), kUsage);
        return kBadArguments;
    }
    if (dataPoint.empty() && !operands.empty())
        dataPoint = operands.front();

    // No display name: the desktop would append it to every window title,
    // and the titles from the language files already name the program.
    QApplication::setApplicationName(QStringLiteral("Quill!"));
    QApplication::setWindowIcon(quill::ui::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("quill"));

    const std::string programDirectory = quill::ui::fromQt(QApplication::applicationDirPath());
    quill::ProgramValues program = quill::ProgramValues::forProgram(programDirectory);
    quill::RegistryStore registry(quill::RegistryStore::defaultPath());
    if (quill::initialiseProgram(program, registry) == quill::ProgramStart::NoLanguageDirectory) {
        // Also on standard error: without a display the box is never seen.
        std::fprintf(stderr, "quill: %s\n", std::string(quill::kNoLanguageDirectoryMessage).c_str());
        QApplication::beep();
        QMessageBox::information(nullptr, QStringLiteral("Quill!"),
                                 quill::ui::toQt(quill::kNoLanguageDirectoryMessage));
        return kNoLanguage;
    }
    if (quill::fs::exists(quill::path::join(program.programDirectory, "firststart")))
        program.logonName = "ADMINISTRATOR";

    quill::ui::QtClock clock;
    quill::ui::QtUi ui;
    quill::ui::QtShell shell;
    quill::Session session(std::move(program), clock, ui, shell);
    // Qt's own buttons and dialogs speak the language of the language files;
    // without Qt's translations for it they stay English.
    if (!quill::ui::useLanguage(session.texts.languageCode()))
        std::fprintf(stderr, "quill: Qt has no translation for language %s here (qt6-translations-l10n)\n",
                     session.texts.languageCode().c_str());
    if (!dataPoint.empty()) {
        const std::string wanted = quill::ui::fromQt(QDir(quill::ui::toQt(dataPoint)).absolutePath());
        if (quill::chooseDataPoint(session.program, wanted) == quill::DataPointChoice::NotADataPoint) {
            // Also on standard error, for a start from a terminal or a script.
            std::fprintf(stderr, "quill: %s is no data point: it holds no DataPoint.info\n", dataPoint.c_str());
            session.warn(quill::MessageKind::Warning, "LOGIN", 2, wanted);
            return kBadArguments;
        }
    }
    session.formats = quill::machineDateTimeFormats(registry);
    // A helper of the desktop that fails says so when it ends.
    shell.warnThrough(session);
    ui.setStartupCaptions([&session](int step) {
        return quill::ui::toQt(session.texts.lookup("STARTUPSCREEN", "SCREEN_" + std::to_string(step), "Log"));
    });

    // A first start sets up a data point before anybody logs on; cancelled,
    // it comes again at the next start.
    if (quill::fs::exists(quill::path::join(session.program.programDirectory, "firststart")))
        quill::ui::CreateDataPointWizard(session).run();

    auto window = std::make_unique<quill::ui::MainWindow>(session);
    int result = QDialog::Rejected;
    {
        quill::ui::LoginForm login(session, registry);
        result = login.exec();
    }
    ui.closeStartup();
    if (result != QDialog::Accepted || !session.program.loggedOn)
        return result == quill::ui::LoginForm::kEndProgram ? kEnded : kNoLogon;

    // Help the desktop cannot open is shown in the window's own page pane.
    shell.showPageInstead = [&window](const std::string& page) { window->showHelpPage(page); };
    window->prepareForUser();
    window->show();
    return app.exec() == 0 ? kLoggedOff : kEnded;
}
