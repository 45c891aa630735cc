#include "ViewTestSupport.h"

#include "ui/PageAddress.h"
#include "ui/PagePane.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

using quill::ui::PagePane;
using quill::ui::test::closeTo;
using quill::ui::test::colourAt;
using quill::ui::test::kTimeout;

namespace {

struct Command {
    QByteArray address;
    QByteArray body;
};

const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);
const QColor kRed(255, 0, 0);

QByteArray page(const QByteArray& style, const QByteArray& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1250\"><title>page</title>\n<style>body { margin: 0 } "
           "a, input, textarea, select { position: absolute; display: block; border: none; margin: 0; padding: 0 }\n" +
           style + "</style></head><body>\n" + body + "\n</body></html>\n";
}

// A pane in a window of its own that records every command it hands over.
class ShownPane {
public:
    ShownPane() {
        pane.resize(640, 480);
        pane.setCommandHandler([this](const QByteArray& address, const QByteArray& body) {
            received.append({address, body});
        });
    }

    [[nodiscard]] bool open(const QString& path, QPoint probe, const QColor& colour) {
        return quill::ui::test::showPage(pane, path, probe, colour);
    }

    void click(QPoint point) { QTest::mouseClick(pane.view()->focusProxy(), Qt::LeftButton, {}, point); }

    PagePane pane;
    QList<Command> received;
};

} // namespace

class PagePaneTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void executorAddressRestoresCommandPrefixAndCodePage_data() {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("executed");
        // Chromium's form of "COMMAND:OPEN Žluťoučký kůň".
        QTest::newRow("utf-8 escapes") << QByteArray("command:OPEN%20%C5%BDlu%C5%A5ou%C4%8Dk%C3%BD%20k%C5%AF%C5%88")
                                       << QByteArray("COMMAND:OPEN \x8Elu\x9Dou\xE8k\xFD k\xF9\xF2");
        QTest::newRow("prefix in any case") << QByteArray("Command:Open") << QByteArray("COMMAND:Open");
        QTest::newRow("file address") << QByteArray("file:///data/a%20b.htm") << QByteArray("file:///data/a b.htm");
        // A cp1250 byte escaped as such is no UTF-8; it stays that byte.
        QTest::newRow("code page byte") << QByteArray("command:%8Elu") << QByteArray("COMMAND:\x8Elu");
        // What is not an escape stays as it is.
        QTest::newRow("percent at the end") << QByteArray("command:100%") << QByteArray("COMMAND:100%");
        QTest::newRow("one digit") << QByteArray("command:A%4") << QByteArray("COMMAND:A%4");
        QTest::newRow("no hex digit") << QByteArray("command:A%G1") << QByteArray("COMMAND:A%G1");
    }

    void executorAddressRestoresCommandPrefixAndCodePage() {
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, executed);
        QCOMPARE(quill::ui::executorAddress(address), executed);
    }

    void formBodyIsEncodedAsFromAWindows1250Page() {
        using quill::ui::urlEncodedFormBody;
        QCOMPARE(urlEncodedFormBody({}), QByteArray());
        QCOMPARE(urlEncodedFormBody({{"NAME", "Ann Lee"}, {"ACTIVE", "on"}, {"SAVE_DATA", "Save"}}),
                 QByteArray("NAME=Ann+Lee&ACTIVE=on&SAVE_DATA=Save"));
        // Letters of the code page as its bytes, others as references.
        QCOMPARE(urlEncodedFormBody({{QString::fromUtf8("MĚSTO"), QString::fromUtf8("Plzeň €")}}),
                 QByteArray("M%CCSTO=Plze%F2+%80"));
        QCOMPARE(urlEncodedFormBody({{"N", QString::fromUtf8("ñ😀")}}), QByteArray("N=%26%23241%3B%26%23128512%3B"));
        // Every kind of line break goes as CR LF.
        QCOMPARE(urlEncodedFormBody({{"NOTE", "a\nb\r\nc\rd"}}), QByteArray("NOTE=a%0D%0Ab%0D%0Ac%0D%0Ad"));
        QCOMPARE(urlEncodedFormBody({{"A", "x&y=z+1 ~*-._"}, {"", ""}}), QByteArray("A=x%26y%3Dz%2B1+%7E*-._&="));
    }

    void commandLinkClickReachesHandlerWithoutNavigating() {
        const QString path =
            writePage("links.htm",
                      page("#open { left: 20px; top: 20px; width: 200px; height: 40px; background: #008000 }\n"
                           "#blank { left: 20px; top: 100px; width: 200px; height: 40px; background: #0000ff }\n"
                           "#forged { left: 20px; top: 180px; width: 200px; height: 40px; background: #ff00ff }",
                           "<a id=\"open\" href=\"COMMAND:OPEN \x8Elu\x9Dou\xE8k\xFD k\xF9\xF2\"></a>\n"
                           "<a id=\"blank\" target=\"_blank\" href=\"command:NEW WINDOW\"></a>\n"
                           "<a id=\"forged\" "
                           "href=\"quillform:x/%7B%22action%22%3A%22COMMAND%3AX%22%2C%22fields%22%3A%5B%5D%7D\"></a>\n"
                           // Page scripts are off: the link stays green.
                           "<script>document.getElementById('open').style.background = '#ff0000';</script>"));
        ShownPane shown;
        QVERIFY(shown.open(path, {210, 130}, kBlue));
        QSignalSpy signalled(&shown.pane, &PagePane::commandRequested);

        // Something that looks like a submission but is only a link.
        shown.click({120, 200});
        shown.click({120, 40});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 1, kTimeout);
        QCOMPARE(shown.received[0].address, QByteArray("COMMAND:OPEN \x8Elu\x9Dou\xE8k\xFD k\xF9\xF2"));
        QCOMPARE(shown.received[0].body, QByteArray());
        QCOMPARE(signalled.size(), 1);
        QCOMPARE(signalled[0][0].toByteArray(), shown.received[0].address);

        // Every click counts, also on a link that asks for a window.
        shown.click({120, 40});
        shown.click({120, 120});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 3, kTimeout);
        QCOMPARE(shown.received[1].address, shown.received[0].address);
        QCOMPARE(shown.received[2].address, QByteArray("COMMAND:NEW WINDOW"));

        // No click went further than its command: the page is still there,
        // and a click after them all is answered by its first link again.
        shown.click({120, 40});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 4, kTimeout);
        QCOMPARE(shown.received[3].address, shown.received[0].address);
        QCOMPARE(shown.pane.view()->url(), QUrl::fromLocalFile(path));
        QVERIFY(closeTo(colourAt(shown.pane.view(), {210, 40}), kGreen));
    }

    void postedFormSendsFieldsInOrderAndThePressedButtonLast() {
        const QString path = writePage(
            "post.htm", page("#name { left: 20px; top: 20px; width: 200px; height: 30px }\n"
                             "#save { left: 20px; top: 80px; width: 120px; height: 40px; background: #0000ff }\n"
                             "#active { left: 20px; top: 140px }\n"
                             "#archived { left: 60px; top: 140px }\n"
                             "#cancel { left: 20px; top: 200px; width: 120px; height: 40px; background: #008000 }",
                             "<form method=\"post\" action=\"COMMAND:SAVE\">\n"
                             "<input id=\"name\" type=\"text\" name=\"NAME\" value=\"Ann Lee\">\n"
                             "<input id=\"save\" type=\"submit\" name=\"SAVE_DATA\" value=\"Save\">\n"
                             "<input id=\"active\" type=\"checkbox\" name=\"ACTIVE\" checked>\n"
                             "<input id=\"archived\" type=\"checkbox\" name=\"ARCHIVED\">\n"
                             "<input id=\"cancel\" type=\"submit\" name=\"CANCEL\" value=\"Cancel\">\n"
                             "</form>"));
        ShownPane shown;
        QVERIFY(shown.open(path, {25, 85}, kBlue));

        shown.click({80, 100});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 1, kTimeout);
        QCOMPARE(shown.received[0].address, QByteArray("COMMAND:SAVE"));
        QCOMPARE(shown.received[0].body, QByteArray("NAME=Ann+Lee&ACTIVE=on&SAVE_DATA=Save"));

        // The page is still there to be submitted again, by another button.
        shown.click({80, 220});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 2, kTimeout);
        QCOMPARE(shown.received[1].body, QByteArray("NAME=Ann+Lee&ACTIVE=on&CANCEL=Cancel"));

        // Neither submission left the page: it answers the first button
        // again, with the same fields.
        shown.click({80, 100});
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 3, kTimeout);
        QCOMPARE(shown.received[2].body, shown.received[0].body);
        QCOMPARE(shown.pane.view()->url(), QUrl::fromLocalFile(path));
        QVERIFY(closeTo(colourAt(shown.pane.view(), {25, 85}), kBlue));
    }

    void getFormSentWithEnterCarriesTypedTextInTheCodePage() {
        const QString path = writePage(
            "get.htm", page("#what { left: 20px; top: 20px; width: 200px; height: 30px; background: #ff00ff }\n"
                            "#note { left: 20px; top: 80px; width: 200px; height: 60px }\n"
                            "#kind { left: 20px; top: 160px }\n"
                            "#go { left: 20px; top: 200px; width: 80px; height: 30px }",
                            "<form method=\"get\" action=\"COMMAND:FIND\">\n"
                            "<input id=\"what\" type=\"text\" name=\"WHAT\">\n"
                            "<textarea id=\"note\" name=\"NOTE\">first line\nsecond</textarea>\n"
                            "<input type=\"hidden\" name=\"CITY\" value=\"Plze\xF2 &#241;\">\n"
                            "<select id=\"kind\" name=\"KIND\"><option value=\"A\">A</option>"
                            "<option value=\"B\" selected>B</option></select>\n"
                            "<input type=\"radio\" name=\"SIZE\" value=\"S\">"
                            "<input type=\"radio\" name=\"SIZE\" value=\"L\" checked>\n"
                            "<input id=\"go\" type=\"submit\" name=\"GO\" value=\"Go\">\n"
                            "</form>"));
        ShownPane shown;
        QVERIFY(shown.open(path, {210, 40}, kMagenta));

        shown.click({100, 35});
        // keyClicks takes ASCII only.
        QTest::sendKeyEvent(QTest::Click, shown.pane.view()->focusProxy(), Qt::Key_unknown, QString::fromUtf8("Č"),
                            Qt::NoModifier);
        QTest::keyClicks(shown.pane.view()->focusProxy(), QStringLiteral("aj"));
        QTest::keyClick(shown.pane.view()->focusProxy(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(shown.received.size(), 1, kTimeout);
        QCOMPARE(shown.received[0].address, QByteArray("COMMAND:FIND"));
        QCOMPARE(shown.received[0].body,
                 QByteArray("WHAT=%C8aj&NOTE=first+line%0D%0Asecond&CITY=Plze%F2+%26%23241%3B&KIND=B&SIZE=L&GO=Go"));
        QCOMPARE(shown.pane.view()->url(), QUrl::fromLocalFile(path));
    }

    void fileImagesAndLinksLoadAsInABrowser() {
        QImage red(16, 16, QImage::Format_RGB32);
        red.fill(kRed);
        QVERIFY(red.save(dir_.filePath("red.png")));
        const QString second = writePage("second.htm", page("body { background: #ff0000 }", "<p>second</p>"));
        const QString path = writePage("first.htm", page("#picture { position: absolute; left: 20px; top: 20px; "
                                                         "width: 64px; height: 64px }\n"
                                                         "#next { left: 20px; top: 120px; width: 200px; height: "
                                                         "40px; background: #008000 }",
                                                         "<img id=\"picture\" src=\"red.png\">\n"
                                                         "<a id=\"next\" href=\"second.htm\"></a>"));
        ShownPane shown;
        QVERIFY(shown.open(path, {50, 50}, kRed));
        QTRY_VERIFY_WITH_TIMEOUT(closeTo(colourAt(shown.pane.view(), {210, 150}), kGreen), kTimeout);

        shown.click({120, 140});
        QTRY_COMPARE_WITH_TIMEOUT(shown.pane.view()->url(), QUrl::fromLocalFile(second), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(closeTo(colourAt(shown.pane.view(), {300, 300}), kRed), kTimeout);
        QCOMPARE(shown.received.size(), 0);
    }

private:
    QString writePage(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QTemporaryDir dir_;
};

QUILL_VIEW_TEST_MAIN(PagePaneTest)

#include "PagePaneTest.moc"
