#pragma once

#include <QDialog>
#include <QSize>

#include <optional>
#include <string>

class QListWidget;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// The data point's pictures, shown as pictures with their names: pictures
// are added (with their wizard) and deleted here; as a picker it answers
// the name of the one chosen.
class ResourcesView final : public QDialog {
    Q_OBJECT
public:
    ResourcesView(Session& session, ImageLists& images, QWidget* parent = nullptr);

    // The chosen image's name in upper case; nothing when cancelled. OK
    // without a choice answers the current name unchanged.
    std::optional<std::string> pick(const std::string& current);

    QListWidget* list() const { return list_; }

protected:
    void done(int result) override;

private:
    enum class Style { SmallIcons, List, Details };
    void fill(const std::string& current);
    void setStyle(Style style);
    // The cell of a picture and its name when pictures are shown as icons.
    QSize iconGrid() const;
    void addImage();
    void deleteImage();

    Session& session_;
    ImageLists& images_;
    QListWidget* list_;
    Style style_ = Style::List;
    std::string current_;
};

} // namespace quill::ui
