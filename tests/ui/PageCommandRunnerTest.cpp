// Links of a shown page that act on a document's attached files, clicked
// as a user does: what reaches the desktop, the question asked before
// printing, and the warning a refused link ends with.
#include "ViewTestSupport.h"

#include "ui/PageCommandRunner.h"
#include "ui/PagePane.h"

#include "platform/Paths.h"

#include <QSignalSpy>

namespace quill::ui {

using namespace quill::ui::test;

namespace {

// One link a row, each 40 pixels high, green so that the test sees when
// the page is painted.
std::string linksPage(const std::vector<std::string>& addresses) {
    std::string links;
    for (std::size_t i = 0; i < addresses.size(); ++i)
        links += "<a style=\"position: absolute; display: block; left: 20px; width: 300px; height: 40px; top: " +
                 std::to_string(20 + 60 * i) + "px; background: #008000\" href=\"" + addresses[i] + "\"></a>\n";
    return "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1250\"><title>links</title></head>"
           "<body style=\"margin: 0\">\n" +
           links + "</body></html>\n";
}

QPoint link(int row) {
    return {170, 40 + 60 * row};
}

} // namespace

class PageCommandRunnerTest : public QObject {
    Q_OBJECT

private slots:
    void attachmentLinksMailPrintOrWarn() {
        SessionFixture f;
        QVERIFY(f.open());
        const std::string document = f.dir / "Contracts/Offer.record";
        const std::string attachment = f.dir / "Contracts/Attachments.systemfiles/a1.pdf";
        writeBytes(attachment, "price list");
        const std::string page = f.dir / "links.htm";
        writeBytes(page, linksPage({"COMMAND:ATTACHMENT:SEND_MAIL_ATTACHMENT:a1.pdf;Price list",
                                    "COMMAND:ATTACHMENT:PRINT_ATTACHMENT:a1.pdf;Price list",
                                    "COMMAND:ATTACHMENT:SEND_MAIL_ATTACHMENT:gone.pdf;Price list"}));

        PagePane pane;
        pane.resize(640, 480);
        PageCommandRunner runner(*f.session, &pane);
        int handled = 0;
        pane.setCommandHandler([&](const QByteArray& address, const QByteArray& body) {
            runner.run(address, body, document, Record());
            ++handled;
        });
        QVERIFY(showPage(pane, QString::fromStdString(page), link(2), QColor(0, 128, 0)));

        const std::string staged =
            path::join(path::join(f.session->temporaryDirectory(), "Attachments"), "Price list.pdf");
        using Pairs = std::vector<std::pair<std::string, std::string>>;
        const struct {
            const char* why;
            int link;
            std::string printer; // the desktop's default printer
            QString answer;      // to the question before printing
            Pairs mailed;
            Pairs printed;
            const char* warning; // the start of the warning shown, if any
        } rows[] = {
            {"mailed as a copy under its display name", 0, "office", {}, {{"Price list.pdf", staged}}, {}, nullptr},
            {"printing asked about and declined", 1, "office", "No", {}, {}, nullptr},
            {"printed on the default printer", 1, "office", "Yes", {}, {{attachment, "office"}}, nullptr},
            {"no printer to print on", 1, "", {}, {}, {}, "Nothing can be printed"},
            {"an attachment that is not there", 2, "office", {}, {}, {}, "The attached file cannot be found"},
        };
        for (const auto& row : rows) {
            f.shell.mailed.clear();
            f.shell.printed.clear();
            f.ui.messages.clear();
            f.shell.printer = row.printer;
            std::unique_ptr<Answer> answer;
            if (!row.answer.isEmpty())
                answer = std::make_unique<Answer>(row.answer);
            const int before = handled;
            QTest::mouseClick(pane.view()->focusProxy(), Qt::LeftButton, {}, link(row.link));
            QTRY_COMPARE_WITH_TIMEOUT(handled, before + 1, kTimeout);
            QVERIFY2(f.shell.mailed == row.mailed, row.why);
            QVERIFY2(f.shell.printed == row.printed, row.why);
            if (answer)
                QVERIFY2(answer->said().contains(QStringLiteral("office")), row.why);
            QCOMPARE(f.ui.messages.size(), row.warning ? 1u : 0u);
            if (row.warning)
                QVERIFY2(f.ui.messages.front().second.starts_with(row.warning), row.why);
        }
        QCOMPARE(readBytes(staged), std::string("price list"));
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::PageCommandRunnerTest)
#include "PageCommandRunnerTest.moc"
