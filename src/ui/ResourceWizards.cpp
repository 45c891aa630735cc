#include "ResourceWizards.h"

#include "FailureMessage.h"
#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "navigation/ResourceImages.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/Session.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quill::ui {
namespace {

constexpr int kImageSize = 16;

QLineEdit* newField(QWidget* owner, const char* name) {
    auto* box = new QLineEdit(owner);
    box->setObjectName(name);
    return box;
}

QPushButton* newButton(QWidget* owner, const QString& text) {
    auto* button = new QPushButton(text, owner);
    button->setAutoDefault(false);
    return button;
}

} // namespace

AddResourcesWizard::AddResourcesWizard(Session& session, QWidget* parent)
    : WizardFrame(session, "Wizzard_AddResources", "WIZZARD_ADDRESOURCES", parent), source_(newField(this, "Source")),
      name_(newField(this, "ImageName")), preview_(new QLabel(this)) {
    setObjectName("TWizzard_AddResources");
    addPage("STEP_1", kWizardTextLines);
    QVBoxLayout* choose = addPage("STEP_2", {"TEXT"});
    choose->addWidget(new QLabel(text("STEP_2", "TEXT1"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(source_, 1);
    QPushButton* browse = newButton(this, text("STEP_2", "BUTTON1"));
    browse->setObjectName("Browse");
    row->addWidget(browse);
    choose->addLayout(row);
    choose->addWidget(new QLabel(text("STEP_2", "TEXT2"), this));
    choose->addWidget(name_);
    choose->addWidget(new QLabel(text("STEP_2", "TEXT3"), this));
    preview_->setObjectName("Preview");
    preview_->setFixedSize(kImageSize, kImageSize);
    choose->addWidget(preview_);
    choose->addWidget(new QLabel(text("STEP_2", "TEXT4"), this));
    addPage("STEP_3", kWizardTextLines);
    finishPages();
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, text(section_, "OPENDIALOG"), QString(),
                                                          QStringLiteral("(*.bmp *.ico *.png *.gif *.xpm);;(*)"));
        if (!file.isEmpty())
            choosePicture(file);
    });
}

bool AddResourcesWizard::run() {
    stored_ = false;
    source_->clear();
    name_->clear();
    preview_->clear();
    picture_ = QImage();
    showStep(1);
    exec();
    return stored_;
}

bool AddResourcesWizard::loadPicture(const QString& file) {
    const bool icon = QFileInfo(file).suffix().compare(QStringLiteral("ico"), Qt::CaseInsensitive) == 0;
    const QImage picture = QImageReader(file).read();
    // Only what reads as a picture is ever stored: a file that merely
    // carries a picture's name is refused like one of the wrong size.
    if (picture.isNull() || (!icon && picture.size() != QSize(kImageSize, kImageSize))) {
        session_.warn(MessageKind::Warning, section_, 1);
        return false;
    }
    picture_ = picture.scaled(kImageSize, kImageSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    preview_->setPixmap(QPixmap::fromImage(picture_));
    return true;
}

bool AddResourcesWizard::choosePicture(const QString& file) {
    if (!loadPicture(file))
        return false;
    source_->setText(file);
    QString name = QFileInfo(file).fileName();
    if (!name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        name = QFileInfo(file).completeBaseName() + QStringLiteral(".bmp");
    name_->setText(name);
    return true;
}

void AddResourcesWizard::next() {
    if (!storableBoxes(session_, this))
        return;
    switch (step()) {
    case 2: {
        if (source_->text().isEmpty() || name_->text().trimmed().isEmpty()) {
            session_.warn(MessageKind::Warning, section_, 2);
            return;
        }
        if (!QFileInfo::exists(source_->text())) {
            session_.warn(MessageKind::Warning, section_, 3);
            return;
        }
        // The picture is read again: the path may have been typed, or
        // changed since it was chosen.
        if (!loadPicture(source_->text()))
            return;
        std::string name = fromQt(name_->text().trimmed());
        if (const Status status = checkNewImageName(session_, name); !status) {
            reportFailure(session_, status, section_, 4, MessageKind::Warning);
            return;
        }
        name_->setText(toQt(name));
        showStep(3);
        backButton()->setEnabled(false);
        return;
    }
    case 3: {
        QByteArray bitmap;
        QBuffer buffer(&bitmap);
        buffer.open(QIODevice::WriteOnly);
        if (!picture_.save(&buffer, "BMP")) {
            session_.warn(MessageKind::Warning, section_, 1);
            return;
        }
        if (const Status status = storeResourceImage(session_, fromQt(name_->text()), bitmap.toStdString()); !status) {
            reportFailure(session_, status);
            return;
        }
        stored_ = true;
        accept();
        return;
    }
    default: showStep(step() + 1);
    }
}

FileTemplateWizard::FileTemplateWizard(Session& session, QWidget* parent)
    : WizardFrame(session, "Wizzard_FileTemplate", "WIZZARD_FILETEMPLATE", parent), keep_(new QRadioButton(this)),
      saveTo_(new QRadioButton(this)), path_(newField(this, "Path")),
      browse_(newButton(this, text("STEP_2", "BUTTON1"))) {
    setObjectName("TWizzard_FileTemplate");
    addPage("STEP_1", kWizardTextLines);
    QVBoxLayout* choice = addPage("STEP_2", {"TEXT"});
    keep_->setObjectName("Keep");
    keep_->setText(text("STEP_2", "RADIOBUTTON1"));
    saveTo_->setObjectName("SaveTo");
    saveTo_->setText(text("STEP_2", "RADIOBUTTON2"));
    choice->addWidget(keep_);
    choice->addWidget(saveTo_);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(text("STEP_2", "LABEL1"), this));
    row->addWidget(path_, 1);
    browse_->setObjectName("Browse");
    row->addWidget(browse_);
    choice->addLayout(row);
    for (const char* key : {"LABEL2", "LABEL3"}) {
        auto* hint = new QLabel(text("STEP_2", key), this);
        hint->setWordWrap(true);
        choice->addWidget(hint);
    }
    addPage("STEP_3", {"TEXT1", "TEXT2", "TEXT3"});
    addPage("STEP_4", {"TEXT1", "TEXT2", "TEXT3"});
    finishPages();
    const auto chosen = [this] {
        path_->setEnabled(saveTo_->isChecked());
        browse_->setEnabled(saveTo_->isChecked());
    };
    connect(keep_, &QRadioButton::toggled, this, chosen);
    connect(saveTo_, &QRadioButton::clicked, this, [this] {
        if (path_->text().isEmpty())
            browse();
    });
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
}

std::optional<std::string> FileTemplateWizard::run(const std::string& templatePath) {
    kept_.reset();
    copy_.reset();
    Result<FileTemplateCopy> prepared = FileTemplateCopy::prepare(session_, templatePath);
    if (!prepared) {
        reportFailure(session_, prepared, section_, 1);
        return std::nullopt;
    }
    copy_ = std::move(prepared).value();
    path_->clear();
    keep_->setChecked(true);
    if (auto* cancel = findChild<QPushButton*>("Cancel"))
        cancel->setEnabled(true);
    path_->setEnabled(false);
    browse_->setEnabled(false);
    showStep(1);
    exec();
    return kept_;
}

void FileTemplateWizard::browse() {
    const QString extension = toQt(path::extension(copy_->path()));
    QFileDialog dialog(this, text(section_, "SAVEDIALOG"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!extension.isEmpty())
        dialog.setDefaultSuffix(extension.mid(1));
    dialog.selectFile(toQt(path::fileName(copy_->templatePath())));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        path_->setText(dialog.selectedFiles().first());
}

void FileTemplateWizard::next() {
    if (!storableBoxes(session_, this))
        return;
    switch (step()) {
    case 1:
        if (const Status made = copy_->make(); !made) {
            reportFailure(session_, made, section_, 1);
            return;
        }
        if (!session_.shell.openWithAssociatedProgram(copy_->path(), {}, session_.context.settings.temporaryDirectory))
            session_.warn(MessageKind::Warning, "GUI_FORM", 9, copy_->path());
        showStep(2);
        return;
    case 2: {
        if (!saveTo_->isChecked()) {
            copy_->keep(session_);
            kept_ = copy_->path();
            finish(3);
            return;
        }
        const std::string target = fromQt(path_->text().trimmed());
        if (target.empty()) {
            QApplication::beep();
            browse();
            return;
        }
        if (fs::exists(target) && QMessageBox::question(this, windowTitle(), toQt(target)) != QMessageBox::Yes)
            return;
        if (const Status saved = copy_->saveAs(target); !saved) {
            reportFailure(session_, saved, section_, 2);
            return;
        }
        finish(4);
        return;
    }
    default: accept();
    }
}

void FileTemplateWizard::finish(int page) {
    showPage(page, true);
    backButton()->setEnabled(false);
    if (auto* cancel = findChild<QPushButton*>("Cancel"))
        cancel->setEnabled(false);
    nextButton()->setText(languageText(session_, "WIZZARD_DATAPOINT", "BUTTON_FINISH", "Wizzard_DataPoint"));
}

void FileTemplateWizard::reject() {
    // Cancelled after the copy was made: the copy goes, the template stays.
    if (copy_ && !kept_ && step() < 3)
        copy_->discard(session_);
    WizardFrame::reject();
}

} // namespace quill::ui
