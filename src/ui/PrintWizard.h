#pragma once

#include "WizardFrame.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QProgressBar;
class QPushButton;
class QWebEngineView;

namespace quill::ui {

// Prints documents of a folder in one go: the user ticks them, their pages
// are joined into one print file, which is printed through the print
// dialog or saved as PDF, each document on a sheet of its own.
class PrintWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit PrintWizard(Session& session, QWidget* parent = nullptr);

    void run(const std::string& folder);

    // Asks where to save the PDF; empty when cancelled. Qt's file dialog
    // unless set otherwise.
    using FileChooser = std::function<QString(QWidget* parent, const QString& title)>;
    void setPdfFileChooser(FileChooser chooser) { choosePdfFile_ = std::move(chooser); }

    // Where the print goes, as the print dialog asks: a printer by name, or
    // a PDF file when the user prints to a file. Nothing when cancelled.
    struct PrintTarget {
        QString printer;
        QString pdfFile;
    };
    using PrinterChooser = std::function<std::optional<PrintTarget>(QWidget* parent)>;
    void setPrinterChooser(PrinterChooser chooser) { choosePrinter_ = std::move(chooser); }

    // Prints one document's page the same way, without the wizard's steps.
    void printDocument(const std::string& document);

    QListWidget* documentList() const { return list_; }
    QProgressBar* progressBar() const { return progress_; }
    QPushButton* pdfButton() const { return pdf_; }
    const std::string& printFile() const { return printFile_; }

private:
    // Shows a step with the buttons it allows.
    void goToStep(int wanted);
    void next() override;
    void prepare();
    void fillList();
    // Loads the print file and runs what once it is shown.
    void whenLoaded(const std::function<void()>& what);
    void printLoaded(int logEvent);
    // Writes the loaded print file as a PDF, with a progress window while
    // the web engine makes it; done learns whether it was written.
    void writePdf(const QString& file, std::function<void(bool written)> done);
    void saveAsPdf();

    std::string folder_;
    std::vector<std::string> paths_;
    std::string printFile_;
    int printEvent_ = 0; // logged once printed: the wizard's, or one document's
    QListWidget* list_;
    QProgressBar* progress_;
    QPushButton* pdf_;
    FileChooser choosePdfFile_;
    PrinterChooser choosePrinter_;
    std::string title_;              // the print job's name
    QWebEngineView* view_ = nullptr; // never shown: it lays the print file out for printing
};

} // namespace quill::ui
