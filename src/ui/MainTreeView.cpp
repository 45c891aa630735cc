#include "MainTreeView.h"

#include <QDropEvent>

namespace quill::ui {

MainTreeView::MainTreeView(QWidget* documentList, QWidget* parent) : QTreeView(parent), documentList_(documentList) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // Every row is one line: the view need not measure a folder of
    // thousands to lay it out.
    setUniformRowHeights(true);
}

bool MainTreeView::acceptsFrom(const QObject* source) const {
    return source == this || (documentList_ && source == documentList_);
}

void MainTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptsFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (!acceptsFrom(event->source()) || !indexAt(event->position().toPoint()).isValid()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MainTreeView::dropEvent(QDropEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    if (!acceptsFrom(event->source()) || !target.isValid()) {
        event->ignore();
        return;
    }
    const bool copy = event->dropAction() == Qt::CopyAction || (event->modifiers() & Qt::ControlModifier);
    // The window transfers the files and rebuilds the tree; the widget
    // must not move its rows on its own.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit dropRequested(target, event->source() == documentList_, copy);
}

} // namespace quill::ui
