#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QTreeWidget;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// The folders at the top of the user's tree: add (with the user-folders
// wizard), remove and reorder them; nothing is stored before OK.
class ConnectFoldersView final : public QDialog {
    Q_OBJECT
public:
    ConnectFoldersView(Session& session, ImageLists& images, QWidget* parent = nullptr);
    // Whether the user's folder list was replaced ("REFRESH_FOLDERS").
    bool run();

    QTreeWidget* list() const { return list_; }

private:
    void fill(std::size_t selected);
    int selectedIndex() const;
    void add();
    void remove();
    void move(int by);
    void confirm();

    Session& session_;
    ImageLists& images_;
    QTreeWidget* list_;
    std::vector<std::string> folders_;
    bool replaced_ = false;
};

} // namespace quill::ui
