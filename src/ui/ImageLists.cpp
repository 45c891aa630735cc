#include "ImageLists.h"

#include "QtText.h"

#include <QBitmap>
#include <QImage>

namespace quill::ui {
namespace {

constexpr int kSmall = 16;
constexpr int kLarge = 32;

QPixmap fitted(const QPixmap& picture, int size) {
    if (picture.isNull())
        return picture;
    if (picture.width() == size && picture.height() <= size)
        return picture;
    return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QPixmap maskedPicture(const QString& file) {
    QImage image(file);
    if (image.isNull())
        return {};
    // Icons carry their own transparency; bitmaps name it by a pixel.
    if (!file.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb transparent = image.pixel(0, image.height() - 1);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0x00FFFFFF) == (transparent & 0x00FFFFFF))
                    line[x] = 0;
            }
        }
    }
    return QPixmap::fromImage(image);
}

void addWithDoubleSize(QIcon& icon, const QPixmap& picture, QIcon::Mode mode) {
    if (picture.isNull())
        return;
    icon.addPixmap(picture, mode);
    QPixmap doubled = picture.scaled(picture.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    doubled.setDevicePixelRatio(2.0);
    icon.addPixmap(doubled, mode);
}

void ImageLists::loadTreeImages(const ImageNameTable& names) {
    names_ = names;
    small_.clear();
    large_.clear();
    icons_.clear();
    for (const ImageNameTable::Entry& entry : names.entries) {
        const QPixmap picture = maskedPicture(toQt(entry.path));
        small_.append(fitted(picture, kSmall));
        large_.append(fitted(picture, kLarge));
    }
}

void ImageLists::reloadTreeImages(const std::string& resourceDirectory) {
    loadTreeImages(loadTreeImageNames(resourceDirectory));
    if (reloaded)
        reloaded();
}

void ImageLists::loadToolbarImages(const std::string& resourceDirectory) {
    const std::pair<char, QList<QPixmap>*> kinds[] = {
        {'A', &toolbarNormal_}, {'B', &toolbarHot_}, {'C', &toolbarDisabled_}};
    for (const auto& [kind, list] : kinds) {
        const std::vector<std::string> files = toolbarImageFiles(resourceDirectory, kind);
        if (files.empty())
            continue;
        list->clear();
        for (const std::string& file : files)
            list->append(maskedPicture(toQt(file)));
    }
}

QIcon ImageLists::treeIcon(int imageIndex) const {
    if (imageIndex < 0 || imageIndex >= small_.size() || small_[imageIndex].isNull())
        return {};
    if (icons_.size() != small_.size())
        icons_ = QList<QIcon>(small_.size());
    QIcon& icon = icons_[imageIndex];
    if (icon.isNull()) {
        icon = QIcon(small_[imageIndex]);
        if (imageIndex < large_.size())
            addWithDoubleSize(icon, large_[imageIndex]);
    }
    return icon;
}

const QList<QPixmap>& ImageLists::toolbarImages(char kind) const {
    return kind == 'B' ? toolbarHot_ : kind == 'C' ? toolbarDisabled_ : toolbarNormal_;
}

} // namespace quill::ui
