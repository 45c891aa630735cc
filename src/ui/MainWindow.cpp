#include "MainWindow.h"

#include "QtText.h"

#include "core/LogonContext.h"
#include "core/Session.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace quill::ui {

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName("TGUI_Form");
    setWindowTitle(QStringLiteral("Quill!"));
    resize(1000, 700);
}

void MainWindow::prepareForUser() {
    setWindowTitle(toQt(session_.texts.lookup("GUI_FORM", "TITLE", "GUI")));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* who = new QLabel(toQt(session_.program.fullName), central);
    QFont font = who->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    who->setFont(font);
    who->setAlignment(Qt::AlignCenter);
    auto* where = new QLabel(toQt(session_.context.dataPointPath), central);
    where->setAlignment(Qt::AlignCenter);
    layout->addStretch(1);
    layout->addWidget(who);
    layout->addWidget(where);
    layout->addStretch(2);
    setCentralWidget(central);
    // Where the user left the window last time, when the record says so.
    const WindowGeometry& g = session_.context.geometry;
    if (g.guiWidth > 0 && g.guiHeight > 0)
        setGeometry(g.guiLeft, g.guiTop, g.guiWidth, g.guiHeight);
    statusBar()->showMessage(toQt(session_.program.logonName + "@" + session_.program.computerName));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!shutDown_ && session_.program.loggedOn) {
        shutDown_ = true;
        WindowGeometry& g = session_.context.geometry;
        const QRect frame = geometry();
        g.guiLeft = frame.left();
        g.guiTop = frame.top();
        g.guiWidth = frame.width();
        g.guiHeight = frame.height();
        shutdown(session_);
    }
    event->accept();
}

} // namespace quill::ui
