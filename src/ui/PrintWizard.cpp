#include "PrintWizard.h"

#include "FailureMessage.h"
#include "QtText.h"

#include "navigation/PrintFile.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/EventLog.h"
#include "session/Session.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace quill::ui {

namespace {

constexpr int kSteps = 4;
constexpr int kPrintedEvent = 71;
constexpr int kDocumentPrintedEvent = 70;

} // namespace

PrintWizard::PrintWizard(Session& session, QWidget* parent)
    : WizardFrame(session, "Wizzard_Printing", "WIZZARD_PRINTING", parent), list_(new QListWidget(this)),
      progress_(new QProgressBar(this)), pdf_(new QPushButton(this)) {
    setObjectName("TWizzard_Print");
    choosePdfFile_ = [](QWidget* owner, const QString& title) {
        return QFileDialog::getSaveFileName(owner, title, QStringLiteral("print.pdf"), QStringLiteral("PDF (*.pdf)"));
    };
    choosePrinter_ = [](QWidget* owner) -> std::optional<PrintTarget> {
        QPrinter printer;
        QPrintDialog dialog(&printer, owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        // "Print to file" in the dialog: the PDF itself is what is wanted.
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            return PrintTarget{{}, printer.outputFileName()};
        return PrintTarget{printer.printerName(), {}};
    };
    addPage("STEP_1", kWizardTextLines);
    list_->setObjectName("Documents");
    addPage("STEP_2", {"TEXT"})->addWidget(list_, 1);
    progress_->setRange(0, 100);
    addPage("STEP_3", {"TEXT", "TEXT2"})->addWidget(progress_);
    addPage("STEP_4", kWizardTextLines);
    finishPages();
    pdf_->setText(text(section_, "BUTTON_PDF"));
    pdf_->setObjectName("SaveAsPdf");
    addLeadingButton(pdf_);
    connect(pdf_, &QPushButton::clicked, this, [this] { saveAsPdf(); });
    // Enter goes on to the next step, wherever the focus is.
    nextButton()->setDefault(true);
    resize(520, 420);
}

void PrintWizard::run(const std::string& folder) {
    folder_ = folder;
    printEvent_ = kPrintedEvent;
    goToStep(1);
    exec();
}

void PrintWizard::goToStep(int wanted) {
    showStep(wanted);
    const bool last = step() == kSteps;
    // Once the print file is made there is no way back: print, save or cancel.
    backButton()->setEnabled(step() > 1 && !last);
    cancelButton()->setEnabled(true);
    pdf_->setVisible(last);
    nextButton()->setEnabled(step() != 2 || !paths_.empty());
}

void PrintWizard::next() {
    switch (step()) {
    case 1:
        fillList();
        goToStep(2);
        if (paths_.empty())
            backButton()->setEnabled(false);
        return;
    case 2: {
        bool ticked = false;
        for (int row = 0; row < list_->count(); ++row)
            ticked |= list_->item(row)->checkState() == Qt::Checked;
        if (!ticked) {
            session_.warn(MessageKind::Warning, "WIZZARD_PRINTING", 1);
            return;
        }
        prepare();
        return;
    }
    case kSteps: whenLoaded([this] { printLoaded(printEvent_); }); return;
    default: return;
    }
}

void PrintWizard::fillList() {
    list_->clear();
    paths_.clear();
    list_->setEnabled(true);
    for (const PrintableDocument& document : printableDocuments(session_, folder_)) {
        auto* item = new QListWidgetItem(toQt(document.caption), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        paths_.push_back(document.path);
    }
    if (paths_.empty()) {
        new QListWidgetItem(text(section_, "NONE_LINE"), list_);
        list_->setEnabled(false);
    }
}

void PrintWizard::prepare() {
    goToStep(3);
    for (QPushButton* button : {backButton(), nextButton(), cancelButton()})
        button->setEnabled(false);
    progress_->setValue(0);
    repaint();
    std::vector<std::string> ticked;
    for (int row = 0; row < list_->count() && row < static_cast<int>(paths_.size()); ++row) {
        if (list_->item(row)->checkState() == Qt::Checked)
            ticked.push_back(paths_[row]);
    }
    title_ = printTitle(session_, ticked);
    const Result<std::string> prepared = preparePrintFile(session_, ticked, [this](int percent) {
        progress_->setValue(percent);
        progress_->repaint();
    });
    if (!prepared) {
        reportFailure(session_, prepared);
        goToStep(2);
        return;
    }
    printFile_ = prepared.value();
    goToStep(4);
}

void PrintWizard::whenLoaded(const std::function<void()>& what) {
    if (!view_)
        view_ = new QWebEngineView(this);
    view_->hide();
    view_->disconnect(this);
    connect(
        view_, &QWebEngineView::loadFinished, this, [what](bool) { what(); }, Qt::SingleShotConnection);
    view_->setUrl(QUrl::fromLocalFile(toQt(printFile_)));
}

void PrintWizard::printLoaded(int event) {
    const std::optional<PrintTarget> target = choosePrinter_(this);
    if (!target)
        return;
    // The printer gets the program's own PDF, text and all, not pictures
    // of the pages: a small job that prints sharp.
    const bool toFile = !target->pdfFile.isEmpty();
    const QString pdf = toFile ? target->pdfFile : toQt(path::join(path::directory(printFile_), "print.pdf"));
    writePdf(pdf, [this, event, toFile, pdf, printer = target->printer](bool written) {
        if (!written) {
            session_.ui.showMessage(MessageKind::Error, fromQt(text(section_, "PRINT_FAILED")));
            return;
        }
        if (!toFile && !session_.shell.printFile(fromQt(pdf), fromQt(printer), title_)) {
            session_.warn(MessageKind::Error, "GUI_FORM", 7);
            return;
        }
        ignoreOutcome(logEvent(session_, event));
        accept();
    });
}

void PrintWizard::writePdf(const QString& file, std::function<void(bool written)> done) {
    auto* progress = new QProgressDialog(text(section_, "PRINT_MAKING"), QString(), 0, 0, this);
    progress->setObjectName("MakingPrintJob");
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setValue(0);
    connect(
        view_, &QWebEngineView::pdfPrintingFinished, this,
        [progress, done = std::move(done)](const QString&, bool success) {
            progress->deleteLater();
            done(success);
        },
        Qt::SingleShotConnection);
    view_->printToPdf(file);
}

void PrintWizard::saveAsPdf() {
    const QString file = choosePdfFile_(this, pdf_->text());
    if (file.isEmpty())
        return;
    whenLoaded([this, file] {
        writePdf(file, [this, file](bool success) {
            const QString said = text(section_, success ? "PDF_SAVED" : "PRINT_FAILED");
            session_.ui.showMessage(success ? MessageKind::Information : MessageKind::Error,
                                    fromQt(said + (success ? " " + file : QString())));
            if (!success)
                return;
            ignoreOutcome(logEvent(session_, printEvent_));
            accept();
        });
    });
}

void PrintWizard::printDocument(const std::string& document) {
    title_ = printTitle(session_, {document});
    const Result<std::string> prepared = preparePrintFile(session_, {document});
    if (!prepared) {
        reportFailure(session_, prepared);
        return;
    }
    printFile_ = prepared.value();
    // Straight to the last step: print, or save as PDF.
    printEvent_ = kDocumentPrintedEvent;
    goToStep(kSteps);
    exec();
}

} // namespace quill::ui
