#pragma once

#include "navigation/ImageNames.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace quill::ui {

// A picture from the resources with its transparent colour taken out: the
// colour of its bottom-left pixel, as the pictures are drawn.
QPixmap maskedPicture(const QString& file);

// Adds a picture to an icon as it is and, scaled smoothly, at twice its
// size for screens scaled by two, which would otherwise stretch the small
// one pixel by pixel.
void addWithDoubleSize(QIcon& icon, const QPixmap& picture, QIcon::Mode mode = QIcon::Normal);

// The pictures of the main window, loaded from the data point's resources
// so that its look is data. The small and large tree lists hold one
// picture per name of the name table, scaled where a picture has another
// size, so an image index is valid in both lists whatever the sizes.
class ImageLists {
public:
    void loadTreeImages(const ImageNameTable& names);
    // Loads the tree pictures again after images were added or deleted,
    // and tells the owner, whose image indexes change with them.
    void reloadTreeImages(const std::string& resourceDirectory);
    std::function<void()> reloaded;
    // A kind without pictures keeps the list it had.
    void loadToolbarImages(const std::string& resourceDirectory);

    QIcon treeIcon(int imageIndex) const;
    // The picture of that name (in any case), or the name table's stand-in.
    QIcon treeIcon(std::string_view name) const { return treeIcon(names_.imageIndex(name)); }
    const ImageNameTable& names() const { return names_; }
    const QList<QPixmap>& smallTreeImages() const { return small_; }
    const QList<QPixmap>& largeTreeImages() const { return large_; }
    const QList<QPixmap>& toolbarImages(char kind) const;

private:
    ImageNameTable names_;
    QList<QPixmap> small_;
    QList<QPixmap> large_;
    QList<QPixmap> toolbarNormal_;
    QList<QPixmap> toolbarHot_;
    QList<QPixmap> toolbarDisabled_;
    mutable QList<QIcon> icons_;
};

} // namespace quill::ui
