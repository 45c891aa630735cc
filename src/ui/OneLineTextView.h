#pragma once

#include <QDialog>

#include <string>

class QComboBox;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// Asks for one line of text: a new comment, a group's name, a template's
// name. Its title and label come from the caller's language section.
class OneLineTextView final : public QDialog {
    Q_OBJECT
public:
    OneLineTextView(Session& session, const ImageLists& images, const std::string& section, QWidget* parent = nullptr);

    // The confirmed text (kept in the text cache too); empty when cancelled.
    QString ask();

    QComboBox* textBox() const { return box_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirm();

    Session& session_;
    QComboBox* box_;
};

} // namespace quill::ui
