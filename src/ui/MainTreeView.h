#pragma once

#include <QTreeView>

namespace quill::ui {

// The main tree's view: it takes drops of its own nodes and of the
// document list's rows, and hands them to the main window instead of
// moving rows itself.
class MainTreeView final : public QTreeView {
    Q_OBJECT
public:
    explicit MainTreeView(QWidget* documentList, QWidget* parent = nullptr);

signals:
    // copy: the drop copies (Ctrl held), else it moves.
    void dropRequested(const QModelIndex& target, bool fromDocumentList, bool copy);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptsFrom(const QObject* source) const;

    QWidget* documentList_;
};

} // namespace quill::ui
