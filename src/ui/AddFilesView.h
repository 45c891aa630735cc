#pragma once

#include "documents/Companions.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// What the editor asks of the add-files view and what it answers.
struct AttachmentRequest {
    bool changeMode = false; // rename and retype an attachment; its file stays
    QString name;            // the display name, given in change mode, answered in both
    std::string path;        // the attachment's file in change mode; the chosen file in add mode
    AttachmentType type = AttachmentType::Document;
    bool moveFile = false;            // add mode: the user's file is to go once the document is saved
    bool alreadyStaged = false;       // add mode: path is a copy in the staging directory (from a file template)
    std::string lastTemplateDocument; // offered at the top of the template menu when given
};

// Brings a file in as an attachment: chosen from disk, made from a file
// template, or the document made last from a template; named and typed.
class AddFilesView final : public QDialog {
    Q_OBJECT
public:
    AddFilesView(Session& session, const ImageLists& images, QWidget* parent = nullptr);

    // Shows the view for the request; true, with the answer in request,
    // when the user confirmed.
    bool ask(AttachmentRequest& request);

    QLineEdit* pathBox() const { return path_; }
    QComboBox* nameBox() const { return name_; }
    QComboBox* typeBox() const { return type_; }
    QCheckBox* moveBox() const { return move_; }
    QAction* okAction() const { return ok_; }

private:
    void browse();
    void takeTemplate(const std::string& templatePath, const QString& name);
    void openChosen();
    bool chosenFileExists();
    void confirm();
    void fillTemplateMenu(const std::string& lastTemplateDocument);

    Session& session_;
    const ImageLists& images_;
    QLineEdit* path_;
    QPushButton* browse_;
    QComboBox* name_;
    QComboBox* type_;
    QCheckBox* move_;
    QMenu* templates_;
    QAction* ok_;
    bool changeMode_ = false;
    bool staged_ = false;
};

} // namespace quill::ui
