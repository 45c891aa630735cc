#include "PrintWizard.h"

#include "QtText.h"
#include "ViewSupport.h"

#include "navigation/PrintFile.h"
#include "platform/Paths.h"
#include "session/EventLog.h"
#include "session/Session.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
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
    : QDialog(parent), session_(session), pages_(new QStackedWidget(this)), list_(new QListWidget(this)),
      progress_(new QProgressBar(this)) {
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
    const auto text = [&session](std::string_view section, const std::string& key) {
        return languageText(session, section, key, "Wizzard_Printing");
    };
    setWindowTitle(text("WIZZARD_PRINTING", "CAPTION"));
    // Each step: its heading in bold, then its lines.
    const std::pair<const char*, std::vector<std::string>> steps[] = {
        {"STEP_1", {"TEXT1", "TEXT2", "TEXT3", "TEXT4", "TEXT5"}},
        {"STEP_2", {"TEXT"}},
        {"STEP_3", {"TEXT", "TEXT2"}},
        {"STEP_4", {"TEXT1", "TEXT2", "TEXT3", "TEXT4", "TEXT5"}},
    };
    for (const auto& [section, keys] : steps) {
        auto* page = new QWidget(pages_);
        auto* layout = new QVBoxLayout(page);
        auto* heading = new QLabel(text(section, "MAIN"), page);
        QFont bold = heading->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        heading->setFont(bold);
        layout->addWidget(heading);
        for (const std::string& key : keys) {
            const QString line = text(section, key);
            if (line.isEmpty())
                continue;
            auto* label = new QLabel(line, page);
            label->setWordWrap(true);
            layout->addWidget(label);
        }
        if (std::string_view(section) == "STEP_2")
            layout->addWidget(list_, 1);
        else if (std::string_view(section) == "STEP_3")
            layout->addWidget(progress_);
        layout->addStretch();
        pages_->addWidget(page);
    }
    list_->setObjectName("Documents");
    progress_->setRange(0, 100);
    back_ = new QPushButton(text("WIZZARD_PRINTING", "BUTTON_BACK"), this);
    back_->setObjectName("Back");
    next_ = new QPushButton(text("WIZZARD_PRINTING", "BUTTON_NEXT"), this);
    next_->setObjectName("Next");
    cancel_ = new QPushButton(text("WIZZARD_PRINTING", "BUTTON_CANCEL"), this);
    cancel_->setObjectName("Cancel");
    pdf_ = new QPushButton(text("WIZZARD_PRINTING", "BUTTON_PDF"), this);
    pdf_->setObjectName("SaveAsPdf");
    for (QPushButton* button : {back_, next_, cancel_, pdf_})
        button->setAutoDefault(false);
    next_->setDefault(true);
    connect(back_, &QPushButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { next(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(pdf_, &QPushButton::clicked, this, [this] { saveAsPdf(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pdf_);
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    resize(520, 420);
}

void PrintWizard::run(const std::string& folder) {
    folder_ = folder;
    printEvent_ = kPrintedEvent;
    showStep(1);
    exec();
}

void PrintWizard::showStep(int step) {
    step_ = std::clamp(step, 1, kSteps);
    pages_->setCurrentIndex(step_ - 1);
    const bool last = step_ == kSteps;
    back_->setEnabled(step_ > 1 && !last);
    cancel_->setEnabled(true);
    pdf_->setVisible(last);
    next_->setText(
        languageText(session_, "WIZZARD_PRINTING", last ? "BUTTON_FINISH" : "BUTTON_NEXT", "Wizzard_Printing"));
    next_->setEnabled(step_ != 2 || !paths_.empty());
}

void PrintWizard::next() {
    switch (step_) {
    case 1:
        fillList();
        showStep(2);
        if (paths_.empty())
            back_->setEnabled(false);
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
        new QListWidgetItem(languageText(session_, "WIZZARD_PRINTING", "NONE_LINE", "Wizzard_Printing"), list_);
        list_->setEnabled(false);
    }
}

void PrintWizard::prepare() {
    showStep(3);
    for (QPushButton* button : {back_, next_, cancel_})
        button->setEnabled(false);
    progress_->setValue(0);
    repaint();
    std::vector<std::string> ticked;
    for (int row = 0; row < list_->count() && row < static_cast<int>(paths_.size()); ++row) {
        if (list_->item(row)->checkState() == Qt::Checked)
            ticked.push_back(paths_[row]);
    }
    title_ = printTitle(session_, ticked);
    const Status prepared = preparePrintFile(session_, ticked, printFile_, [this](int percent) {
        progress_->setValue(percent);
        progress_->repaint();
    });
    if (!prepared) {
        session_.warn(MessageKind::Error, "SYSTEM_IO", 2, prepared.message());
        showStep(2);
        return;
    }
    showStep(4);
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
            session_.ui.showMessage(MessageKind::Error, fromQt(languageText(session_, "WIZZARD_PRINTING",
                                                                            "PRINT_FAILED", "Wizzard_Printing")));
            return;
        }
        if (!toFile && !session_.shell.printFile(fromQt(pdf), fromQt(printer), title_)) {
            session_.warn(MessageKind::Error, "GUI_FORM", 7);
            return;
        }
        logEvent(session_, event).ok();
        accept();
    });
}

void PrintWizard::writePdf(const QString& file, std::function<void(bool written)> done) {
    auto* progress = new QProgressDialog(languageText(session_, "WIZZARD_PRINTING", "PRINT_MAKING", "Wizzard_Printing"),
                                         QString(), 0, 0, this);
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
            const QString said =
                languageText(session_, "WIZZARD_PRINTING", success ? "PDF_SAVED" : "PRINT_FAILED", "Wizzard_Printing");
            session_.ui.showMessage(success ? MessageKind::Information : MessageKind::Error,
                                    fromQt(said + (success ? " " + file : QString())));
            if (!success)
                return;
            logEvent(session_, printEvent_).ok();
            accept();
        });
    });
}

void PrintWizard::printDocument(const std::string& document) {
    title_ = printTitle(session_, {document});
    if (const Status prepared = preparePrintFile(session_, {document}, printFile_); !prepared) {
        session_.warn(MessageKind::Error, "SYSTEM_IO", 2, prepared.message());
        return;
    }
    // Straight to the last step: print, or save as PDF.
    printEvent_ = kDocumentPrintedEvent;
    showStep(kSteps);
    exec();
}

} // namespace quill::ui
