#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QListWidget;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// The data point's pictures, shown as pictures with their names; as the
// editor's picker it answers the name of the one chosen.
class ResourcesView final : public QDialog {
    Q_OBJECT
public:
    ResourcesView(Session& session, const ImageLists& images, QWidget* parent = nullptr);

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

    Session& session_;
    const ImageLists& images_;
    QListWidget* list_;
    Style style_ = Style::List;
    std::string current_;
};

} // namespace quill::ui
