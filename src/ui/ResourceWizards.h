#pragma once

#include "WizardFrame.h"

#include "navigation/FileTemplateCopy.h"

#include <QImage>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace quill::ui {

// Brings a new 16 by 16 image into the data point's shared pictures and the
// local copy's. Pictures that are not readable images, or of another size
// (icons excepted, which are scaled), are refused and never stored.
class AddResourcesWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit AddResourcesWizard(Session& session, QWidget* parent = nullptr);
    // Whether an image was stored.
    bool run();
    // What Browse does with the chosen picture: true when it is accepted.
    bool choosePicture(const QString& file);

    QLineEdit* sourceField() const { return source_; }
    QLineEdit* nameField() const { return name_; }

private:
    void next() override;
    bool loadPicture(const QString& file);

    QLineEdit* source_;
    QLineEdit* name_;
    QLabel* preview_;
    QImage picture_;
    bool stored_ = false;
};

// Makes a new file from a file template: a copy of it opens for the user to
// fill in, and is then kept to be attached to a document or saved where
// the user chooses.
class FileTemplateWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit FileTemplateWizard(Session& session, QWidget* parent = nullptr);
    // The new file when the user keeps it for attaching, else nothing.
    std::optional<std::string> run(const std::string& templatePath);

    QRadioButton* saveChoice() const { return saveTo_; }
    QLineEdit* pathField() const { return path_; }
    // The copy the user fills in; empty before one is prepared.
    std::string stagedPath() const { return copy_ ? copy_->path() : std::string(); }

protected:
    void reject() override;

private:
    void next() override;
    void browse();
    void finish(int page);

    QRadioButton* keep_;
    QRadioButton* saveTo_;
    QLineEdit* path_;
    QPushButton* browse_;
    std::optional<FileTemplateCopy> copy_;
    std::optional<std::string> kept_;
};

} // namespace quill::ui
